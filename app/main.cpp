// Velmora: start-up of the timer program.
#include <windows.h>
#include <commctrl.h>

#include "app/forms.h"
#include "clocks/time_glass.h"
#include "clocks/time_glasstwo.h"
#include "displays/Frm_process.h"
#include "displays/Frm_time.h"
#include "displays/Frm_title.h"
#include "hub/Frm_exit.h"
#include "shell/program_folder.h"
#include "shell/settings_registry.h"
#include "win/handles.h"
#include "win/pump.h"

namespace {

// One instance per user session; the mutex lives as long as the process.
bool firstInstance(win::UniqueFile& mutex) {
    mutex.reset(CreateMutexW(nullptr, FALSE, L"Local\\Velmora.Kelvane.SingleInstance"));
    return mutex && GetLastError() != ERROR_ALREADY_EXISTS;
}

void writePathget() {
    shell::regCreateKey(HKEY_CURRENT_USER, shell::kSettingsKey);
    shell::regWriteValue(HKEY_CURRENT_USER, shell::kSettingsKey, L"pathget", shell::programFolder());
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    win::UniqueFile mutex;
    if (!firstInstance(mutex)) return 0;
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_USEREX_CLASSES};
    InitCommonControlsEx(&icc);
    writePathget();

    // The program ends when the hub goes: by the menu's exit, a close or the end of the session.
    // That may happen inside any message loop (a menu's, a message box's, a repair's wait), and
    // none of them returns here when it does, so the process ends right there.
    forms::Frm_exit().whenGone = [] { ExitProcess(0); };
    forms::Frm_exit().Form_Load();
    forms::Frm_process().Form_Load();
    forms::Frm_process_two().Form_Load();
    forms::time_glass().Form_Load();
    forms::time_glasstwo().Form_Load();
    forms::Frm_time().Form_Load();
    forms::Frm_title().Form_Load();

    MSG m;
    while (forms::Frm_exit().loaded() && GetMessageW(&m, nullptr, 0, 0) > 0) {
        win::dispatch(m);
    }
    return 0;
}
