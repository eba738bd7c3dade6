#include "shell/ini_store.h"

#include <windows.h>

#include <algorithm>

#include "shell/program_folder.h"
#include "shell/retry_timer.h"
#include "shell/settings_registry.h"
#include "shell/text_number.h"
#include "shell/wall_clock.h"

namespace shell {

const WindowSite kClockSite{L"clockleft", L"clocktop", kSettingsKey};
const WindowSite kClockSiteTwo{L"clocklefttwo", L"clocktoptwo", kSettingsKey};
const WindowSite kTimeSite{L"timeleft", L"timetop", kSettingsKey};
const WindowSite kTitleSite{L"titleleft", L"titletop", kSettingsKey};
const WindowSite kProcessSite{L"processleft", L"processtop", kBannerKey};

namespace {

// Values up to 9999 characters.
constexpr DWORD kBufferChars = 10000;
// A position that was never saved.
constexpr int32_t kUnsetPosition = -100;
constexpr wchar_t kUnsetPositionText[] = L"-100";

std::wstring readKey(const std::wstring& path, const std::wstring& section, const std::wstring& key) {
    std::wstring text(kBufferChars, L'\0');
    DWORD n = GetPrivateProfileStringW(section.c_str(), key.c_str(), L"", text.data(), kBufferChars, path.c_str());
    text.resize(n);
    return text.substr(0, text.find(L'\0'));
}

std::wstring readSection(const std::wstring& path, const std::wstring& section) {
    std::wstring raw(kBufferChars, L'\0');
    DWORD n = GetPrivateProfileSectionW(section.c_str(), raw.data(), kBufferChars, path.c_str());
    return sectionToList(std::wstring_view(raw.data(), n));
}

// Beside the file it replaces; a copy left by a write that was cut short is overwritten.
constexpr wchar_t kCopySuffix[] = L".new";

bool exists(const std::wstring& file) { return GetFileAttributesW(file.c_str()) != INVALID_FILE_ATTRIBUTES; }

void discard(const std::wstring& file) {
    SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(file.c_str());
}

// The copy starts as the file is now, or absent when there is no file yet, so the profile
// functions create it as they would create the file.
bool startCopy(const std::wstring& path, const std::wstring& copy) {
    if (exists(path)) return CopyFileW(path.c_str(), copy.c_str(), FALSE);
    discard(copy);
    return !exists(copy);
}

// The replace is tried again for a while before the edit is given up.
bool replaceWith(const std::wstring& copy, const std::wstring& path, unsigned readerWaitMs) {
    constexpr unsigned kPauseMs = 20;
    for (unsigned waited = 0;; waited += kPauseMs) {
        if (MoveFileExW(copy.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
        DWORD error = GetLastError();
        if (waited >= readerWaitMs || (error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED)) return false;
        wallClock().pause(kPauseMs);
    }
}

bool writeProfileString(const std::wstring& file, const wchar_t* section, const wchar_t* key, const wchar_t* value) {
    return WritePrivateProfileStringW(section, key, value, file.c_str());
}

std::wstring orDefault(std::wstring text, const std::wstring& fallback) { return text.empty() ? fallback : text; }

}  // namespace

std::wstring iniAccess(std::wstring_view mode, const std::wstring& path, const std::wstring& section,
                       const std::wstring& key, const std::wstring& value) {
    if (mode == L"readpart") return orDefault(readKey(path, section, key), value);
    if (mode == L"readall") return orDefault(readSection(path, section), value);
    if (mode != L"write" && mode != L"delpart" && mode != L"delall") return {};
    // A null value deletes the key, a null key the whole section.
    const wchar_t* writtenKey = mode == L"delall" ? nullptr : key.c_str();
    const wchar_t* writtenValue = mode == L"write" ? value.c_str() : nullptr;
    editProfile(path, [&](const std::wstring& copy) {
        return writeProfileString(copy, section.c_str(), writtenKey, writtenValue);
    });
    return {};
}

bool editProfile(const std::wstring& path, const ProfileEdit& edit, unsigned readerWaitMs) {
    std::wstring copy = path + kCopySuffix;
    if (!startCopy(path, copy)) return false;
    if (!edit(copy)) {
        discard(copy);
        return false;
    }
    // Deleting from a file that does not exist makes none.
    if (!exists(copy)) return true;
    if (replaceWith(copy, path, readerWaitMs)) return true;
    discard(copy);
    return false;
}

std::wstring iniRead(const std::wstring& section, const std::wstring& key, const std::wstring& fallback) {
    return iniAccess(L"readpart", inProgramFolder(kIniFileName), section, key, fallback);
}

void iniWrite(const std::wstring& section, const std::wstring& key, const std::wstring& value) {
    iniAccess(L"write", inProgramFolder(kIniFileName), section, key, value);
}

bool iniWriteKeys(const std::wstring& section, const IniEntries& entries, unsigned readerWaitMs) {
    return editProfile(
        inProgramFolder(kIniFileName),
        [&](const std::wstring& copy) {
            return std::all_of(entries.begin(), entries.end(), [&](const auto& e) {
                return writeProfileString(copy, section.c_str(), e.first.c_str(), e.second.c_str());
            });
        },
        readerWaitMs);
}

std::wstring sectionToList(std::wstring_view raw) {
    std::wstring list;
    // The last character is the section's closing NUL.
    for (size_t i = 0; i + 1 < raw.size(); ++i) {
        if (raw[i] != L'\0') {
            list += raw[i];
        } else if (list.empty() || list.back() != L',') {
            list += L',';
        }
    }
    size_t first = list.find_first_not_of(L' ');
    if (first == std::wstring::npos) return {};
    list = list.substr(first, list.find_last_not_of(L' ') - first + 1);
    if (list.back() == L',') list.pop_back();
    return list;
}

int16_t readHotkeyAdd() {
    return static_cast<int16_t>(std::clamp(wholeNumberOf(iniRead(kHotkeySection, L"add", L"0")), 0, 100));
}

namespace {

// A drop stalls the windows for no more than this; a longer hold is left to the retry timer.
constexpr unsigned kDropWaitMs = 60;

struct PendingSite {
    const WindowSite* site;
    WindowPosition position;
};

// Dropped positions the file does not hold yet, the newest of each window.
std::vector<PendingSite>& pendingSites() {
    static std::vector<PendingSite> sites;
    return sites;
}

const PendingSite* pendingOf(const WindowSite& site) {
    for (const PendingSite& p : pendingSites()) {
        if (p.site == &site) return &p;
    }
    return nullptr;
}

// Every pending position in one replace.
bool writePending(unsigned readerWaitMs) {
    std::vector<PendingSite>& sites = pendingSites();
    if (sites.empty()) return true;
    IniEntries entries;
    for (const PendingSite& p : sites) {
        entries.emplace_back(p.site->leftKey, std::to_wstring(p.position.left));
        entries.emplace_back(p.site->topKey, std::to_wstring(p.position.top));
    }
    if (!iniWriteKeys(kSiteSection, entries, readerWaitMs)) return false;
    sites.clear();
    return true;
}

// One try a tick: the windows never wait for it.
RetryTimer& sitesRetry() {
    static RetryTimer timer([] { return writePending(0); });
    return timer;
}

}  // namespace

void saveWindowSite(const WindowSite& site, int32_t left, int32_t top) {
    std::vector<PendingSite>& sites = pendingSites();
    sites.erase(std::remove_if(sites.begin(), sites.end(), [&](const PendingSite& p) { return p.site == &site; }),
                sites.end());
    sites.push_back({&site, {left, top}});
    // One replace for both keys: a drop is saved whole or not at all.
    if (!writePending(kDropWaitMs)) sitesRetry().arm();
    // The key is created on first use, so a position saved on a fresh machine is kept.
    writeUserNumber(site.registryKey, site.leftKey, left);
    writeUserNumber(site.registryKey, site.topKey, top);
}

bool writePendingSites() { return writePending(kReaderWaitMs); }

WindowPosition readWindowPosition(const WindowSite& site) {
    if (const PendingSite* p = pendingOf(site)) return p->position;
    int32_t left = wholeNumberOf(iniRead(kSiteSection, site.leftKey, kUnsetPositionText));
    int32_t top = wholeNumberOf(iniRead(kSiteSection, site.topKey, kUnsetPositionText));
    if (left != kUnsetPosition && top != kUnsetPosition) return {left, top};
    return {readUserNumber(site.registryKey, site.leftKey), readUserNumber(site.registryKey, site.topKey)};
}

}  // namespace shell
