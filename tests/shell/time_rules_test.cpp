#include <gtest/gtest.h>

#include "shell/text_number.h"
#include "shell/time_rules.h"

using namespace shell;

TEST(SecondToTime, TakesTheWholeDayAndNothingBeyond) {
    EXPECT_EQ(formatHms(*secondtotime(0)), L"00:00:00");
    EXPECT_EQ(formatHms(*secondtotime(3725)), L"01:02:05");
    EXPECT_EQ(formatHms(*secondtotime(86399)), L"23:59:59");
    EXPECT_FALSE(secondtotime(86400));
    EXPECT_FALSE(secondtotime(-1));
}

TEST(SecondToTime, RoundTripsThroughTimeToSecond) {
    for (int32_t n = 0; n < 86400; n += 7) ASSERT_EQ(timetosecond(*secondtotime(n)), n);
    EXPECT_EQ(timetosecond(*secondtotime(86399)), 86399);
}

TEST(MsToText, SplitsIntoHoursMinutesSecondsAndCutTenths) {
    EXPECT_EQ(mstotext(3725300), L"1\\2\\5\\3");
    EXPECT_EQ(mstotext(59999), L"0\\0\\59\\9");
    EXPECT_EQ(mstotext(400), L"0\\0\\0\\4");
    EXPECT_EQ(mstotext(250), L"0\\0\\0\\2");
    EXPECT_EQ(mstotext(99), L"0\\0\\0\\0");
    EXPECT_EQ(mstotext(90000000), L"25\\0\\0\\0");
}

TEST(MsToText, NegativeTimesFloorEachPart) {
    EXPECT_EQ(mstotext(-1), L"-1\\-1\\-1\\0");
}

TEST(ParseTimeOfDay, ReadsStoredAndEditorForms) {
    EXPECT_EQ(parseTimeOfDay(L"09:30:15")->seconds, 9 * 3600 + 30 * 60 + 15);
    EXPECT_EQ(parseTimeOfDay(L"9:05")->seconds, 9 * 3600 + 5 * 60);
    EXPECT_EQ(parseTimeOfDay(L"23:59:59")->seconds, 86399);
    EXPECT_FALSE(parseTimeOfDay(L"24:00:00"));
    EXPECT_FALSE(parseTimeOfDay(L"12"));
    EXPECT_FALSE(parseTimeOfDay(L"12:00:00 PM"));
    EXPECT_FALSE(parseTimeOfDay(L""));
}

TEST(TextNumber, ReadsAsFarAsTheNumberGoes) {
    EXPECT_EQ(numberOf(L"200"), 200);
    EXPECT_EQ(numberOf(L" -15"), -15);
    EXPECT_EQ(numberOf(L"12abc"), 12);
    EXPECT_EQ(numberOf(L"0.5"), 0.5);
    EXPECT_EQ(numberOf(L"abc"), 0);
    EXPECT_EQ(numberOf(L""), 0);
    EXPECT_EQ(numberOf(L"-"), 0);
}

TEST(TextNumber, RoundsHalvesToEven) {
    EXPECT_EQ(roundHalfEven(90.5), 90);
    EXPECT_EQ(roundHalfEven(91.5), 92);
    EXPECT_EQ(roundHalfEven(-2.5), -2);
    EXPECT_EQ(roundHalfEven(1e12), INT32_MAX);
}
