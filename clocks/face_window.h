#pragma once
// A clock window dressed and laid out round its face, from the clock's settings: the background
// (picture, plain colour or key colour), the face box that follows the text and the window that
// follows the face and the picture.
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

#include "clocks/clock_face.h"
#include "win/window.h"

namespace clocks {

// A picture of the picture folder, a plain colour, or the key colour that leaves only the text
// in `text` on the desktop. With `stageStep`, white text on a plain colour turns magenta.
void dressBackground(ClockFace& face, bool stageStep, COLORREF text);

// The face box round `facetext`, at the settings' place on a picture and at the corner
// otherwise, and the window round it.
void layOutFace(win::Window& window, ClockFace& face, const std::wstring& facetext);

// After a change of size: the face box and the window follow the text again; the face stays put.
void relayOut(win::Window& window, ClockFace& face, const std::wstring& facetext);

// Before a paint: the wider face box of the paint, which stays only while the window keeps its
// size (a window that changes size is laid out anew); on a picture the face is centred.
void layOutForPaint(win::Window& window, ClockFace& face, const std::wstring& facetext);

// What a clock last asked its face to show. Asking the same of a face that has not changed since
// would leave the same pixels: the main tick asks five times a second for a text that changes once.
struct FaceRequest {
    std::wstring facetext;
    std::wstring text;
    int points = 0;
    bool textShows = false;
    bool picture = false;
    int32_t pictureWidth = 0, pictureHeight = 0;
    int32_t windowWidth = 0, windowHeight = 0;  // twips
    uint32_t faceChanges = 0;
    friend bool operator==(const FaceRequest&, const FaceRequest&) = default;
};

// Paints `s` at `points` on the face laid out for painting; blank while blinking hides the text.
// A request equal to `last` stops early.
void showOnFace(win::Window& window, ClockFace& face, std::optional<FaceRequest>& last, const std::wstring& facetext,
                const std::wstring& s, int points);

}  // namespace clocks
