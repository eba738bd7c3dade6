#include "hub/Frm_exit.h"

#include "app/forms.h"
#include "clocks/time_glass.h"
#include "displays/Frm_process.h"
#include "hub/clock_layout.h"
#include "shell/ini_store.h"
#include "shell/last_writes.h"
#include "shell/meeting_db.h"
#include "shell/program_folder.h"
#include "shell/run_records.h"
#include "shell/settings_registry.h"
#include "shell/wall_clock.h"
#include "win/auto_message.h"
#include "win/program_end.h"
#include "win/program_icon.h"

namespace hub {
namespace {

constexpr wchar_t kBalloonText[] = L"  鼠标右键更多功能  ";
constexpr UINT kBalloonMs = 2000;
constexpr DWORD kBalloonInfoIcon = 1;

// Broadcast by the shell when it (re)creates the taskbar, after a crash of Explorer for example.
UINT taskbarCreatedMessage() {
    static const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
    return message;
}

void readScreenSize() {
    shell::screenShared().screenwidth = GetSystemMetrics(SM_CXFULLSCREEN);
    shell::screenShared().screenheight = GetSystemMetrics(SM_CYFULLSCREEN);
}

// A banner still counting down when the first run starts is stopped and parked.
void parkCountingBanner(displays::Frm_process& banner) {
    if (banner.Timer2.enabled()) banner.stopAndPark(5000);
}

}  // namespace

Frm_exit::Frm_exit() {
    addTimer(Timer4);
    addTimer(oftenFill);
}

void Frm_exit::Form_Load() {
    // Never shown: it only carries the tray icon, the menu and the hotkeys.
    win::WindowLayout layout;
    layout.style = WS_POPUP;
    layout.exStyle = WS_EX_TOOLWINDOW;
    layout.caption = win::kProductName;
    layout.left = -11670;
    layout.top = -7500;
    layout.width = 3375;
    layout.height = 2025;
    if (!create({L"Velmora.Frm_exit"}, layout)) return;
    readScreenSize();
    shell::regCreateKey(HKEY_CURRENT_USER, shell::kSettingsKey);
    // While another program holds the meeting file the submenu waits for it; the hotkeys kept in
    // TimeData.db need no wait.
    if (!change_clock_menu()) Hotkey_set();

    std::wstring iconFile = shell::inProgramFolder(L"picture\\icon.ico");
    ownIcon_.reset(static_cast<HICON>(LoadImageW(nullptr, iconFile.c_str(), IMAGE_ICON, 0, 0, LR_LOADFROMFILE)));
    mcTray.MouseClick = [this](int button, bool dbClick) { mcTray_MouseClick(button, dbClick); };
    mcTray.AddTrayIcon(hwnd());
    mcTray.SetTrayIcon(ownIcon_ ? ownIcon_.get() : win::programIcon(SM_CXSMICON));
    mcTray.SetTrayTip(caption());
    mcTray.SetTrayMsgbox(kBalloonText, kBalloonInfoIcon, win::kProductName, kBalloonMs);
    kickDue_ = shell::wallClock().tickCount() + Timer4.interval();
    Timer4.enabled(true);
}

std::optional<uint32_t> Frm_exit::startKickDue() const {
    if (!Timer4.enabled()) return std::nullopt;
    return kickDue_;
}

void Frm_exit::Form_QueryUnload() {
    hotkey_del();
    mcTray.DelTrayIcon();
}

void Frm_exit::Timer4_Timer() {
    Timer4.interval(200);
    Timer4.enabled(false);
    if (forms::Frm_process().Timer2.enabled()) shell::timingState().topmostpause = 0;
    parkCountingBanner(forms::Frm_process());
    parkCountingBanner(forms::Frm_process_two());
    shell::TimingState& t = shell::timingState();
    t.clockmode = shell::readClockMode();
    t.soundlist = shell::clockSetting().tellsoundname;
    t.elapsedms = 0;
    t.remainingms = 0;
    readScreenSize();
    forms::time_glass().Timer5.enabled(true);
}

LRESULT Frm_exit::onMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == taskbarCreatedMessage()) {
        mcTray.RestoreTrayIcon();
        return 0;
    }
    switch (msg) {
    case WM_HOTKEY: {
        int id = static_cast<int>(wp);
        if (id == kHideHotkeyId) {
            clockshowhide();
            return 0;
        }
        if (id >= 2 && id <= oftenItemCount() + 1) {
            oftenclockstart(id - 2);
            return 0;
        }
        break;
    }
    case shell::cTray::kCallbackMessage:
        mcTray.onNotify(LOWORD(lp));
        return 0;
    case WM_COMMAND: {
        UINT id = LOWORD(wp);
        if (id >= menu_id::menu_often && id < menu_id::menu_often + menu_often.size()) {
            menu_often_Click(static_cast<int>(id - menu_id::menu_often));
        } else if (id >= menu_id::menu_other && id < menu_id::menu_often) {
            menu_other_Click(static_cast<int>(id - menu_id::menu_other));
        } else if (id >= menu_id::menu_two && id < menu_id::menu_other) {
            menu_two_Click(static_cast<int>(id - menu_id::menu_two));
        }
        return 0;
    }
    case WM_CLOSE: goNow(); return 0;
    case WM_ENDSESSION:
        if (wp) goNow();
        return 0;
    }
    return Window::onMessage(msg, wp, lp);
}

bool Frm_exit::isInput(UINT msg, WPARAM wp, LPARAM lp) const {
    return msg == shell::cTray::kCallbackMessage || Window::isInput(msg, wp, lp);
}

// A close or the session's end ends the program now, even from under a question of the hub's own.
void Frm_exit::goNow() {
    win::beginProgramEnd();
    unload();
}

void Frm_exit::onDestroy() {
    // Removing the tray icon lets pending messages run: from here on no click, key or command
    // opens a menu, a window or a box, whose loop would keep the program alive.
    win::beginProgramEnd();
    Form_QueryUnload();
    // Whichever way the hub goes (the exit item, a close, the end of the session), what still
    // waits for its file is written before the program ends, and what cannot be is said.
    shell::writeWhatWaitsBeforeExit();
    if (whenGone) whenGone();
}

}  // namespace hub
