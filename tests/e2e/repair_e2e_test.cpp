// The program repair on the real program, with a slow stand-in registration put beside it as
// "regsvr32.exe": while it waits, its dialog stays disabled, the tray's window commands leave the
// dialog alone and say why, and 退出 ends the program at once.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "tests/e2e/driver.h"
#include "tests/test_support.h"

using namespace std::chrono_literals;

namespace {

constexpr wchar_t kBoxClass[] = L"#32770";
constexpr wchar_t kRepairRunning[] = L"程序修复正在进行，请等修复结束后再打开";

// The system files the repair makes sure of.
constexpr const wchar_t* kSystemFiles[] = {L"scrrun.dll", L"user32.dll"};

std::wstring windowsFolder() {
    wchar_t buffer[MAX_PATH];
    UINT n = GetWindowsDirectoryW(buffer, MAX_PATH);
    return std::wstring(buffer, n < MAX_PATH ? n : 0);
}

class RepairOnTheProgram : public driver::ProgramFolderTest {
protected:
    void SetUp() override {
        ProgramFolderTest::SetUp();
        CopyFileW(testing_support::besideTestPrograms(L"registration_stand_in.exe").c_str(),
                  (programFolder + L"\\regsvr32.exe").c_str(), FALSE);
        provideSystemFiles();
    }
    void TearDown() override {
        // A registration the exit left running finishes on its own; its folder goes after it.
        driver::waitFor([&] { return notes("end") == notes("start"); }, 20s);
        testing_support::deleteUserKey(L"Software\\Microsoft\\Office");
        for (const std::wstring& standIn : absentSystemFiles_) DeleteFileW(standIn.c_str());
        ProgramFolderTest::TearDown();
    }

    // The repair makes sure of system files that a 64-bit Wine alone does not have (its SysWOW64
    // is empty), and copying them from the program folder is no choice: a user32.dll there would
    // be loaded by the program itself. This test is about the tray and the exit, so where the
    // system lacks a file a stand-in is put in its place, and taken away again afterwards.
    void provideSystemFiles() {
        for (const wchar_t* folder : {L"\\SysWOW64\\", L"\\system32\\"}) {
            std::wstring path = windowsFolder() + folder;
            if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) continue;
            for (const wchar_t* name : kSystemFiles) {
                std::wstring there = path + name;
                if (GetFileAttributesW(there.c_str()) != INVALID_FILE_ATTRIBUTES) continue;
                testing_support::writeFile(there, "stand-in");
                absentSystemFiles_.push_back(there);
            }
        }
    }

    // How often the stand-in noted `what` ("start" or "end").
    int notes(const std::string& what) const {
        std::string log = testing_support::readFile(programFolder + L"\\registrations.log");
        int n = 0;
        for (size_t at = log.find(what); at != std::string::npos; at = log.find(what, at + 1)) ++n;
        return n;
    }
    bool registering() const { return notes("start") > notes("end"); }

    void registrationTakes(const char* ms) { testing_support::writeFile(programFolder + L"\\registration.ms", ms); }

    std::vector<std::wstring> absentSystemFiles_;  // stand-ins put in the system's place, removed after the test

    // Chooses the tray menu's item that `keys` lead to.
    void trayMenu(const driver::Program& p, HWND hub, std::initializer_list<WPARAM> keys) {
        HWND menu = driver::openTrayMenu(p, hub);
        ASSERT_TRUE(menu);
        driver::pressKeys(menu, keys);
        ASSERT_TRUE(driver::waitFor([&] { return !IsWindowVisible(menu); }));
    }

