#pragma once
// What the remaining-time banner says and for how long: its caption, the forms of the time, and
// the count-down from a start at an alarm level to the moment the banner goes away.
#include <windows.h>

#include <cstdint>
#include <string>

#include "shell/run_records.h"

namespace displays {

// The level the clock leaves when no stage is left today: the banner keeps its text and blinks.
inline constexpr int kDayOverLevel = 4;

// "1时05分09秒" from an hour on, "2分30秒" above a minute, "45秒" up to a minute.
std::wstring bannerTimeText(int32_t seconds);
// The prompt, "还剩" and the time: "你的汇报还剩2分30秒".
std::wstring bannerCaption(const std::wstring& prompt, int32_t seconds);

// The next colour of a blinking text: red and the configured colour in turn, red and black when
// red is configured.
COLORREF blinkColour(COLORREF configured, COLORREF shown);

enum class BannerShow {
    Hidden,    // nothing (more) to show: the banner goes away
    Counting,  // the time counts down once a second
    Blinking   // the text stays and blinks
};

struct BannerTick {
    bool used = false;  // a second of display time was used: the caption and size follow
    BannerShow next = BannerShow::Counting;
};

class BannerCountdown {
public:
    // A start at `level`: the run length at 0, the alarm's threshold at 1 to 3, shown when at
    // least two seconds are left; at 4 the text of the day's end blinks. Alarm 3 with its keep
    // switches on stays to the end of the run: the shared display time takes its threshold.
    BannerShow start(int level, shell::ClockSetting& cs);
    // One second later, at the level and remaining run time of now.
    BannerTick tick(int level, int32_t remainingms);

    int32_t seconds() const { return seconds_; }  // the time the caption shows

private:
    int32_t seconds_ = 0;
    int32_t showleft_ = 0;  // ticks of display time left
};

// Levels 0 to 3 show a time that counts down; the day's end shows its text only.
bool countsTime(int level);

}  // namespace displays
