#include "hub/Frm_exit.h"
#include "shell/file_helpers.h"
#include "shell/hotkey_text.h"
#include "shell/ini_store.h"
#include "win/auto_message.h"

namespace hub {
namespace {

constexpr wchar_t kNoHotkey[] = L"无";
constexpr size_t kCaptionWordLength = 2;  // "隐藏" or "显示"
constexpr wchar_t kCaptionGap[] = L"        ";

// Registers the hotkey the text names, when it names one; false only when that fails.
bool registerHotkey(HWND hub, int id, std::wstring_view text) {
    uint32_t code = shell::hotkeykeycode(text);
    return code == 0 || RegisterHotKey(hub, id, shell::hotkeymodifiers(text), code);
}

}  // namespace

void Frm_exit::Hotkey_set() {
    std::wstring key = shell::trimBlanks(shell::iniRead(shell::kHotkeySection, L"hide", L""));
    menu_two1_caption = menu_two1_caption.substr(0, kCaptionWordLength) + kCaptionGap;
    if (key != kNoHotkey) menu_two1_caption += key;
    if (!loaded()) return;

    if (!registerHotkey(hwnd(), kHideHotkeyId, key)) win::askMessage(shell::hideHotkeyTakenText(key), win::kProductName, MB_OK);
    std::wstring often = shell::iniRead(shell::kHotkeySection, L"often", L"00");  // a missing file reads as off
    if (!shell::oftenHotkeysOn(often)) return;
    std::wstring prefix = shell::oftenHotkeyPrefix(often);
    int count = oftenItemCount();
    for (int i = 1; i <= count; ++i) {
        if (!registerHotkey(hwnd(), i + 1, prefix + std::to_wstring(i))) {
            win::askMessage(shell::oftenHotkeyTakenText(prefix, i), win::kProductName, MB_OK);
        }
    }
}

// Every identifier the hub may hold goes, whatever the INI store says by now: the settings
// dialog rewrites the store before it calls this.
void Frm_exit::hotkey_del() {
    if (!loaded()) return;
    for (int id = kHideHotkeyId; id <= kMaxOftenHotkeys + 1; ++id) UnregisterHotKey(hwnd(), id);
}

}  // namespace hub
