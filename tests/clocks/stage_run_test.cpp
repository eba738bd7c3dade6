#include <gtest/gtest.h>

#include "clocks/face_text.h"
#include "clocks/stage_run.h"

using namespace clocks;
using shell::StageState;
using shell::TimeOfDay;

namespace {

TimeOfDay at(int h, int m, int s) { return TimeOfDay{h * 3600 + m * 60 + s}; }

const StagePeriod kNineToTen = stagePeriodOf(L"09:00\\10:00:00");
const RunLength kBefore{77, TimeOfDay{77}};

TEST(RunStartLength, OnlyARunStartedInItsStagesFirstSecondGetsTheWholeStage) {
    EXPECT_EQ(runStartLength(kBefore, StageState::Covering, kNineToTen, at(9, 0, 0)), (RunLength{3600, at(1, 0, 0)}));
    EXPECT_EQ(runStartLength(kBefore, StageState::Covering, kNineToTen, at(9, 0, 1)), (RunLength{3599, at(0, 59, 59)}));
}

TEST(RunStartLength, UnreadableDatabaseOrStageEndKeepsTheLength) {
    EXPECT_EQ(runStartLength(kBefore, StageState::NoDatabase, kNineToTen, at(9, 30, 0)), kBefore);
    EXPECT_EQ(runStartLength(kBefore, StageState::Covering, stagePeriodOf(L"09:00"), at(9, 30, 0)), kBefore);
}

// A run that starts late, the message loop having stalled past the stage's end or past the start
// it waits for, has nothing left: the face shows zero in every format, never a count below it.
TEST(RunStartLength, ARunBegunPastItsEndShowsZeroNeverANegativeCount) {
    struct Case {
        const char* what;
        StageState state;
        TimeOfDay now;
    } cases[] = {
        {"stage end passed", StageState::Covering, at(10, 0, 3)},
        {"awaited start passed", StageState::Waiting, at(9, 0, 2)},
        {"awaited start passed long ago", StageState::Waiting, at(19, 30, 0)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (RunLength r : {stageLength(kBefore, c.state, kNineToTen, c.now), runStartLength(kBefore, c.state, kNineToTen, c.now)}) {
            EXPECT_EQ(r, (RunLength{0, at(0, 0, 0)}));
            EXPECT_EQ(initialText(L"10100", r.seconds, r.timeAll), L"0");
            EXPECT_EQ(initialText(L"10010", r.seconds, r.timeAll), L"00:00");
            EXPECT_EQ(initialText(L"10001", r.seconds, r.timeAll), L"00:00:00");
        }
    }
}

// One run through the rules: its length from the stage, whether the day is over, then its record
// opened at the start and closed at the end.
struct StageCase {
    const char* what;
    StageState state;
    const wchar_t* period;
    TimeOfDay now;
    RunLength length;
    bool dayOver;
    const wchar_t *recordStart, *recordEnd;
    int32_t elapsedms, stagems;  // at the end of the run
    int32_t timedMs, idleMs;
    int32_t before = 0;  // timed by earlier runs of the stage
};

TEST(StageRun, EachRunIsTimedFromItsStageAndRecordedWithItsIdleRest) {
    const StageCase runs[] = {
        {"stage covering now", StageState::Covering, L"09:00\\10:00", at(9, 30, 0), {1800, at(0, 30, 0)}, false,
         L"09:00:00", L"10:00:00", 1799600, 1800000, 1800000, 1800000},
        {"late last tick", StageState::Covering, L"09:00\\10:00", at(9, 30, 0), {1800, at(0, 30, 0)}, false,
         L"09:00:00", L"10:00:00", 1900000, 1800000, 1800000, 1800000},
        {"started again on its stage", StageState::Covering, L"09:00\\10:00", at(9, 30, 0), {1800, at(0, 30, 0)}, false,
         L"09:00:00", L"10:00:00", 1799300, 1800000, 3600000, 0, 1800000},
        {"waiting for the next stage", StageState::Waiting, L"09:00\\10:00", at(8, 59, 0), {60, at(0, 1, 0)}, false,
         L"09:00:00", L"10:00:00", 59000, 60000, 59800, 3540200},
        {"stage end passed", StageState::Covering, L"09:00\\10:00", at(10, 0, 5), {0, at(0, 0, 0)}, false,
         L"09:00:00", L"10:00:00", 0, 0, 0, 3600000},
        {"no stage left", StageState::DayOver, L"", at(18, 0, 0), {}, true, L"", L"", 0, 0, 0, 0},
        {"database unreadable", StageState::NoDatabase, L"", at(9, 30, 0), kBefore, false, L"", L"", 76600, 77000,
         77000, 0},
        {"no start to wait for", StageState::Waiting, L"\\10:00", at(8, 0, 0), kBefore, false, L"", L"10:00:00",
         1000, 77000, 1800, 0},
    };
    for (const StageCase& r : runs) {
        SCOPED_TRACE(r.what);
        StagePeriod period = stagePeriodOf(r.period);
        RunLength length = stageLength(kBefore, r.state, period, r.now);
        EXPECT_EQ(length, r.length);
        EXPECT_EQ(dayIsOver(r.state, length.timeAll), r.dayOver);

        shell::TimingState t;
        t.out_time = t.pause_time = 5;  // left from the run before
        openRunRecord(t, period, L"Keynote");
        EXPECT_EQ(t.set_time, r.recordStart);
        EXPECT_EQ(t.use_time, r.recordEnd);
        EXPECT_EQ(t.filename, L"Keynote");
        EXPECT_EQ(t.out_time, 0);
        EXPECT_EQ(t.pause_time, 0);

        t.elapsedms = r.elapsedms;
        t.stagems = r.stagems;
        closeRunRecord(t, r.before);
        EXPECT_EQ(t.out_time, r.timedMs);
        EXPECT_EQ(t.pause_time, r.idleMs);
    }
    EXPECT_FALSE(dayIsOver(StageState::DayOver, TimeOfDay{1}));  // a length left still runs
}

}  // namespace
