#include "addin/addin_setting.h"

#include "addin/stores.h"
#include "addin_fixture.h"

namespace addin_test {
namespace {

constexpr wchar_t kLong[] = L"11110000011011101111111110";

void writeIni(const wchar_t* key, const wchar_t* value) { addin::iniWrite(L"Mirthwell", key, value); }

struct LoadCase {
    const char* name;
    void (*arrange)();
    addin::AddinSetting expected;
};

class LoadSettings : public AddinTest, public ::testing::WithParamInterface<LoadCase> {};

TEST_P(LoadSettings, FillsTheRecordFromTheRightStore) {
    GetParam().arrange();
    addin::AddinSetting s;
    addin::loadSettings(s);
    const auto& e = GetParam().expected;
    EXPECT_EQ(s.Time_all, e.Time_all);
    EXPECT_EQ(s.Time_three, e.Time_three);
    EXPECT_EQ(s.checkvalue, e.checkvalue);
    EXPECT_EQ(s.EndEvent, e.EndEvent);
    EXPECT_EQ(s.tellShowtittle, e.tellShowtittle);
    EXPECT_EQ(s.tellShowtext, e.tellShowtext);
}

INSTANTIATE_TEST_SUITE_P(
    Stores, LoadSettings,
    ::testing::Values(
        LoadCase{"nothing anywhere gives the INI defaults", [] {},
                 {155, 5, kLong, 1, L"Kelvane", L"  \r    时间到!      "}},
        LoadCase{"registry values, texts cut at their line end, numbers of either type",
                 [] {
                     setRegistryText(kMirthwell, L"Time_all", L"0:10:00");
                     setRegistryNumber(kMirthwell, L"Time_three", 30);
                     setRegistryText(kMirthwell, L"checkvalue", L"01110000011011101111111110\r\n");
                     setRegistryText(kMirthwell, L"EndEvent", L"2");
                     setRegistryText(kMirthwell, L"tellShowtittle", L"会议\r\n第二行");
                     setRegistryText(kMirthwell, L"tellShowtext", L"请结束发言");
                     writeIni(L"Time_three", L"99");  // not read: the registry's flags are complete
                 },
                 {600, 30, L"01110000011011101111111110", 2, L"会议", L"  \r    请结束发言      "}},
        LoadCase{"a registry checkvalue of 19 flags hands every field to the INI file",
                 [] {
                     setRegistryText(kMirthwell, L"checkvalue", std::wstring(19, L'1'));
                     setRegistryNumber(kMirthwell, L"Time_three", 30);
                     writeIni(L"Time_all", L"2026/12/9 1:00:00");
                     writeIni(L"Time_three", L" 12 ");
                     writeIni(L"checkvalue", L"10000000000000000000000000");
                     writeIni(L"EndEvent", L"3");
                     writeIni(L"tellShowtittle", L"  标题 ");
                     writeIni(L"tellShowtext", L"到点了，请停止");
                 },
                 {3600, 12, L"10000000000000000000000000", 3, L"标题", L"  \r  到点了，请停止    "}},
        LoadCase{"a registry checkvalue of 20 flags is kept, missing numbers read 0, a missing length the built-in one",
                 [] { setRegistryText(kMirthwell, L"checkvalue", std::wstring(20, L'1')); },
                 {155, 0, std::wstring(20, L'1'), 0, L"", L"  \r" + std::wstring(10, L' ')}},
        LoadCase{"registry numbers beyond their field's type leave it as it was",
                 [] {
                     setRegistryText(kMirthwell, L"checkvalue", std::wstring(20, L'1'));
                     setRegistryNumber(kMirthwell, L"EndEvent", 2147483647);
                     setRegistryText(kMirthwell, L"Time_three", L"2147483648");
                 },
                 {155, 0, std::wstring(20, L'1'), 0, L"", L"  \r" + std::wstring(10, L' ')}},
        LoadCase{"INI texts that are no number, or too large a number, leave the field as it was; "
                 "no time is the built-in length",
                 [] {
                     writeIni(L"Time_all", L"很久");
                     writeIni(L"EndEvent", L"65537");
                     writeIni(L"Time_three", L"");  // empty reads as the default
                 },
                 {155, 5, kLong, 0, L"Kelvane", L"  \r    时间到!      "}}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

TEST(AddinTexts, ConvertAsTheSiblingProgramsExpect) {
    EXPECT_EQ(addin::cutAtLineEnd(L"第一行\r\n第二行"), L"第一行");
    EXPECT_EQ(addin::cutAtLineEnd(std::wstring(L"ab\0cd", 5)), L"ab");
    EXPECT_EQ(addin::cutAtLineEnd(L"a\nb\rc"), L"a");
    EXPECT_EQ(addin::padMessage(L"时间到!"), L"  \r    时间到!      ");
    EXPECT_EQ(addin::padMessage(L"123456"), L"  \r  123456    ");
    EXPECT_EQ(addin::padMessage(L"12345"), L"  \r    12345      ");

    struct { const wchar_t* text; std::optional<int32_t> seconds; } times[] = {
        {L"0:02:35", 155}, {L"00:02:35", 155}, {L"23:59:59", 86399}, {L"2026/12/9 1:00:00", 3600},
        {L"1:30", 5400},   {L"0.5", 43200},    {L"3", 0},            {L"24:00:00", std::nullopt},
        {L"0:60:00", std::nullopt}, {L"abc", std::nullopt}, {L"1:2:3:4", std::nullopt},
    };
    for (const auto& t : times) EXPECT_EQ(addin::timeToSeconds(t.text), t.seconds) << t.text;

    struct { const wchar_t* text; std::optional<long> number; } numbers[] = {
        {L"", 0}, {L" 7 ", 7}, {L"2.5", 2}, {L"3.5", 4}, {L"-1", -1}, {L"退出计时", std::nullopt}, {L"5x", std::nullopt},
        {L"-2147483648", -2147483648L}, {L"2147483647.4", 2147483647L}, {L"2147483647.5", std::nullopt},
    };
    for (const auto& n : numbers) EXPECT_EQ(addin::numberFromText(n.text), n.number) << n.text;
    EXPECT_EQ(addin::integerFromText<int16_t>(L"-32768"), int16_t{-32768});
    EXPECT_EQ(addin::integerFromText<int16_t>(L"32768"), std::nullopt);
}

TEST_F(AddinTest, HandModeAndShowFlagsReadAndClearOnlyTheirValues) {
    EXPECT_EQ(addin::readHandmode(), 0);
    setRegistryText(kHarrowby, L"handmode", L"2");
    EXPECT_EQ(addin::readHandmode(), 2);
    setRegistryNumber(kHarrowby, L"handmode", 1);
    EXPECT_EQ(addin::readHandmode(), 1);
    setRegistryNumber(kHarrowby, L"handmode", 65537);
    EXPECT_EQ(addin::readHandmode(), 0) << "a number beyond 16 bits is unreadable, not hand mode";

    for (const wchar_t* name : {L"exitpptpd", L"exitpagepd", L"pptname", L"timershow"})
        setRegistryText(kHarrowby, name, L"1");
    addin::clearShowFlags();
    addin::clearShowFlags();  // deleting what is gone reports nothing
    EXPECT_FALSE(registryText(kHarrowby, L"exitpptpd"));
    EXPECT_FALSE(registryText(kHarrowby, L"exitpagepd"));
    EXPECT_FALSE(registryText(kHarrowby, L"pptname"));
    EXPECT_EQ(registryText(kHarrowby, L"timershow"), L"1");
}

}  // namespace
}  // namespace addin_test
