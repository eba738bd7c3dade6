#pragma once
// The font and colours a face prints its text in, kept alike for the clock faces and the
// floating text windows. The owner is told after every change (a colour set again is none), so
// that it repaints what differs.
#include <windows.h>

#include <string>

#include "faces/clock_font.h"
#include "win/handles.h"

namespace faces {

class FaceStyle {
public:
    const std::wstring& fontName() const { return fontName_; }
    int fontPoints() const { return points_; }
    COLORREF textColour() const { return textColour_; }
    COLORREF backColour() const { return backColour_; }
    PrivateFonts& privateFonts() { return privateFonts_; }

    // Uses `font` at `points`; a face the system lacks is repaired from the program's font
    // folder, and `font` then names the face that stands in for it.
    void useFont(std::wstring& font, int points);
    void setTextColour(COLORREF colour);
    void setBackColour(COLORREF colour);
    // The key colour next to `text` becomes the background, and on `window` (when there is
    // one) the desktop shows through it; the window stays layered from then on.
    void useKeyColour(HWND window, COLORREF text);

protected:
    FaceStyle() = default;
    FaceStyle(const FaceStyle&) = delete;
    FaceStyle& operator=(const FaceStyle&) = delete;
    ~FaceStyle() = default;

    HFONT font() const { return font_.get(); }
    // Made anew at every call, so that a font file added since is taken.
    virtual void setFont(const std::wstring& name, int points);
    virtual void restyled() = 0;

private:
    std::wstring fontName_;
    int points_ = 0;
    win::UniqueFont font_;
    PrivateFonts privateFonts_;
    COLORREF textColour_ = RGB(0, 0, 0);
    COLORREF backColour_ = RGB(0, 0, 0);
};

}  // namespace faces
