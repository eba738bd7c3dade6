#include "clocks/stage_run.h"

#include <algorithm>

#include "shell/flag_strings.h"
#include "shell/text_number.h"

namespace clocks {
namespace {

// A run begun late, past the stage's end or the awaited start, has nothing left to count: the
// face shows zero, never a count below it.
RunLength lengthFromSeconds(RunLength was, int32_t seconds) {
    RunLength r{std::max(seconds, 0), was.timeAll};
    if (auto t = shell::secondtotime(r.seconds)) r.timeAll = *t;
    return r;
}

}  // namespace

StagePeriod stagePeriodOf(std::wstring_view period) {
    auto parts = shell::splitAtBackslash(period);
    StagePeriod p{shell::parseTimeOfDay(parts[0]), std::nullopt};
    if (parts.size() > 1) p.end = shell::parseTimeOfDay(parts[1]);
    return p;
}

RunLength stageLength(RunLength was, shell::StageState state, const StagePeriod& p, shell::TimeOfDay now) {
    using shell::StageState;
    switch (state) {
    case StageState::Covering: return p.end ? lengthFromSeconds(was, p.end->seconds - now.seconds) : was;
    case StageState::Waiting: return p.start ? lengthFromSeconds(was, p.start->seconds - now.seconds) : was;
    case StageState::DayOver: return RunLength{};
    default: return was;
    }
}

RunLength runStartLength(RunLength was, shell::StageState state, const StagePeriod& p, shell::TimeOfDay now) {
    RunLength r = stageLength(was, state, p, now);
    if (state == shell::StageState::Covering && p.end) r.seconds = r.timeAll.seconds;  // as the face shows it
    return r;
}

bool dayIsOver(shell::StageState state, shell::TimeOfDay timeAll) {
    return state == shell::StageState::DayOver && shell::timetosecond(timeAll) == 0;
}

std::optional<EndedStage> endedRun(shell::StageState state, const StagePeriod& p, shell::TimeOfDay runSecond,
                                   uint32_t day) {
    switch (state) {
    case shell::StageState::Covering: return EndedStage{p, day};
    case shell::StageState::Waiting: return EndedStage{{runSecond, p.start}, day};
    default: return std::nullopt;
    }
}

bool stillCovers(const EndedStage& ended, uint32_t today, shell::TimeOfDay now) {
    const StagePeriod& p = ended.period;
    return ended.day == today && p.start && p.end && *p.start <= now && now < *p.end;
}

TimedStage stageTiming(const std::optional<TimedStage>& was, const StagePeriod& p, uint32_t day,
                       shell::TimeOfDay runSecond) {
    if (was && p.start && was->start == p.start && was->day == day && was->since <= runSecond) return *was;
    return TimedStage{p.start, day, runSecond};
}

int32_t timedBefore(const TimedStage& s, shell::TimeOfDay runSecond) {
    return std::max(runSecond.seconds - s.since.seconds, 0) * 1000;
}

void openRunRecord(shell::TimingState& t, const StagePeriod& p, const std::wstring& title) {
    if (p.start) t.set_time = shell::formatHms(*p.start);
    t.out_time = 0;
    if (p.end) t.use_time = shell::formatHms(*p.end);
    t.pause_time = 0;
    t.filename = title;
}

void closeRunRecord(shell::TimingState& t, int32_t before) {
    t.out_time = std::min(shell::roundHalfEven(t.elapsedms + double{kGraceMs}), t.stagems) + before;
    auto start = shell::parseTimeOfDay(t.set_time);
    auto end = shell::parseTimeOfDay(t.use_time);
    if (start && end) t.pause_time = shell::roundHalfEven((end->seconds - start->seconds) * 1000.0 - t.out_time);
}

}  // namespace clocks
