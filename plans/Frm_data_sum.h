#pragma once
// The statistics window "计时统计": the recorded runs of table timesum.
#include "win/dialog_window.h"
#include "win/timer.h"

namespace plans {

class Frm_data_sum : public win::DialogWindow {
public:
    Frm_data_sum();

    // While the window is open the floating clocks stay below it.
    win::Timer Timer2{1000, [this] { Timer2_Timer(); }};

protected:
    LRESULT onMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void Timer2_Timer();
};

}  // namespace plans
