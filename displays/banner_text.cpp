#include "displays/banner_text.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

#include "shell/flag_strings.h"
#include "shell/time_rules.h"

namespace displays {
namespace {

constexpr wchar_t kRemaining[] = L"还剩";
constexpr wchar_t kHours[] = L"时";
constexpr wchar_t kMinutes[] = L"分";
constexpr wchar_t kSeconds[] = L"秒";

constexpr int kAlarmThree = 3;
constexpr int32_t kMinuteSeconds = 60;
constexpr int32_t kHourSeconds = 3600;
constexpr int32_t kDaySeconds = 86400;
constexpr int32_t kFewestShownSeconds = 2;
constexpr int32_t kLastRunSecondMs = 1000;  // below this the run ends and the banner with it
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlack = RGB(0, 0, 0);

std::wstring twoDigits(int32_t n) {
    wchar_t text[8];
    std::swprintf(text, 8, L"%02d", static_cast<int>(n));
    return text;
}

// Alarm 3 kept to the end of the run: the alarm, its text and its keep switch all on.
bool keepsAlarmThree(const std::wstring& checkvalue) {
    using namespace shell::check;
    return shell::flagOn(checkvalue, alarm1 - 1 + kAlarmThree) && shell::flagOn(checkvalue, textStart + kAlarmThree) &&
           shell::flagOn(checkvalue, keepAlarm3);
}

int32_t levelSeconds(int level, const shell::ClockSetting& cs) {
    switch (level) {
    case 1: return cs.Time_one;
    case 2: return cs.Time_two;
    case 3: return cs.Time_three;
    default: return shell::timetosecond(cs.Time_all);
    }
}

}  // namespace

std::wstring bannerTimeText(int32_t seconds) {
    if (seconds <= kMinuteSeconds) return std::to_wstring(seconds) + kSeconds;
    // The time is a time of day, as the clock's forms are: hours beyond a day start again at 0.
    int32_t minutes = seconds / kMinuteSeconds % 60;
    std::wstring rest = twoDigits(seconds % kMinuteSeconds) + kSeconds;
    if (seconds < kHourSeconds) return std::to_wstring(minutes) + kMinutes + rest;
    return std::to_wstring(seconds % kDaySeconds / kHourSeconds) + kHours + twoDigits(minutes) + kMinutes + rest;
}

std::wstring bannerCaption(const std::wstring& prompt, int32_t seconds) {
    return prompt + kRemaining + bannerTimeText(seconds);
}

COLORREF blinkColour(COLORREF configured, COLORREF shown) {
    if (configured == kRed) return shown == kRed ? kBlack : kRed;
    return shown == configured ? kRed : configured;
}

bool countsTime(int level) { return level >= 0 && level < kDayOverLevel; }

BannerShow BannerCountdown::start(int level, shell::ClockSetting& cs) {
    seconds_ = 0;
    if (level == kDayOverLevel) {
        showleft_ = cs.tellShowtime;
        return BannerShow::Blinking;
    }
    if (!countsTime(level)) return BannerShow::Hidden;
    seconds_ = levelSeconds(level, cs);
    if (level == kAlarmThree && keepsAlarmThree(cs.checkvalue)) {
        cs.tellShowtime = static_cast<int16_t>(std::clamp<int32_t>(seconds_, 0, INT16_MAX));
    }
    showleft_ = cs.tellShowtime;
    return seconds_ >= kFewestShownSeconds ? BannerShow::Counting : BannerShow::Hidden;
}

BannerTick BannerCountdown::tick(int level, int32_t remainingms) {
    BannerTick t;
    int32_t left = 0;  // seconds left to show; a tick without display time has none
    if (showleft_ > 0) {
        --showleft_;
        t.used = true;
        if (countsTime(level)) {
            left = --seconds_;
            if (remainingms < kLastRunSecondMs) showleft_ = 0;
        }
    }
    if (countsTime(level)) {
        t.next = showleft_ >= 1 && left >= 1 ? BannerShow::Counting : BannerShow::Hidden;
    } else if (level == kDayOverLevel && showleft_ < 1) {
        t.next = BannerShow::Blinking;
    }
    return t;
}

}  // namespace displays
