#pragma once
// The remaining-time banner, "你的汇报还剩2分30秒", shown for a few seconds at the start of a run
// and at each alarm level and kept up blinking when the day is over; and its twin on the second
// screen, which the main banner hands its caption and switches tick by tick.
#include <string>

#include "displays/banner_text.h"
#include "displays/floating_look.h"
#include "displays/text_window.h"
#include "win/timer.h"

namespace displays {

class Frm_process : public TextWindow {
public:
    explicit Frm_process(bool secondScreen);

    void Form_Load();

    win::Timer Timer1{500, [this] { Timer1_Timer(); }};   // text blink
    win::Timer Timer2{1000, [this] { Timer2_Timer(); }};  // countdown of the caption
    win::Timer Timer3{100, [this] { Timer3_Timer(); }};   // start step, one shot
    win::Timer Timer4{500, [this] { Timer4_Timer(); }};   // stay on top for a few rounds

    // The caption; the clock writes the day's end into it before the start step runs.
    std::wstring bannertext;

    // Left that centres the banner on its screen (twips).
    int centredLeft() const;
    // Above the screen, out of sight; `gap` is 5000 or 2000 twips.
    void park(int gap);
    // All four timers off, then parked: the banner stays out of sight until its start step runs.
    void stopAndPark(int gap);

protected:
    std::wstring shownText() const override { return bannertext; }
    POINT textAt() const override;
    void mouseMove(bool leftOnly, POINT at) override;

private:
    void Timer1_Timer();
    void Timer2_Timer();
    void Timer3_Timer();
    void Timer4_Timer();

    // The look of section Hotkey again; the window wraps its text.
    void restyle();
    void wrapText();
    void nextCaption(int level);
    void placeOnScreen();
    void keepBlinking();
    // Off the screen, its start step left as it is.
    void endShow(int gap);
    void hide();

    // The main banner drives its twin while the second screen is on.
    bool drivesTwin() const;
    static Frm_process& twin();
    void takeCaption(const std::wstring& text);

    bool secondScreen_;
    BannerLook look_;
    BannerCountdown countdown_;
    int toprounds_ = 0;  // stay-on-top rounds left
};

}  // namespace displays
