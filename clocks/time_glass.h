#pragma once
// The main clock: a borderless floating window that shows the time of the running stage.
#include <string>

#include "shell/time_rules.h"
#include "win/timer.h"
#include "win/window.h"

namespace clocks {

class time_glass : public win::Window {
public:
    time_glass();

    void Form_Load();

    // The five timers of the run, all stored disabled.
    win::Timer Timer1{1000, [this] { Timer1_Timer(); }};  // main tick
    win::Timer Timer2{100, [this] { Timer2_Timer(); }};   // alarm prompt machine
    win::Timer Timer3{200, [this] { Timer3_Timer(); }};   // blinking
    win::Timer Timer4{1000, [this] { Timer4_Timer(); }};  // stage change
    win::Timer Timer5{20, [this] { Timer5_Timer(); }};    // run start, one shot

    std::wstring stageperiod = L"00:00\\00:00";  // start and end of the current or next stage
    int alarmlevel = 0;                          // 0 none, 1..3 reached, 4 no stage left today
    int promptstep = 0;                          // alarm prompt machine, 1 start .. 6 done
    bool shown = false;                          // on screen (false: parked by the hide command)
    bool prompting = false;                      // an alarm prompt runs
    std::wstring facetext;                       // the text now on the face
    shell::TimeOfDay runstart;                   // time of day at run start

    // Width in twips of "00:00:00" in the clock font: bounds the position without a picture.
    int sizelabelWidth() const;
    // Paints `text` on the face at `points` and sizes the window to it.
    void ShowStatue(const std::wstring& text, int points);

private:
    void Timer1_Timer();
    void Timer2_Timer();
    void Timer3_Timer();
    void Timer4_Timer();
    void Timer5_Timer();

    int sizelabelWidth_ = 0;
};

}  // namespace clocks
