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

int time_glass::sizelabelWidth() const { return 0; }
void time_glass::Label_change() {}
void time_glass::ShowStatue(const std::wstring& text, int) { facetext = text; }
void time_glass::creatrange() {}
void time_glass::changcolor(COLORREF) {}
void time_glass::buildFace(bool) {}
void time_glass::paintFace() {}
void time_glass::placeAtSavedPosition() {}
LRESULT time_glass::onMessage(UINT msg, WPARAM wp, LPARAM lp) { return Window::onMessage(msg, wp, lp); }
void time_glass::onDestroy() {}

}  // namespace clocks
