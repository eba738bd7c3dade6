// The second-screen clock as a real window: parked while the option is off, on the second
// monitor at its saved offset while it is on, and shaped and keyed like the main clock.
#include <gtest/gtest.h>

#include "app/forms.h"
#include "clocks/alarm_rules.h"
#include "clocks/time_glass.h"
#include "clocks/time_glasstwo.h"
#include "displays/Frm_process.h"
#include "shell/ini_store.h"
#include "shell/run_records.h"
#include "shell/settings_registry.h"
#include "tests/test_support.h"
#include "win/handles.h"
#include "win/twips.h"

namespace {

class SecondClock : public testing_support::ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        testing_support::resetSharedState();
    }
    void TearDown() override {
        forms::resetAll();
        ProgramTest::TearDown();
    }

    static clocks::time_glass& glass() { return forms::time_glass(); }
    static clocks::time_glasstwo& two() { return forms::time_glasstwo(); }
    static int W() { return win::pixelsToTwipsX(shell::screenShared().screenwidth); }
    static int H() { return win::pixelsToTwipsY(shell::screenShared().screenheight); }

    // Both clocks loaded and the twin set up, as at a run start.
    void loadBoth() {
        glass().Form_Load();
        two().Form_Load();
        two().Timer5.fire();
    }

    // Positions land on whole pixels.
    static void expectAt(const win::Window& w, int left, int top) {
        EXPECT_NEAR(w.Left(), left, win::twipsPerPixelX());
        EXPECT_NEAR(w.Top(), top, win::twipsPerPixelY());
    }

    static bool outlineIs(HWND window, int cornerEllipse) {
        RECT r{};
        GetWindowRect(window, &r);
        win::UniqueRegion now(CreateRectRgn(0, 0, 0, 0));
        win::UniqueRegion expected(
            CreateRoundRectRgn(1, 1, r.right - r.left - 1, r.bottom - r.top - 1, cornerEllipse, cornerEllipse));
        if (GetWindowRgn(window, now.get()) == ERROR) return false;
        return CombineRgn(now.get(), now.get(), expected.get(), RGN_XOR) == NULLREGION;
    }

    static COLORREF keyOf(HWND window) {
        COLORREF key = 0;
        BYTE alpha = 0;
        DWORD flags = 0;
        GetLayeredWindowAttributes(window, &key, &alpha, &flags);
        return key;
    }
};

TEST_F(SecondClock, WithTheOptionOffTheTwinStaysParkedAndStill) {
    loadBoth();
    expectAt(two(), -W() - 5000, -H() - 15000);
    EXPECT_FALSE(two().Timer1.enabled() || two().Timer2.enabled() || two().Timer3.enabled());
}

TEST_F(SecondClock, WithTheOptionOnTheSetUpPlacesTheTwinAtItsOffsetShowingTheMainText) {
    shell::writeSettingNumber(L"second_screen", 1);
    shell::saveclocksitetwo(1500, 600);
    loadBoth();
    expectAt(two(), W() + 1500, 600);
    EXPECT_FALSE(glass().facetext.empty());
    EXPECT_EQ(two().facetext, glass().facetext);
    EXPECT_TRUE(two().Timer1.enabled() && two().Timer2.enabled());
    EXPECT_TRUE(two().shown);

    // Dragged away, the next prompt puts it back at the stored offset.
    two().Move(W() + 4000, 3000);
    two().Timer2.fire();
    expectAt(two(), W() + 1500, 600);
}

TEST_F(SecondClock, OutlineAndKeyColourFollowTheMainClocksLook) {
    shell::writeSettingNumber(L"second_screen", 1);
    loadBoth();
    ASSERT_GE(shell::clockSetting().checkvalue.size(), 7u);
    shell::clockSetting().checkvalue[6] = L'1';     // see-through
    shell::clockSetting().Fontselect = L"1061605";  // white text, corner 5
    glass().buildFace(false);
    glass().paintFace();
    two().Timer5.fire();
    EXPECT_TRUE(outlineIs(two().hwnd(), 10));
    EXPECT_TRUE(outlineIs(glass().hwnd(), 10));
    EXPECT_EQ(keyOf(two().hwnd()), 0xFAFAFAu);
    EXPECT_EQ(keyOf(two().hwnd()), keyOf(glass().hwnd()));
}

