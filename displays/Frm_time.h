#pragma once
// The time-of-day window: "hh:mm" floating on the desktop while the running clock asks for it.
#include <string>

#include "displays/floating_look.h"
#include "displays/text_window.h"
#include "win/timer.h"

namespace displays {

class Frm_time : public TextWindow {
public:
    Frm_time();

    void Form_Load();

    win::Timer Timer1{1000, [this] { Timer1_Timer(); }};  // the time of day, every second
    win::Timer Timer3{100, [this] { Timer3_Timer(); }};   // show step, one shot

    const std::wstring& timetext() const { return timetext_; }

protected:
    std::wstring shownText() const override { return timetext_; }
    POINT textAt() const override;
    void mouseMove(bool leftOnly, POINT at) override;

private:
    void Timer1_Timer();
    void Timer3_Timer();

    void restyle();
    // The time of day now, with the window wrapped round it.
    void refreshTime();

    TextStyle style_;
    std::wstring timetext_;
};

}  // namespace displays
