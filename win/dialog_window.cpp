#include "win/dialog_window.h"

#include <string_view>

#include "win/pump.h"
#include "win/twips.h"

namespace win {

UniqueFont messageFont() {
    NONCLIENTMETRICSW m{};
    m.cbSize = sizeof m;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof m, &m, 0);
    return UniqueFont(CreateFontIndirectW(&m.lfMessageFont));
}

// A window unloading under its own handler is loaded again by staying (see Window::create).
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

void ControlDialog::createControls(const std::vector<ControlDesign>& layout) {
    font_ = messageFont();
    controls_.create(hwnd(), layout, font_.get());
    addModelessDialog(hwnd());
}

void ControlDialog::showPage(const wchar_t* page) {
    for (Control* c : controls_.all()) {
        if (c->page()) c->setVisible(c->page() == std::wstring_view(page));
    }
}

LRESULT ControlDialog::onMessage(UINT msg, WPARAM wp, LPARAM lp) {
    LRESULT result = 0;
    if (controls_.route(msg, wp, lp, result)) return result;
    return DialogWindow::onMessage(msg, wp, lp);
}

void ControlDialog::onDestroy() {
    removeModelessDialog(hwnd());
    controls_.destroy();
}

}  // namespace win
