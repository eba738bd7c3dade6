#include "addin/stores.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <cwchar>
#include <vector>

#include "win/handles.h"

namespace addin {
namespace {

constexpr REGSAM kAccess = KEY_ALL_ACCESS & 0x3F;
constexpr DWORD kIniChars = 10000;

std::wstring iniPath() { return libraryFolder() + L"TimeData.db"; }

bool setValue(HKEY root, const std::wstring& key, const wchar_t* name, DWORD type, const void* data, DWORD bytes) {
    win::UniqueKey k;
    if (RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, kAccess, nullptr, k.put(), nullptr) != ERROR_SUCCESS)
        return false;
    return RegSetValueExW(k.get(), name, 0, type, static_cast<const BYTE*>(data), bytes) == ERROR_SUCCESS;
}

// A value of a key of HKEY_CURRENT_USER as stored: its type and its bytes.
struct Stored {
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
};

std::optional<Stored> readStored(const wchar_t* key, const wchar_t* name) {
    win::UniqueKey k;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, key, 0, kAccess, k.put()) != ERROR_SUCCESS) return std::nullopt;
    Stored stored;
    DWORD bytes = 0;
    if (RegQueryValueExW(k.get(), name, nullptr, &stored.type, nullptr, &bytes) != ERROR_SUCCESS) return std::nullopt;
    stored.data.resize(bytes);
    if (RegQueryValueExW(k.get(), name, nullptr, nullptr, stored.data.data(), &bytes) != ERROR_SUCCESS)
        return std::nullopt;
    stored.data.resize(bytes);
    return stored;
}

std::optional<DWORD> numberIn(const std::optional<Stored>& stored) {
    if (!stored || stored->type != REG_DWORD || stored->data.size() < sizeof(DWORD)) return std::nullopt;
    DWORD number = 0;
    memcpy(&number, stored->data.data(), sizeof number);
    return number;
}

}  // namespace

std::wstring libraryFolder() {
    HMODULE self = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&libraryFolder), &self);
    std::wstring path(MAX_PATH, L'\0');
    DWORD n = GetModuleFileNameW(self, path.data(), static_cast<DWORD>(path.size()));
    path.resize(n);
    path.erase(path.find_last_of(L'\\') + 1);
    return path;
}

std::optional<DWORD> readDword(const wchar_t* key, const wchar_t* name) { return numberIn(readStored(key, name)); }

std::optional<std::wstring> readText(const wchar_t* key, const wchar_t* name) {
    auto stored = readStored(key, name);
    if (auto number = numberIn(stored)) return std::to_wstring(static_cast<long>(*number));
    if (!stored || stored->type != REG_SZ) return std::nullopt;
    // Whole characters and a terminator, which the stored value may lack.
    stored->data.resize(((stored->data.size() + 1) / sizeof(wchar_t) + 1) * sizeof(wchar_t), 0);
    return std::wstring(reinterpret_cast<const wchar_t*>(stored->data.data()));
}

bool writeValue(HKEY root, const std::wstring& key, const wchar_t* name, const std::wstring& text) {
    return setValue(root, key, name, REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

bool writeValue(HKEY root, const std::wstring& key, const wchar_t* name, DWORD number) {
    return setValue(root, key, name, REG_DWORD, &number, sizeof number);
}

void deleteValue(const wchar_t* key, const wchar_t* name) {
    win::UniqueKey k;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, key, 0, kAccess, k.put()) == ERROR_SUCCESS) RegDeleteValueW(k.get(), name);
}

long readNumber(const wchar_t* key, const wchar_t* name) {
    return numberFromText(readText(key, name).value_or(L"")).value_or(0);
}

std::optional<long> numberFromText(const std::wstring& text) {
    size_t first = text.find_first_not_of(L' ');
    if (first == std::wstring::npos) return text.empty() ? std::optional<long>(0) : std::nullopt;
    const wchar_t* start = text.c_str() + first;
    wchar_t* end = nullptr;
    double value = std::wcstod(start, &end);
    if (end == start || text.find_first_not_of(L' ', static_cast<size_t>(end - text.c_str())) != std::wstring::npos)
        return std::nullopt;
    double rounded = std::nearbyint(value);
    if (!std::isfinite(rounded) || rounded < std::numeric_limits<int32_t>::min() ||
        rounded > std::numeric_limits<int32_t>::max())
        return std::nullopt;
    return static_cast<long>(rounded);
}

std::optional<bool> truthFromText(const std::wstring& text) {
    if (lstrcmpiW(text.c_str(), L"True") == 0) return true;
    if (lstrcmpiW(text.c_str(), L"False") == 0) return false;
    if (text.empty()) return std::nullopt;
    auto n = numberFromText(text);
    if (!n) return std::nullopt;
    return *n != 0;
}

std::wstring iniRead(const wchar_t* section, const wchar_t* key, const wchar_t* defaultValue) {
    std::vector<wchar_t> buffer(kIniChars, L'\0');
    GetPrivateProfileStringW(section, key, L"", buffer.data(), kIniChars, iniPath().c_str());
    std::wstring value(buffer.data());
    return value.empty() ? std::wstring(defaultValue) : value;
}

void iniWrite(const wchar_t* section, const wchar_t* key, const wchar_t* value) {
    WritePrivateProfileStringW(section, key, value, iniPath().c_str());
}

void iniDeleteSection(const wchar_t* section) { WritePrivateProfileStringW(section, nullptr, nullptr, iniPath().c_str()); }

}  // namespace addin
