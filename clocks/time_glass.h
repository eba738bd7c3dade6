#pragma once
// The main clock: a borderless floating window that times the running stage against the wall
// clock, fires the three alarm levels, records finished runs and follows the day's stages.
#include <cstdint>
#include <string>
#include <vector>

#include "clocks/clock_face.h"
#include "clocks/face_window.h"
#include "clocks/stage_run.h"
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
    win::Timer Timer3{200, [this] { Timer3_Timer(); }};   // blinking and prompt duration
    // Stage change, one shot, 200 ms after the run's end from the first on: a first one a second
    // later would begin the stage after the program's first wait in its second second.
    win::Timer Timer4{200, [this] { Timer4_Timer(); }};
    win::Timer Timer5{20, [this] { Timer5_Timer(); }};    // run start, one shot
    win::Timer daywatch{1000, [this] { daywatch_Timer(); }};  // the date, while no stage is timed

    // Window state read and written from outside.
    std::wstring stageperiod = L"00:00\\00:00";  // start and end of the current or next stage
    int alarmlevel = 0;                          // 0 start, 1..3 alarm reached, 4 no stage left today
    int promptstep = 0;                          // alarm prompt machine, 1 start .. 6
    bool shown = false;                          // on screen (false: parked by the hide command)
    bool prompting = false;                      // an alarm prompt runs
    bool blinking = false;                       // the face blinks
    shell::TimeOfDay timelabel;                  // the time to show, before formatting
    std::wstring facetext;                       // the text now on the face
    int32_t lastshownms = 0;                     // remaining ms last accepted by the main tick
    shell::TimeOfDay runstart;                   // the second of the day the run is measured from
    std::vector<std::wstring> soundnames;        // start, alarm 1..3, stop
    int16_t addsize = 0;                         // second-screen font increment, points
    int32_t alarmonesecs = 0;                    // alarm thresholds taken at run start
    int32_t alarmtwosecs = 0;
    std::optional<int32_t> alarmsecond;          // the alarm second fired last in the run: it fires once
    std::optional<EndedStage> endedstage;        // the stage or wait whose run ended, until the next run
    std::optional<TimedStage> timedstage;        // the stage the running run times

    // Elapsed milliseconds of the running stage; only "Timer1" measures.
    int32_t remaintime(const std::wstring& timername);
    // Formats timelabel in the display format and paints it (and the twin with the second screen on).
    void Label_change();
    // Paints `s` at `points` on the face, lays the window out round it and shapes it.
    void ShowStatue(const std::wstring& s, int points);
    void creatrange();
    void changcolor(COLORREF textColour);

    // Width in twips of "00:00:00" in the clock font: bounds the position without a picture.
    int sizelabelWidth() const;
    ClockFace& face() { return face_; }

    // Face build: sizes and dresses the face from the stage and the settings.
    // The run length of the stage in time_glass.stageperiod, for a run started at `runStartAt`.
    void buildStageLength(shell::TimeOfDay runStartAt);
    void buildFace(bool stageStep);   // fonts, background, size; stageStep adds the white-text rule
    void paintFace();                 // paints the face as built
    void placeAtSavedPosition();      // the saved place, pulled onto the screen

    // A new run on the stage just looked up. `held`: another program held the file and nothing
    // was read; the stage change then tries the lookup again until the file reads, while a run
    // that counts (a wait for a later stage) goes on counting.
    void restartRun(bool held);

protected:
    LRESULT onMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void onDestroy() override;

private:
    void Timer1_Timer();
    void Timer2_Timer();
    void Timer3_Timer();
    void Timer4_Timer();
    void Timer5_Timer();
    void daywatch_Timer();

    ClockFace face_;
    std::optional<FaceRequest> faceAsked_;  // what ShowStatue asked of the face last
};

}  // namespace clocks
