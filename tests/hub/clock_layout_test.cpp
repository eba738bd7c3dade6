#include <gtest/gtest.h>

#include <utility>

#include "app/forms.h"
#include "clocks/time_glass.h"
#include "clocks/time_glasstwo.h"
#include "hub/Frm_exit.h"
#include "hub/clock_layout.h"
#include "shell/clock_placement.h"
#include "shell/ini_store.h"
#include "shell/run_records.h"
#include "shell/settings_registry.h"
#include "tests/test_support.h"
#include "win/twips.h"

using namespace hub;
using namespace shell;

namespace {

constexpr ScreenTwips kScreen{15000, 12000};
constexpr int32_t kHeight = 750;

using Pair = std::pair<int32_t, int32_t>;
Pair xy(WindowPosition p) { return {p.left, p.top}; }
Pair xy(int32_t left, int32_t top) { return {left, top}; }

}  // namespace

TEST(MainClockPlacement, SavedPlaceOutsideGoesToTheRightEdgeAndTheTop) {
    const int32_t rightEdge = 15000 - 2250 - 100;  // clear of the face
    for (int32_t left : {0, -300, rightEdge, rightEdge + 1000}) {
        EXPECT_EQ(mainClockPosition({left, 1500}, kScreen, 2250, kHeight).left, rightEdge) << left;
    }
    for (int32_t top : {0, -15, 12000 - kHeight, 15000}) {
        EXPECT_EQ(mainClockPosition({3000, top}, kScreen, 2250, kHeight).top, 0) << top;
    }
}

TEST(SecondClockPlacement, OffsetsAreReducedByWholeScreensIntoTheSecondMonitor) {
    EXPECT_EQ(xy(secondClockPosition({37500, 24600}, kScreen, kHeight)), xy(15000 + 7500, 600));
    EXPECT_EQ(secondClockPosition({15000, 600}, kScreen, kHeight).left, 15000 + 15000);  // not beyond
    EXPECT_EQ(xy(secondClockPosition({-500, -500}, kScreen, kHeight)), xy(15000, 0));
    EXPECT_EQ(secondClockPosition({500, 12000 - 100}, kScreen, kHeight).top, 0);
}

TEST(SecondClockPlacement, ScreenWithoutSizeLeavesTheOffsetAsItIs) {
    EXPECT_EQ(xy(secondClockPosition({37500, 24600}, {0, 0}, kHeight)), xy(37500, 0));
}

class ClockLayout : public testing_support::ProgramTest {
protected:
    static constexpr wchar_t kShown[] = L"隐藏";
    static constexpr wchar_t kParked[] = L"显示";
    static constexpr wchar_t kTail[] = L"        Ctrl+F9";

    void SetUp() override {
        ProgramTest::SetUp();
        screen = screenShared();
        setting = clockSetting();
        timing = timingState();
        screenShared().screenwidth = 1000;
        screenShared().screenheight = 800;
        screenShared().usepicture = true;
        clockSetting().Fontselect = L"1060605";
        clockSetting().checkvalue = L"111101001111111111111";
        glass().Form_Load();
        two().Form_Load();
        two().Timer5.enabled(false);  // its set-up would lay out the twin again
        caption() = std::wstring(kShown) + kTail;
    }
    void TearDown() override {
        forms::resetAll();
        screenShared() = screen;
        clockSetting() = setting;
        timingState() = timing;
        ProgramTest::TearDown();
    }

    static clocks::time_glass& glass() { return forms::time_glass(); }
    static clocks::time_glasstwo& two() { return forms::time_glasstwo(); }
    static std::wstring& caption() { return forms::Frm_exit().menu_two1_caption; }
    static int W() { return 1000 * win::twipsPerPixelX(); }

