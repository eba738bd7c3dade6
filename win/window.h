#pragma once
// Base of every window of the program: it owns its HWND, finds itself from the window
// procedure through GWLP_USERDATA, dispatches WM_TIMER to its timer members, and keeps its
// position and size in twips.
#include <windows.h>

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
    bool loaded() const { return static_cast<bool>(hwnd_); }

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

    // Destroys the window; its timers stop. The object stays and can be loaded again.
    void unload();

protected:
    // Registers the class once and creates the window; timers added before start running.
    bool create(const WindowClass& cls, const WindowLayout& layout);
    void addTimer(Timer& t);

    // Messages the window handles itself; the rest go to DefWindowProc.
    virtual LRESULT onMessage(UINT msg, WPARAM wp, LPARAM lp);
    virtual void onDestroy() {}

private:
    static LRESULT CALLBACK procedure(HWND w, UINT msg, WPARAM wp, LPARAM lp);
    RECT rect() const;

    UniqueWindow hwnd_;
    std::vector<Timer*> timers_;
    RECT unloadedRect_{};  // the geometry kept while there is no window, in pixels
};

}  // namespace win
