#include "faces/face_style.h"

#include "faces/face_look.h"

namespace faces {

void FaceStyle::useFont(std::wstring& font, int points) { setFont(settleClockFont(font, points, privateFonts_), points); }

void FaceStyle::setFont(const std::wstring& name, int points) {
    fontName_ = name;
    points_ = points;
    font_ = createPointFont(name, points);
    restyled();
}

void FaceStyle::setTextColour(COLORREF colour) {
    if (colour == textColour_) return;
    textColour_ = colour;
    restyled();
}

void FaceStyle::setBackColour(COLORREF colour) {
    if (colour == backColour_) return;
    backColour_ = colour;
    restyled();
}

void FaceStyle::useKeyColour(HWND window, COLORREF text) {
    COLORREF key = keyColourOf(text);
    setBackColour(key);
    if (!window) return;
    SetWindowLongW(window, GWL_EXSTYLE, GetWindowLongW(window, GWL_EXSTYLE) | WS_EX_LAYERED);
    SetLayeredWindowAttributes(window, key, 0, LWA_COLORKEY);
}

}  // namespace faces
