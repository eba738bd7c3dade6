#pragma once
// TimeData.db beside the program: an INI file in the ANSI code page holding the looks of the
// floating windows, the hotkeys and the window positions. The positions are mirrored to the
// registry, which is where a window looks when the file has none.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace shell {

inline constexpr wchar_t kIniFileName[] = L"TimeData.db";
inline constexpr wchar_t kHotkeySection[] = L"Hotkey";
inline constexpr wchar_t kSiteSection[] = L"clocksite";

// Modes "readpart", "readall" (the whole section as a comma list), "write", "delpart" (one
// key) and "delall" (the whole section); any other mode does nothing. Reads give `value`
// when they find nothing or an empty text; the writing modes give an empty text.
std::wstring iniAccess(std::wstring_view mode, const std::wstring& path, const std::wstring& section,
                       const std::wstring& key, const std::wstring& value);

// The profile functions empty the file and write it anew, so a program killed while writing
// could leave it empty. Here `edit` runs the profile writes on a copy beside the file, and the
// copy then replaces the file in one move: the file is always the old one or the new one.
// False, with the old file left as it was, when a step fails.
// A reader that has the file open (another program, a virus scanner) stops the replace; it is
// waited out for up to `readerWaitMs`.
using ProfileEdit = std::function<bool(const std::wstring& copy)>;
inline constexpr unsigned kReaderWaitMs = 480;
bool editProfile(const std::wstring& path, const ProfileEdit& edit, unsigned readerWaitMs = kReaderWaitMs);

// "readpart" and "write" on TimeData.db in the program folder.
std::wstring iniRead(const std::wstring& section, const std::wstring& key, const std::wstring& fallback);
void iniWrite(const std::wstring& section, const std::wstring& key, const std::wstring& value);
// Several keys of one section in one replace: all of them written, or none and false.
using IniEntries = std::vector<std::pair<std::wstring, std::wstring>>;
bool iniWriteKeys(const std::wstring& section, const IniEntries& entries, unsigned readerWaitMs = kReaderWaitMs);

// A section as the profile functions return it (entries separated by NULs) as "a=1,b=2".
std::wstring sectionToList(std::wstring_view raw);

// Font-size increment of the second-screen windows in points, 0 to 100.
int16_t readHotkeyAdd();

// Where a floating window keeps its position: two keys of section clocksite and their
// registry mirrors under key Velmora (Tessaline for the banner).
struct WindowSite {
    const wchar_t* leftKey;
    const wchar_t* topKey;
    const wchar_t* registryKey;
};
extern const WindowSite kClockSite;
extern const WindowSite kClockSiteTwo;
extern const WindowSite kTimeSite;
extern const WindowSite kTitleSite;
extern const WindowSite kProcessSite;

struct WindowPosition {
    int32_t left = 0;  // twips
    int32_t top = 0;
};

// Writes the position to the INI file (both keys in one replace) and to the registry; a failed
// step does not stop the other. A drop waits only a moment for the file: when it cannot be
// written the position is kept, read back from here, and written by a retry timer of this
// thread (or by the next drop) once the file can be written again.
void saveWindowSite(const WindowSite& site, int32_t left, int32_t top);
// Positions still waiting for the file; true when none is left. The last chance is taken at exit.
bool writePendingSites();
// Drops the waiting positions and their retry, as a fresh process starts (tests: one program
// folder each).
void forgetPendingSites();
inline void saveclocksite(int32_t left, int32_t top) { saveWindowSite(kClockSite, left, top); }
inline void saveclocksitetwo(int32_t left, int32_t top) { saveWindowSite(kClockSiteTwo, left, top); }
inline void savetimesite(int32_t left, int32_t top) { saveWindowSite(kTimeSite, left, top); }
inline void savetitlesite(int32_t left, int32_t top) { saveWindowSite(kTitleSite, left, top); }
inline void saveprocesssite(int32_t left, int32_t top) { saveWindowSite(kProcessSite, left, top); }

// The saved position before clamping: the INI file's, or, when either of its values is
// missing or -100, both values from the registry (absent ones 0).
WindowPosition readWindowPosition(const WindowSite& site);

}  // namespace shell
