#include <gtest/gtest.h>
#include <windows.h>

#include "settings/settings_rules.h"

using namespace settings;

namespace {

const std::wstring kGap12 = L"报警1要比\r\r报警2\r\r多10秒以上，请修改后再保存";
const std::wstring kGap13 = L"报警1要比\r\r报警3\r\r多10秒以上，请修改后再保存";
const std::wstring kGap23 = L"报警2要比\r\r报警3\r\r多10秒以上，请修改后再保存";
const std::wstring kLast3 = L"报警3提醒时长要超过3秒，请修改再保存";
const std::wstring kLast2 = L"报警2提醒时长要超过3秒，请修改再保存";

struct AlarmCase {
    const char* name;
    std::array<AlarmField, 3> alarms;
    std::vector<std::wstring> boxes;
};

}  // namespace

TEST(ApplyChecks, AlarmTimesPassOrGiveTheBoxesInOrder) {
    const AlarmCase cases[] = {
        {"30/20/10 all on pass", {{{L"30", true}, {L"20", true}, {L"10", true}}}, {}},
        {"a gap of exactly 10 passes", {{{L"20", true}, {L"10", true}, {L"5", false}}}, {}},
        {"30/25/10 all on: 1 against 2", {{{L"30", true}, {L"25", true}, {L"10", true}}}, {kGap12}},
        {"equal and both off still blocks", {{{L"30", true}, {L"10", false}, {L"10", false}}},
         {L"报警2和报警3提醒时间不能相同，请修改"}},
        {"first equal pair only", {{{L"5", false}, {L"5", false}, {L"5", false}}}, {L"报警1和报警2提醒时间不能相同，请修改"}},
        {"alarm 2 off: 1 and 3 are neighbours", {{{L"30", true}, {L"28", false}, {L"25", true}}}, {kGap13}},
        {"last alarm under 3 with two on", {{{L"40", false}, {L"20", true}, {L"2", true}}}, {kLast3}},
        {"exactly 3 passes", {{{L"40", false}, {L"20", true}, {L"3", true}}}, {}},
        {"a single alarm is never tested for 3", {{{L"40", false}, {L"20", false}, {L"2", true}}}, {}},
        {"two failures give two boxes", {{{L"30", true}, {L"25", true}, {L"20", true}}}, {kGap12, kGap23}},
        {"gap and last rule together", {{{L"9", false}, {L"5", true}, {L"2", true}}}, {kGap23, kLast3}},
        {"last enabled alarm is alarm 2", {{{L"12", true}, {L"2", true}, {L"30", false}}}, {kLast2}},
        {"no alarm on: only equal times count", {{{L"1", false}, {L"2", false}, {L"300", false}}}, {}},
        {"an empty field is out of range", {{{L"30", true}, {L"", true}, {L"10", true}}}, {L"取值范围1-9999秒之间"}},
        {"a pasted word is out of range", {{{L"30", true}, {L"2O", true}, {L"10", true}}}, {L"取值范围1-9999秒之间"}},
    };
    for (const auto& c : cases) EXPECT_EQ(alarmProblems(c.alarms), c.boxes) << c.name;
}

TEST(ApplyChecks, LookCodeKeepsTwoDigitsPerList) {
    EXPECT_EQ(fontselectOf(6, 6, 5), L"1060605");
    EXPECT_EQ(fontselectOf(38, 16, 10), L"1381610");
    EXPECT_EQ(fontselectOf(-1, 3, -1), L"1000300");  // a combo without a selection
}

TEST(Loading, FlagAndListCharactersMapToControlStates) {
    EXPECT_EQ(checkOfFlag(L"1020", 1), 1);
    EXPECT_EQ(checkOfFlag(L"1020", 2), 0);
    EXPECT_EQ(checkOfFlag(L"1020", 3), 1);  // any other digit ticks
    EXPECT_EQ(checkOfFlag(L"1x", 2), std::nullopt);
    EXPECT_EQ(checkOfFlag(L"1", 5), std::nullopt);  // short: the design value stays
    EXPECT_EQ(checkOfOften(L"12", 2), 2);
    EXPECT_EQ(checkOfOften(L"13", 2), std::nullopt);
    EXPECT_EQ(indexOfDigits(L"1060605", 1), 6);
    EXPECT_EQ(indexOfDigits(L"1060605", 5), 5);
    EXPECT_EQ(indexOfDigits(L"10a", 1), std::nullopt);
}

TEST(Loading, FontListHasTrebuchetOnceAndNoVerticalFaces) {
    auto shipped = fontFaces(true, {L"ignored"});
    ASSERT_EQ(shipped.size(), 7u);
    EXPECT_EQ(shipped[0], L"Arial Black");
    EXPECT_EQ(shipped[6], L"黑体");
    EXPECT_EQ(fontFaces(false, {L"Arial", L"@SimSun", L"SimSun"}), (std::vector<std::wstring>{L"Arial", L"SimSun", L"Trebuchet MS"}));
    EXPECT_EQ(fontFaces(false, {L"Trebuchet MS", L"Arial"}), (std::vector<std::wstring>{L"Trebuchet MS", L"Arial"}));
    EXPECT_EQ(fontFaces(false, {L"trebuchet ms"}).back(), L"Trebuchet MS");  // the match is exact
}

