#pragma once
// The two stores shared with the sibling programs: values under HKEY_CURRENT_USER\Harrowby
// and HKEY_CURRENT_USER\Software\Mirthwell, and the INI-format file "TimeData.db" in the
// library's folder. No operation raises; a failed write leaves the old value in place.
#include <windows.h>

#include <limits>
#include <optional>
#include <string>

namespace addin {

inline constexpr wchar_t kHarrowby[] = L"Harrowby";
inline constexpr wchar_t kMirthwell[] = L"Software\\Mirthwell";

// The folder this library was loaded from, ending in "\".
std::wstring libraryFolder();

// A value of a key of HKEY_CURRENT_USER: REG_SZ as its text (up to the stored terminator),
// REG_DWORD as its decimal text. Nothing when the key or value is missing or of another type.
std::optional<std::wstring> readText(const wchar_t* key, const wchar_t* name);
// A value stored as a number (REG_DWORD); nothing for any other.
std::optional<DWORD> readDword(const wchar_t* key, const wchar_t* name);
// Writes a REG_SZ or REG_DWORD value under any root, creating a missing key as the scripting
// object's writes do; false when the registry refused.
bool writeValue(HKEY root, const std::wstring& key, const wchar_t* name, const std::wstring& text);
bool writeValue(HKEY root, const std::wstring& key, const wchar_t* name, DWORD number);
void deleteValue(const wchar_t* key, const wchar_t* name);
// A value as a number; missing or not a number reads 0.
long readNumber(const wchar_t* key, const wchar_t* name);

// The number automation reads from a text into a 32-bit integer: empty counts 0, a decimal
// number is rounded to the nearest integer (halves to even); anything else, or a number out of
// that range, is not a number.
std::optional<long> numberFromText(const std::wstring& text);

// The same for a field of type Int: a number the field cannot hold is not a number either, so
// the field keeps its value rather than taking a cut-off one.
template <typename Int>
std::optional<Int> integerFromText(const std::wstring& text) {
    auto n = numberFromText(text);
    if (!n || *n < std::numeric_limits<Int>::min() || *n > std::numeric_limits<Int>::max()) return std::nullopt;
    return static_cast<Int>(*n);
}

// The truth automation reads from a text: "True"/"False" in any case, or a number (non-zero
// is true); anything else is not a truth.
std::optional<bool> truthFromText(const std::wstring& text);

// The add-in's "TimeData.db". A key missing or empty reads as the default.
std::wstring iniRead(const wchar_t* section, const wchar_t* key, const wchar_t* defaultValue);
void iniWrite(const wchar_t* section, const wchar_t* key, const wchar_t* value);
void iniDeleteSection(const wchar_t* section);

}  // namespace addin
