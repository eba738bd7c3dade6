#include "shell/ini_store.h"

#include <windows.h>

#include <algorithm>

#include "shell/program_folder.h"
#include "shell/settings_registry.h"
#include "shell/text_number.h"

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

std::wstring orDefault(std::wstring text, const std::wstring& fallback) { return text.empty() ? fallback : text; }

}  // namespace

std::wstring iniAccess(std::wstring_view mode, const std::wstring& path, const std::wstring& section,
                       const std::wstring& key, const std::wstring& value) {
    if (mode == L"readpart") return orDefault(readKey(path, section, key), value);
    if (mode == L"readall") return orDefault(readSection(path, section), value);
    // A null value deletes the key, a null key the whole section.
    if (mode == L"write") {
        WritePrivateProfileStringW(section.c_str(), key.c_str(), value.c_str(), path.c_str());
    } else if (mode == L"delpart") {
        WritePrivateProfileStringW(section.c_str(), key.c_str(), nullptr, path.c_str());
    } else if (mode == L"delall") {
        WritePrivateProfileStringW(section.c_str(), nullptr, nullptr, path.c_str());
    }
    return {};
}

std::wstring iniRead(const std::wstring& section, const std::wstring& key, const std::wstring& fallback) {
    return iniAccess(L"readpart", inProgramFolder(kIniFileName), section, key, fallback);
}

void iniWrite(const std::wstring& section, const std::wstring& key, const std::wstring& value) {
    iniAccess(L"write", inProgramFolder(kIniFileName), section, key, value);
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

void saveWindowSite(const WindowSite& site, int32_t left, int32_t top) {
    iniWrite(kSiteSection, site.leftKey, std::to_wstring(left));
    iniWrite(kSiteSection, site.topKey, std::to_wstring(top));
    // The key is created on first use, so a position saved on a fresh machine is kept.
    writeUserNumber(site.registryKey, site.leftKey, left);
    writeUserNumber(site.registryKey, site.topKey, top);
}

WindowPosition readWindowPosition(const WindowSite& site) {
    int32_t left = wholeNumberOf(iniRead(kSiteSection, site.leftKey, kUnsetPositionText));
    int32_t top = wholeNumberOf(iniRead(kSiteSection, site.topKey, kUnsetPositionText));
    if (left != kUnsetPosition && top != kUnsetPosition) return {left, top};
    return {readUserNumber(site.registryKey, site.leftKey), readUserNumber(site.registryKey, site.topKey)};
}

}  // namespace shell
