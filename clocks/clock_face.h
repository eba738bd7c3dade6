#pragma once
// The face of a clock window: the background picture, the box the time is printed on, the
// clock font and colours, the rounded outline and the colour key. Both clock windows own one and
// paint it in their WM_PAINT; positions and sizes are twips in the window.
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

#include "faces/face_look.h"
#include "faces/face_style.h"
#include "shell/look.h"
#include "win/handles.h"

namespace clocks {

class ClockFace : public faces::FaceStyle {
public:
    // The window the face is painted on; nullptr once it is gone.
    void attach(HWND window);

    // The printed box ("Picture2") and the background ("Picture1") can be hidden while blinking.
    bool faceVisible() const { return faceVisible_; }
    void setFaceVisible(bool visible);
    bool backgroundVisible() const { return backgroundVisible_; }
    void setBackgroundVisible(bool visible);

    // Width and height of `text` in the face's font, twips.
    faces::TwipsSize measure(const std::wstring& text) const;

    // The background picture, stretched over the whole window. A file that cannot be read leaves
    // no picture, and the background colour shows.
    void loadPicture(const std::wstring& path);
    void clearPicture();
    bool hasPicture() const { return static_cast<bool>(picture_); }

    const shell::TwipsRect& faceBox() const { return faceBox_; }
    void setFaceBox(const shell::TwipsRect& box);
    bool hitsFace(POINT clientPixels) const;

    // Prints `text` centred on the face at `points`; an empty text leaves the face blank.
    void print(const std::wstring& text, int points);
    // Draws the face; false when it could not be drawn.
    bool paint(HDC dc);
    // Answers WM_PAINT of the window the face is attached to.
    void paintWindow();

    // Cuts the window to a box with rounded corners, one pixel in at the left and top; a window
    // that already has that outline keeps it.
    void cutOutline(int cornerEllipse);
    // Makes the key colour of `textColour` the background, and transparent on the desktop.
    void makeKeyTransparent(COLORREF textColour);

    // Grows with every change of what the face shows or where: equal counts, same face.
    uint32_t changes() const { return changes_; }

    POINT dragOrigin{};  // twips in the window, where the left button went down

private:
    // Everything a paint depends on. The window is invalidated only when this differs from
    // what the last paint drew, so that an unchanged face costs the window system nothing.
    struct Drawn {
        std::wstring text;
        HFONT font;
        HBITMAP picture;
        COLORREF textColour, backColour;
        bool faceVisible, backgroundVisible;
        shell::TwipsRect faceBox;
        LONG width, height;  // client pixels
        friend bool operator==(const Drawn&, const Drawn&) = default;
    };
    struct Outline {
        LONG width, height;  // window pixels
        int cornerEllipse;
        friend bool operator==(const Outline&, const Outline&) = default;
    };

    void setFont(const std::wstring& name, int points) override;
    void restyled() override {
        ++changes_;
        invalidate();
    }
    Drawn drawn() const;
    HFONT printingFont() const;
    HDC offScreen(HDC dc, SIZE size);
    void invalidate() const;
    void draw(HDC dc, const RECT& client) const;
    void drawPicture(HDC dc, const RECT& client) const;
    void drawText(HDC dc) const;
    RECT faceBoxPixels() const;

    HWND window_ = nullptr;
    bool faceVisible_ = true;
    bool backgroundVisible_ = true;

    int printPoints_ = 0;
    win::UniqueFont printFont_;  // the font at the points printed last, when they differ

    win::UniqueBitmap picture_;
    SIZE pictureSize_{};  // pixels

    shell::TwipsRect faceBox_;
    std::wstring text_;

    std::optional<Drawn> painted_;      // what the window shows
    std::optional<Outline> outline_;   // the region the window has
    uint32_t changes_ = 0;

    win::UniqueBitmap bufferBits_;  // before the DC it is selected into, which goes first
    win::UniqueMemDC buffer_;
    SIZE bufferSize_{};
};

}  // namespace clocks
