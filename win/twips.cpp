#include "win/twips.h"

#include <windows.h>

namespace win {
namespace {

int twipsPerPixel(int axis) {
    HDC screen = GetDC(nullptr);
    int dpi = screen ? GetDeviceCaps(screen, axis) : 0;
    if (screen) ReleaseDC(nullptr, screen);
    return dpi > 0 ? 1440 / dpi : 15;
}

}  // namespace

int twipsPerPixelX() {
    static const int value = twipsPerPixel(LOGPIXELSX);
    return value;
}

int twipsPerPixelY() {
    static const int value = twipsPerPixel(LOGPIXELSY);
    return value;
}

}  // namespace win
