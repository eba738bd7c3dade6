#include <gtest/gtest.h>

#include <map>

#include "shell/settings_registry.h"
#include "tests/test_support.h"

using namespace shell;

namespace {

class SettingsRegistry : public testing_support::ProgramTest {
protected:
    void TearDown() override {
        testing_support::deleteUserKey(L"Software\\kingsoft");
        ProgramTest::TearDown();
    }

    static ClockSetting sample() {
        ClockSetting s;
        s.Time_one = 90;
        s.Time_two = 45;
        s.Time_three = -5;
        s.checkvalue = L"101010101010101010101";
        s.optvalue = L"01001";
        s.tellShowtime = 7;
        s.tellsoundname = L"a.wav\\b.wav\\c.wav\\d.wav";
        s.tellprocesstext = L"发言还有";
        s.tellShowtext = L"茶歇";
        s.clockFont = L"Arial Black";
        s.Fontselect = L"1120304";
        s.picturename = L"sky.jpg\\255";
        s.time_top = 120;
        s.time_left = -60;
        s.picture_width = 300;
        s.picture_height = 200;
        return s;
    }

    static bool keyExists(const wchar_t* path) {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
        RegCloseKey(key);
        return true;
    }

    static DWORD typeOf(const wchar_t* name) {
        DWORD type = REG_NONE;
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return type;
        if (RegQueryValueExW(key, name, nullptr, &type, nullptr, nullptr) != ERROR_SUCCESS) type = REG_NONE;
        RegCloseKey(key);
        return type;
    }

    static void setRaw(const wchar_t* name, const RegValue& value) {
        regCreateKey(HKEY_CURRENT_USER, kSettingsKey);
        ASSERT_EQ(regWriteValue(HKEY_CURRENT_USER, kSettingsKey, name, value), ERROR_SUCCESS);
    }
};

ClockSetting firstRunFrom(ClockSetting s) {
    applyFirstRunDefaults(s);
    return s;
}

}  // namespace

TEST_F(SettingsRegistry, SavedSettingsReadBackExactly) {
    ClockSetting saved = sample();
    savesetting(saved);
    ClockSetting read;
    readsetting(read);
    EXPECT_EQ(read, saved);
}

TEST_F(SettingsRegistry, SaveStoresNumbersAsDwordAndTextsAsStrings) {
    savesetting(sample());
    const std::map<std::wstring, DWORD> expected = {
        {L"Time_one", REG_DWORD},      {L"Time_two", REG_DWORD},        {L"Time_three", REG_DWORD},
        {L"checkvalue", REG_SZ},       {L"optvalue", REG_SZ},           {L"tellShowtime", REG_DWORD},
        {L"tellsoundname", REG_SZ},    {L"tellprocesstext", REG_SZ},    {L"tellShowtext", REG_SZ},
        {L"clockFont", REG_SZ},        {L"Fontselect", REG_SZ},         {L"picturename", REG_SZ},
        {L"time_top", REG_DWORD},      {L"time_left", REG_DWORD},       {L"picture_width", REG_DWORD},
        {L"picture_height", REG_DWORD},
    };
    for (const auto& [name, type] : expected) EXPECT_EQ(typeOf(name.c_str()), type) << std::string(name.begin(), name.end());
    EXPECT_EQ(typeOf(L"Time_all"), static_cast<DWORD>(REG_NONE));
}

TEST_F(SettingsRegistry, EmptyRegistryIsAFirstRunAndWritesNothing) {
    ClockSetting s;
    readsetting(s);
    EXPECT_EQ(s, firstRunFrom(ClockSetting{}));
    EXPECT_EQ(s.Time_all.seconds, 150);
    EXPECT_FALSE(keyExists(kSettingsKey));

    ClockSetting known;
    known.picture_width = 640;
    readsetting(known);
    EXPECT_EQ(known.picture_width, 640);
    EXPECT_EQ(known.picture_height, 50);
}

TEST_F(SettingsRegistry, MissingValueWithShortSwitchStringIsAFirstRun) {
    ClockSetting saved = sample();
    saved.checkvalue = L"111111111111111111";  // 18 characters
    savesetting(saved);
    regDeleteValue(HKEY_CURRENT_USER, kSettingsKey, L"optvalue");
    ClockSetting s;
    readsetting(s);
    EXPECT_EQ(s, firstRunFrom(ClockSetting{}));
}

TEST_F(SettingsRegistry, MissingValueWithFullSwitchStringReadsAsZeroOrEmpty) {
    savesetting(sample());
    regDeleteValue(HKEY_CURRENT_USER, kSettingsKey, L"tellShowtext");
    regDeleteValue(HKEY_CURRENT_USER, kSettingsKey, L"Time_two");
    ClockSetting s;
    readsetting(s);
    ClockSetting expected = sample();
    expected.tellShowtext.clear();
    expected.Time_two = 0;
    EXPECT_EQ(s, expected);
}

TEST_F(SettingsRegistry, PictureSizeIsOnlyLoadedWhileUnset) {
    savesetting(sample());
    ClockSetting s;
    s.picture_height = 450;
    readsetting(s);
    EXPECT_EQ(s.picture_width, 300);
    EXPECT_EQ(s.picture_height, 450);
}

