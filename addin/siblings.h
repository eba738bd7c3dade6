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
// A running executable cannot be opened for writing without sharing; only that sharing
// violation means "in use" (a file that is missing, read-only or not ours to open is not).
bool fileInUse(const std::wstring& path);
// The clock program runs: its file exists and is in use.
bool clockRunning();

// Opens the program with the shell; when the shell fails, starts it directly, hidden.
void startProgram(const std::wstring& path);
// Ends every running copy of the settings program and waits until it is gone.
void endSettingsProgram();

}  // namespace addin
