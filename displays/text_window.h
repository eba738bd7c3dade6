#pragma once
// What the banner, the time-of-day window and the title window share: a borderless floating
// window showing one line of text in its font and colour, on a plain background or on a key
// colour the desktop shows through, painted with GDI and dragged with the mouse.
#include <windows.h>

#include <optional>
#include <string>

#include "faces/face_look.h"
#include "faces/face_style.h"
#include "win/handles.h"
#include "win/window.h"

namespace displays {

class TextWindow : public win::Window, protected faces::FaceStyle {
public:
    using FaceStyle::backColour;
    using FaceStyle::fontName;
    using FaceStyle::fontPoints;
    using FaceStyle::textColour;

protected:
    bool createFloating(const wchar_t* className);

    // The key colour next to the text colour becomes the background, and the desktop shows
    // through it; the window stays layered from then on.
    void changcolor(COLORREF text) { useKeyColour(hwnd(), text); }

    faces::TwipsSize measure(const std::wstring& text) const;
    void resize(int width, int height);  // twips, keeping the place
    // After a change of the text: painted anew, and the window's own text follows it, so that
    // the text can be read from outside the program. Nothing is redone while the window already
    // shows what it should.
    void showText();

    // The text painted and where it starts in the window, twips.
    virtual std::wstring shownText() const = 0;
    virtual POINT textAt() const = 0;
    // Mouse moves, twips in the window; `leftOnly`: the left button and no other.
    virtual void mouseMove(bool leftOnly, POINT at) = 0;

    // The system moves the window with the mouse; returns when the button is released.
    void followMouse();
    // After the system's move: the way the mouse went from the press to `at` is added, and the
    // window kept on the screen, its bottom allowed `belowBottom` twips past the bottom edge.
    void dropOnScreenAfterMove(POINT at, int32_t belowBottom);
    // Left of and above the screen, out of sight.
    void parkOffScreen();
    // The mouse is on a floating window: the windows stop raising themselves for a while.
    static void pauseStayOnTop();

    LRESULT onMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    // Everything a paint depends on; the window is invalidated only when this differs from
    // what the last paint drew.
    struct Drawn {
        std::wstring text;
        LONG x, y;  // where the text starts, pixels
        HFONT font;
        COLORREF textColour, backColour;
        LONG width, height;  // client pixels
        friend bool operator==(const Drawn&, const Drawn&) = default;
    };

    void restyled() override { invalidate(); }
    Drawn drawn() const;
    void invalidate();  // painted when the queue runs dry
    void paintWindow();
    void paint(HDC dc, const Drawn& d) const;
    void mouseDown(bool left, POINT at);

    POINT pressAt_{};  // where the left button went down, twips in the window
    std::optional<Drawn> painted_;  // what the window shows
};

}  // namespace displays
