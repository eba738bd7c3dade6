// The time-of-day and title windows as real windows: what their show step does with the clock's
// switches, where they go, the time they show and how the title window follows its text.
#include <gtest/gtest.h>

#include "app/forms.h"
#include "displays/Frm_time.h"
#include "displays/Frm_title.h"
#include "shell/ini_store.h"
#include "shell/run_records.h"
#include "tests/displays/display_test.h"

namespace {

class FloatingWindows : public display_test::FloatingTest {
protected:
    void switchOn(int pos, bool on) {
        std::wstring& cv = shell::clockSetting().checkvalue;
        cv.resize(21, L'0');
        cv[pos - 1] = on ? L'1' : L'0';
    }
    displays::Frm_time& timeWindow() { return forms::Frm_time(); }
    displays::Frm_title& title() { return forms::Frm_title(); }
};

TEST_F(FloatingWindows, TheTimeOfDayShowsInTheBottomRightCornerAndFollowsTheClock) {
    clock.setTimeOfDay(9, 5, 30);
    switchOn(6, true);
    timeWindow().Form_Load();
    timeWindow().Timer3.fire();
    EXPECT_EQ(timeWindow().timetext(), L"09:05");
    EXPECT_TRUE(timeWindow().Timer1.enabled());
    EXPECT_EQ(timeWindow().Left(), gridX(screen().width - timeWindow().Width()));
    EXPECT_EQ(timeWindow().Top(), gridY(screen().height - timeWindow().Height()));
    EXPECT_EQ(timeWindow().fontPoints(), 55);
    EXPECT_EQ(colourKey(timeWindow()), RGB(250, 250, 50));  // yellow text
    faces::TwipsSize text = textSize(timeWindow(), L"09:05");
    EXPECT_EQ(timeWindow().Width(), gridX(text.width + 200));

    clock.advance(40 * 1000);
    timeWindow().Timer1.fire();
    EXPECT_EQ(timeWindow().timetext(), L"09:06");
    EXPECT_TRUE(leavesNoGdiObjects(timeWindow(), timeWindow().Timer1));
}

TEST_F(FloatingWindows, TheTimeOfDayIsRedrawnAndRetitledOnlyWhenItsMinuteTurns) {
    clock.setTimeOfDay(9, 5, 30);
    switchOn(6, true);
    timeWindow().Form_Load();
    timeWindow().Timer3.fire();
    UpdateWindow(timeWindow().hwnd());
    struct Tick {
        int seconds;  // since the tick before
        const wchar_t* caption;
        bool repaints;
    };
    for (Tick t : {Tick{1, L"09:05", false}, {20, L"09:05", false}, {9, L"09:06", true}, {1, L"09:06", false}}) {
        clock.advance(t.seconds * 1000);
        timeWindow().Timer1.fire();
        EXPECT_EQ(timeWindow().caption(), t.caption);
        EXPECT_EQ(GetUpdateRect(timeWindow().hwnd(), nullptr, FALSE) != FALSE, t.repaints) << "at " << t.caption;
        UpdateWindow(timeWindow().hwnd());
    }
}

TEST_F(FloatingWindows, TheTimeOfDaySwitchedOffParksTheWindowAndStopsItsTick) {
    shell::savetimesite(3000, 2000);
    switchOn(6, true);
    timeWindow().Form_Load();
    timeWindow().Timer3.fire();
    EXPECT_EQ(timeWindow().Left(), gridX(3000));
    EXPECT_EQ(timeWindow().Top(), gridY(2000));

    switchOn(6, false);
    timeWindow().Timer3.fire();
    EXPECT_FALSE(timeWindow().Timer1.enabled());
    EXPECT_EQ(timeWindow().Left(), gridX(-screen().width - timeWindow().Width()));
    EXPECT_EQ(timeWindow().Top(), gridY(-screen().height - 5000));
}

TEST_F(FloatingWindows, TheTitleShowsTopLeftAndResizesToEveryNewText) {
    switchOn(4, true);
    title().setTitletext(L"董事会");
    title().Form_Load();
    title().Timer3.fire();
    EXPECT_EQ(title().Left(), 0);
    EXPECT_EQ(title().Top(), 0);
    EXPECT_TRUE(title().Timer1.enabled());
    EXPECT_NE(colourKey(title()), CLR_INVALID);

    const std::wstring longer = L"董事会年度总结";
    title().setTitletext(longer);
    faces::TwipsSize text = textSize(title(), longer);
    EXPECT_EQ(title().Width(), text.width + 300);
    EXPECT_EQ(title().Height(), text.height + 300);
}

TEST_F(FloatingWindows, AnEmptyTitleOrTheSwitchOffParksTheTitle) {
    switchOn(4, true);
    title().Form_Load();
    title().Timer3.fire();
    EXPECT_FALSE(title().Timer1.enabled());
    EXPECT_LT(title().Left(), 0);

    title().setTitletext(L"休息");
    switchOn(4, false);
    title().Timer3.fire();
    EXPECT_FALSE(title().Timer1.enabled());
    EXPECT_LT(title().Top(), 0);
}

}  // namespace
