#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "shell/ini_store.h"
#include "shell/program_folder.h"
#include "shell/settings_registry.h"
#include "tests/test_support.h"
#include "win/text.h"

using namespace shell;

namespace {

class IniStore : public testing_support::ProgramTest {
protected:
    std::wstring path() const { return inProgramFolder(kIniFileName); }

    std::wstring access(std::wstring_view mode, const std::wstring& section, const std::wstring& key,
                        const std::wstring& value) const {
        return iniAccess(mode, path(), section, key, value);
    }

    std::string fileBytes() const {
        std::ifstream in(std::filesystem::path(path()), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    void writeIni(const std::string& bytes) const { testing_support::writeFile(path(), bytes); }
};

}  // namespace

TEST_F(IniStore, ReadpartGivesTheDefaultForMissingOrEmptyValues) {
    EXPECT_EQ(access(L"readpart", L"Hotkey", L"often", L"00"), L"00");  // no file yet
    writeIni("[Hotkey]\r\nhide=\r\nadd=12\r\n");
    EXPECT_EQ(access(L"readpart", L"Hotkey", L"hide", L"none"), L"none");
    EXPECT_EQ(access(L"readpart", L"Hotkey", L"often", L"00"), L"00");
    EXPECT_EQ(access(L"readpart", L"Other", L"add", L"0"), L"0");
    EXPECT_EQ(access(L"readpart", L"Hotkey", L"add", L"0"), L"12");
}

TEST_F(IniStore, ChineseTextIsStoredInTheAnsiCodePage) {
    ASSERT_EQ(GetACP(), 936u) << "run under a Chinese locale";
    const std::wstring text = L"你的汇报";
    const std::string gbk = "\xC4\xE3\xB5\xC4\xBB\xE3\xB1\xA8";
    iniWrite(L"Hotkey", L"titleFont", text);
    EXPECT_NE(fileBytes().find("titleFont=" + gbk), std::string::npos);
    EXPECT_EQ(iniRead(L"Hotkey", L"titleFont", L""), text);

    writeIni("[Hotkey]\r\ntimeFont=" + gbk + "\r\n");
    EXPECT_EQ(iniRead(L"Hotkey", L"timeFont", L""), text);
}

TEST_F(IniStore, ReadallJoinsTheSectionWithCommas) {
    EXPECT_EQ(access(L"readall", L"clocksite", L"", L"none"), L"none");
    writeIni("[clocksite]\r\na=1\r\nb=2\r\n");
    EXPECT_EQ(access(L"readall", L"clocksite", L"", L"none"), L"a=1,b=2");
}

TEST_F(IniStore, DeletesOneKeyOrAWholeSection) {
    writeIni("[Hotkey]\r\nadd=5\r\noften=11\r\n[clocksite]\r\nclockleft=300\r\n");
    EXPECT_EQ(access(L"delpart", L"Hotkey", L"add", L""), L"");
    EXPECT_EQ(access(L"readpart", L"Hotkey", L"add", L"gone"), L"gone");
    EXPECT_EQ(access(L"readpart", L"Hotkey", L"often", L""), L"11");
    access(L"delall", L"Hotkey", L"", L"");
    EXPECT_EQ(access(L"readall", L"Hotkey", L"", L"gone"), L"gone");
    EXPECT_EQ(access(L"readpart", L"clocksite", L"clockleft", L""), L"300");
}

TEST_F(IniStore, UnknownModeDoesNothing) {
    EXPECT_EQ(access(L"Write", L"Hotkey", L"add", L"5"), L"");
    EXPECT_EQ(access(L"readPart", L"Hotkey", L"add", L"5"), L"");
    EXPECT_EQ(GetFileAttributesW(path().c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(SectionToList, CollapsesEmptyEntriesAndTrims) {
    EXPECT_EQ(sectionToList(std::wstring_view(L"a=1\0b=2\0", 8)), L"a=1,b=2");
    EXPECT_EQ(sectionToList(std::wstring_view(L" a=1\0\0b=2 \0", 11)), L"a=1,b=2");
    EXPECT_EQ(sectionToList(std::wstring_view(L"\0", 1)), L"");
    EXPECT_EQ(sectionToList(L""), L"");
}

TEST_F(IniStore, HotkeyAddIsClampedToZeroToHundred) {
    EXPECT_EQ(readHotkeyAdd(), 0);
    const std::pair<const wchar_t*, int16_t> cases[] = {{L"42", 42}, {L"250", 100}, {L"-5", 0}, {L"abc", 0}};
    for (auto [text, add] : cases) {
        iniWrite(kHotkeySection, L"add", text);
        EXPECT_EQ(readHotkeyAdd(), add) << win::toUtf8(text);
    }
}

TEST_F(IniStore, BannerPositionGoesToTessalineNeverVelmora) {
    saveprocesssite(1200, -300);
    EXPECT_EQ(iniRead(kSiteSection, L"processleft", L""), L"1200");
    EXPECT_EQ(iniRead(kSiteSection, L"processtop", L""), L"-300");
    EXPECT_EQ(regReadValue(HKEY_CURRENT_USER, kBannerKey, L"processleft"), RegValue(int32_t{1200}));
    EXPECT_EQ(regReadValue(HKEY_CURRENT_USER, kBannerKey, L"processtop"), RegValue(int32_t{-300}));
    EXPECT_FALSE(regReadValue(HKEY_CURRENT_USER, kSettingsKey, L"processleft"));
}

TEST_F(IniStore, ClockPositionsGoToVelmoraAsDwords) {
    saveclocksite(10, 20);
    saveclocksitetwo(30, 40);
    savetimesite(50, 60);
    savetitlesite(70, 80);
    EXPECT_EQ(access(L"readall", L"clocksite", L"", L""),
              L"clockleft=10,clocktop=20,clocklefttwo=30,clocktoptwo=40,timeleft=50,timetop=60,titleleft=70,titletop=80");
    EXPECT_EQ(regReadValue(HKEY_CURRENT_USER, kSettingsKey, L"clocktoptwo"), RegValue(int32_t{40}));
    EXPECT_EQ(regReadValue(HKEY_CURRENT_USER, kSettingsKey, L"titleleft"), RegValue(int32_t{70}));
    EXPECT_FALSE(regReadValue(HKEY_CURRENT_USER, kBannerKey, L"clockleft"));
}

TEST_F(IniStore, PositionComesFromTheFileWhenBothValuesAreSet) {
    writeSettingNumber(L"timeleft", 1);
    writeSettingNumber(L"timetop", 2);
    iniWrite(kSiteSection, L"timeleft", L"500");
    iniWrite(kSiteSection, L"timetop", L"-99");
    WindowPosition p = readWindowPosition(kTimeSite);
    EXPECT_EQ(p.left, 500);
    EXPECT_EQ(p.top, -99);
}

TEST_F(IniStore, PositionComesFromTheRegistryWhenEitherValueIsUnset) {
    WindowPosition none = readWindowPosition(kClockSite);
    EXPECT_EQ(none.left, 0);
    EXPECT_EQ(none.top, 0);

    writeSettingNumber(L"clockleft", 700);
    writeSettingNumber(L"clocktop", 800);
    iniWrite(kSiteSection, L"clockleft", L"123");
    iniWrite(kSiteSection, L"clocktop", L"-100");
    WindowPosition p = readWindowPosition(kClockSite);
    EXPECT_EQ(p.left, 700);
    EXPECT_EQ(p.top, 800);

    iniWrite(kSiteSection, L"clocktop", L"456");
    p = readWindowPosition(kClockSite);
    EXPECT_EQ(p.left, 123);
    EXPECT_EQ(p.top, 456);
}
