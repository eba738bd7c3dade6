// A recorded run seen from outside: the real program times a short stage with recording on, the
// statistics window opened through the tray menu lists it, and the export without a spreadsheet
// program leaves the CSV file beside the program.
#include <gtest/gtest.h>

#include "hub/Frm_exit.h"
#include "shell/settings_registry.h"
#include "shell/time_rules.h"
#include "tests/e2e/driver.h"
#include "tests/test_support.h"
#include "win/text.h"

using namespace std::chrono_literals;

namespace {

class RecordedRun : public driver::StageAheadTest {
protected:
    void TearDown() override {
        // Notepad belongs to no test program: it is closed by its window.
        if (HWND notepad = FindWindowW(L"Notepad", nullptr)) PostMessageW(notepad, WM_CLOSE, 0, 0);
        StageAheadTest::TearDown();
    }
};

TEST_F(RecordedRun, StatisticsListsTheRunAndExportsItToCsvOpenedInNotepad) {
    constexpr int length = 3;
    driver::Program p(folder);
    ASSERT_NO_FATAL_FAILURE(startBeforeAStage(p, length, L"周会 汇报"));
    if (!stage) GTEST_SKIP() << "too close to midnight for a stage today";
    ASSERT_TRUE(driver::waitFor([&] { return !exec("SELECT ID FROM timesum")->empty(); },
                                std::chrono::seconds(driver::kStartLead + length + 20)));

    HWND hub = p.waitWindow(L"Kelvane", L"Velmora.Frm_exit");
    ASSERT_TRUE(hub);
    PostMessageW(hub, WM_COMMAND, hub::menu_id::menu_other + 0, 0);
    HWND statistics = p.waitWindow(L"计时统计", L"Velmora.Frm_data_sum");
    ASSERT_TRUE(statistics);
    HWND list = FindWindowExW(statistics, nullptr, L"ListBox", nullptr);
    ASSERT_TRUE(list);
    EXPECT_TRUE(driver::waitFor([&] { return SendMessageW(list, LB_GETCOUNT, 0, 0) == 1; }));
    // Switching the recording off writes it at once and shows the notice over the list.
    ASSERT_TRUE(driver::pressButton(statistics, L"计时统计"));
    EXPECT_TRUE(driver::waitFor([] { return shell::readSettingNumber(L"Time_Record") == 0; }));
    driver::saveScreenshot(L"statistics.bmp");

    ASSERT_TRUE(driver::pressButton(statistics, L"导出"));
    HWND box = p.waitWindow(L"Kelvane", L"#32770");
    ASSERT_TRUE(box);
    EXPECT_EQ(driver::shownBoxText(box), L"没有安装WPS或Excel程序，导出为.csv文件");
    ASSERT_TRUE(driver::pressButton(box, L"确定"));

    std::wstring csv = folder + L"\\sheet1.csv";
    // The durations depend on when the program got going; the list shows them without a leading 0.
    auto run = (*exec("SELECT out_time, pause_time FROM timesum"))[0];
    std::wstring expected = L"序号,开始时间,结束时间,计时时间,空闲时间,标题\r\n1," + shell::formatHms(stage->start) + L"," +
                            shell::formatHms(stage->end) + L"," + run[0]->substr(1) + L"," + run[1]->substr(1) +
                            L",周会 汇报\r\n\r\n";
    EXPECT_TRUE(driver::waitFor([&] { return FindWindowW(L"Notepad", nullptr) != nullptr; }));
    EXPECT_EQ(testing_support::readFile(csv), win::toAnsi(expected));
    EXPECT_TRUE(p.running());
}

}  // namespace
