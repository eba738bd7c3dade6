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

// A run is timed 400 ms longer than its stage, so that the last second shows in full.
inline constexpr int32_t kGraceMs = 400;

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

// The length a run starts with. A run started one second after its stage began gets the whole
// stage, so a stage that follows another at once is not a second short.
RunLength runStartLength(RunLength was, shell::StageState state, const StagePeriod& p, shell::TimeOfDay now);

// No stage is left today: the lookup found none and the length is zero.
bool dayIsOver(shell::StageState state, shell::TimeOfDay timeAll);

// The stage whose run has ended, and the day it was looked up on.
struct EndedStage {
    StagePeriod period;
    uint32_t day = 0;
};

// A stage is timed once a day. A run begun early in its stage's first second ends before the
// stage's last second is over, and a lookup then would find the same stage and start it again:
// while the ended stage still covers now, the next stage is not looked up.
bool stillCovers(const EndedStage& ended, uint32_t today, shell::TimeOfDay now);

// The record at run start: the stage's start and end (a part that is no time stays as it was),
// nothing timed or idle yet, and the title shown.
void openRunRecord(shell::TimingState& t, const StagePeriod& p, const std::wstring& title);

// The record at the end of a run: the timed milliseconds, grace included, and the idle rest of
// the stage (left as it was when the stage times are no times of day). A tick that comes late,
// the message loop having stalled past the run's end, times no more than the run's length.
void closeRunRecord(shell::TimingState& t);

}  // namespace clocks
