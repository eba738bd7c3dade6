#include "shell/run_records.h"

#include "shell/flag_strings.h"

namespace shell {

void applyFirstRunDefaults(ClockSetting& s) {
    s.Time_all = TimeOfDay{150};
    s.Time_one = 30;
    s.Time_two = 20;
    s.Time_three = 10;
    s.checkvalue = L"111101001111111111111";
    s.optvalue = L"100100100";
    s.tellShowtime = 3;
    s.tellsoundname = L"start.wav\\Timeout.wav\\Timeout.wav\\Timeout.wav\\Stop.wav";
    s.tellprocesstext = L"你的汇报";
    s.tellShowtext = L"休息";
    s.clockFont = L"Trebuchet MS";
    s.Fontselect = kDefaultFontselect;
    s.picturename = L"\\0";
    s.time_top = 0;
    s.time_left = 0;
    if (s.picture_width == 0) s.picture_width = 150;
    if (s.picture_height == 0) s.picture_height = 50;
}

ClockSetting& clockSetting() {
    static ClockSetting record;
    return record;
}

TimingState& timingState() {
    static TimingState record;
    return record;
}

ScreenShared& screenShared() {
    static ScreenShared values;
    return values;
}

}  // namespace shell