// The twin watches the main clock's run by itself: each alarm second starts its own prompt (and
// blinking and the second-screen banner as the flags say), the first second and the seconds in
// between do nothing, and at time-up it stops.
TEST_F(SecondClock, AlarmSecondsOfTheRunStartTheTwinsOwnPrompts) {
    shell::writeSettingNumber(L"second_screen", 1);
    glass().Form_Load();  // reads the clock's settings; the twin's set-up takes them from there
    shell::ClockSetting& cs = shell::clockSetting();
    cs.checkvalue = L"111101001111111111111";
    cs.checkvalue[10] = L'0';  // no blinking at alarm 2
    cs.checkvalue[14] = L'0';  // no banner at alarm 2
    cs.Time_one = 30;
    cs.Time_two = 20;
    cs.Time_three = 10;
    shell::timingState().stageseconds = 60;
    two().Form_Load();
    two().Timer5.fire();
    displays::Frm_process& banner = forms::Frm_process_two();
    auto quiet = [&] {
        two().Timer2.enabled(false);
        two().prompting = two().blinking = false;
        two().promptstep = clocks::prompt::repaint;
        banner.Timer3.enabled(false);
    };
    auto tickAt = [&](uint32_t elapsedMs) {
        clock.tick = 1000 + elapsedMs;  // the set-up read the tick count 1000
        two().Timer1.fire();
    };
    quiet();

    tickAt(0);  // the first second is the run's own length, not an alarm
    EXPECT_FALSE(two().Timer2.enabled());
    EXPECT_EQ(two().Timer1.interval(), 200u);

    tickAt(30000);
    EXPECT_EQ(two().Timer1.interval(), 1000u);
    EXPECT_TRUE(two().Timer2.enabled() && two().prompting && two().blinking);
    EXPECT_EQ(two().promptstep, clocks::prompt::place);
    EXPECT_TRUE(banner.Timer3.enabled());

    quiet();
    tickAt(35000);
    EXPECT_FALSE(two().Timer2.enabled());
    tickAt(40000);
    EXPECT_TRUE(two().Timer2.enabled() && two().prompting);
    EXPECT_FALSE(two().blinking);
    EXPECT_FALSE(banner.Timer3.enabled());

    tickAt(60000);  // time-up
    EXPECT_FALSE(two().Timer1.enabled() || two().Timer3.enabled());
}

// Alarms 2 and 3 in consecutive seconds, and alarm 3's tick comes while alarm 2's prompt hands
// over to the blink: alarm 3's prompt runs whole and the twin, which the user shows, stays put.
TEST_F(SecondClock, APromptStartedWhileAnotherHandsOverRunsWholeAndTheShownTwinStaysInPlace) {
    shell::writeSettingNumber(L"second_screen", 1);
    glass().Form_Load();
    shell::ClockSetting& cs = shell::clockSetting();
    cs.checkvalue = L"111101001111111111111";
    cs.Time_one = 30;
    cs.Time_two = 11;
    cs.Time_three = 10;
    shell::timingState().stageseconds = 60;
    two().Form_Load();
    two().Timer5.fire();
    for (win::Timer* t : {&two().Timer1, &two().Timer2, &two().Timer3}) t->detach();
    for (int i = 0; i < 10 && two().Timer2.enabled(); ++i) two().Timer2.fire();  // the set-up's own steps
    uint32_t elapsed = 45000;
    for (; elapsed < 60000 && !two().Timer2.enabled(); elapsed += 100) {
        clock.tick = 1000 + elapsed;  // the set-up read the tick count 1000
        two().Timer1.fire();
    }
    ASSERT_TRUE(two().Timer2.enabled()) << "alarm 2 prompts";
    two().Timer2.fire();  // the twin in its place
    const int left = two().Left(), top = two().Top();
    two().Timer2.fire();
    ASSERT_EQ(two().promptstep, clocks::prompt::handOver);
    // The next tick, a second later, is alarm 3's: it runs in the hand-over's pump.
    clock.tick = 1000 + elapsed + 1000;
    PostMessageW(two().hwnd(), WM_TIMER, two().Timer1.id(), 0);
    two().Timer2.fire();

    std::vector<int> steps;
    for (int i = 0; i < 10 && two().Timer2.enabled(); ++i) {
        steps.push_back(two().promptstep);
        two().Timer2.fire();
        EXPECT_EQ(two().Left(), left);
        EXPECT_EQ(two().Top(), top);
    }
    using namespace clocks::prompt;
    EXPECT_EQ(steps, (std::vector<int>{place, repaint, handOver}));
}

}  // namespace
