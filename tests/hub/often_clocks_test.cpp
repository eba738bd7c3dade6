#include <gtest/gtest.h>
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "app/forms.h"
#include "clocks/time_glass.h"
#include "displays/Frm_title.h"
#include "hub/Frm_exit.h"
#include "hub/often_submenu.h"
#include "shell/run_records.h"
#include "tests/db_holds.h"
#include "tests/test_support.h"

using namespace hub;
using namespace shell;

namespace {

// Every stored field depends on `n` (30 to 300), so two clocks differ in all of them; the prompt
// stays a length the clock can use.
ClockSetting clockWith(const std::wstring& checkvalue, const std::wstring& title, int16_t n) {
    std::wstring text = std::to_wstring(n);
    return ClockSetting{TimeOfDay{300}, n, n + 1, n + 2, checkvalue, text, static_cast<int16_t>(n / 10),
                        text + L".wav", L"还剩" + text, title, L"Font" + text, L"1" + text, text + L".jpg",
                        n * 10, n * 20, n + 3, n + 4};
}

// The picked clock is always the one run, whatever clock the stage names.
class OftenClocks : public testing_support::MeetDataTest {
protected:
    void SetUp() override {
        MeetDataTest::SetUp();
        clockSetting() = running;
        timingState() = TimingState{};
        addClock(L"早会", saved);
        addStage(L"10:00:00", L"11:00:00", L"other", L"董事会");
        hub().change_clock_menu();
        glass().Timer1.enabled(true);
        glass().Timer4.enabled(true);
    }
    void TearDown() override {
        forms::resetAll();
        MeetDataTest::TearDown();
    }

    static Frm_exit& hub() { return forms::Frm_exit(); }
    static clocks::time_glass& glass() { return forms::time_glass(); }

    void expectRestarted() {
        EXPECT_FALSE(glass().Timer1.enabled());
        EXPECT_FALSE(glass().Timer4.enabled());
        EXPECT_TRUE(glass().Timer5.enabled());
        EXPECT_TRUE(messages.empty());
    }

    // The saved clock as it runs; Time_all is never taken from it.
    ClockSetting savedAsRun(const std::wstring& checkvalue, const std::wstring& title) const {
        ClockSetting c = saved;
        c.Time_all = running.Time_all;
        c.checkvalue = checkvalue;
        c.tellShowtext = title;
        return c;
    }

    ClockSetting running = clockWith(L"111111000000000000000", L"休息中", 30);
    ClockSetting saved = clockWith(L"000000111111111111111", L"茶歇", 300);
};

}  // namespace

TEST_F(OftenClocks, SavedClocksAreListedInTheOrderOfTheirIds) {
    ASSERT_TRUE(exec("DELETE FROM clocksetting"));
    addClock(L"third", saved, 3);
    addClock(L"first", saved, 1);
    addClock(L"second", saved, 2);
    hub().change_clock_menu();
    EXPECT_TRUE(hub().menu_two3_enabled);
    EXPECT_EQ(hub().menu_often, (std::vector<std::wstring>{L"first", L"second", L"third"}));
}

TEST_F(OftenClocks, DuringAStageTheClockRunsWholeWithTheStagesPeriodAndTitle) {
    clock.setTimeOfDay(10, 59, 59);  // the stage's last second
    hub().menu_often_Click(0);
    EXPECT_EQ(timingState().stagestate, StageState::Covering);
    EXPECT_EQ(glass().stageperiod, L"10:00:00\\11:00:00");
    EXPECT_EQ(forms::Frm_title().titletext(), L"董事会");
    EXPECT_EQ(timingState().filename, L"董事会");
    EXPECT_EQ(clockSetting(), savedAsRun(saved.checkvalue, L"茶歇"));
    EXPECT_EQ(testing_support::checkedItems(hub().oftenSubmenu().handle()), std::vector<int>{0});
    expectRestarted();
}

TEST_F(OftenClocks, BeforeTheFirstStageTheAlarmAndWindowSwitchesAndTheTitleStay) {
    clock.setTimeOfDay(9, 0, 0);
    hub().menu_often_Click(0);
    EXPECT_EQ(timingState().stagestate, StageState::Waiting);
    EXPECT_EQ(glass().stageperiod, L"10:00:00\\11:00:00");
    EXPECT_EQ(forms::Frm_title().titletext(), L"休息中");
    EXPECT_EQ(clockSetting(), savedAsRun(L"111111111111111111111", L"休息中"));
    expectRestarted();
}

TEST_F(OftenClocks, AfterTheLastStageEverySwitchAndTheTitleStay) {
    clock.setTimeOfDay(11, 0, 1);
    hub().menu_often_Click(0);
    EXPECT_EQ(timingState().stagestate, StageState::DayOver);
    EXPECT_EQ(glass().stageperiod, L"00:00\\00:00");
    EXPECT_EQ(forms::Frm_title().titletext(), L"休息中");
    EXPECT_EQ(clockSetting(), savedAsRun(running.checkvalue, L"休息中"));
    expectRestarted();
}