    // "程序修复" on the tab "其它", its notice answered, until the registration has started.
    void startRepair(const driver::Program& p, HWND dialog) {
        int started = notes("start");
        HWND otherTab = driver::findChild(dialog, L"Static", L"其它");
        ASSERT_TRUE(otherTab);
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(otherTab), STN_CLICKED), reinterpret_cast<LPARAM>(otherTab));
        ASSERT_TRUE(driver::pressButton(dialog, L"程序修复"));
        HWND notice = p.waitWindow(L"Kelvane", kBoxClass);
        ASSERT_TRUE(notice);
        EXPECT_EQ(driver::shownBoxText(notice), L"接下来将注册控件，杀毒软件提示请选择允许程序操作");
        ASSERT_TRUE(driver::pressButton(notice, L"确定"));
        ASSERT_TRUE(driver::waitFor([&] { return notes("start") > started; }, 20s));
    }

    // The box that says a repair is running, answered.
    void repairRunningIsSaid(const driver::Program& p) {
        HWND box = p.waitWindow(L"Kelvane", kBoxClass);
        ASSERT_TRUE(box) << "nothing said that a repair is running";
        EXPECT_EQ(driver::shownBoxText(box), kRepairRunning);
        ASSERT_TRUE(driver::pressButton(box, L"确定"));
        ASSERT_TRUE(driver::waitFor([&] { return !IsWindow(box); }));
    }
};

constexpr std::initializer_list<WPARAM> kSettingsItem{VK_DOWN, VK_DOWN, VK_RETURN};
constexpr std::initializer_list<WPARAM> kStatisticsItem{VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN};
constexpr std::initializer_list<WPARAM> kExitItem{VK_UP, VK_RETURN};

TEST_F(RepairOnTheProgram, TheTrayLeavesARunningRepairAloneAndItsExitEndsTheProgramAtOnce) {
    registrationTakes("9000");
    driver::Program p(programFolder);
    ASSERT_TRUE(p.start());
    HWND hub = p.waitWindowOfClass(L"Velmora.Frm_exit");
    ASSERT_TRUE(hub);
    trayMenu(p, hub, kSettingsItem);
    HWND dialog = p.waitWindow(L"设置", L"Velmora.Settings");
    ASSERT_TRUE(dialog);

    // Watched from the registration's start to its end: the dialog takes no input meanwhile.
    std::atomic<bool> watching{true};
    std::atomic<int> samples{0}, enabled{0};
    std::thread watch([&] {
        while (watching) {
            bool during = registering();
            bool input = IsWindowEnabled(dialog) != FALSE;
            if (during && registering()) {
                ++samples;
                if (input) ++enabled;
            }
            std::this_thread::sleep_for(5ms);
        }
    });
    startRepair(p, dialog);
    trayMenu(p, hub, kSettingsItem);
    repairRunningIsSaid(p);
    trayMenu(p, hub, kStatisticsItem);
    repairRunningIsSaid(p);
    EXPECT_TRUE(registering()) << "the registration ended before the tray was tried: the test proves nothing";
    EXPECT_TRUE(IsWindow(dialog));
    EXPECT_FALSE(p.window(L"计时统计", L"Velmora.Frm_data_sum"));

    ASSERT_TRUE(driver::waitFor([&] { return !registering(); }, 20s));
    HWND result = p.waitWindow(L"Kelvane", kBoxClass);
    ASSERT_TRUE(result);
    EXPECT_EQ(driver::shownBoxText(result).substr(0, 4), L"修复成功");
    watching = false;
    watch.join();
    EXPECT_GT(samples, 0);
    EXPECT_EQ(enabled, 0) << "the dialog took input while the registration ran";
    ASSERT_TRUE(driver::pressButton(result, L"确定"));
    ASSERT_TRUE(driver::waitFor([&] { return !IsWindow(result); }));
    EXPECT_TRUE(IsWindowEnabled(dialog)) << "the result box, the dialog's own, disabled it only while it showed";

    // 退出 during a second repair: the program ends within a second of the yes, no box after it.
    registrationTakes("4000");
    startRepair(p, dialog);
    trayMenu(p, hub, kExitItem);
    HWND question = p.waitWindow(L"提示", kBoxClass);
    ASSERT_TRUE(question);
    EXPECT_EQ(driver::shownBoxText(question), L"确定退出吗？");
    ASSERT_TRUE(driver::pressButton(question, L"是"));
    EXPECT_TRUE(p.waitExit(1s)) << "still running a second after the yes";
    EXPECT_EQ(notes("start"), 2);
}

}  // namespace
