// A day of one short stage on the real program: it waits for the stage, times it, records it
// and ends the day, all by itself.
#include <gtest/gtest.h>

#include "shell/run_records.h"
#include "shell/settings_registry.h"
#include "shell/time_rules.h"
#include "tests/e2e/driver.h"
#include "tests/test_support.h"

using namespace std::chrono_literals;

namespace {

constexpr wchar_t kDayOver[] = L"今天计时结束";

class DayOfStages : public testing_support::MeetDataTest {};

TEST_F(DayOfStages, ShortStageIsWaitedForTimedRecordedAndEndsTheDay) {
    shell::ClockSetting clock;
    shell::applyFirstRunDefaults(clock);
    addClock(L"Kurz", clock);
    shell::writeSettingNumber(L"Time_Record", 1);
    driver::installProgram(folder);

    // The stage is placed once everything else is set up.
    constexpr int length = 5;
    auto stage = driver::stageAhead(driver::kStartLead, length);
    if (!stage) GTEST_SKIP() << "too close to midnight for a stage today";
    addStage(shell::formatHms(stage->start), shell::formatHms(stage->end), L"Kurz", L"Probe");
    driver::Program p(folder);
    ASSERT_TRUE(p.start());
    HWND glass = p.waitClockShown();
    ASSERT_TRUE(glass);
    ASSERT_LT(driver::realTimeOfDay().seconds, stage->start.seconds)
        << "the program showed its clock only after the stage began";
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
