#pragma once
// Hotkeys as the INI store spells them: a modifier part ("Ctrl", "Shift+Alt" ...), a "+"
// and a key name ("F5", "Num 0", "A"); "无" or any text this does not know means none.
#include <cstdint>
#include <string>
#include <string_view>

namespace shell {

// The MOD_ flags of the text's modifier part: everything before its last "+".
uint32_t hotkeymodifiers(std::wstring_view text);
// The virtual-key code of the key name after the text's last "+"; 0 for none.
uint32_t hotkeykeycode(std::wstring_view text);
// The key name of a virtual-key code, as the settings dialog spells a pressed key; "" for
// a key that cannot be a hotkey.
std::wstring keycodetext(int16_t code);

// Key `often` of section Hotkey holds two digits, a Ctrl flag and an Alt flag.
bool oftenHotkeysOn(std::wstring_view often);  // either digit above 0
std::wstring oftenHotkeyPrefix(std::wstring_view often);  // "Alt+" when the Alt flag is "1", else "Ctrl+"

// What the user is told when another program holds a hotkey.
std::wstring hideHotkeyTakenText(std::wstring_view key);
std::wstring oftenHotkeyTakenText(std::wstring_view prefix, int number);

}  // namespace shell
