#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>

#include "shell/ini_store.h"
#include "shell/program_folder.h"
#include "shell/settings_registry.h"
#include "tests/test_support.h"
#include "win/handles.h"
#include "win/text.h"

using namespace shell;

namespace {

std::string fileBytesOf(const std::wstring& file) {
    std::ifstream in(std::filesystem::path(file), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Text as a file saved in UTF-16 holds it: the byte-order mark, then each character low byte first.
std::string utf16File(std::wstring_view text) {
    std::string bytes = "\xFF\xFE";
    for (wchar_t c : text) bytes += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
    return bytes;
}

class IniStore : public testing_support::ProgramTest {
protected:
    std::wstring path() const { return inProgramFolder(kIniFileName); }

    std::wstring access(std::wstring_view mode, const std::wstring& section, const std::wstring& key,
                        const std::wstring& value) const {
        return iniAccess(mode, path(), section, key, value);
    }

    std::string fileBytes() const { return fileBytesOf(path()); }

    void writeIni(const std::string& bytes) const { testing_support::writeFile(path(), bytes); }

    std::wstring copyPath() const { return path() + L".new"; }
    static bool exists(const std::wstring& file) {
        return GetFileAttributesW(file.c_str()) != INVALID_FILE_ATTRIBUTES;
    }
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

// Each write goes to a copy that then replaces the file, and leaves the bytes a profile write
// straight onto the file would.
TEST_F(IniStore, WritesLeaveTheBytesOfAPlainProfileWrite) {
    struct Case {
        const char* name;
        std::optional<std::string> before;  // no file when empty
        const wchar_t* mode;
        const wchar_t* section;
        const wchar_t* key;
        const wchar_t* value;
    };
    const Case cases[] = {
        {"a new file", std::nullopt, L"write", L"Hotkey", L"add", L"5"},
        {"a new key", "[Hotkey]\r\nadd=5\r\n", L"write", L"Hotkey", L"often", L"11"},
        {"a changed key among comments and blank lines", "; mine\r\n[Hotkey]\r\n\r\nadd = 5\r\n[clocksite]\r\nx=1\r\n",
         L"write", L"Hotkey", L"add", L"6"},
        {"a new section after a last line without its end", "[Hotkey]\r\nadd=5", L"write", L"clocksite",
         L"clocktop", L"-100"},
        {"Chinese text", "[Hotkey]\r\n", L"write", L"Hotkey", L"titleFont", L"你的汇报"},
        {"a file saved in UTF-16", utf16File(L"[Hotkey]\r\nadd=5\r\n"), L"write", L"Hotkey", L"often", L"标题"},
        {"one key deleted", "[Hotkey]\r\nadd=5\r\noften=11\r\n", L"delpart", L"Hotkey", L"add", L""},
        {"a section deleted", "[Hotkey]\r\nadd=5\r\n[clocksite]\r\nx=1\r\n", L"delall", L"Hotkey", L"", L""},
        {"a key deleted from no file", std::nullopt, L"delpart", L"Hotkey", L"add", L""},
    };
    const std::wstring plain = folder + L"\\plain.ini";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (const std::wstring& file : {path(), plain}) {
            DeleteFileW(file.c_str());
            if (c.before) testing_support::writeFile(file, *c.before);
        }
        access(c.mode, c.section, c.key, c.value);
        // What each mode asks of the profile function: a null value deletes a key, a null key a section.
        std::wstring mode = c.mode;
        WritePrivateProfileStringW(c.section, mode == L"delall" ? nullptr : c.key, mode == L"write" ? c.value : nullptr,
                                   plain.c_str());
        ASSERT_EQ(exists(path()), exists(plain));
        EXPECT_EQ(fileBytes(), fileBytesOf(plain));
        EXPECT_FALSE(exists(copyPath()));
    }
}

TEST_F(IniStore, AWriteThatFailsAtAnyStepLeavesTheOldFile) {
    const std::string old = "[Hotkey]\r\nadd=5\r\n";
    auto writeAdd = [](const std::wstring& copy) {
        return WritePrivateProfileStringW(L"Hotkey", L"add", L"6", copy.c_str()) != FALSE;
    };
    struct Case {
        const char* step;
        std::function<bool()> write;
    };
    const Case cases[] = {
        {"the copy cannot be made",
         [&] {
             CreateDirectoryW(copyPath().c_str(), nullptr);
             bool written = editProfile(path(), writeAdd);
             RemoveDirectoryW(copyPath().c_str());
             return written;
         }},
        {"a profile write fails",
         [&] { return editProfile(path(), [&](const std::wstring& copy) { return writeAdd(copy) && false; }); }},
        {"the replace is refused",
         [&] {
             HANDLE held = CreateFileW(path().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
             bool written = editProfile(path(), writeAdd);
             CloseHandle(held);
             return written;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.step);
        writeIni(old);
        EXPECT_FALSE(c.write());
        EXPECT_EQ(fileBytes(), old);
        EXPECT_FALSE(exists(copyPath()));
    }
}

// A copy left behind by a program killed while it wrote holds whatever it held then.
// Another program reading the file at the moment of the replace must not cost the write.
TEST_F(IniStore, AWriteWaitsOutAReaderThatHasTheFileOpenForAMoment) {
    writeIni("[clocksite]\r\nprocessleft=1\r\n");
    win::UniqueFile reader(CreateFileW(path().c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(reader);
    // The reader lets go only once the replace was refused and the write pauses to try again.
    clock.onPause = [&reader] { reader.reset(); };
    access(L"write", L"clocksite", L"processleft", L"2");
    clock.onPause = nullptr;
    EXPECT_EQ(clock.pauses, 1) << "the replace was never refused, or not tried again";
    EXPECT_EQ(access(L"readpart", L"clocksite", L"processleft", L""), L"2");
}

TEST_F(IniStore, ACopyLeftByAKilledWriteDoesNotFindItsWayIntoTheFile) {
    for (bool fileBefore : {true, false}) {
        SCOPED_TRACE(fileBefore ? "beside the file" : "without a file");
        DeleteFileW(path().c_str());
        if (fileBefore) writeIni("[Hotkey]\r\nadd=5\r\n");
        testing_support::writeFile(copyPath(), "[Hotkey]\r\nadd=9\r\n[stale]\r\nhalf=");
        iniWrite(L"clocksite", L"clockleft", L"300");
        EXPECT_EQ(fileBytes(), fileBefore ? "[Hotkey]\r\nadd=5\r\n[clocksite]\r\nclockleft=300\r\n"
                                          : "[clocksite]\r\nclockleft=300\r\n");
        EXPECT_FALSE(exists(copyPath()));
    }
}

// A window dropped while another program holds the file keeps its place: the position is read
// back at once and lands in the file once it can be written. The drop stalls no longer than a
// short wait either way.
TEST_F(IniStore, ADropWhileTheFileIsHeldLandsOnceItIsFreeWithoutStallingTheDrop) {
    struct Hold {
        const char* how;
        DWORD share;
    };
    const Hold holds[] = {{"exclusively", 0}, {"readable, not replaceable", FILE_SHARE_READ}};
    int32_t left = 100;
    for (const Hold& h : holds) {
        SCOPED_TRACE(h.how);
        writeIni("[clocksite]\r\ntitleleft=1\r\ntitletop=2\r\n");
        left += 100;
        {
            HANDLE held = CreateFileW(path().c_str(), GENERIC_READ, h.share, nullptr, OPEN_EXISTING, 0, nullptr);
            ASSERT_NE(held, INVALID_HANDLE_VALUE);
            clock.pauses = 0;
            savetitlesite(left, 300);
            // A pause is 20 ms: a plain write waits out a reader for 24 of them.
            EXPECT_LE(clock.pauses, 3);
            EXPECT_EQ(readWindowPosition(kTitleSite).left, left);
            CloseHandle(held);
        }
        EXPECT_EQ(access(L"readpart", L"clocksite", L"titleleft", L""), L"1");  // not yet
        testing_support::pumpUntil([&] { return access(L"readpart", L"clocksite", L"titleleft", L"") == std::to_wstring(left); });
        EXPECT_EQ(access(L"readpart", L"clocksite", L"titleleft", L""), std::to_wstring(left));
        EXPECT_EQ(access(L"readpart", L"clocksite", L"titletop", L""), L"300");
        EXPECT_TRUE(writePendingSites());
    }
}
