#include "plans/Frm_data_sum.h"

#include "shell/run_records.h"

namespace plans {

Frm_data_sum::Frm_data_sum() : DialogWindow(L"Velmora.Frm_data_sum", L"计时统计", 9000, 6000) { addTimer(Timer2); }

LRESULT Frm_data_sum::onMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_CREATE) Timer2.enabled(true);
    return DialogWindow::onMessage(msg, wp, lp);
}

void Frm_data_sum::Timer2_Timer() { shell::timingState().topmostpause = 200; }

}  // namespace plans
