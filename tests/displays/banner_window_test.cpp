// The banners as real windows driven through a run: the clock sets the alarm level and the run
// records, the test fires the timers the banner arms.
#include <gtest/gtest.h>

#include <string>

#include "app/forms.h"
#include "clocks/time_glass.h"
#include "displays/Frm_process.h"
#include "shell/ini_store.h"
#include "shell/run_records.h"
#include "shell/settings_registry.h"
#include "tests/displays/display_test.h"

namespace {

constexpr wchar_t kDayOver[] = L"今天计时结束";

class Banner : public display_test::FloatingTest {
protected:
    void SetUp() override {
        FloatingTest::SetUp();
        shell::ClockSetting& cs = shell::clockSetting();
        cs.Time_all = {150};
        cs.Time_one = 30;
        cs.Time_two = 20;
        cs.Time_three = 10;
        cs.tellShowtime = 3;
        cs.tellprocesstext = L"你的汇报";
        shell::timingState().remainingms = 150400;
    }

    displays::Frm_process& banner() { return forms::Frm_process(); }
    displays::Frm_process& twin() { return forms::Frm_process_two(); }

    void load() {
        banner().Form_Load();
        twin().Form_Load();
    }
    void startAt(int level) {
        forms::time_glass().alarmlevel = level;
        banner().Timer3.fire();
    }
    // The banner's timers that run, as "124" for Timer1, Timer2 and Timer4.
    static std::string running(const displays::Frm_process& b) {
        std::string on;
        for (auto [t, name] : {std::pair{&b.Timer1, '1'}, {&b.Timer2, '2'}, {&b.Timer3, '3'}, {&b.Timer4, '4'}}) {
            if (t->enabled()) on += name;
        }
        return on;
    }
    bool parked(displays::Frm_process& b) {
        return running(b).empty() && b.Top() == gridY(-b.Height() - 5000) && b.Left() == gridX(b.centredLeft());
    }
    // The window wraps its caption: 240 twips left and right, 120 above and below.
    void expectWrapsCaption(const displays::Frm_process& b) {
        faces::TwipsSize text = textSize(b, b.bannertext);
        EXPECT_EQ(b.Width(), text.width + 480);
        EXPECT_EQ(b.Height(), text.height + 240);
    }
};

TEST_F(Banner, RunStartShowsThePromptCountsDownEachSecondAndParksWhenItsTimeIsUsed) {
    load();
    EXPECT_TRUE(parked(banner()));
    startAt(0);
    EXPECT_EQ(banner().bannertext, L"你的汇报还剩2分30秒");
    EXPECT_EQ(running(banner()), "24");
    expectWrapsCaption(banner());
    EXPECT_EQ(banner().Left(), gridX((screen().width - banner().Width()) / 2));
    EXPECT_EQ(banner().Top(), gridY(200));

    banner().Timer2.fire();
    EXPECT_EQ(banner().bannertext, L"你的汇报还剩2分29秒");
    banner().Timer2.fire();
    EXPECT_EQ(banner().bannertext, L"你的汇报还剩2分28秒");
    EXPECT_EQ(running(banner()), "24");
    banner().Timer2.fire();
    EXPECT_TRUE(parked(banner()));
}

TEST_F(Banner, EachAlarmLevelShowsItsThresholdAtTheSavedPlace) {
    shell::saveprocesssite(1000, 500);
    load();
    const wchar_t* expected[] = {L"你的汇报还剩30秒", L"你的汇报还剩20秒", L"你的汇报还剩10秒"};
    for (int level = 1; level <= 3; ++level) {
        startAt(level);
        EXPECT_EQ(banner().bannertext, expected[level - 1]);
        EXPECT_EQ(running(banner()), "24");
        EXPECT_EQ(banner().Left(), gridX(1000));
        EXPECT_EQ(banner().Top(), gridY(500));
    }
    shell::clockSetting().Time_one = 1;
    startAt(1);
    EXPECT_TRUE(parked(banner()));
}

TEST_F(Banner, AlarmThreeWithKeepStaysUntilTheRunsLastSecond) {
    shell::clockSetting().checkvalue = L"001000000000000110000";
    load();
    startAt(3);
    EXPECT_EQ(shell::clockSetting().tellShowtime, 10);
    for (int i = 0; i < 8; ++i) banner().Timer2.fire();
    EXPECT_EQ(banner().bannertext, L"你的汇报还剩2秒");
    EXPECT_EQ(running(banner()), "24");
    shell::timingState().remainingms = 900;
    banner().Timer2.fire();
    EXPECT_TRUE(parked(banner()));
}

TEST_F(Banner, TheDaysEndTextStaysOnScreenBlinkingEvenWithTheMouseOverIt) {
    load();
    banner().bannertext = kDayOver;
    startAt(displays::kDayOverLevel);
    EXPECT_EQ(banner().bannertext, kDayOver);
    EXPECT_EQ(banner().caption(), kDayOver);
    EXPECT_EQ(running(banner()), "124");
    expectWrapsCaption(banner());
    EXPECT_EQ(banner().Top(), gridY(200));

    for (int i = 0; i < 6; ++i) banner().Timer2.fire();
    SendMessageW(banner().hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(banner().bannertext, kDayOver);
    EXPECT_TRUE(banner().Timer1.enabled() && banner().Timer2.enabled());
    EXPECT_EQ(banner().Top(), gridY(200));

    banner().Timer1.fire();
    EXPECT_EQ(banner().textColour(), RGB(255, 0, 0));
    banner().Timer1.fire();
    EXPECT_EQ(banner().textColour(), RGB(128, 128, 0));
}

TEST_F(Banner, TheMouseOverABannerWithoutCountDownPausesStayOnTopAndParksIt) {
    load();
    banner().Move(1000, 1000);
    SendMessageW(banner().hwnd(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(shell::timingState().topmostpause, 200);
    EXPECT_EQ(banner().Top(), gridY(1000));
    SendMessageW(banner().hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_TRUE(parked(banner()));
    EXPECT_EQ(shell::iniRead(shell::kSiteSection, L"processleft", L"none"), L"none");
}

TEST_F(Banner, ATransparentBannerKeysOutTheColourNextToItsTextAndFollowsTheBlink) {
    shell::iniWrite(shell::kHotkeySection, L"processvalue", L"1");
    shell::iniWrite(shell::kHotkeySection, L"processColor", L"16");
    load();
    startAt(0);
    EXPECT_EQ(colourKey(banner()), 0xFAFAFAu);
    EXPECT_EQ(banner().backColour(), 0xFAFAFAu);
    banner().Timer1.fire();  // red text
    EXPECT_EQ(colourKey(banner()), RGB(250, 0, 50));
    EXPECT_TRUE(leavesNoGdiObjects(banner(), banner().Timer1));
}

TEST_F(Banner, WithTheSecondScreenOnTheTwinTakesTheCaptionAndShowsOneScreenRight) {
    shell::writeSettingNumber(L"second_screen", 1);
    shell::iniWrite(shell::kHotkeySection, L"add", L"10");
    shell::saveprocesssite(1000, 500);
    load();
    startAt(0);
    EXPECT_EQ(twin().bannertext, L"你的汇报还剩2分30秒");
    EXPECT_EQ(running(twin()), "3");

    twin().Timer3.fire();
    EXPECT_EQ(running(twin()), "24");
    EXPECT_EQ(twin().Left(), gridX(screen().width + 1000));
    EXPECT_EQ(twin().Top(), gridY(2000));
    EXPECT_EQ(twin().fontPoints(), 45);
    EXPECT_EQ(banner().fontPoints(), 35);

    banner().Timer2.fire();
    EXPECT_EQ(twin().bannertext, L"你的汇报还剩2分29秒");
    banner().Timer2.fire();
    banner().Timer2.fire();
    EXPECT_TRUE(parked(twin()));
}

// The clock asks for alarm 3's banner in the very second alarm 2's three-second count ends. On
// each screen the count's last tick may come before the start step or after the main banner's
// start armed the twin's: alarm 3's banner shows on both either way.
TEST_F(Banner, AnAlarmsStartAskedForAsTheEarlierCountEndsShowsOnBothScreens) {
    shell::writeSettingNumber(L"second_screen", 1);
    load();
    // As the window system runs a timer: only while it is armed.
    auto tick = [](win::Timer& t) {
        if (t.enabled()) t.fire();
    };
    for (bool countEndsFirst : {true, false}) {
        SCOPED_TRACE(countEndsFirst ? "the count's last tick first" : "the start step first");
        startAt(2);
        tick(twin().Timer3);
        for (int i = 0; i < 2; ++i) {
            tick(banner().Timer2);
            tick(twin().Timer2);
        }
        forms::time_glass().alarmlevel = 3;
        banner().Timer3.enabled(true);
        if (countEndsFirst) {
            tick(banner().Timer2);
            tick(twin().Timer2);
            tick(banner().Timer3);
        } else {
            tick(banner().Timer3);
            tick(twin().Timer2);
        }
        tick(twin().Timer3);
        for (displays::Frm_process* b : {&banner(), &twin()}) {
            EXPECT_EQ(b->bannertext, L"你的汇报还剩10秒");
            EXPECT_EQ(running(*b), "24");
            EXPECT_GE(b->Top(), 0);
        }
    }
}

// The second-screen clock starts the twin as a run starts, before the main banner has a caption.
TEST_F(Banner, TheTwinStartedBeforeItHasACaptionStaysParkedUntilTheMainBannerHandsItOne) {
    shell::writeSettingNumber(L"second_screen", 1);
    load();
    twin().Timer3.fire();
    EXPECT_TRUE(parked(twin()));
    EXPECT_EQ(twin().bannertext, L"");

    startAt(0);
    twin().Timer3.fire();
    EXPECT_EQ(twin().bannertext, L"你的汇报还剩2分30秒");
    EXPECT_EQ(running(twin()), "24");
    EXPECT_FALSE(parked(twin()));
}

TEST_F(Banner, WithTheSecondScreenOffTheTwinOnlyReceivesTheLastCaption) {
    shell::writeSettingNumber(L"second_screen", 0);
    load();
    startAt(0);
    EXPECT_EQ(twin().bannertext, L"");
    banner().Timer2.fire();
    EXPECT_EQ(twin().bannertext, L"你的汇报还剩2分30秒");
    EXPECT_TRUE(running(twin()).empty());
}

}  // namespace
