#pragma once
// Message boxes that close themselves after their time-out. The system's own time-out is
// not honoured everywhere, so a thread timer ends the box.
#include <windows.h>

#include <utility>

#include <functional>
#include <string>
#include <string_view>

namespace win {

inline constexpr wchar_t kProductName[] = L"Kelvane";

struct MessageShown {
    std::wstring text;
    std::wstring caption;
    UINT style = 0;
    unsigned timeoutMs = 0;  // 0: an ordinary box that waits for the user
    HWND owner = nullptr;    // the asking window, disabled while the box shows
};

// Boxes of a window's handler are owned by that window (see BoxScope in win/window.h). Once the
// program ends they show only for the going's own report: autoMessage then returns IDOK, and
// askMessage its refusing answer (No, Cancel, Abort; OK for a plain box).

// Shows text in a box captioned `caption` that closes after timeoutMs (IDOK is returned then).
int autoMessage(std::wstring_view text, unsigned timeoutMs, UINT style = MB_OK,
                std::wstring_view caption = kProductName);

// An ordinary message box that waits for the user; returns the button pressed.
int askMessage(std::wstring_view text, std::wstring_view caption, UINT style);

// Tests see every box here instead of on screen; the sink's result is the button "pressed".
using MessageSink = std::function<int(const MessageShown&)>;
void setMessageSink(MessageSink sink);

}  // namespace win
