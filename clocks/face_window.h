#pragma once
// A clock window dressed and laid out round its face, from the clock's settings: the background
// (picture, plain colour or key colour), the face box that follows the text and the window that
// follows the face and the picture.
#include <windows.h>

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

// Paints `s` at `points` on the face laid out for painting; blank while blinking hides the text.
void showOnFace(win::Window& window, ClockFace& face, const std::wstring& facetext, const std::wstring& s, int points);

}  // namespace clocks
