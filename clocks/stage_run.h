#pragma once
// The run of one stage: how long it lasts (from now to the end of the stage that covers now,
// or to the start of the next stage) and what its record holds.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "shell/run_records.h"
#include "shell/time_rules.h"

namespace clocks {

// A run is measured from the start of the second its length was taken in, as its stage counts,
// and shows each second until a main tick (200 ms) before that second is over: its last second
// shows in full, and its "00:00" comes in the tick before its stage's end, not after it.
inline constexpr int32_t kGraceMs = 800;

// "start\end" of the current or next stage; a part that is no time of day is missing.
struct StagePeriod {
    std::optional<shell::TimeOfDay> start, end;
};
StagePeriod stagePeriodOf(std::wstring_view period);

struct RunLength {
    int32_t seconds = 0;       // stageseconds
    shell::TimeOfDay timeAll;  // the same length as a time of day
    friend bool operator==(const RunLength&, const RunLength&) = default;
};

// The length from `now` to the end of the stage covering it, or to the start of the next one. A
// state or period that gives no length leaves `was` as it is; a length that is no time of day
// leaves timeAll.
RunLength stageLength(RunLength was, shell::StageState state, const StagePeriod& p, shell::TimeOfDay now);

// The length a run starts with: the whole stage in the stage's first second, the time left in
// whole seconds after it.
RunLength runStartLength(RunLength was, shell::StageState state, const StagePeriod& p, shell::TimeOfDay now);

// No stage is left today: the lookup found none and the length is zero.
bool dayIsOver(shell::StageState state, shell::TimeOfDay timeAll);

// What a run that has ended counted down, a stage or a wait, and the day it was looked up on.
struct EndedStage {
    StagePeriod period;
    uint32_t day = 0;
};

// What an ended run counted down: the stage it timed, or the wait from the second it was measured
// from up to the next stage's start; nothing for another run.
std::optional<EndedStage> endedRun(shell::StageState state, const StagePeriod& p, shell::TimeOfDay runSecond,
                                   uint32_t day);

// A stage, or a wait, is run once. A run that ends before the last second of what it counted down
// is over (a tick count running ahead of the time of day) would be found again by a lookup and
// started for that moment: while the ended run still covers now, the next stage is not looked up.
bool stillCovers(const EndedStage& ended, uint32_t today, shell::TimeOfDay now);

// The stage a run times, the day it was looked up on, and the second its timing there began.
struct TimedStage {
    std::optional<shell::TimeOfDay> start;
    uint32_t day = 0;
    shell::TimeOfDay since;
};

// A run started again on the stage it times, that day (a saved clock picked, "应用"), goes on with
// that stage's timing from where it began; a run on another stage begins one at `runSecond`.
TimedStage stageTiming(const std::optional<TimedStage>& was, const StagePeriod& p, uint32_t day,
                       shell::TimeOfDay runSecond);

// The milliseconds of the stage that its earlier runs timed before the run measured from `runSecond`.
int32_t timedBefore(const TimedStage& s, shell::TimeOfDay runSecond);

// The record at run start: the stage's start and end (a part that is no time stays as it was),
// nothing timed or idle yet, and the title shown.
void openRunRecord(shell::TimingState& t, const StagePeriod& p, const std::wstring& title);

// The record at the end of a run: the timed milliseconds, grace included, with the `before` timed
// by earlier runs of the stage, and the idle rest of the stage (left as it was when the stage
// times are no times of day). A tick that comes late, the message loop having stalled past the
// run's end, times no more than the run's length.
void closeRunRecord(shell::TimingState& t, int32_t before);

}  // namespace clocks
