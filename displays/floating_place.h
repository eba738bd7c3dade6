#pragma once
// Where the banner, the time-of-day window and the title window show themselves, where they are
// parked and where a drag may leave them. Twips; the screen is the primary monitor, and a second
// monitor is taken to lie right of it and to be as large.
#include <cstdint>

#include "faces/face_look.h"
#include "shell/clock_placement.h"
#include "shell/ini_store.h"

namespace displays {

using faces::dropOnScreen;
using faces::TwipsSize;
using shell::ScreenTwips;
using shell::screenTwips;
using shell::WindowPosition;

// How far the banner and the time-of-day window may hang below the screen's bottom edge.
inline constexpr int32_t kHangBelowBottom = 200;

// The banner at its saved place, else centred 200 twips below the top. The second-screen banner
// keeps the same place one screen to the right and 1500 twips lower.
WindowPosition bannerPosition(WindowPosition saved, TwipsSize window, ScreenTwips screen, bool secondScreen);
// The time-of-day window at its saved place, else in the bottom-right corner.
WindowPosition timePosition(WindowPosition saved, TwipsSize window, ScreenTwips screen);
// The title window at its saved place, else in the top-left corner.
WindowPosition titlePosition(WindowPosition saved, TwipsSize window, ScreenTwips screen);

// Out of sight above and left of the screen: the time-of-day and title windows when off.
WindowPosition offScreen(TwipsSize window, ScreenTwips screen);

}  // namespace displays
