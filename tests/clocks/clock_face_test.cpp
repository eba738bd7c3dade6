#include <gtest/gtest.h>

#include <utility>

#include "clocks/face_text.h"
#include "faces/face_look.h"

namespace clocks {
namespace {

using faces::dropOnScreen;
using faces::keyColourOf;
using faces::TwipsSize;
using shell::DisplayFormat;
using shell::TimeOfDay;

TEST(FaceText, ATimeReadsInEachDisplayFormatWithMinutesRunningPastTheHour) {
    TimeOfDay t{3725};
    EXPECT_EQ(displayText(t, DisplayFormat::Seconds), L"3725");
    EXPECT_EQ(displayText(t, DisplayFormat::MinutesSeconds), L"62:05");
    EXPECT_EQ(displayText(t, DisplayFormat::HoursMinutesSeconds), L"01:02:05");
    EXPECT_EQ(displayText({}, DisplayFormat::Seconds), L"0");
}

TEST(FaceText, ABuiltFaceCountsDownFromTheRunLengthAndUpFromZero) {
    TimeOfDay all{3725};
    EXPECT_EQ(initialText(L"10001", 3725, all), L"01:02:05");
    EXPECT_EQ(initialText(L"10100", 90000, all), L"90000");  // the stage's own count, past a day
    EXPECT_EQ(initialText(L"00010", 3725, all), L"00:00");
    EXPECT_EQ(initialText(L"00100", 3725, all), L"0");
}

TEST(FaceText, AnOddBlinkCountDarkensTheFaceExceptInTheLastSecond) {
    EXPECT_FALSE(textShows(3, 1000));
    EXPECT_TRUE(textShows(3, 999));
    EXPECT_TRUE(textShows(2, 60000));
}

TEST(FaceLook, TheKeyColourIsTheTablesOrTheTextColourTenUp) {
    EXPECT_EQ(keyColourOf(0xFFFFFF), 0xFAFAFAu);
    EXPECT_EQ(keyColourOf(0x000000), 0x400000u);
    EXPECT_EQ(keyColourOf(0x008000), 0x004000u);
    EXPECT_EQ(keyColourOf(0x123456), 0x123460u);
}

TEST(FaceLook, ADroppedClockIsPulledWhollyOntoTheScreen) {
    shell::ScreenTwips screen{24000, 13500};
    TwipsSize window{3000, 1000};
    auto drop = [&](int32_t left, int32_t top) {
        shell::WindowPosition p = dropOnScreen({left, top}, window, screen);
        return std::pair(p.left, p.top);
    };
    EXPECT_EQ(drop(-40, -1), std::pair(0, 0));
    EXPECT_EQ(drop(23000, 13000), std::pair(21000, 12500));
    EXPECT_EQ(drop(500, 700), std::pair(500, 700));
}

}  // namespace
}  // namespace clocks
