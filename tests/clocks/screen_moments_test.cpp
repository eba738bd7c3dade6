// The screen at the moments of a run where the most changes at once, compared with the screen
// after every window of the program has been repainted whole: windows that repaint only what
// changed must leave exactly the pixels that repainting everything gives.
#include <gtest/gtest.h>

#include <array>
#include <initializer_list>

#include "app/forms.h"
#include "clocks/time_glass.h"
#include "clocks/time_glasstwo.h"
#include "displays/Frm_process.h"
#include "displays/Frm_time.h"
#include "displays/Frm_title.h"
#include "shell/run_records.h"
#include "tests/test_support.h"

namespace {

class ScreenAtMoments : public testing_support::MeetDataTest {
protected:
    void SetUp() override {
        MeetDataTest::SetUp();
        testing_support::resetSharedState();
        shell::ClockSetting talk;
        shell::applyFirstRunDefaults(talk);
        addClock(L"talk", talk);
        addStage(L"09:00:00", L"09:01:00", L"talk", L"汇报");
        clock.setTimeOfDay(9, 0, 0);
        // In the program's start order, as the program loads them.
        forms::Frm_process().Form_Load();
        forms::Frm_process_two().Form_Load();
        glass().Form_Load();
        forms::time_glasstwo().Form_Load();
        forms::Frm_time().Form_Load();
        forms::Frm_title().Form_Load();
    }
    void TearDown() override {
        forms::resetAll();
        MeetDataTest::TearDown();
    }

    static clocks::time_glass& glass() { return forms::time_glass(); }

    static std::array<win::Window*, 6> windows() {
        return {&forms::Frm_process(), &forms::Frm_process_two(), &forms::time_glass(),
                &forms::time_glasstwo(), &forms::Frm_time(), &forms::Frm_title()};
    }

    // Fires the timers that show something of the moment, as their intervals would.
    static void fireShowTimers() {
        for (win::Timer* t : {&forms::time_glasstwo().Timer5, &glass().Timer2, &forms::Frm_process().Timer3,
                              &forms::Frm_time().Timer3, &forms::Frm_title().Timer3}) {
            if (t->enabled()) t->fire();
        }
    }

    // The screen once the windows have painted what they were asked to.
    static testing_support::Screenshot screen(UINT redraw) {
        for (win::Window* w : windows()) {
            if (w->loaded()) RedrawWindow(w->hwnd(), nullptr, nullptr, redraw);
        }
        // Every window has painted all it was asked to: none is left with something to repaint.
        for (win::Window* w : windows()) {
            EXPECT_FALSE(w->loaded() && GetUpdateRect(w->hwnd(), nullptr, FALSE));
        }
        // A wait that finds the thread idle hands what the windows drew to the display before it returns.
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 0, QS_ALLINPUT);
        return testing_support::takeScreenshot();
    }

    static void expectSameAsWholeRepaint(const char* moment) {
        testing_support::Screenshot asked = screen(RDW_UPDATENOW);
        testing_support::Screenshot whole = screen(RDW_INVALIDATE | RDW_UPDATENOW);
        ASSERT_FALSE(asked.bits.empty()) << moment;
        EXPECT_TRUE(asked.bits == whole.bits) << moment;
    }
};

TEST_F(ScreenAtMoments, RunStartBlinkAlarmAndDayOverLookAsIfEverythingWereRepainted) {
    glass().Timer5.fire();
    fireShowTimers();
    expectSameAsWholeRepaint("run start");

    for (const char* phase : {"blink, dark", "blink, light"}) {
        glass().Timer3.fire();
        expectSameAsWholeRepaint(phase);
    }

    clock.advance(30 * 1000);  // 30 s left: the first alarm
    glass().Timer1.fire();
    ASSERT_EQ(glass().alarmlevel, 1);
    fireShowTimers();
    expectSameAsWholeRepaint("alarm");

    clock.advance(31 * 1000);
    glass().Timer1.fire();
    ASSERT_TRUE(glass().Timer4.enabled());
    glass().Timer4.fire();
    fireShowTimers();
    EXPECT_EQ(forms::Frm_process().bannertext, L"今天计时结束");
    expectSameAsWholeRepaint("day over");
}

}  // namespace
