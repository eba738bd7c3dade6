#pragma once
// The time-of-day window.
#include "win/timer.h"
#include "win/window.h"

namespace displays {

class Frm_time : public win::Window {
public:
    Frm_time();

    void Form_Load();

    win::Timer Timer1{1000, [this] { Timer1_Timer(); }};  // the time of day, every second
    win::Timer Timer3{100, [this] { Timer3_Timer(); }};   // show step, one shot

private:
    void Timer1_Timer();
    void Timer3_Timer();
};

}  // namespace displays
