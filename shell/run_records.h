#pragma once
// The state of the clock being run, shared by the hub, the clock windows, the banners and
// the run record. One instance each for the life of the process, user-interface thread only.
#include <cstdint>
#include <string>

#include "shell/time_rules.h"

namespace shell {

// The settings of the clock now being run. Field order is the order of the settings
// registry values and of the columns of table clocksetting from timeall on.
struct ClockSetting {
    TimeOfDay Time_all;          // length of the current run
    int32_t Time_one = 0;        // alarm 1: seconds before the end
    int32_t Time_two = 0;
    int32_t Time_three = 0;
    std::wstring checkvalue;     // 21 switch flags
    std::wstring optvalue;       // count direction and display format
    int16_t tellShowtime = 0;    // seconds a prompt or banner stays
    std::wstring tellsoundname;  // sound file names joined by "\"
    std::wstring tellprocesstext;
    std::wstring tellShowtext;
    std::wstring clockFont;
    std::wstring Fontselect;     // size, colour and corner index
    std::wstring picturename;    // picture file "\" background colour
    int32_t time_top = 0;        // twips
    int32_t time_left = 0;       // twips
    int32_t picture_width = 0;   // pixels
    int32_t picture_height = 0;  // pixels

    friend bool operator==(const ClockSetting&, const ClockSetting&) = default;
};

// What a first run (no settings stored yet) starts from. The picture size is only taken
// where the record's is still 0.
void applyFirstRunDefaults(ClockSetting& s);

enum class StageState : int16_t {
    Covering = 0,   // a stage of the schedule covers now
    Waiting = 1,    // waiting for the next stage today
    DayOver = 2,    // no stage left today
    NoDatabase = 3  // the meeting database could not be read
};

// Runtime values exchanged between the windows.
struct TimingState {
    int32_t remainingms = 0;      // stageseconds * 1000 + grace - elapsed
    int16_t clockmode = 0;        // time source 0, 1 or 2
    int32_t elapsedms = 0;
    std::wstring set_time;        // "hh:mm:ss", start of the stage being timed
    int32_t out_time = 0;         // timed milliseconds carried into the run
    std::wstring use_time;        // "hh:mm:ss", end of the stage being timed
    int32_t pause_time = 0;       // idle milliseconds
    std::wstring filename;        // title of the stage being timed
    std::wstring soundlist;       // sound list in effect, as tellsoundname
    int32_t topmostpause = 0;     // stay-on-top suspension counter
    std::wstring openform;        // "setting" or "Frm_data_sum"
    StageState stagestate = StageState::Covering;
    bool stageUnread = false;     // the file was held when a run was to start: no stage is known yet
    int32_t stageseconds = 0;     // run length in whole seconds
    int32_t stagems = 0;
    uint32_t starttick = 0;       // run start in the unit of the current time source
    uint32_t stageday = 0;        // the date the stage lookup was made on (yyyymmdd)
};

// Process-wide values the floating windows share.
struct ScreenShared {
    int32_t screenwidth = 0;   // pixels: client area of a full-screen window on the primary monitor
    int32_t screenheight = 0;
    bool usepicture = false;   // the clock face shows the background picture file
    int16_t blinkcount = 0;    // blink and prompt counter of the main clock
    int16_t blinkrounds = 0;   // second blink counter
};

ClockSetting& clockSetting();
TimingState& timingState();
ScreenShared& screenShared();

}  // namespace shell
