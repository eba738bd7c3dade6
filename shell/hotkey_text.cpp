#include "shell/hotkey_text.h"

#include <windows.h>

#include <array>

#include "shell/text_number.h"

namespace shell {
namespace {

struct ModifierPart {
    std::wstring_view text;
    uint32_t flags;
};
constexpr std::array<ModifierPart, 7> kModifierParts{{
    {L"Alt", MOD_ALT},
    {L"Ctrl", MOD_CONTROL},
    {L"Ctrl+Alt", MOD_CONTROL | MOD_ALT},
    {L"Shift", MOD_SHIFT},
    {L"Shift+Alt", MOD_SHIFT | MOD_ALT},
    {L"Shift+Ctrl", MOD_SHIFT | MOD_CONTROL},
    {L"Shift+Ctrl+Alt", MOD_SHIFT | MOD_CONTROL | MOD_ALT},
}};

// The codes keycodetext can name; every other code gives "".
constexpr int16_t kFirstNamedKey = '0';
constexpr int16_t kLastNamedKey = VK_F12;

constexpr wchar_t kCr[] = L"\r";

// The numeric value of the text's character at `index`, 0 when it is not a digit or missing.
double digitAt(std::wstring_view text, size_t index) {
    return index < text.size() ? numberOf(text.substr(index, 1)) : 0;
}

}  // namespace

uint32_t hotkeymodifiers(std::wstring_view text) {
    size_t plus = text.rfind(L'+');
    if (plus == std::wstring_view::npos) return 0;
    std::wstring_view part = text.substr(0, plus);
    for (const ModifierPart& m : kModifierParts) {
        if (m.text == part) return m.flags;
    }
    return 0;
}

uint32_t hotkeykeycode(std::wstring_view text) {
    size_t plus = text.rfind(L'+');
    std::wstring_view name = plus == std::wstring_view::npos ? text : text.substr(plus + 1);
    if (name.empty()) return 0;
    for (int16_t code = kFirstNamedKey; code <= kLastNamedKey; ++code) {
        if (keycodetext(code) == name) return static_cast<uint32_t>(code);
    }
    return 0;
}

std::wstring keycodetext(int16_t code) {
    if ((code >= '0' && code <= '9') || (code >= 'A' && code <= 'Z')) return std::wstring(1, static_cast<wchar_t>(code));
    if (code >= VK_NUMPAD0 && code <= VK_NUMPAD9) return L"Num " + std::to_wstring(code - VK_NUMPAD0);
    if (code >= VK_F1 && code <= VK_F12) return L"F" + std::to_wstring(code - VK_F1 + 1);
    return {};
}

bool oftenHotkeysOn(std::wstring_view often) { return digitAt(often, 0) + digitAt(often, 1) > 0; }

std::wstring oftenHotkeyPrefix(std::wstring_view often) {
    return often.size() >= 2 && often[1] == L'1' ? L"Alt+" : L"Ctrl+";
}

std::wstring hideHotkeyTakenText(std::wstring_view key) {
    return L"热键" + std::wstring(key) + L"被其它程序占有" + kCr + kCr + L"请更改热键或关闭其他程序以便设置" + kCr + kCr +
           L"也可右键单击时钟执行相应命令";
}

std::wstring oftenHotkeyTakenText(std::wstring_view prefix, int number) {
    return L"热键" + std::wstring(prefix) + std::to_wstring(number) + L"被其它程序占有" + kCr + kCr + L"请更改热键" + kCr +
           kCr + L"或右键单击调用";
}

}  // namespace shell
