#pragma once
// The hub: an invisible window that holds the tray icon, the popup menu, the often-used
// clocks submenu and the global hotkeys, and gives the first run its start kick.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "hub/often_submenu.h"
#include "shell/retry_timer.h"
#include "shell/tray.h"
#include "win/handles.h"
#include "win/program_end.h"
#include "win/timer.h"
#include "win/window.h"

namespace hub {

// Command identifiers of the popup menu.
namespace menu_id {
inline constexpr UINT menu_two = 100;    // + index 1..3
inline constexpr UINT menu_other = 200;  // + index 0, 2, 3
inline constexpr UINT menu_often = 300;  // + index 0..n-1
}  // namespace menu_id

// Hotkey identifiers on the hub: 1 show/hide, k + 1 the often-used clock k (k = 1..9).
inline constexpr int kHideHotkeyId = 1;
inline constexpr int kMaxOftenHotkeys = 9;

// How the popup menu is shown: TrackPopupMenu at the cursor, which returns when the menu closes.
// Tests put a recorder in its place (nullptr: the menu again).
using MenuTracker = std::function<void(HWND owner, HMENU menu)>;
void setMenuTracker(MenuTracker tracker);

class Frm_exit : public win::Window {
public:
    Frm_exit();

    void Form_Load();
    void Form_QueryUnload();

    win::Timer Timer4{1000, [this] { Timer4_Timer(); }};  // start kick, one shot
    // The tick count at which the start kick runs, while it is still to come.
    std::optional<uint32_t> startKickDue() const;
    // Appends the next slice of the often-used submenu until it is whole.
    win::Timer oftenFill{10, [this] { oftenFill_Timer(); }};

    // Public operations.
    void delform();
    // The submenu from the saved clocks; false, and tried again shortly, while another program
    // holds the file.
    bool change_clock_menu();
    void oftenclockstart(int index);
    void menu_other_Click(int index);
    void Hotkey_set();
    void hotkey_del();
    void mcTray_MouseClick(int button, bool dbClick);

    void menu_two_Click(int index);
    void menu_often_Click(int index);

    // The menu as data; the popup is built from it each time it opens, around the often-used
    // submenu kept from the last change of the saved clocks.
    std::wstring menu_two1_caption = L"隐藏";  // "隐藏"/"显示", eight blanks, the show/hide hotkey
    bool menu_two3_enabled = false;            // "常用时钟": shown and enabled while clocks are saved
    std::vector<std::wstring> menu_often;      // saved clock names in ID order
    // Items the hotkeys count: the submenu always has its first item, at most nine are bound.
    int oftenItemCount() const;

    // The popup menu as it would open now (the caller owns it, the hub its submenu).
    win::PopupWithBorrowed buildMenu() const;
    const OftenSubmenu& oftenSubmenu() const { return oftenSubmenu_; }
    // At the cursor, or at a point of the screen (pixels).
    void popupMenu();
    void popupMenu(POINT screenAt);

    shell::cTray mcTray;

    // Runs when the hub has gone, however it went and whatever message loop was running then:
    // the program ends with it (tests leave it empty and keep their process).
    std::function<void()> whenGone;

protected:
    LRESULT onMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void onDestroy() override;
    bool isInput(UINT msg, WPARAM wp, LPARAM lp) const override;  // the tray icon's clicks too

private:
    void Timer4_Timer();
    void oftenFill_Timer();
    void fillOftenMenu(std::vector<std::wstring> names);
    void clearOftenMenu();
    // Hotkey_set, saying nothing of a taken hotkey whose text `alreadyTold` holds.
    void setHotkeys(const std::vector<std::wstring>& alreadyTold);
    void goNow();

    win::UniqueIcon ownIcon_;  // icon.ico of the picture folder, when there is one
    uint32_t kickDue_ = 0;     // tick count at which the start kick was armed to run
    OftenSubmenu oftenSubmenu_{menu_id::menu_often};
    bool menuOpen_ = false;  // the submenu shown is not changed under the open menu
    // The hotkeys said to be taken while the submenu waited for the file: said once for the start.
    std::vector<std::wstring> toldWhileWaiting_;
    shell::RetryTimer oftenRetry_{[this] { return !loaded() || win::programEnding() || change_clock_menu(); }};
};

}  // namespace hub
