#include "displays/text_window.h"

#include <windowsx.h>

#include "displays/floating_place.h"
#include "shell/run_records.h"
#include "win/floating.h"
#include "win/twips.h"
#include "win/window_work.h"

namespace displays {
namespace {

constexpr int32_t kMousePause = 200;
// Until the window's look is read: parked far off the screen.
constexpr int kUnplaced = -20000;
constexpr int kDesignWidth = 5925;
constexpr int kDesignHeight = 2310;

POINT twipsOf(LPARAM lp) {
    return {win::pixelsToTwipsX(GET_X_LPARAM(lp)), win::pixelsToTwipsY(GET_Y_LPARAM(lp))};
}

}  // namespace

bool TextWindow::createFloating(const wchar_t* className) {
    painted_.reset();
    return create({className}, win::floatingLayout(kUnplaced, kUnplaced, kDesignWidth, kDesignHeight));
}

faces::TwipsSize TextWindow::measure(const std::wstring& text) const {
    win::UniqueMemDC dc(CreateCompatibleDC(nullptr));
    if (!dc || !font()) return {};
    win::SelectScope use(dc.get(), font());
    SIZE extent{};
    GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &extent);
    TEXTMETRICW tm{};
    GetTextMetricsW(dc.get(), &tm);
    return {win::pixelsToTwipsX(extent.cx), win::pixelsToTwipsY(tm.tmHeight)};
}

void TextWindow::resize(int width, int height) {
    if (!hasSize(width, height)) Move(Left(), Top(), width, height);
}

TextWindow::Drawn TextWindow::drawn() const {
    RECT client{};
    GetClientRect(hwnd(), &client);
    POINT at = textAt();
    return {shownText(), win::twipsToPixelsX(at.x), win::twipsToPixelsY(at.y), font(), textColour(), backColour(),
            client.right, client.bottom};
}

void TextWindow::invalidate() {
    if (loaded() && drawn() != painted_) InvalidateRect(hwnd(), nullptr, FALSE);
}

void TextWindow::showText() {
    setCaption(shownText());
    invalidate();
}

void TextWindow::followMouse() {
    ReleaseCapture();
    SendMessageW(hwnd(), WM_NCLBUTTONDOWN, HTCAPTION, 0);
}

void TextWindow::mouseDown(bool left, POINT at) {
    pauseStayOnTop();
    if (left) pressAt_ = at;
}

void TextWindow::dropOnScreenAfterMove(POINT at, int32_t belowBottom) {
    WindowPosition p = dropOnScreen({Left() + at.x - pressAt_.x, Top() + at.y - pressAt_.y}, {Width(), Height()},
                                    screenTwips(), belowBottom);
    Move(p.left, p.top);
}

void TextWindow::parkOffScreen() {
    WindowPosition p = offScreen({Width(), Height()}, screenTwips());
    Move(p.left, p.top);
}

void TextWindow::pauseStayOnTop() { shell::timingState().topmostpause = kMousePause; }

LRESULT TextWindow::onMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_PAINT: paintWindow(); return 0;
    case WM_ERASEBKGND: return 1;  // the paint covers the whole window
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: mouseDown(msg == WM_LBUTTONDOWN, twipsOf(lp)); return 0;
    case WM_MOUSEMOVE: mouseMove((wp & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) == MK_LBUTTON, twipsOf(lp)); return 0;
    }
    return Window::onMessage(msg, wp, lp);
}

// A paint the system asks for may cover only part of the window: when the text or look changed
// since the last paint, the whole is drawn.
void TextWindow::paintWindow() {
    Drawn now = drawn();
    if (now != painted_) InvalidateRect(hwnd(), nullptr, FALSE);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd(), &ps);
    ++win::windowWork().paints;
    paint(dc, now);
    EndPaint(hwnd(), &ps);
    painted_ = now;
}

void TextWindow::paint(HDC dc, const Drawn& d) const {
    RECT client{0, 0, d.width, d.height};
    win::UniqueBrush back(CreateSolidBrush(d.backColour));
    FillRect(dc, &client, back.get());
    if (!d.font) return;
    win::SelectScope use(dc, d.font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, d.textColour);
    TextOutW(dc, d.x, d.y, d.text.c_str(), static_cast<int>(d.text.size()));
}

}  // namespace displays
