#include "shell/settings_registry.h"

#include <algorithm>
#include <initializer_list>
#include <limits>
#include <string_view>

#include "shell/text_number.h"
#include "win/auto_message.h"
#include "win/handles.h"

namespace shell {
namespace {

// KEY_ALL_ACCESS without the standard rights: query, set, create, enumerate, notify, link.
constexpr REGSAM kAccess = 0x3F;
// Apply always stores the full switch string; a shorter one means it was never stored.
constexpr size_t kSavedCheckvalueLength = 19;
constexpr std::wstring_view kTextEnds{L"\0\r\n\t", 4};
constexpr wchar_t kCloseFailed[] = L"RegCloseKey Failed: ";

win::UniqueKey openKey(HKEY root, const std::wstring& path, REGSAM access = kAccess) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, access, &key) != ERROR_SUCCESS) return {};
    return win::UniqueKey(key);
}

win::UniqueKey createKey(HKEY root, const std::wstring& path) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, kAccess, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
        return {};
    }
    return win::UniqueKey(key);
}

// Asks the type and size first, then reads; the text ends at its first NUL.
std::optional<RegValue> queryValue(HKEY key, const std::wstring& name) {
    DWORD type = 0, size = 0;
    if (RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return std::nullopt;
    if (type == REG_DWORD) {
        DWORD number = 0;
        size = sizeof number;
        if (RegQueryValueExW(key, name.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(&number), &size) !=
            ERROR_SUCCESS) {
            return std::nullopt;
        }
        return static_cast<int32_t>(number);
    }
    if (type != REG_SZ) return std::nullopt;
    std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
    size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    if (RegQueryValueExW(key, name.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(text.data()), &size) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    text.resize(std::min<size_t>(text.find(L'\0'), size / sizeof(wchar_t)));
    return text;
}

// The clocks ask for the second-screen switch several times a second, and only this program
// changes it: it is read once and kept until the program writes or deletes a registry value.
std::optional<int16_t>& keptSecondScreen() {
    static std::optional<int16_t> kept;
    return kept;
}

LONG setValue(HKEY key, const std::wstring& name, const RegValue& value) {
    forgetSecondScreen();
    if (const auto* number = std::get_if<int32_t>(&value)) {
        DWORD dword = static_cast<DWORD>(*number);
        return RegSetValueExW(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dword), sizeof dword);
    }
    const auto& text = std::get<std::wstring>(value);
    return RegSetValueExW(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                          static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

int32_t numberFrom(const std::optional<RegValue>& value) {
    if (!value) return 0;
    if (const auto* number = std::get_if<int32_t>(&*value)) return *number;
    return wholeNumberOf(std::get<std::wstring>(*value));
}

int16_t shortOrZero(int32_t n) {
    bool fits = n >= std::numeric_limits<int16_t>::min() && n <= std::numeric_limits<int16_t>::max();
    return fits ? static_cast<int16_t>(n) : 0;
}

std::wstring textFrom(const std::optional<RegValue>& value) {
    if (!value) return {};
    if (const auto* number = std::get_if<int32_t>(&*value)) return std::to_wstring(*number);
    const auto& text = std::get<std::wstring>(*value);
    return text.substr(0, text.find_first_of(kTextEnds));
}

void assign(int32_t& field, const std::optional<RegValue>& value) { field = numberFrom(value); }
void assign(int16_t& field, const std::optional<RegValue>& value) { field = shortOrZero(numberFrom(value)); }
void assign(std::wstring& field, const std::optional<RegValue>& value) { field = textFrom(value); }

RegValue storedValue(int32_t number) { return number; }
RegValue storedValue(const std::wstring& text) { return text; }

template <typename T>
bool isSet(const T& field) {
    return field != T{};
}

// The picture size is only loaded while the record does not know one yet.
enum class Read { Always, WhileUnset };

// The sixteen stored fields of a ClockSetting in record order; Time_all is never stored.
template <typename Setting, typename Visit>
void eachStoredField(Setting& s, Visit&& visit) {
    visit(L"Time_one", s.Time_one, Read::Always);
    visit(L"Time_two", s.Time_two, Read::Always);
    visit(L"Time_three", s.Time_three, Read::Always);
    visit(L"checkvalue", s.checkvalue, Read::Always);
    visit(L"optvalue", s.optvalue, Read::Always);
    visit(L"tellShowtime", s.tellShowtime, Read::Always);
    visit(L"tellsoundname", s.tellsoundname, Read::Always);
    visit(L"tellprocesstext", s.tellprocesstext, Read::Always);
    visit(L"tellShowtext", s.tellShowtext, Read::Always);
    visit(L"clockFont", s.clockFont, Read::Always);
    visit(L"Fontselect", s.Fontselect, Read::Always);
    visit(L"picturename", s.picturename, Read::Always);
    visit(L"time_top", s.time_top, Read::Always);
    visit(L"time_left", s.time_left, Read::Always);
    visit(L"picture_width", s.picture_width, Read::WhileUnset);
    visit(L"picture_height", s.picture_height, Read::WhileUnset);
}

// Time source and second-screen switch: 0 to 2, anything larger counts as 0.
int16_t readSmallMode(const wchar_t* name) {
    int16_t mode = shortOrZero(readSettingNumber(name));
    return mode > 2 ? 0 : mode;
}

}  // namespace

void regCreateKey(HKEY root, const std::wstring& path) { createKey(root, path); }

LONG regWriteValue(HKEY root, const std::wstring& path, const std::wstring& name, const RegValue& value) {
    auto key = openKey(root, path);
    return key ? setValue(key.get(), name, value) : ERROR_FILE_NOT_FOUND;
}

std::optional<RegValue> regReadValue(HKEY root, const std::wstring& path, const std::wstring& name) {
    auto key = openKey(root, path);
    if (!key) return std::nullopt;
    return queryValue(key.get(), name);
}

void regDeleteValue(HKEY root, const std::wstring& path, const std::wstring& name) {
    forgetSecondScreen();
    if (auto key = openKey(root, path)) RegDeleteValueW(key.get(), name.c_str());
}

LONG regDeleteKey(HKEY root, const std::wstring& path) {
    forgetSecondScreen();
    return RegDeleteKeyW(root, path.c_str());
}

int32_t readUserNumber(const std::wstring& key, const std::wstring& name) {
    return numberFrom(regReadValue(HKEY_CURRENT_USER, key, name));
}

void writeUserNumber(const std::wstring& key, const std::wstring& name, int32_t value) {
    if (auto k = createKey(HKEY_CURRENT_USER, key)) setValue(k.get(), name, value);
}

int32_t readSettingNumber(const std::wstring& name) { return readUserNumber(kSettingsKey, name); }

void writeSettingNumber(const std::wstring& name, int32_t value) { writeUserNumber(kSettingsKey, name, value); }

void readsetting(ClockSetting& s) {
    ClockSetting stored = s;
    bool complete = true;
    eachStoredField(stored, [&](const wchar_t* name, auto& field, Read rule) {
        if (rule == Read::WhileUnset && isSet(field)) return;
        auto value = regReadValue(HKEY_CURRENT_USER, kSettingsKey, name);
        complete = complete && value.has_value();
        assign(field, value);
    });
    if (!complete && stored.checkvalue.size() < kSavedCheckvalueLength) {
        applyFirstRunDefaults(s);  // nothing is written back: the next read is a first run again
        return;
    }
    s = std::move(stored);
}

void savesetting(const ClockSetting& s) {
    auto key = createKey(HKEY_CURRENT_USER, kSettingsKey);
    if (!key) return;
    eachStoredField(s, [&](const wchar_t* name, const auto& field, Read) {
        setValue(key.get(), name, storedValue(field));
    });
}

void delsetting() {
    ClockSetting names;
    eachStoredField(names, [](const wchar_t* name, auto&, Read) {
        regDeleteValue(HKEY_CURRENT_USER, kSettingsKey, name);
    });
    for (const wchar_t* name : {L"Time_all", L"clockopen"}) regDeleteValue(HKEY_CURRENT_USER, kSettingsKey, name);
    regDeleteValue(HKEY_CURRENT_USER, L"Corrib", L"pathget");
}

int16_t readClockMode() { return readSmallMode(L"clockmode"); }

int16_t readSecondScreen() {
    std::optional<int16_t>& kept = keptSecondScreen();
    if (!kept) kept = readSmallMode(L"second_screen");
    return *kept;
}

void forgetSecondScreen() { keptSecondScreen().reset(); }

bool wpsVersion() {
    return !textFrom(regReadValue(HKEY_CURRENT_USER, L"Software\\kingsoft\\Office\\6.0\\Common", L"Version")).empty();
}

std::wstring readClassString(HKEY root, const std::wstring& path, const std::wstring& name) {
    auto key = openKey(root, path, KEY_QUERY_VALUE);
    if (!key) return {};
    auto value = queryValue(key.get(), name);
    if (RegCloseKey(key.release()) != ERROR_SUCCESS) {
        win::askMessage(kCloseFailed + path, win::kProductName, MB_ICONERROR);
    }
    const auto* text = value ? std::get_if<std::wstring>(&*value) : nullptr;
    return text ? *text : std::wstring();
}

bool classKeyExists(const std::wstring& path, const std::wstring& name) {
    return !readClassString(HKEY_CLASSES_ROOT, path, name).empty();
}

}  // namespace shell