TEST(NumericFields, ChangeLeaveAndSpinFollowTheRowOfTheBox) {
    struct Case {
        int field;
        std::wstring typed;
        std::optional<std::wstring> shown;  // nothing: the change does nothing
        std::wstring message;
        int spin;
    };
    const Case cases[] = {
        {4, L"007", L"7", L"", 9993},
        {5, L"10000", L"60", L"取值范围1-9999秒之间", 9940},
        {6, L"0", L"60", L"取值范围1-9999秒之间", 9940},
        {7, L"150", L"30", L"取值范围0-100秒之间", 70},
        {7, L"0", L"0", L"", 100},
        {8, L"2", L"3", L"取值范围3-30秒之间", 27},
        {8, L"30", L"30", L"", 0},
        {4, L"", std::nullopt, L"", 0},
        {4, L"-", std::nullopt, L"", 0},
        // A minus sign or more digits than a number holds: out of range, as a stored 0xFFFFFFFF.
        {6, L"-1", L"60", L"取值范围1-9999秒之间", 9940},
        {7, L"-5", L"30", L"取值范围0-100秒之间", 70},
        {4, L"99999999999999999999", L"60", L"取值范围1-9999秒之间", 9940},
    };
    for (const auto& c : cases) {
        auto edit = fieldChanged(c.field, c.typed);
        ASSERT_EQ(edit.has_value(), c.shown.has_value()) << c.field << " " << edit.has_value();
        if (!edit) continue;
        EXPECT_EQ(edit->text, *c.shown);
        EXPECT_EQ(edit->message, c.message);
        EXPECT_EQ(spinOf(c.field, edit->text), c.spin);
    }
    EXPECT_EQ(textOfSpin(8, 27), L"3");
    EXPECT_EQ(textOfSpin(4, 9993), L"7");

    struct Leave {
        int field;
        std::wstring text;
        std::wstring shown, message;
    };
    const Leave leaves[] = {
        {5, L"", L"25", L""},  // the running alarm-2 threshold
        {4, L"40", L"40", L""},
        {7, L"", L"0", L""},
        {7, L"101", L"0", L"取值范围0-100之间"},
        {8, L"", L"3", L""},
        {8, L"31", L"3", L"取值范围3-30之间"},
        {7, L"-5", L"0", L"取值范围0-100之间"},
    };
    for (const auto& l : leaves) {
        FieldEdit e = fieldLeft(l.field, l.text, 25);
        EXPECT_EQ(e.text, l.shown) << l.field;
        EXPECT_EQ(e.message, l.message) << l.field;
    }
}

TEST(NumericFields, TypingAndPastingLetOnlyDigitsThrough) {
    for (wchar_t c : std::wstring(L"0123456789\b\r")) EXPECT_TRUE(keyPasses(c)) << int(c);
    for (wchar_t c : std::wstring(L"a-. \x16")) EXPECT_FALSE(keyPasses(c)) << int(c);
    EXPECT_EQ(pastedDigits(L" 1a2-3 秒"), L"123");
    EXPECT_EQ(pastedDigits(L"abc"), L"");
}

TEST(HotkeyCapture, KeyAndModifiersGiveTheStoredText) {
    struct Case {
        int key, shift;
        std::wstring down, up;
    };
    const Case cases[] = {
        {VK_F5, 2 | 4, L"Ctrl+Alt+F5", L"Ctrl+Alt+F5"},
        {'A', 1, L"A", L"A"},
        {VK_CONTROL, 2, L"Ctrl+", L"无"},
        {VK_DELETE, 0, L"", L"无"},
        {VK_NUMPAD3, 1 | 2, L"Shift+Ctrl+Num 3", L"Shift+Ctrl+Num 3"},
        {'7', 1 | 2 | 4, L"Shift+Ctrl+Alt+7", L"Shift+Ctrl+Alt+7"},
        {VK_F12, 1 | 4, L"Shift+Alt+F12", L"Shift+Alt+F12"},
    };
    for (const auto& c : cases) {
        std::wstring down = hotkeyDownText(c.key, c.shift);
        EXPECT_EQ(down, c.down);
        EXPECT_EQ(hotkeyUpText(down), c.up);
    }
}

TEST(SoundBoxes, OnlyWaveAndMp3NamesStay) {
    for (const wchar_t* ok : {L"", L"Bell.MP3", L"start.wav", L"a.b.Wav"}) EXPECT_TRUE(soundNameAccepted(ok)) << ok;
    for (const wchar_t* bad : {L"notes.txt", L"bell", L"dir.wav\\bell", L"wav"}) EXPECT_FALSE(soundNameAccepted(bad)) << bad;
}

TEST(StageWindow, DialogMovesLeftOfTheStageWindow) {
    EXPECT_EQ(stageDialogLeft(15, 1920, 7200), 6350);
    EXPECT_EQ(stageDialogLeft(15, 1000, 7200), 150);  // too narrow: the left edge
}