// A file another program holds, locked or opened sharing nothing, says so, as the stage window
// does; one that never opens (the user may not read it) says that; one that is missing cannot
// be read.
TEST_F(OftenClocks, AFileThatCannotBeReadIsReportedAndTheClockIsNotRestarted) {
    using testing_support::Hold;
    const wchar_t* held = L"MeetData.db 正被其他程序使用，数据未改动，请稍后再试";
    struct Case {
        const char* name;
        std::optional<Hold> hold;
        const wchar_t* text;
        unsigned timeoutMs;
    };
    const Case cases[] = {
        {"locked", Hold::exclusive, held, 2000},
        {"opened sharing nothing", Hold::noSharing, held, 2000},
        {"never opens", Hold::neverOpens, L"MeetData.db 无法打开或读取", 2000},
        {"missing", std::nullopt, L"操作系统是精简版本，不支持本功能", 1200},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        messages.clear();
        {
            std::optional<testing_support::LockedFile> lock;
            if (c.hold) lock.emplace(path(), *c.hold);
            else DeleteFileW(path().c_str());
            hub().menu_often_Click(0);
        }
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0].text, c.text);
        EXPECT_EQ(messages[0].caption, L"Kelvane");
        EXPECT_EQ(messages[0].timeoutMs, c.timeoutMs);
        EXPECT_FALSE(glass().Timer5.enabled());
        EXPECT_TRUE(glass().Timer1.enabled());
        EXPECT_EQ(clockSetting(), running);
    }
}

// Thousands of clocks go in a slice at a time; a menu opened meanwhile shows those in so far.
TEST(OftenSubmenu, ItemsGoInSliceBySliceInOrderAndAMarkWaitsForItsItem) {
    std::vector<std::wstring> names;
    for (int i = 0; i < 250; ++i) names.push_back(L"时钟" + std::to_wstring(i));
    OftenSubmenu often(300);
    often.rebuild(names);
    int left = 0;
    auto hundred = [&left] { return --left > 0; };
    left = 100;
    EXPECT_FALSE(often.appendSome(hundred));
    EXPECT_EQ(GetMenuItemCount(often.handle()), 100);
    often.check(5);
    often.check(180);  // not in yet
    left = 100;
    EXPECT_FALSE(often.appendSome(hundred));
    left = 0;
    EXPECT_FALSE(often.appendSome([] { return false; }));  // one item at least
    EXPECT_EQ(GetMenuItemCount(often.handle()), 201);
    left = 100;
    EXPECT_TRUE(often.appendSome(hundred));
    EXPECT_TRUE(often.complete());
    ASSERT_EQ(GetMenuItemCount(often.handle()), 250);
    for (int i = 0; i < 250; ++i) {
        wchar_t text[32] = {};
        GetMenuStringW(often.handle(), i, text, 32, MF_BYPOSITION);
        EXPECT_EQ(text, names[i]) << i;
        EXPECT_EQ(GetMenuItemID(often.handle(), i), 300u + i);
        EXPECT_EQ(GetMenuState(often.handle(), i, MF_BYPOSITION) & MF_CHECKED, i == 180 ? MF_CHECKED : 0u) << i;
    }
    EXPECT_EQ(often.builds(), 1);
}

// A failed append leaves its item out: every later item then sits one place higher.
TEST(OftenSubmenu, AMarkFindsItsClockWhenAnEarlierItemIsMissing) {
    OftenSubmenu often(300);
    often.rebuild({L"甲", L"乙", L"丙", L"丁", L"戊"});
    often.check(4);  // not in yet: marked as it goes in
    const HMENU m = often.handle();
    bool dropped = false;
    EXPECT_TRUE(often.appendSome([&] {
        if (!dropped && GetMenuItemCount(m) == 2) dropped = DeleteMenu(m, 1, MF_BYPOSITION);  // 乙
        return true;
    }));
    ASSERT_EQ(GetMenuItemCount(m), 4);
    EXPECT_EQ(testing_support::checkedItems(m), std::vector<int>{3});  // 戊
    often.check(2);
    EXPECT_EQ(testing_support::checkedItems(m), std::vector<int>{1});  // 丙, the one mark
}

// The submenu shown is not changed under the open menu; once it closes the fill completes and
// its 10-ms timer stops, whether the fill began before the menu opened or while it was open (the
// stage window records a clock then, say).
TEST_F(OftenClocks, NoItemGoesInWhileTheMenuIsOpenAndTheTimerStopsOnceAllAreIn) {
    const std::vector<std::wstring> all{L"早会", L"午会", L"晚会"};
    auto names = [] { return testing_support::itemTexts(hub().oftenSubmenu().handle()); };
    for (bool begunWhileOpen : {true, false}) {
        SCOPED_TRACE(begunWhileOpen ? "begun while the menu is open" : "begun before the menu opened");
        ASSERT_TRUE(exec("DELETE FROM clocksetting"));
        hub().change_clock_menu();
        for (int i = 0; i < 3; ++i) addClock(all[i], saved, i + 1);
        if (!begunWhileOpen) hub().change_clock_menu();
        bool opened = false;
        setMenuTracker([&](HWND, HMENU) {
            opened = true;
            if (begunWhileOpen) hub().change_clock_menu();
            hub().oftenFill.fire();
            EXPECT_EQ(names(), begunWhileOpen ? std::vector<std::wstring>{} : all);
        });
        hub().popupMenu(POINT{});
        setMenuTracker(nullptr);
        ASSERT_TRUE(opened);
        for (int fired = 0; hub().oftenFill.enabled() && fired < 100; ++fired) hub().oftenFill.fire();
        EXPECT_EQ(names(), all);
        EXPECT_TRUE(hub().oftenSubmenu().complete());
        EXPECT_FALSE(hub().oftenFill.enabled());
    }
}
