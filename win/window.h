#pragma once
// Base of every window of the program: it owns its HWND, finds itself from the window
// procedure through GWLP_USERDATA, dispatches WM_TIMER to its timer members, and keeps its
// position and size in twips.
//
// A box, a menu or a wait runs a message loop inside the handler that opened it, and every
// message of the program is dispatched there. So a window counts its own handlers on the stack:
// an unload asked meanwhile waits until the outermost of them returns, and a box opened by one
// of them is owned by the window, which takes no input until the box is answered; nor does a
// window whose handler called into it and waits under the box too.
#include <windows.h>

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "win/handles.h"
#include "win/timer.h"

namespace win {

struct WindowClass {
    const wchar_t* name;
    UINT style = 0;
    HBRUSH background = nullptr;
};

struct WindowLayout {
    DWORD style = WS_POPUP;
    DWORD exStyle = 0;
    std::wstring caption;
    int left = 0, top = 0, width = 0, height = 0;  // twips
    HWND parent = nullptr;                         // HWND_MESSAGE: a window that only gets messages
};

class Window {
public:
    Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    // Derived windows unload themselves first when their own clean-up must run (unload());
    // by the time this runs their timers are gone.
    virtual ~Window();

    HWND hwnd() const { return hwnd_.get(); }
    // The window is there and not about to go.
    bool loaded() const { return hwnd_ && !unloadPending_; }

    // Position and size in twips, screen coordinates.
    int Left() const;
    int Top() const;
    int Width() const;
    int Height() const;
    void Move(int left, int top);
    void Move(int left, int top, int width, int height);
    // True when the window is `width` by `height` twips, to the pixel.
    bool hasSize(int width, int height) const;
    void setLeft(int left) { Move(left, Top()); }
    void setTop(int top) { Move(Left(), top); }

    std::wstring caption() const;
    void setCaption(const std::wstring& text);

    // Destroys the window; its timers stop. The object stays and can be loaded again. Asked while
    // one of the window's own handlers runs, the destroy waits until the outermost has returned
    // (unless the program is ending); loading the window again before then calls it off.
    void unload();
    // One of the window's own handlers (a message or a timer) is on this thread's stack.
    bool handling() const { return depth_ > 0; }
    // The window goes once its handlers return: a handler resuming after a box, a menu or a wait
    // leaves the window and what it shows alone.
    bool unloading() const { return unloadPending_; }
    // Neither a box of its own handlers is open nor is the window or the program going.
    bool takesInput() const;
    // The window of the program behind a handle; null for any other window.
    static Window* of(HWND h);

protected:
    // Registers the class once and creates the window; timers added before start running.
    bool create(const WindowClass& cls, const WindowLayout& layout);
    void addTimer(Timer& t);

    // Messages the window handles itself; the rest go to DefWindowProc.
    virtual LRESULT onMessage(UINT msg, WPARAM wp, LPARAM lp);
    virtual void onDestroy() {}
    // A user's doing (keys, clicks, commands, hotkeys): dropped while the window takes no input.
    virtual bool isInput(UINT msg, WPARAM wp, LPARAM lp) const;

private:
    friend class HandlerScope;
    friend class BoxScope;
    friend void releaseAfterHandlers(Window& window, std::shared_ptr<void> owner);

    static LRESULT CALLBACK procedure(HWND w, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT handle(UINT msg, WPARAM wp, LPARAM lp);
    bool drops(UINT msg, WPARAM wp, LPARAM lp) const;
    // The outermost handler has returned: what waited for it happens now.
    void settle();
    RECT rect() const;

    UniqueWindow hwnd_;
    std::vector<Timer*> timers_;
    RECT unloadedRect_{};  // the geometry kept while there is no window, in pixels
    bool messageOnly_ = false;
    int depth_ = 0;
    int boxes_ = 0;
    bool unloadPending_ = false;
    std::shared_ptr<void> keeper_;  // what holds the window, freed when its handlers return
};

// While one lives, one of the window's handlers is on this thread's stack, as while the window's
// procedure runs one. The handlers a control runs itself (its clicks, keys, pastes) open one for
// the control's window, so that their boxes, menus and the window's going follow the same rules.
class HandlerScope {
public:
    explicit HandlerScope(Window& w);
    ~HandlerScope();
    HandlerScope(const HandlerScope&) = delete;
    HandlerScope& operator=(const HandlerScope&) = delete;

private:
    std::size_t entry_;
};

// Frees `owner`, an object that holds `window`, now; or, while one of the window's handlers is on
// this thread's stack, once the outermost returns: the window is unloading meanwhile.
void releaseAfterHandlers(Window& window, std::shared_ptr<void> owner);
// Objects still held that way: a library with some cannot be unloaded yet.
long heldForHandlers();

// While one lives, a box asked by the innermost handler of this thread's windows is open: the
// box's owner is that window's top-level window (none for a message-only window or outside
// every handler), and until the scope ends neither that window nor any whose handler is on the
// stack beneath it takes input.
class BoxScope {
public:
    BoxScope();
    ~BoxScope();
    BoxScope(const BoxScope&) = delete;
    BoxScope& operator=(const BoxScope&) = delete;
    HWND owner() const { return owner_; }

private:
    std::size_t entry_;  // the asking window's place on the stack of handlers
    HWND owner_ = nullptr;
};

// Whether the window behind a handle (a control's parent) takes a user's input now.
bool takesInput(HWND window);

}  // namespace win
