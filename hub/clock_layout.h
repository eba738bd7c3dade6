#pragma once
// Showing and hiding the clock windows. They are never hidden through the window system:
// hiding parks them far above and left of the desktop, and their timers go on. The caption
// of the menu's show/hide item ("隐藏" or "显示" first) is the only record of which it is.

namespace hub {

void clockshowhide();  // the menu item and the show/hide hotkey
void showclock();
void hideclock();
void clockreset();
void clockfontsize();
void clockrefresh();   // after the second-screen option changed

}  // namespace hub
