#pragma once
// The second-screen clock: shows the main clock's run on the monitor right of the primary one.
#include <string>

#include "clocks/clock_face.h"
#include "win/timer.h"
#include "win/window.h"

namespace clocks {

class time_glasstwo : public win::Window {
public:
    time_glasstwo();

    void Form_Load();

    win::Timer Timer1{200, [this] { Timer1_Timer(); }};  // tick
    win::Timer Timer2{8, [this] { Timer2_Timer(); }};    // prompt step machine
    win::Timer Timer3{450, [this] { Timer3_Timer(); }};  // blinking
    win::Timer Timer5{20, [this] { Timer5_Timer(); }};   // set-up, one shot

    int promptstep = 0;
    bool shown = false;
    bool prompting = false;

    void ShowStatue(const std::wstring& text, int points);
    ClockFace& face() { return face_; }

private:
    void Timer1_Timer();
    void Timer2_Timer();
    void Timer3_Timer();
    void Timer5_Timer();

    ClockFace face_;
};

}  // namespace clocks
