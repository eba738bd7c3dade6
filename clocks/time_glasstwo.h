#pragma once
// The second-screen clock: shows the main clock's run on the monitor right of the primary one.
// It owns no timing state; it places or parks itself, builds its face, and detects the alarm
// seconds for its own prompt and for the second-screen banner.
#include <cstdint>
#include <string>

#include "clocks/clock_face.h"
#include "clocks/face_window.h"
#include "shell/time_rules.h"
#include "win/timer.h"
#include "win/window.h"

namespace clocks {

class time_glasstwo : public win::Window {
public:
    time_glasstwo();

    void Form_Load();

    win::Timer Timer1{1000, [this] { Timer1_Timer(); }};  // tick
    win::Timer Timer2{8, [this] { Timer2_Timer(); }};     // prompt step machine
    win::Timer Timer3{450, [this] { Timer3_Timer(); }};   // stopped by itself; the main clock blinks both faces
    win::Timer Timer5{20, [this] { Timer5_Timer(); }};    // set-up, one shot

    int promptstep = 1;
    bool shown = false;
    bool prompting = false;
    bool blinking = false;       // read by the main clock's blink timer
    std::wstring facetext;       // the text this face is sized for: the last it painted
    shell::TimeOfDay runstart;   // time of day at set-up, the start of clock mode 2
    int16_t addsize = 0;         // second-screen font increment, points
    int32_t alarmonesecs = 0;    // alarm thresholds taken at set-up
    int32_t alarmtwosecs = 0;

    // Elapsed milliseconds of the main clock's run; only "Timer1" measures.
    int32_t remaintime(const std::wstring& timername);
    // The face built and painted anew for the main clock's stage, as at a run start.
    void showMainFace();
    // Paints `s` at `points` on the face, lays the window out round it and shapes it.
    void ShowStatue(const std::wstring& s, int points);
    void creatrange();
    void changcolor(COLORREF textColour);
    ClockFace& face() { return face_; }

protected:
    LRESULT onMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void onDestroy() override;

private:
    void Timer1_Timer();
    void Timer2_Timer();
    void Timer3_Timer();
    void Timer5_Timer();

    bool optionOn() const;
    void placeOnSecondScreen();
    void park();
    void buildFace();
    void paint();
    void fireAlarm(int level);
    void startReactions();

    ClockFace face_;
    std::optional<FaceRequest> faceAsked_;  // what ShowStatue asked of the face last
};

}  // namespace clocks
