#pragma once
// The sibling programs in the library's folder: the clock program Dovecrest and the settings
// program Fennick. They are started and tested, never waited for.
#include <string>

namespace addin {

inline constexpr wchar_t kClockProgram[] = L"Dovecrest.exe";
inline constexpr wchar_t kSettingsProgram[] = L"Fennick.exe";

// The full path of a file in the library's folder.
std::wstring besideLibrary(const wchar_t* fileName);

bool fileExists(const std::wstring& path);
// A running executable cannot be opened for writing without sharing, so any refusal of that
// open means "in use": a file the user may not write (a per-machine install) still tells a
// running program, and a missing file is refused too, so callers test that it exists first.
bool fileInUse(const std::wstring& path);
// Whether `path` opens for reading and writing with no sharing (the handle is closed at once).
using ExclusiveOpen = bool (*)(const std::wstring& path);
// Puts `open` in place of the in-use test's open and gives back the one it replaces: tests
// stand in for a refusal this machine does not make (Wine run as root is refused nothing).
ExclusiveOpen replaceExclusiveOpen(ExclusiveOpen open);
// The clock program runs: its file exists and is in use.
bool clockRunning();

// Opens the program with the shell; when the shell fails, starts it directly, hidden.
void startProgram(const std::wstring& path);
// Ends every running copy of the settings program, then starts it again from `path`. The
// calling thread waits for the ending a moment at most; an ending that takes longer is
// followed by the start from a timer of that thread once it is done, however long that takes.
void restartSettingsProgram(const std::wstring& path);
// A restart whose start is still to come: it starts the one copy, nothing else should.
bool settingsRestartUnderWay();

}  // namespace addin
