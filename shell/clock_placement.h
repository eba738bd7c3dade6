#pragma once
// Where the clock windows go when they are shown or parked. All values in twips; the screen
// is the primary monitor, the second monitor is taken to lie right of it and to be as large.
#include <cstdint>

#include "shell/ini_store.h"

namespace shell {

struct ScreenTwips {
    int32_t width = 0;
    int32_t height = 0;
};

// The primary screen as the last start reading measured it (`screenwidth`, `screenheight`).
ScreenTwips screenTwips();

// Far above and left of the desktop, so that the window's timers go on unseen.
WindowPosition parkedPosition(int32_t width, int32_t height);

// The main clock at its saved position when that lies inside the screen; a left outside goes
// to the right edge, 100 twips clear of `faceWidth`, a top outside goes to 0.
WindowPosition mainClockPosition(WindowPosition saved, ScreenTwips screen, int32_t faceWidth, int32_t height);

// The second-screen clock: the saved offset, reduced by whole screens, inside the second monitor.
WindowPosition secondClockPosition(WindowPosition saved, ScreenTwips screen, int32_t height);

}  // namespace shell
