#include "win/dialog_window.h"

#include "win/twips.h"

namespace win {

void DialogWindow::Show() {
    if (!loaded()) {
        constexpr DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
        RECT r{0, 0, twipsToPixelsX(clientWidth_), twipsToPixelsY(clientHeight_)};
        AdjustWindowRectEx(&r, style, FALSE, 0);
        int w = r.right - r.left, h = r.bottom - r.top;
        WindowLayout layout;
        layout.style = style;
        layout.caption = caption_;
        layout.width = pixelsToTwipsX(w);
        layout.height = pixelsToTwipsY(h);
        layout.left = pixelsToTwipsX((GetSystemMetrics(SM_CXSCREEN) - w) / 2);
        layout.top = pixelsToTwipsY((GetSystemMetrics(SM_CYSCREEN) - h) / 2);
        if (!create({className_, 0, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)}, layout)) return;
    }
    ShowWindow(hwnd(), SW_SHOW);
    SetForegroundWindow(hwnd());
}

}  // namespace win
