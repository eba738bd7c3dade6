#pragma once
// The look every floating window of the program starts from: no border, no caption, no
// taskbar button, above the other windows.
#include "win/window.h"

namespace win {

inline WindowLayout floatingLayout(int left, int top, int width, int height) {
    WindowLayout l;
    l.style = WS_POPUP;
    l.exStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
    l.left = left;
    l.top = top;
    l.width = width;
    l.height = height;
    return l;
}

}  // namespace win
