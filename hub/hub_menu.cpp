// The popup menu of the tray icon and the main clock, and what its items do.
#include "hub/Frm_exit.h"

#include <initializer_list>
#include <optional>
#include <string>

#include "app/forms.h"
#include "clocks/time_glass.h"
#include "clocks/time_glasstwo.h"
#include "displays/Frm_process.h"
#include "hub/clock_layout.h"
#include "plans/Frm_data_sum.h"
#include "settings/Settings.h"
#include "shell/help.h"
#include "shell/meeting_db.h"
#include "shell/run_records.h"
#include "win/auto_message.h"
#include "win/program_end.h"

namespace hub {
namespace {

constexpr wchar_t kSettingsItem[] = L"设置";
constexpr wchar_t kOftenItem[] = L"常用时钟";
constexpr wchar_t kStatisticsItem[] = L"计时统计";
constexpr wchar_t kHelpItem[] = L"帮助";
constexpr wchar_t kExitItem[] = L"退出";

// TimingState::openform: the auxiliary window opened last from the menu.
constexpr wchar_t kSettingsForm[] = L"setting";
constexpr wchar_t kStatisticsForm[] = L"Frm_data_sum";

constexpr wchar_t kExitQuestion[] = L"确定退出吗？";
constexpr wchar_t kExitCaption[] = L"提示";
constexpr wchar_t kRecordsGo[] = L"退出将丢失这些记录，";

// Stay-on-top suspensions (keepOnTop lowers the counter by 10 a call): the floating clocks must
// not cover the menu, nor the exit question.
constexpr int32_t kMenuPause = 200;
constexpr int32_t kExitQuestionPause = 2000;

MenuTracker& tracker() {
    static MenuTracker t;
    return t;
}

// A window closed here while one of its handlers waits goes when that handler returns; the
// window shown again stays.
void openAuxiliary(Frm_exit& hub, const wchar_t* form, win::DialogWindow& window) {
    hub.delform();
    shell::timingState().openform = form;
    window.Show();
}

// Run records that still cannot be written go with the program: the question says so, and No
// keeps the program open until the file, the disk or the rights are freed.
void exitProgram() {
    shell::TimingState& t = shell::timingState();
    t.topmostpause = kExitQuestionPause;
    std::optional<std::wstring> unwritten = shell::runsStillUnwritten();
    std::wstring question = unwritten ? *unwritten + L"\r\n" + kRecordsGo + kExitQuestion : kExitQuestion;
    UINT style = MB_YESNO | MB_ICONQUESTION | (unwritten ? MB_DEFBUTTON2 : 0);
    if (win::askMessage(question, kExitCaption, style) == IDNO) {
        t.topmostpause = 0;
        return;
    }
    if (unwritten) shell::forgetPendingRuns();  // the user let them go: not named again
    // The hub goes last: its unload removes the hotkeys and the tray icon, and the program ends
    // with it.
    for (win::Window* w : std::initializer_list<win::Window*>{&forms::time_glass(), &forms::time_glasstwo(),
                                                              &forms::Frm_process(), &forms::Frm_process_two(),
                                                              &forms::Frm_exit()}) {
        w->unload();
    }
}

}  // namespace

void setMenuTracker(MenuTracker t) { tracker() = std::move(t); }

void Frm_exit::delform() {
    const std::wstring& open = shell::timingState().openform;
    if (open == kSettingsForm) forms::Settings().unload();
    if (open == kStatisticsForm) forms::Frm_data_sum().unload();
}

void Frm_exit::oftenclockstart(int index) {
    if (menu_two3_enabled) menu_often_Click(index);
}

void Frm_exit::menu_two_Click(int index) {
    if (index == 1) clockshowhide();
    if (index == 2) openAuxiliary(*this, kSettingsForm, forms::Settings());
}

void Frm_exit::menu_other_Click(int index) {
    switch (index) {
    case 0: return openAuxiliary(*this, kStatisticsForm, forms::Frm_data_sum());
    case 2: return shell::showHelp(hwnd());
    case 3: return exitProgram();
    }
}

void Frm_exit::mcTray_MouseClick(int button, bool dbClick) {
    if (button == 1 && !dbClick) mcTray.delicon();
    if (button != 2) return;
    shell::timingState().topmostpause = kMenuPause;
    if (!dbClick) popupMenu();
}

win::PopupWithBorrowed Frm_exit::buildMenu() const {
    win::PopupWithBorrowed menu;
    HMENU m = menu.get();
    AppendMenuW(m, MF_STRING, menu_id::menu_two + 1, menu_two1_caption.c_str());
    AppendMenuW(m, MF_STRING, menu_id::menu_two + 2, kSettingsItem);
    // A menu item cannot be hidden: while no clock is saved the submenu is left out.
    if (menu_two3_enabled && oftenSubmenu_.handle()) menu.appendBorrowed(oftenSubmenu_.handle(), kOftenItem);
    AppendMenuW(m, MF_STRING, menu_id::menu_other + 0, kStatisticsItem);
    AppendMenuW(m, MF_STRING, menu_id::menu_other + 2, kHelpItem);
    AppendMenuW(m, MF_STRING, menu_id::menu_other + 3, kExitItem);
    return menu;
}

void Frm_exit::popupMenu() {
    POINT at{};
    GetCursorPos(&at);
    popupMenu(at);
}

void Frm_exit::popupMenu(POINT at) {
    win::PopupWithBorrowed menu = buildMenu();
    menuOpen_ = true;
    if (tracker()) {
        tracker()(hwnd(), menu.get());
    } else {
        // The menu closes on a click elsewhere only while its owner is in the foreground, and the
        // message after it lets the next menu open at the first click.
        SetForegroundWindow(hwnd());
        win::popupMenu(menu.get(), TPM_RIGHTBUTTON, at.x, at.y, hwnd());
        PostMessageW(hwnd(), WM_NULL, 0, 0);
    }
    menuOpen_ = false;
}

}  // namespace hub
