#pragma once
// The rules a clock face is shaped and sized by: the colour made transparent, the picture's
// size, the boxes round the text, and where a dragged clock may be dropped. Twips throughout,
// pictures in pixels.
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string_view>

#include "shell/clock_placement.h"
#include "shell/file_helpers.h"

namespace faces {

// Pictures are turned into twips at a fixed 15 twips a pixel, whatever the screen.
inline constexpr int32_t kTwipsPerPicturePixel = 15;

// The colour that is made transparent round the text: a small step off the text colour, so that
// only the digits stay on the desktop.
COLORREF keyColourOf(COLORREF text);

// The face stands on a background of its own: position 7 of checkvalue is "0". Anything else
// is see-through.
bool opaqueBackground(std::wstring_view checkvalue);

// A background picture is used at most 600 x 450 pixels large.
shell::PictureSize cappedPictureSize(shell::PictureSize size);

struct TwipsSize {
    int32_t width = 0;
    int32_t height = 0;
    friend bool operator==(TwipsSize, TwipsSize) = default;
};

// The face box round its text: `widthAllowance` wider (100 when the window is laid out, 120 when
// the face is painted) and 20 higher.
TwipsSize faceBoxOf(TwipsSize text, int32_t widthAllowance);

// The window round the face; with a background picture at least the picture's size.
TwipsSize windowAround(TwipsSize face, std::optional<shell::PictureSize> picture);

// Where a dragged window is left: inside the screen, its bottom allowed `belowBottom` twips past
// the screen's bottom edge.
shell::WindowPosition dropOnScreen(shell::WindowPosition dropped, TwipsSize window, shell::ScreenTwips screen,
                                   int32_t belowBottom = 0);

}  // namespace faces
