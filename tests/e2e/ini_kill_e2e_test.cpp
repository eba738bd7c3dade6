// A program ended while it saves a position must leave TimeData.db whole: the old file or the new.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "shell/ini_store.h"
#include "tests/e2e/driver.h"
#include "tests/test_support.h"

namespace {

constexpr wchar_t kWriter[] = L"ini_writer.exe";
constexpr int kRounds = 20;

class IniUnderKill : public testing_support::ProgramTest {
protected:
    std::wstring ini() const { return folder + L"\\" + shell::kIniFileName; }
    std::wstring site(const wchar_t* key) const {
        return shell::iniAccess(L"readpart", ini(), shell::kSiteSection, key, L"");
    }
    std::wstring hotkeySection() const { return shell::iniAccess(L"readall", ini(), shell::kHotkeySection, L"", L""); }
};

}  // namespace

TEST_F(IniUnderKill, AWriterEndedAtAnyMomentLeavesEveryKeyInTheFile) {
    ASSERT_TRUE(CopyFileW(testing_support::besideTestPrograms(kWriter).c_str(), (folder + L"\\" + kWriter).c_str(), FALSE));
    // Enough other keys that each write of the file takes a while.
    std::string hotkeys = "[Hotkey]\r\n";
    for (int i = 0; i < 300; ++i) hotkeys += "key" + std::to_string(i) + "=value " + std::to_string(i) + "\r\n";
    testing_support::writeFile(ini(), hotkeys);
    const std::wstring allHotkeys = hotkeySection();

    std::mt19937 random(9);
    for (int round = 0; round < kRounds; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        shell::iniAccess(L"delall", ini(), shell::kSiteSection, L"", L"");
        {
            driver::Program writer(folder, kWriter);
            ASSERT_TRUE(writer.start()) << "error " << GetLastError();
            ASSERT_TRUE(driver::waitFor([&] { return !site(L"clocktop").empty(); }));
            Sleep(random() % 30);
        }  // ended here, in the middle of whatever it was doing
        ASSERT_EQ(hotkeySection(), allHotkeys);
        EXPECT_NE(site(L"clockleft"), L"");
        EXPECT_NE(site(L"clocktop"), L"");
    }
}
