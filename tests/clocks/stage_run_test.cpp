#include <gtest/gtest.h>

#include "clocks/stage_run.h"

using namespace clocks;
using shell::StageState;
using shell::TimeOfDay;

namespace {

TimeOfDay at(int h, int m, int s) { return TimeOfDay{h * 3600 + m * 60 + s}; }

const StagePeriod kNineToTen = stagePeriodOf(L"09:00\\10:00:00");
const RunLength kBefore{77, TimeOfDay{77}};

TEST(RunStartLength, RunStartedOneSecondIntoItsStageGetsTheWholeStage) {
    EXPECT_EQ(runStartLength(kBefore, StageState::Covering, kNineToTen, at(9, 0, 1)), (RunLength{3600, at(1, 0, 0)}));
    EXPECT_EQ(runStartLength(kBefore, StageState::Covering, kNineToTen, at(9, 0, 2)).seconds, 3598);
}

TEST(RunStartLength, UnreadableDatabaseOrStageEndKeepsTheLength) {
    EXPECT_EQ(runStartLength(kBefore, StageState::NoDatabase, kNineToTen, at(9, 30, 0)), kBefore);
    EXPECT_EQ(runStartLength(kBefore, StageState::Covering, stagePeriodOf(L"09:00"), at(9, 30, 0)), kBefore);
}

}  // namespace
