// The row texts of the stage window and how they read back, the overlap of stages, the hour
// and minute fields, the column pad and the search pattern.
#include <gtest/gtest.h>

#include "plans/run_table.h"
#include "plans/stage_rows.h"
#include "plans/stage_store.h"

namespace {

using namespace plans;
using shell::TimeOfDay;

TimeOfDay at(int h, int m) { return TimeOfDay{h * 3600 + m * 60}; }

TEST(StageRows, RowsReadBackFieldForFieldWhateverTheNamesHold) {
    const std::wstring pad = L"    ";
    struct Case {
        ClockRow clock;
        std::wstring text;
    } cases[] = {
        {{1, L"汇报", L"2026-12-09", L"备注"}, L"001    汇报\t2026-12-09\t\t备注"},
        {{12, L"a  b", L"2026-01-02", L""}, L"012    a  b\t2026-01-02\t\t"},  // blanks in the name, empty remark
        {{1234, L"x", L"", L"r"}, L"1234    x\t\t\tr"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(clockRowText(c.clock, pad), c.text);
        EXPECT_EQ(clockRowOf(c.text, pad), c.clock) << c.text;
    }
    StageRow stage{L"08:00", L"09:30", L"A", L""};
    EXPECT_EQ(stageRowText(stage, pad), L"08:00    09:30    A\t\t");
    EXPECT_EQ(stageRowOf(stageRowText(stage, pad), pad), stage);
    StageRow blanks{L"10:00", L"11:00", L"名  称", L"第 一"};
    EXPECT_EQ(stageRowOf(stageRowText(blanks, pad), pad), blanks);
    EXPECT_FALSE(clockRowOf(L"no row", pad));
    EXPECT_FALSE(stageRowOf(L"08:00\t\tx", pad));
}

TEST(StageRows, NamesAndTitlesLoseTheCharactersThatBreakARow) {
    EXPECT_EQ(withoutRowBreaks(L"a\tb\r\nc d"), L"abc d");
}

TEST(StageRows, ANewClocksNumberIsAWholeNumberOfZeroOrMore) {
    const std::pair<const wchar_t*, std::optional<std::wstring>> cases[] = {
        {L"7", L"7"}, {L"12.9", L"12"}, {L" 3 ", L"3"}, {L"0", L"0"},
        {L"-4", std::nullopt}, {L"abc", std::nullopt}, {L"", std::nullopt}, {L"5x", std::nullopt},
    };
    for (const auto& [typed, kept] : cases) EXPECT_EQ(clockNumberText(typed), kept) << typed;
}

TEST(StageRows, TabStopsFollowTheScreenResolution) {
    EXPECT_EQ(listTabStops(96), (std::array<int, 3>{145, 180, 230}));
    EXPECT_EQ(listTabStops(120), (std::array<int, 3>{140, 175, 216}));
    EXPECT_EQ(listTabStops(144), (std::array<int, 3>{145, 180, 230}));
    EXPECT_EQ(listTabStops(192), (std::array<int, 3>{0, 0, 0}));
}

TEST(StageRows, OverlapNamesTheFirstStageHitAndLetsTouchingPeriodsPass) {
    const std::vector<Period> nineToTen{{at(9, 0), at(10, 0)}};
    struct Case {
        Period entered;
        std::vector<Period> stored;
        std::wstring message;
    } cases[] = {
        {{at(10, 0), at(11, 0)}, nineToTen, L""},
        {{at(8, 0), at(9, 0)}, nineToTen, L""},
        {{at(9, 30), at(10, 30)}, nineToTen, L"开始时间【09:30】在录入09:00-10:00时间段"},
        {{at(8, 30), at(9, 30)}, nineToTen, L"结束时间【09:30】在录入09:00-10:00时间段"},
        {{at(8, 0), at(10, 0)}, nineToTen, L"开始时间【09:00】在本次08:00-10:00时间段"},
        {{at(9, 0), at(11, 0)}, nineToTen, L"结束时间【10:00】在本次09:00-11:00时间段"},
        {{at(9, 0), at(10, 0)}, nineToTen, L"【09:00-10:00】时间段已录入"},
        {{at(9, 0), at(9, 30)}, {{at(9, 10), at(9, 20)}, {at(9, 25), at(10, 0)}},
         L"结束时间【09:30】在录入09:25-10:00时间段"},
    };
    for (const Case& c : cases) EXPECT_EQ(overlapMessage(c.entered, c.stored), c.message);
}

TEST(StageRows, TimeFieldsKeepTheirRangeAndTheirSpinBarFollows) {
    struct Case {
        bool hour;
        std::wstring typed, text, message;
        int spin;
    } cases[] = {
        {true, L"24", L"0", L"取值范围0-23之间", 23},
        {true, L"07", L"7", L"", 16},
        {true, L"23", L"23", L"", 0},
        {false, L"07", L"7", L"", 52},
        {false, L"60", L"0", L"取值范围0-59之间", 59},
        {false, L"5x", L"0", L"取值范围0-59之间", 59},
    };
    for (const Case& c : cases) {
        auto edit = timeFieldChanged(c.hour, c.typed);
        ASSERT_TRUE(edit) << c.typed;
        EXPECT_EQ(edit->text, c.text);
        EXPECT_EQ(edit->message, c.message);
        EXPECT_EQ(edit->spin, c.spin);
    }
    EXPECT_FALSE(timeFieldChanged(true, L""));
    EXPECT_EQ(timeFieldOfSpin(true, 0), L"23");
    EXPECT_EQ(timeOfFields(L"9", L"5"), at(9, 5));
    EXPECT_FALSE(timeOfFields(L"24", L"0"));
}

TEST(StageRows, ColumnPadGrowsWithTheListBetweenOneAndFiftyBlanks) {
    auto chars = [](const std::wstring& t) { return static_cast<int>(t.size()) * 10; };
    const float share = 630.0f / 6615.0f;
    EXPECT_EQ(columnGapLength(chars, 100, {L"001", L""}, share), 1u);   // "001 " already fills it
    EXPECT_EQ(columnGapLength(chars, 600, {L"001", L""}, share), 3u);   // 57 needed: "001   " is the first to reach it
    EXPECT_EQ(columnGapLength(chars, 100000, {L"001", L""}, share), 50u);
}

TEST(StageRows, SearchPatternTakesEveryCharacterLiterally) {
    EXPECT_EQ(containsPattern(L""), L"%%");
    EXPECT_EQ(containsPattern(L"5%_a\\'"), L"%5\\%\\_a\\\\'%");
}

}  // namespace
