#include "clocks/time_glass.h"

#include "win/floating.h"

namespace clocks {

time_glass::time_glass() {
    for (win::Timer* t : {&Timer1, &Timer2, &Timer3, &Timer4, &Timer5}) addTimer(*t);
}

void time_glass::Form_Load() {
    create({L"Velmora.time_glass"}, win::floatingLayout(0, 0, 2250, 750));
    promptstep = 1;
    shown = true;
    prompting = false;
    ShowWindow(hwnd(), SW_SHOWNOACTIVATE);
}

int time_glass::sizelabelWidth() const { return sizelabelWidth_; }

void time_glass::ShowStatue(const std::wstring& text, int points) { facetext = text; }

void time_glass::Timer1_Timer() {}
void time_glass::Timer2_Timer() {}
void time_glass::Timer3_Timer() {}
void time_glass::Timer4_Timer() {}
void time_glass::Timer5_Timer() { Timer5.enabled(false); }

}  // namespace clocks
