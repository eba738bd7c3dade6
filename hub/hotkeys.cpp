#include "hub/Frm_exit.h"

#include <algorithm>
#include <string>
#include <vector>

#include "shell/file_helpers.h"
#include "shell/hotkey_text.h"
#include "shell/ini_store.h"
#include "win/auto_message.h"

namespace hub {
namespace {

constexpr wchar_t kNoHotkey[] = L"无";
constexpr size_t kCaptionWordLength = 2;  // "隐藏" or "显示"
constexpr wchar_t kCaptionGap[] = L"        ";

// A hotkey another program holds: its text, and the box that says so.
struct TakenHotkey {
    std::wstring text;
    std::wstring message;
};

// Registers the hotkey the text names, when it names one; false only when that fails.
bool registerHotkey(HWND hub, int id, std::wstring_view text) {
    uint32_t code = shell::hotkeykeycode(text);
    return code == 0 || RegisterHotKey(hub, id, shell::hotkeymodifiers(text), code);
}

// The show/hide hotkey, then those of the first `oftenCount` often-used clocks when they are on;
// the ones another program holds.
std::vector<TakenHotkey> registerAll(HWND hub, const std::wstring& hideKey, int oftenCount) {
    std::vector<TakenHotkey> taken;
    if (!registerHotkey(hub, kHideHotkeyId, hideKey)) taken.push_back({hideKey, shell::hideHotkeyTakenText(hideKey)});
    std::wstring often = shell::iniRead(shell::kHotkeySection, L"often", L"00");  // a missing file reads as off
    if (!shell::oftenHotkeysOn(often)) return taken;
    std::wstring prefix = shell::oftenHotkeyPrefix(often);
    for (int i = 1; i <= oftenCount; ++i) {
        std::wstring text = prefix + std::to_wstring(i);
        if (!registerHotkey(hub, i + 1, text)) taken.push_back({text, shell::oftenHotkeyTakenText(prefix, i)});
    }
    return taken;
}

bool holds(const std::vector<std::wstring>& texts, const std::wstring& text) {
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

}  // namespace

void Frm_exit::Hotkey_set() { setHotkeys({}); }

// Every hotkey is registered before any box is asked: a box runs this thread's messages, and the
// submenu's fill once the file reads may register them all anew under it. What is said while the
// submenu waits for the file is kept for that fill, which does not say it again.
void Frm_exit::setHotkeys(const std::vector<std::wstring>& alreadyTold) {
    std::wstring key = shell::trimBlanks(shell::iniRead(shell::kHotkeySection, L"hide", L""));
    menu_two1_caption = menu_two1_caption.substr(0, kCaptionWordLength) + kCaptionGap;
    if (key != kNoHotkey) menu_two1_caption += key;
    if (!loaded()) return;

    std::vector<TakenHotkey> taken = registerAll(hwnd(), key, oftenItemCount());
    if (oftenRetry_.armed()) {
        for (const TakenHotkey& t : taken) {
            if (!holds(toldWhileWaiting_, t.text)) toldWhileWaiting_.push_back(t.text);
        }
    }
    for (const TakenHotkey& t : taken) {
        if (!holds(alreadyTold, t.text)) win::askMessage(t.message, win::kProductName, MB_OK);
    }
}

// Every identifier the hub may hold goes, whatever the INI store says by now: the settings
// dialog rewrites the store before it calls this.
void Frm_exit::hotkey_del() {
    if (!loaded()) return;
    for (int id = kHideHotkeyId; id <= kMaxOftenHotkeys + 1; ++id) UnregisterHotKey(hwnd(), id);
}

}  // namespace hub
