#pragma once
// The lasting settings under HKEY_CURRENT_USER\Velmora (and the banner position under
// HKEY_CURRENT_USER\Tessaline): the default clock, the time-source mode, the second-screen
// and run-record switches, the program folder and the window positions.
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <variant>

#include "shell/run_records.h"

namespace shell {

inline constexpr wchar_t kSettingsKey[] = L"Velmora";
inline constexpr wchar_t kBannerKey[] = L"Tessaline";

// A registry value as the program handles it: REG_SZ text or REG_DWORD number.
using RegValue = std::variant<std::wstring, int32_t>;

// Thin wrappers over the registry API (keys opened with KEY_ALL_ACCESS & 0x3F).
void regCreateKey(HKEY root, const std::wstring& path);
// Writes into an existing key only; never creates one. Returns the API result.
LONG regWriteValue(HKEY root, const std::wstring& path, const std::wstring& name, const RegValue& value);
// Nothing for a missing key or value or a type other than REG_SZ and REG_DWORD.
std::optional<RegValue> regReadValue(HKEY root, const std::wstring& path, const std::wstring& name);
void regDeleteValue(HKEY root, const std::wstring& path, const std::wstring& name);
LONG regDeleteKey(HKEY root, const std::wstring& path);

// The numeric value of a value of key Velmora; absent or not a number gives 0.
int32_t readSettingNumber(const std::wstring& name);
// Writes a REG_DWORD value of key Velmora, creating the key when needed.
void writeSettingNumber(const std::wstring& name, int32_t value);
// The same for any key of HKEY_CURRENT_USER (Velmora or Tessaline).
int32_t readUserNumber(const std::wstring& key, const std::wstring& name);
void writeUserNumber(const std::wstring& key, const std::wstring& name, int32_t value);

void readsetting(ClockSetting& s);
void savesetting(const ClockSetting& s);
void delsetting();
int16_t readClockMode();
// Read from the registry at its first use and after the program wrote or deleted a value.
int16_t readSecondScreen();
// The next readSecondScreen reads the registry again (for a change made from outside).
void forgetSecondScreen();
bool wpsVersion();
std::wstring readClassString(HKEY root, const std::wstring& path, const std::wstring& name);
bool classKeyExists(const std::wstring& path, const std::wstring& name);

}  // namespace shell
