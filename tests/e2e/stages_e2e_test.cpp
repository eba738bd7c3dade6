// The day's schedule entered through the stage window of the real program: the settings dialog
// opened from the tray menu's command, its "阶段计时" entry, a stage typed into the window's
// fields with a saved clock taken by a double click, and "应用" of the dialog: the clock runs
// the new stage. The window with both lists filled is kept as a screenshot.
#include <gtest/gtest.h>

#include "plans/stage_layout.h"
#include "settings/settings_layout.h"
#include "shell/run_records.h"
#include "tests/e2e/driver.h"
#include "tests/test_support.h"

using namespace std::chrono_literals;

namespace {

constexpr UINT kSettingsCommand = 102;  // the menu's "设置"
class StagesOnTheProgram : public testing_support::MeetDataTest {};

TEST_F(StagesOnTheProgram, AStageEnteredInTheWindowIsRunByTheClock) {
    shell::ClockSetting clock;
    shell::applyFirstRunDefaults(clock);
    addClock(L"Kurz", clock);
    addStage(L"00:00:00", L"00:00:30", L"Kurz", L"早已过去");
    driver::installProgram(folder);
    driver::Program p(folder);
    ASSERT_TRUE(p.start());
    ASSERT_TRUE(p.waitWindow(L"今天计时结束"));

    HWND hub = p.waitWindowOfClass(L"Velmora.Frm_exit");
    ASSERT_TRUE(hub);
    PostMessageW(hub, WM_COMMAND, kSettingsCommand, 0);
    HWND dialog = p.waitWindow(L"设置");
    ASSERT_TRUE(dialog);
    const auto dialogLayout = settings::settingsLayout();
    HWND stageEntry = nullptr;
    ASSERT_TRUE(driver::waitFor(
        [&] { return (stageEntry = driver::layoutControl(dialog, dialogLayout, L"Image1")) != nullptr; }));
    driver::notify(dialog, stageEntry, STN_CLICKED);
    HWND stages = p.waitWindow(L"阶段计时", L"Velmora.Frm_offtensetting");
    ASSERT_TRUE(stages);

    const auto layout = plans::stageLayout();
    auto ctl = [&](const wchar_t* name, int index = 0) { return driver::layoutControl(stages, layout, name, index); };
    ASSERT_TRUE(driver::waitFor([&] { return ctl(L"Label6", 1) != nullptr; }));
    driver::notify(stages, ctl(L"Label6", 1), STN_CLICKED);  // the stage tab
    ASSERT_TRUE(driver::waitFor([&] { return IsWindowVisible(ctl(L"Command1")) != FALSE; }));
    // From the start of this minute to two minutes on: the stage covers now, when it is entered.
    shell::TimeOfDay now = driver::realTimeOfDay();
    if (now.seconds < 60 || now.seconds > 86400 - 180) GTEST_SKIP() << "too close to midnight for a stage today";
    int start = now.seconds / 60 * 60, end = start + 120;
    const int fields[] = {start / 3600, start / 60 % 60, end / 3600, end / 60 % 60};
    for (int i = 1; i <= 4; ++i) {
        std::wstring text = std::to_wstring(fields[i - 1]);
        SendMessageW(ctl(L"Text5", i), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    HWND clocks = ctl(L"List1");
    SendMessageW(clocks, LB_SETSEL, TRUE, 0);
    driver::notify(stages, clocks, LBN_DBLCLK);
    ASSERT_TRUE(driver::waitFor([&] { return driver::controlText(ctl(L"Text2", 2)) == L"Kurz"; }));
    SendMessageW(ctl(L"Text2", 3), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"第一位发言"));
    driver::notify(stages, ctl(L"Command1"), BN_CLICKED);

    std::wstring startText = shell::formatHms({start}), endText = shell::formatHms({end});
    ASSERT_TRUE(driver::waitFor([&] { return exec("SELECT 1 FROM file_list")->size() == 2; }));
    auto stored = exec("SELECT starttime, endtime, clockname, title FROM file_list WHERE title = '第一位发言'");
    ASSERT_EQ(stored->size(), 1u);
    EXPECT_EQ((*stored)[0][0], startText);
    EXPECT_EQ((*stored)[0][1], endText);
    EXPECT_EQ((*stored)[0][2], L"Kurz");
    EXPECT_EQ(SendMessageW(ctl(L"List2"), LB_GETCOUNT, 0, 0), 2);
    // Every control painted before the picture is taken.
    for (HWND w : {dialog, stages}) driver::paintNow(w);
    driver::saveScreenshot(L"stage-window.bmp");

    driver::notify(stages, ctl(L"Cmd_close"), BN_CLICKED);
    ASSERT_TRUE(driver::waitFor([&] { return !IsWindow(stages); }));
    // "应用": a new run
    driver::notify(dialog, driver::layoutControl(dialog, dialogLayout, L"Command1"), BN_CLICKED);
    // The run shows its banner with the time left of the new stage; the day is no longer over.
    HWND banner = p.waitWindowOfClass(L"Velmora.Frm_process");
    ASSERT_TRUE(banner);
    EXPECT_TRUE(driver::waitFor([&] { return driver::windowText(banner).find(L"还剩") != std::wstring::npos; }, 15s));
    EXPECT_TRUE(p.running());
}

}  // namespace
