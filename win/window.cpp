#include "win/window.h"

#include "win/program_icon.h"
#include "win/twips.h"

namespace win {

Window::~Window() {
    timers_.clear();
    hwnd_.reset();
}

RECT Window::rect() const {
    RECT r = unloadedRect_;
    if (hwnd_) GetWindowRect(hwnd_.get(), &r);
    return r;
}

int Window::Left() const { return pixelsToTwipsX(rect().left); }
int Window::Top() const { return pixelsToTwipsY(rect().top); }
int Window::Width() const {
    RECT r = rect();
    return pixelsToTwipsX(r.right - r.left);
}
int Window::Height() const {
    RECT r = rect();
    return pixelsToTwipsY(r.bottom - r.top);
}

bool Window::hasSize(int width, int height) const {
    RECT r = rect();
    return twipsToPixelsX(width) == r.right - r.left && twipsToPixelsY(height) == r.bottom - r.top;
}

void Window::Move(int left, int top) { Move(left, top, Width(), Height()); }

void Window::Move(int left, int top, int width, int height) {
    RECT r{twipsToPixelsX(left), twipsToPixelsY(top), 0, 0};
    r.right = r.left + twipsToPixelsX(width);
    r.bottom = r.top + twipsToPixelsY(height);
    unloadedRect_ = r;
    if (hwnd_) {
        SetWindowPos(hwnd_.get(), nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

std::wstring Window::caption() const {
    if (!hwnd_) return {};
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(hwnd_.get())) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(hwnd_.get(), text.data(), static_cast<int>(text.size()))));
    return text;
}

// A caption that is already the text is left alone: setting it is a trip to the window system.
void Window::setCaption(const std::wstring& text) {
    if (hwnd_ && caption() != text) SetWindowTextW(hwnd_.get(), text.c_str());
}

void Window::unload() {
    if (!hwnd_) return;
    unloadedRect_ = rect();
    hwnd_.reset();  // WM_DESTROY detaches the timers
}

bool Window::create(const WindowClass& cls, const WindowLayout& layout) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{};
    if (!GetClassInfoExW(instance, cls.name, &wc)) {
        wc = WNDCLASSEXW{};
        wc.cbSize = sizeof wc;
        wc.style = cls.style;
        wc.lpfnWndProc = procedure;
        wc.hInstance = instance;
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hIcon = programIcon(SM_CXICON);  // shown by the windows with a caption
        wc.hIconSm = programIcon(SM_CXSMICON);
        wc.hbrBackground = cls.background;
        wc.lpszClassName = cls.name;
        if (!RegisterClassExW(&wc)) return false;
    }
    HWND w = CreateWindowExW(layout.exStyle, cls.name, layout.caption.c_str(), layout.style,
                             twipsToPixelsX(layout.left), twipsToPixelsY(layout.top),
                             twipsToPixelsX(layout.width), twipsToPixelsY(layout.height), layout.parent, nullptr,
                             instance, this);
    if (!w) return false;  // WM_NCCREATE took ownership of the handle
    for (size_t i = 0; i < timers_.size(); ++i) timers_[i]->attach(w, i + 1);
    return true;
}

void Window::addTimer(Timer& t) {
    timers_.push_back(&t);
    if (hwnd_) t.attach(hwnd_.get(), timers_.size());
}

LRESULT Window::onMessage(UINT msg, WPARAM wp, LPARAM lp) { return DefWindowProcW(hwnd_.get(), msg, wp, lp); }

LRESULT CALLBACK Window::procedure(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        auto* self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
        SetWindowLongPtrW(w, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->hwnd_.reset(w);
    }
    auto* self = reinterpret_cast<Window*>(GetWindowLongPtrW(w, GWLP_USERDATA));
    if (!self) return DefWindowProcW(w, msg, wp, lp);
    switch (msg) {
    case WM_TIMER:
        if (wp >= 1 && wp <= self->timers_.size()) {
            self->timers_[wp - 1]->fire();
            return 0;
        }
        break;
    case WM_NCDESTROY: {
        LRESULT r = DefWindowProcW(w, msg, wp, lp);
        SetWindowLongPtrW(w, GWLP_USERDATA, 0);
        self->hwnd_.release();
        return r;
    }
    case WM_DESTROY:
        for (Timer* t : self->timers_) t->detach();
        self->onDestroy();
        break;
    }
    return self->onMessage(msg, wp, lp);
}

}  // namespace win
