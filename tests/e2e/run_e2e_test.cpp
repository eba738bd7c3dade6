// A day of one short stage on the real program: it waits for the stage, times it, records it
// and ends the day, all by itself.
#include <gtest/gtest.h>

#include "shell/time_rules.h"
#include "tests/e2e/driver.h"
#include "tests/test_support.h"

using namespace std::chrono_literals;

namespace {

constexpr wchar_t kDayOver[] = L"今天计时结束";

class DayOfStages : public driver::StageAheadTest {};

TEST_F(DayOfStages, ShortStageIsWaitedForTimedRecordedAndEndsTheDay) {
    constexpr int length = 5;
    driver::Program p(folder);
    ASSERT_NO_FATAL_FAILURE(startBeforeAStage(p, length, L"Probe"));
    if (!stage) GTEST_SKIP() << "too close to midnight for a stage today";
    RECT r{};
    GetWindowRect(glass, &r);
    EXPECT_GE(r.left, 0);
    EXPECT_GE(r.top, 0);
    EXPECT_LE(r.right, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_GT(r.right - r.left, 0);

    bool recorded = driver::waitFor([&] {
        auto rows = exec("SELECT set_time, use_time, filename FROM timesum");
        return rows && !rows->empty();
    }, std::chrono::seconds(driver::kStartLead + length + 20));
    driver::saveScreenshot(L"clock-run.bmp");
    ASSERT_TRUE(recorded);
    auto rows = exec("SELECT set_time, use_time, filename FROM timesum");
    ASSERT_EQ(rows->size(), 1u);
    EXPECT_EQ((*rows)[0][0], shell::formatHms(stage->start));
    EXPECT_EQ((*rows)[0][1], shell::formatHms(stage->end));
    EXPECT_EQ((*rows)[0][2], L"Probe");

    EXPECT_TRUE(p.waitWindow(kDayOver));
    EXPECT_TRUE(p.running());
}

}  // namespace
