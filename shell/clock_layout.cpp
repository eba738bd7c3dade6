#include "shell/clock_layout.h"

namespace shell {

void clockshowhide() {}
void showclock() {}
void hideclock() {}
void clockreset() {}
void clockfontsize() {}
void clockrefresh() {}

}  // namespace shell
