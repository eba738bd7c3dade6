// The banner's words and count-down as plain rules, and the looks and places of the floating
// windows as the INI store gives them.
#include <gtest/gtest.h>

#include <utility>

#include "displays/banner_text.h"
#include "displays/floating_look.h"
#include "displays/floating_place.h"
#include "shell/ini_store.h"
#include "tests/test_support.h"

using namespace displays;

namespace {

std::pair<int, int> xy(WindowPosition p) { return {p.left, p.top}; }
std::pair<int, int> xy(int left, int top) { return {left, top}; }

}  // namespace

TEST(BannerWords, TimeFormsByHourMinuteAndSecond) {
    EXPECT_EQ(bannerTimeText(3909), L"1时05分09秒");
    EXPECT_EQ(bannerTimeText(3600), L"1时00分00秒");
    EXPECT_EQ(bannerTimeText(3599), L"59分59秒");
    EXPECT_EQ(bannerTimeText(61), L"1分01秒");
    EXPECT_EQ(bannerTimeText(60), L"60秒");
    EXPECT_EQ(bannerCaption(L"你的汇报", 150), L"你的汇报还剩2分30秒");
}

TEST(BannerWords, ARedTextBlinksWithBlack) {
    EXPECT_EQ(blinkColour(RGB(255, 0, 0), RGB(255, 0, 0)), RGB(0, 0, 0));
    EXPECT_EQ(blinkColour(RGB(255, 0, 0), RGB(0, 0, 0)), RGB(255, 0, 0));
}

TEST(BannerCountdownRule, AlarmThreeIsKeptToTheEndOnlyWithAllThreeSwitches) {
    shell::ClockSetting cs;
    cs.Time_three = 10;
    cs.tellShowtime = 3;
    cs.checkvalue = L"001000000000000110000";
    for (int pos : {3, 16, 17}) {
        cs.checkvalue[pos - 1] = L'0';
        BannerCountdown().start(3, cs);
        EXPECT_EQ(cs.tellShowtime, 3) << "switch " << pos << " off";
        cs.checkvalue[pos - 1] = L'1';
    }
    BannerCountdown().start(3, cs);
    EXPECT_EQ(cs.tellShowtime, 10);
}

class FloatingLooks : public testing_support::ProgramTest {};

TEST_F(FloatingLooks, AnEmptyStoreGivesAnOpaqueBannerOnTheHighlightColour) {
    BannerLook b = readBannerLook();
    EXPECT_EQ(b.text.font, L"Trebuchet ms");
    EXPECT_EQ(b.text.colour(), RGB(128, 128, 0));
    EXPECT_FALSE(b.transparent);
    EXPECT_EQ(b.back, GetSysColor(COLOR_HIGHLIGHT));
}

TEST_F(FloatingLooks, IndexesOutsideTheStoresRangeAreHeldToIt) {
    shell::iniWrite(shell::kHotkeySection, L"processFontSize", L"99999");
    shell::iniWrite(shell::kHotkeySection, L"processColor", L"-5");
    shell::iniWrite(shell::kHotkeySection, L"titleselect", L"-5\\99999");
    BannerLook b = readBannerLook();
    EXPECT_EQ(b.text.points(), 200);
    EXPECT_EQ(b.text.colourIndex, 0);
    TextStyle t = readTitleStyle();
    EXPECT_EQ(t.points(), 10);
    EXPECT_EQ(t.colour(), RGB(255, 255, 255));
}

TEST(FloatingStyle, AStyleThatIsNotFaceSizeAndColourFallsBackWhole) {
    for (auto [font, select] : {std::pair{L"Arial", L"9"}, {L"Arial", L"3\\6\\1"}, {L"Ari\\al", L"3\\6"}}) {
        TextStyle t = styleOf(font, select);
        EXPECT_EQ(t.font, L"Trebuchet ms") << select;
        EXPECT_EQ(t.points(), 55);
        EXPECT_EQ(t.colour(), RGB(255, 255, 0));
    }
    EXPECT_EQ(styleOf(L"Arial", L"3\\6").points(), 25);
}

TEST(FloatingPlaces, ASavedZeroOrOffScreenValueFallsBackOnThatAxisOnly) {
    const ScreenTwips screen{15000, 12000};
    const TwipsSize window{3000, 1000};
    EXPECT_EQ(xy(bannerPosition({0, 500}, window, screen, false)), xy(6000, 500));
    EXPECT_EQ(xy(bannerPosition({1000, 11201}, window, screen, false)), xy(1000, 200));
    EXPECT_EQ(xy(bannerPosition({-100, -100}, window, screen, true)), xy(21000, 1700));
    EXPECT_EQ(xy(timePosition({12001, 4000}, window, screen)), xy(12000, 4000));
    EXPECT_EQ(xy(titlePosition({12001, 4000}, window, screen)), xy(0, 4000));
}

TEST(FloatingPlaces, ADragEndsInsideTheScreenWithTheAllowedOverhangBelow) {
    const ScreenTwips screen{15000, 12000};
    const TwipsSize window{3000, 1000};
    EXPECT_EQ(xy(dropOnScreen({-50, -50}, window, screen, 200)), xy(0, 0));
    EXPECT_EQ(xy(dropOnScreen({20000, 40000}, window, screen, 200)), xy(12000, 11200));
    EXPECT_EQ(xy(dropOnScreen({20000, 40000}, window, screen, 0)), xy(12000, 11000));
    // Places beyond 16 bits stay as they are.
    EXPECT_EQ(xy(dropOnScreen({40000, 39000}, window, {60000, 45000}, 0)), xy(40000, 39000));
}
