#include "win/window.h"

#include <atomic>

#include "win/program_end.h"
#include "win/program_icon.h"
#include "win/pump.h"
#include "win/twips.h"

namespace win {
namespace {

// The windows whose handlers are on this thread's stack, innermost last; a window destroyed
// under its own handler leaves a null entry.
std::vector<Window*>& handlers() {
    thread_local std::vector<Window*> stack;
    return stack;
}

std::atomic<long> held{0};

}  // namespace

HandlerScope::HandlerScope(Window& w) : entry_(handlers().size()) {
    handlers().push_back(&w);
    ++w.depth_;
}

HandlerScope::~HandlerScope() {
    Window* w = handlers()[entry_];
    handlers().pop_back();
    if (w && --w->depth_ == 0) w->settle();
}

Window::~Window() {
    for (Window*& w : handlers()) {
        if (w == this) w = nullptr;
    }
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
    // Once the program ends, no handler on the stack goes on to need its window: it goes at once.
    if (handling() && !programEnding()) {
        unloadPending_ = true;
        return;
    }
    unloadPending_ = false;
    unloadedRect_ = rect();
    hwnd_.reset();  // WM_DESTROY detaches the timers
}

void Window::settle() {
    if (keeper_) {
        --held;
        std::shared_ptr<void> last = std::move(keeper_);
        last.reset();  // frees this window too
        return;
    }
    if (unloadPending_) unload();
}

bool Window::takesInput() const { return !programEnding() && boxes_ == 0 && !unloadPending_; }

Window* Window::of(HWND h) {
    if (!h || GetClassLongPtrW(h, GCLP_WNDPROC) != reinterpret_cast<ULONG_PTR>(&procedure)) return nullptr;
    return reinterpret_cast<Window*>(GetWindowLongPtrW(h, GWLP_USERDATA));
}

bool Window::isInput(UINT msg, WPARAM wp, LPARAM lp) const {
    switch (msg) {
    case WM_HOTKEY:
    case WM_CONTEXTMENU: return true;
    // Menus, accelerators and the dialog keys, and the clicks of buttons, lists and labels; an
    // edit's notifications (from 0x100 on) also come from text set by the program.
    case WM_COMMAND: return lp == 0 || HIWORD(wp) < 0x100;
    // The box may still need its owner restored or moved; the system menu is the user's.
    case WM_SYSCOMMAND: return (wp & 0xFFF0) == SC_KEYMENU || (wp & 0xFFF0) == SC_MOUSEMENU;
    }
    return isUserInput(msg);
}

bool Window::drops(UINT msg, WPARAM wp, LPARAM lp) const {
    if (msg == WM_TIMER) return unloadPending_;
    return !takesInput() && isInput(msg, wp, lp);
}

void releaseAfterHandlers(Window& window, std::shared_ptr<void> owner) {
    if (!window.handling()) return;  // `owner` goes here
    window.unloadPending_ = true;
    window.keeper_ = std::move(owner);
    ++held;
}

long heldForHandlers() { return held; }

// Every handler under the box waits for it, the asker's and those that called into the asker:
// none of their windows takes input meanwhile, or a click there would run a loop of its own
// above the box's, and the box could not return until that loop ended.
BoxScope::BoxScope() : entry_(handlers().size()) {
    while (entry_ > 0 && !handlers()[entry_ - 1]) --entry_;
    if (entry_-- == 0) return;
    for (std::size_t i = 0; i <= entry_; ++i) {
        if (Window* waiting = handlers()[i]) ++waiting->boxes_;
    }
    Window& asker = *handlers()[entry_];
    if (!asker.messageOnly_) owner_ = GetAncestor(asker.hwnd(), GA_ROOT);
}

// A window destroyed meanwhile has left a null entry.
BoxScope::~BoxScope() {
    if (entry_ >= handlers().size()) return;
    for (std::size_t i = 0; i <= entry_; ++i) {
        if (Window* waiting = handlers()[i]) --waiting->boxes_;
    }
}

bool takesInput(HWND window) {
    Window* w = Window::of(window);
    return w ? w->takesInput() : !programEnding();
}

bool Window::create(const WindowClass& cls, const WindowLayout& layout) {
    if (hwnd_ && unloadPending_) {  // loaded again before its handlers returned: it stays
        if (keeper_) return false;    // ... unless what holds it is being freed
        unloadPending_ = false;
        return true;
    }
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
    messageOnly_ = layout.parent == HWND_MESSAGE;
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
    if (self->drops(msg, wp, lp)) {
        // A press begun before the box must still end, or the window keeps the mouse.
        if ((msg == WM_LBUTTONUP || msg == WM_RBUTTONUP) && GetCapture() == w) ReleaseCapture();
        return 0;
    }
    HandlerScope handling(*self);
    return self->handle(msg, wp, lp);
}

LRESULT Window::handle(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_TIMER:
        if (wp >= 1 && wp <= timers_.size()) {
            timers_[wp - 1]->fire();
            return 0;
        }
        break;
    case WM_NCDESTROY: {
        HWND w = hwnd_.release();
        LRESULT r = DefWindowProcW(w, msg, wp, lp);
        SetWindowLongPtrW(w, GWLP_USERDATA, 0);
        return r;
    }
    case WM_DESTROY:
        for (Timer* t : timers_) t->detach();
        onDestroy();
        break;
    }
    return onMessage(msg, wp, lp);
}

}  // namespace win
