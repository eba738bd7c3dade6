#include "displays/Frm_time.h"

#include "win/floating.h"

namespace displays {

Frm_time::Frm_time() {
    for (win::Timer* t : {&Timer1, &Timer3}) addTimer(*t);
}

void Frm_time::Form_Load() {
    create({L"Velmora.Frm_time"}, win::floatingLayout(-9000, -9000, 3000, 800));
    ShowWindow(hwnd(), SW_SHOWNOACTIVATE);
}

void Frm_time::Timer1_Timer() {}
void Frm_time::Timer3_Timer() { Timer3.enabled(false); }

}  // namespace displays
