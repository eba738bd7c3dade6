#pragma once
// The remaining-time banner, and its twin on the second screen: "你的汇报还剩2分30秒".
#include <string>

#include "win/timer.h"
#include "win/window.h"

namespace displays {

class Frm_process : public win::Window {
public:
    explicit Frm_process(bool secondScreen);

    void Form_Load();

    win::Timer Timer1{500, [this] { Timer1_Timer(); }};  // text blink
    win::Timer Timer2{1000, [this] { Timer2_Timer(); }}; // countdown of the caption
    win::Timer Timer3{100, [this] { Timer3_Timer(); }};  // start step, one shot
    win::Timer Timer4{1000, [this] { Timer4_Timer(); }}; // stay on top

    std::wstring bannertext;

    // Left that centres the banner on its screen (twips).
    int centredLeft() const;
    // Above the screen, out of sight; `gap` is 5000 or 2000 twips.
    void park(int gap);

private:
    void Timer1_Timer();
    void Timer2_Timer();
    void Timer3_Timer();
    void Timer4_Timer();

    bool secondScreen_;
};

}  // namespace displays
