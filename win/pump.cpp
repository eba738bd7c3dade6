#include "win/pump.h"

#include <algorithm>
#include <vector>

namespace win {
namespace {

std::vector<HWND>& dialogs() {
    static std::vector<HWND> list;
    return list;
}

// A menu open on this thread runs its own message loop and waits there for its keys and clicks.
bool inMenuLoop() {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(GetCurrentThreadId(), &info) && (info.flags & (GUI_INMENUMODE | GUI_POPUPMENUMODE));
}

}  // namespace

bool isUserInput(UINT message) {
    return (message >= WM_KEYFIRST && message <= WM_KEYLAST) || (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) ||
           (message >= WM_NCMOUSEMOVE && message <= WM_NCXBUTTONDBLCLK);
}

void addModelessDialog(HWND dialog) {
    if (dialog && std::find(dialogs().begin(), dialogs().end(), dialog) == dialogs().end()) dialogs().push_back(dialog);
}

void removeModelessDialog(HWND dialog) { std::erase(dialogs(), dialog); }

void dispatch(MSG& msg) {
    for (HWND d : dialogs()) {
        if (IsChild(d, msg.hwnd) || msg.hwnd == d) {
            if (IsDialogMessageW(d, &msg)) return;
            break;
        }
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

void doEvents() {
    // A timer handler run by an open menu's loop would hand the menu's keys and clicks to other
    // windows, and the menu would never see them: that loop gets them itself. Whether a menu is
    // open is asked only when such a message waits, since the question is a trip to the window
    // system and the clock pumps on every tick.
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
        UINT waiting = msg.message;  // WM_NULL filters nothing: it takes whatever comes first
        if ((isUserInput(waiting) || waiting == WM_NULL) && inMenuLoop()) return;
        if (!PeekMessageW(&msg, nullptr, waiting, waiting, PM_REMOVE)) continue;
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));  // the message loop must still see it
            return;
        }
        dispatch(msg);
    }
}

bool waitPumping(HANDLE object, DWORD limitMs) {
    DWORD start = GetTickCount();
    for (;;) {
        DWORD waited = GetTickCount() - start;
        DWORD woke = MsgWaitForMultipleObjects(1, &object, FALSE, waited < limitMs ? limitMs - waited : 0, QS_ALLINPUT);
        if (woke != WAIT_OBJECT_0 + 1) return woke == WAIT_OBJECT_0;
        MSG quit;
        if (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE)) return false;  // the program is ending
        doEvents();
    }
}

}  // namespace win
