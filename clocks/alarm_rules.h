#pragma once
// What the main tick and the prompt machine decide from the remaining time and the switches:
// the remaining time shown, the alarm level reached, the reactions of a level and how long a
// prompt blinks.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "shell/time_rules.h"

namespace clocks {

// The stage length in milliseconds, with its grace, less the elapsed time.
int32_t remainingMs(int32_t stageseconds, int32_t elapsedMs);

// A remaining time that rose by more than 400 ms over the last accepted one is a measuring
// fault: the face then shows the last accepted value less 200 ms.
struct Filtered {
    int32_t remaining = 0;
    bool accepted = false;  // `remaining` becomes the last accepted value
    friend bool operator==(const Filtered&, const Filtered&) = default;
};
Filtered riseFilter(int32_t remaining, int32_t lastAccepted);

// The time of day the face shows for a number of milliseconds; nothing below 0 or from a day on.
std::optional<shell::TimeOfDay> shownTime(int32_t ms);

// The run is over once less than a whole second remains.
bool runEnds(int32_t remaining);

struct Thresholds {
    int32_t stageseconds = 0;  // a threshold equal to the run length never fires
    int32_t one = 0, two = 0, three = 0;
};
// The whole second of the remaining time an alarm is tested against: a tick up to 100 ms early
// still counts for it, so up to five ticks in a row test the same second.
int32_t alarmSecondAt(int32_t remaining);

// The alarm level (1 to 3) whose threshold the remaining time has reached, 0 for none. When two
// thresholds are equal the lower level wins.
int alarmLevelAt(int32_t remaining, const Thresholds& t);

// What alarm level k sets off, by the switches of checkvalue.
struct AlarmReaction {
    bool prompt = false;
    bool blink = false;
    bool banner = false;
    bool sound = false;
    bool loopDing = false;  // level 3 loops the ding instead of its own sound
    friend bool operator==(const AlarmReaction&, const AlarmReaction&) = default;
};
AlarmReaction alarmReaction(int level, std::wstring_view checkvalue);

// The prompt machine's steps.
namespace prompt {
inline constexpr int place = 1;     // back to the saved place
inline constexpr int repaint = 2;
inline constexpr int finish = 3;    // the prompt is over
inline constexpr int park = 4;      // a hidden clock goes away again
inline constexpr int endBlink = 5;
inline constexpr int handOver = 6;  // the blink timer takes over
}  // namespace prompt
// The step after `step`; a step outside the machine stays.
int promptStepAfter(int step, bool prompting);

// Alarm level that tells the banners and the prompt machine that no stage is left today.
inline constexpr int kDayOverLevel = 4;

struct BlinkCounters {
    int16_t blinkcount = 0;   // odd: the face is dark
    int16_t blinkrounds = 0;  // blink ticks left in the prompt
    friend bool operator==(const BlinkCounters&, const BlinkCounters&) = default;
};
struct PromptSwitches {
    std::wstring_view checkvalue;
    bool stageCovering = false;  // a stage covers now
    int16_t tellShowtime = 0;    // seconds a prompt stays
    int32_t alarmThree = 0;      // Time_three
};
// The counters with which the blink timer takes over a prompt of `level`. A count that does not
// fit the counter leaves it as it was; a blink taken over in a dark phase keeps that phase.
BlinkCounters countersForPrompt(int level, BlinkCounters now, const PromptSwitches& s);

// The switches while a run counts down to the next stage: alarms 1 to 3 off.
std::wstring withoutAlarms(std::wstring checkvalue);

// Whether a blink's dark phase of `phaseMs`, begun with `remaining` ms of the run left, is over
// before the run's last second: that second shows its time whole.
bool darkPhaseFits(int32_t remaining, int32_t phaseMs);

// Twice `seconds`: a prompt blinks twice a second. Nothing when that leaves the counter's range.
std::optional<int16_t> blinkTicks(int32_t seconds);

}  // namespace clocks
