#include "clocks/alarm_rules.h"

#include <limits>

#include "clocks/stage_run.h"
#include "shell/flag_strings.h"
#include "shell/text_number.h"

namespace clocks {
namespace {

constexpr int32_t kRiseToleranceMs = 400;
constexpr int32_t kFallbackStepMs = 200;
constexpr int32_t kKeyRoundingMs = 100;  // a tick up to 100 ms early still counts for the second
constexpr int32_t kLastSecondFromMs = 2000;  // the face shows the run's last whole second below this

int64_t floorDiv(int64_t a, int64_t b) {
    int64_t q = a / b;
    return (a % b != 0 && a < 0) ? q - 1 : q;
}

void assignIfAny(int16_t& counter, std::optional<int16_t> value) {
    if (value) counter = *value;
}

}  // namespace

int32_t remainingMs(int32_t stageseconds, int32_t elapsedMs) {
    return shell::roundHalfEven(stageseconds * 1000.0 + kGraceMs - elapsedMs);
}

Filtered riseFilter(int32_t remaining, int32_t lastAccepted) {
    if (int64_t{remaining} > int64_t{lastAccepted} + kRiseToleranceMs) {
        return Filtered{shell::roundHalfEven(static_cast<double>(lastAccepted) - kFallbackStepMs), false};
    }
    return Filtered{remaining, true};
}

std::optional<shell::TimeOfDay> shownTime(int32_t ms) {
    if (ms < 0) return std::nullopt;
    return shell::secondtotime(ms / 1000);
}

bool runEnds(int32_t remaining) { return remaining < 1000; }

bool darkPhaseFits(int32_t remaining, int32_t phaseMs) {
    return int64_t{remaining} - phaseMs >= kLastSecondFromMs;
}

int32_t alarmSecondAt(int32_t remaining) {
    return static_cast<int32_t>(floorDiv(int64_t{remaining} + kKeyRoundingMs, 1000));
}

int alarmLevelAt(int32_t remaining, const Thresholds& t) {
    int32_t key = alarmSecondAt(remaining);
    if (key == t.stageseconds) return 0;
    if (key == t.one) return 1;
    if (key == t.two) return 2;
    if (key == t.three) return 3;
    return 0;
}

AlarmReaction alarmReaction(int level, std::wstring_view checkvalue) {
    if (level < 1 || level > 3 || !shell::flagOn(checkvalue, level)) return {};
    auto column = [&](int first) { return shell::flagOn(checkvalue, first + level); };
    return AlarmReaction{true, column(shell::check::blinkStart), column(shell::check::textStart),
                         column(shell::check::soundStart),
                         level == 3 && shell::flagOn(checkvalue, shell::check::keepAlarm3)};
}

int promptStepAfter(int step, bool prompting) {
    switch (step) {
    case prompt::place: return prompt::repaint;
    case prompt::repaint: return prompting ? prompt::handOver : prompt::finish;
    case prompt::park: return prompt::endBlink;
    case prompt::endBlink: return prompt::finish;
    case prompt::handOver: return prompt::park;
    default: return step;
    }
}

std::optional<int16_t> blinkTicks(int32_t seconds) {
    int64_t ticks = int64_t{seconds} * 2;
    if (ticks < std::numeric_limits<int16_t>::min() || ticks > std::numeric_limits<int16_t>::max()) {
        return std::nullopt;
    }
    return static_cast<int16_t>(ticks);
}

BlinkCounters countersForPrompt(int level, BlinkCounters c, const PromptSwitches& s) {
    using namespace shell::check;
    auto on = [&](int pos) { return shell::flagOn(s.checkvalue, pos); };
    const bool dark = c.blinkcount % 2 != 0;  // an odd count is a dark phase under way
    std::optional<int16_t> promptTicks = blinkTicks(s.tellShowtime);
    std::optional<int16_t> alarmThree = blinkTicks(s.alarmThree);
    if (level >= 0 && level <= 2) {
        bool blinks = (level == 0 || on(level)) && on(blinkStart + level) && s.stageCovering;
        assignIfAny(c.blinkcount, blinks ? promptTicks : std::optional<int16_t>(0));
        assignIfAny(c.blinkrounds, promptTicks);
    } else if (level == 3) {
        // The alarm-3 prompt may last to the end of the run instead of the prompt time.
        bool blinks = on(3) && on(blinkStart + 3) && s.stageCovering;
        bool keep = on(3) && on(keepAlarm3);
        if (blinks) assignIfAny(c.blinkcount, alarmThree);
        bool whole = (blinks && keep) || s.tellShowtime > s.alarmThree;
        if (!whole) assignIfAny(c.blinkrounds, promptTicks);
        if (whole || keep) assignIfAny(c.blinkrounds, alarmThree);
    }
    // A blink that takes over in a dark phase goes on from it: the phase under way is its first
    // dark one, else the face would stay dark through two phases.
    if (dark && c.blinkcount > 0 && c.blinkcount % 2 == 0) --c.blinkcount;
    return c;
}

std::wstring withoutAlarms(std::wstring checkvalue) {
    if (checkvalue.size() >= 3) checkvalue.replace(0, 3, L"000");
    return checkvalue;
}

}  // namespace clocks
