#include <gtest/gtest.h>

#include "shell/flag_strings.h"
#include "shell/run_records.h"

using namespace shell;

TEST(FlagStrings, PositionsCountFromOneAndShortStringsReadOff) {
    EXPECT_TRUE(flagOn(L"100", 1));
    EXPECT_FALSE(flagOn(L"100", 2));
    EXPECT_FALSE(flagOn(L"100", 4));
    EXPECT_FALSE(flagOn(L"100", 0));
}

TEST(FlagStrings, DisplayFormatLaterPositionWins) {
    EXPECT_EQ(displayFormatOf(L"10000"), DisplayFormat::HoursMinutesSeconds);
    EXPECT_EQ(displayFormatOf(L"10100"), DisplayFormat::Seconds);
    EXPECT_EQ(displayFormatOf(L"100100100"), DisplayFormat::MinutesSeconds);
    EXPECT_EQ(displayFormatOf(L"00110"), DisplayFormat::MinutesSeconds);
    EXPECT_EQ(displayFormatOf(L"00111"), DisplayFormat::HoursMinutesSeconds);
    EXPECT_TRUE(countsDown(L"100100100"));
    EXPECT_FALSE(countsDown(L"01001"));
}

TEST(FlagStrings, LookCodeGivesSizeColourAndCorner) {
    LookCode def = lookCodeOf(L"1060605");
    EXPECT_EQ(def.sizeIndex, 6);
    EXPECT_EQ(def.colourIndex, 6);
    EXPECT_EQ(def.cornerSize(), 10);
    LookCode zero = lookCodeOf(L"1000000");
    EXPECT_EQ(zero.sizeIndex, 0);
    EXPECT_EQ(zero.colourIndex, 0);
    EXPECT_EQ(zero.cornerSize(), 0);
}

// Each of these once gave a 10-point black face on black: the audience saw a tiny dark box.
TEST(FlagStrings, LookCodeThatTheSettingsCouldNotHaveWrittenReadsAsTheDefault) {
    for (const wchar_t* code : {L"", L"abc", L"10606", L"1a60605", L"106060500", L"1396605", L"1061705",
                                L"1060611", L"1-60605"}) {
        LookCode look = lookCodeOf(code);
        EXPECT_EQ(look.sizeIndex, 6) << code;
        EXPECT_EQ(look.colourIndex, 6) << code;
        EXPECT_EQ(look.cornerSize(), 10) << code;
    }
    LookCode largest = lookCodeOf(L"1381610");
    EXPECT_EQ(largest.sizeIndex, 38);
    EXPECT_EQ(largest.colourIndex, 16);
    EXPECT_EQ(largest.cornerSize(), 20);
}

TEST(FlagStrings, PictureFieldOfFirstRunDefaultIsNoPictureOnBlack) {
    PictureField none = pictureFieldOf(L"\\0");
    EXPECT_TRUE(none.file.empty());
    EXPECT_EQ(none.colour, 0);
    PictureField pic = pictureFieldOf(L"sky.jpg\\16711680");
    EXPECT_EQ(pic.file, L"sky.jpg");
    EXPECT_EQ(pic.colour, 16711680);
}

TEST(FlagStrings, SoundListByReaction) {
    ClockSetting s;
    applyFirstRunDefaults(s);
    EXPECT_EQ(soundNameOf(s.tellsoundname, 0), L"start.wav");
    EXPECT_EQ(soundNameOf(s.tellsoundname, 3), L"Timeout.wav");
    EXPECT_EQ(soundNameOf(L"a.wav\\b.wav", 3), L"");
}

TEST(FlagStrings, SizeColourPair) {
    SizeColour sc = sizeColourOf(L"9\\4");
    EXPECT_EQ(sc.sizeIndex, 9);
    EXPECT_EQ(sc.colourIndex, 4);
}

TEST(FirstRunDefaults, KeepAPictureSizeAlreadyKnown) {
    ClockSetting s;
    s.picture_width = 320;
    applyFirstRunDefaults(s);
    EXPECT_EQ(s.picture_width, 320);
    EXPECT_EQ(s.picture_height, 50);
    EXPECT_EQ(formatHms(s.Time_all), L"00:02:30");
    EXPECT_EQ(s.checkvalue, L"111101001111111111111");
}