    // Positions land on whole pixels.
    static void expectAt(const win::Window& w, int left, int top) {
        EXPECT_NEAR(w.Left(), left, win::twipsPerPixelX());
        EXPECT_NEAR(w.Top(), top, win::twipsPerPixelY());
    }
    static void expectParked(const win::Window& w) { expectAt(w, -w.Width() - 5000, -w.Height() - 5000); }

    ScreenShared screen;
    ClockSetting setting;
    TimingState timing;
};

TEST_F(ClockLayout, TwoTogglesParkThenRestoreBothClocksAndKeepTheCaptionTail) {
    writeSettingNumber(L"second_screen", 1);
    saveclocksite(3000, 1500);
    saveclocksitetwo(1500, 600);
    glass().Timer1.enabled(true);  // a run goes on while parked

    clockshowhide();
    EXPECT_EQ(caption(), std::wstring(kParked) + kTail);
    EXPECT_TRUE(glass().Timer1.enabled());
    expectParked(glass());
    expectParked(two());
    EXPECT_FALSE(glass().shown);
    EXPECT_EQ(two().promptstep, 3);

    clockshowhide();
    EXPECT_EQ(caption(), std::wstring(kShown) + kTail);
    expectAt(glass(), 3000, 1500);
    expectAt(two(), W() + 1500, 600);
    EXPECT_TRUE(glass().shown && two().shown);
}

TEST_F(ClockLayout, RightEdgeIsBoundByThePictureOrElseBySizeLabel) {
    saveclocksite(W(), 1500);
    for (bool picture : {true, false}) {
        screenShared().usepicture = picture;
        int face = picture ? glass().Width() : glass().sizelabelWidth();
        showclock();
        expectAt(glass(), W() - face - 100, 1500);
    }
}

TEST_F(ClockLayout, SecondScreenOffLeavesTheTwinAlone) {
    saveclocksitetwo(1500, 600);
    const int left = two().Left(), top = two().Top();
    two().promptstep = 5;
    two().shown = true;
    two().prompting = true;

    hideclock();
    showclock();
    clockreset();
    clockfontsize();

    EXPECT_EQ(xy(two().Left(), two().Top()), xy(left, top));
    EXPECT_EQ(two().promptstep, 5);
    EXPECT_TRUE(two().shown);
    EXPECT_TRUE(two().prompting);
    EXPECT_FALSE(two().Timer2.enabled());
}

TEST_F(ClockLayout, ResetRestartsOnlyAnIdlePromptMachine) {
    writeSettingNumber(L"second_screen", 1);
    caption() = std::wstring(kParked) + kTail;
    timingState().topmostpause = 200;
    glass().promptstep = two().promptstep = 3;
    glass().shown = two().shown = false;

    clockreset();
    EXPECT_EQ(caption(), std::wstring(kShown) + kTail);
    EXPECT_EQ(timingState().topmostpause, 0);
    EXPECT_TRUE(glass().Timer2.enabled() && two().Timer2.enabled());
    EXPECT_EQ(xy(glass().promptstep, two().promptstep), xy(1, 1));
    EXPECT_TRUE(glass().shown && two().shown);

    glass().promptstep = two().promptstep = 4;  // mid-prompt
    clockreset();
    EXPECT_EQ(xy(glass().promptstep, two().promptstep), xy(4, 4));
}

TEST_F(ClockLayout, RefreshParksOnlyWhenShownWhileTimedAndNothingTimes) {
    clockSetting().checkvalue = L"111111001111111111111";
    clockrefresh();
    expectParked(glass());
    EXPECT_EQ(caption(), std::wstring(kParked) + kTail);

    for (win::Timer* running : {&glass().Timer1, &glass().Timer4}) {
        hideclock();
        running->enabled(true);
        clockrefresh();
        EXPECT_GE(glass().Left(), 0);
        EXPECT_EQ(caption(), std::wstring(kShown) + kTail);
        running->enabled(false);
    }

    clockSetting().checkvalue = L"111101001111111111111";
    hideclock();
    clockrefresh();
    EXPECT_GE(glass().Left(), 0);
}