// A short switch string only marks a first run when a value that is read is missing.
TEST_F(SettingsRegistry, KnownPictureSizeMakesItsMissingValuesNoFirstRun) {
    ClockSetting saved = sample();
    saved.checkvalue = L"1";
    savesetting(saved);
    regDeleteValue(HKEY_CURRENT_USER, kSettingsKey, L"picture_width");
    regDeleteValue(HKEY_CURRENT_USER, kSettingsKey, L"picture_height");
    ClockSetting s;
    s.picture_width = 10;
    s.picture_height = 20;
    readsetting(s);
    EXPECT_EQ(s.checkvalue, L"1");
    EXPECT_EQ(s.Time_one, 90);
}

TEST_F(SettingsRegistry, StoredTextEndsAtLineBreakTabOrNul) {
    savesetting(sample());
    setRaw(L"tellShowtext", std::wstring(L"午餐\r\nlater"));
    setRaw(L"clockFont", std::wstring(L"Arial\tBold"));
    setRaw(L"optvalue", std::wstring(L"10\0001", 4));
    ClockSetting s;
    readsetting(s);
    EXPECT_EQ(s.tellShowtext, L"午餐");
    EXPECT_EQ(s.clockFont, L"Arial");
    EXPECT_EQ(s.optvalue, L"10");
}

TEST_F(SettingsRegistry, NumbersStoredAsTextReadAsTheirValue) {
    savesetting(sample());
    setRaw(L"Time_one", std::wstring(L"75"));
    setRaw(L"time_top", std::wstring(L"abc"));
    setRaw(L"checkvalue", int32_t{111});
    ClockSetting s;
    readsetting(s);
    EXPECT_EQ(s.Time_one, 75);
    EXPECT_EQ(s.time_top, 0);
    EXPECT_EQ(s.checkvalue, L"111");
}

TEST_F(SettingsRegistry, DeleteRemovesTheClockValuesOnly) {
    savesetting(sample());
    setRaw(L"Time_all", std::wstring(L"00:05:00"));
    setRaw(L"clockmode", int32_t{1});
    regCreateKey(HKEY_CURRENT_USER, L"Corrib");
    regWriteValue(HKEY_CURRENT_USER, L"Corrib", L"pathget", std::wstring(L"C:\\timer"));
    delsetting();
    EXPECT_EQ(typeOf(L"Time_all"), static_cast<DWORD>(REG_NONE));
    EXPECT_EQ(typeOf(L"checkvalue"), static_cast<DWORD>(REG_NONE));
    EXPECT_EQ(readClockMode(), 1);
    EXPECT_FALSE(regReadValue(HKEY_CURRENT_USER, L"Corrib", L"pathget"));
    ClockSetting s;
    readsetting(s);
    EXPECT_EQ(s, firstRunFrom(ClockSetting{}));
    regDeleteKey(HKEY_CURRENT_USER, L"Corrib");
}

TEST_F(SettingsRegistry, DeleteOnEmptyRegistryReportsNothing) {
    delsetting();
    EXPECT_TRUE(messages.empty());
    EXPECT_FALSE(keyExists(kSettingsKey));
}

TEST_F(SettingsRegistry, ModesAboveTwoOrBeyondSixteenBitsReadAsZero) {
    EXPECT_EQ(readClockMode(), 0);
    const std::pair<int32_t, int16_t> cases[] = {{2, 2}, {3, 0}, {7, 0}, {-1, -1}, {70000, 0}, {-70000, 0}};
    for (auto [stored, read] : cases) {
        writeSettingNumber(L"clockmode", stored);
        writeSettingNumber(L"second_screen", stored);
        EXPECT_EQ(readClockMode(), read) << stored;
        EXPECT_EQ(readSecondScreen(), read) << stored;
    }
}

TEST_F(SettingsRegistry, WriteValueNeverCreatesAKey) {
    EXPECT_NE(regWriteValue(HKEY_CURRENT_USER, kBannerKey, L"processleft", int32_t{5}), ERROR_SUCCESS);
    EXPECT_FALSE(keyExists(kBannerKey));
    writeUserNumber(kBannerKey, L"processleft", 5);
    EXPECT_EQ(readUserNumber(kBannerKey, L"processleft"), 5);
}

TEST_F(SettingsRegistry, OfficeProbesNeedANonEmptyText) {
    EXPECT_FALSE(wpsVersion());
    const std::wstring wps = L"Software\\kingsoft\\Office\\6.0\\Common";
    regCreateKey(HKEY_CURRENT_USER, wps);
    regWriteValue(HKEY_CURRENT_USER, wps, L"Version", std::wstring());
    EXPECT_FALSE(wpsVersion());
    regWriteValue(HKEY_CURRENT_USER, wps, L"Version", std::wstring(L"12.1.0"));
    EXPECT_TRUE(wpsVersion());

    EXPECT_FALSE(classKeyExists(L"Velmora.NoSuchSheet\\CurVer", L""));
    EXPECT_EQ(readClassString(HKEY_CURRENT_USER, wps, L"Version"), L"12.1.0");
    EXPECT_EQ(readClassString(HKEY_CURRENT_USER, wps, L"Missing"), L"");
    EXPECT_TRUE(messages.empty());
}
