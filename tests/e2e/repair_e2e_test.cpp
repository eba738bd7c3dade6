// The program repair on the real program, with a slow stand-in registration put beside it as
// "regsvr32.exe": while it waits, its dialog stays disabled, a tray command that closes the dialog
// closes it once its repair is over, 退出 ends the program at once, and the registration's limit
// is kept whatever loop runs on top of the wait.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "tests/e2e/driver.h"
#include "tests/test_support.h"

using namespace std::chrono_literals;

namespace {

constexpr wchar_t kBoxClass[] = L"#32770";
// 计时统计: no clock is saved, so no often-used submenu comes before it.
constexpr std::initializer_list<WPARAM> kStatisticsItem{VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN};

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
        driver::waitFor([] { return !testing_support::processRunning(L"regsvr32.exe"); }, 20s);
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

    // The program started, with its settings dialog opened from the tray.
    struct Started {
        HWND hub = nullptr, dialog = nullptr;
    };
    Started startWithDialog(driver::Program& p) {
        Started s;
        if (!p.start() || !(s.hub = p.waitWindowOfClass(L"Velmora.Frm_exit"))) return s;
        if (driver::chooseTrayItem(p, s.hub, driver::kSettingsKeys)) {
            s.dialog = driver::waitSettingsDialog(p);
        }
        return s;
    }

    // The process of the registration started last.
    win::UniqueFile lastRegistration() const {
        std::string log = testing_support::readFile(programFolder + L"\\registrations.log");
        size_t at = log.rfind("start ");
        if (at == std::string::npos) return {};
        return win::UniqueFile(OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(atol(log.c_str() + at + 6))));
    }

    // The box that closes the repair, answered: whether it names the registration among the steps
    // that failed (what the prefix's system folder holds decides the others). Either way it asks
    // for the settings that went first.
    void repairEnds(const driver::Program& p, bool registrationFailed) {
        HWND result = p.waitWindow(L"Kelvane", kBoxClass, 20s);
        ASSERT_TRUE(result);
        std::wstring text = driver::shownBoxText(result);
        EXPECT_EQ(text.find(L"注册 scrrun.dll") != std::wstring::npos, registrationFailed) << testing::PrintToString(text);
        EXPECT_NE(text.find(L"请重新设置计时参数"), std::wstring::npos) << testing::PrintToString(text);
        ASSERT_TRUE(driver::pressButton(result, L"确定"));
        ASSERT_TRUE(driver::waitFor([&] { return !IsWindow(result); }));
    }
};

TEST_F(RepairOnTheProgram, TheTrayPutsTheDialogsGoingOffUntilItsRepairIsOverAndItsExitEndsTheProgramAtOnce) {
    registrationTakes("9000");
    driver::Program p(programFolder);
    auto [hub, dialog] = startWithDialog(p);
    ASSERT_TRUE(dialog);

    // Watched from the registration's start to its end: the dialog takes no input meanwhile. A
    // failed check ends the watch with the case.
    std::atomic<int> samples{0}, enabled{0};
    std::jthread watch([&](std::stop_token stop) {
        while (!stop.stop_requested()) {
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
    ASSERT_TRUE(driver::chooseTrayItem(p, hub, driver::kSettingsKeys));  // the dialog asked for is the one there
    ASSERT_TRUE(driver::chooseTrayItem(p, hub, kStatisticsItem));
    EXPECT_TRUE(p.waitWindow(L"计时统计", L"Velmora.Frm_data_sum"));
    EXPECT_TRUE(registering()) << "the registration ended before the tray was tried: the test proves nothing";
    EXPECT_TRUE(IsWindow(dialog)) << "the dialog went under its repair";

    ASSERT_TRUE(driver::waitFor([&] { return !registering(); }, 20s));
    repairEnds(p, false);
    watch.request_stop();
    watch.join();
    EXPECT_GT(samples, 0);
    EXPECT_EQ(enabled, 0) << "the dialog took input while the registration ran";
    EXPECT_TRUE(driver::waitFor([&] { return !IsWindow(dialog); })) << "the statistics' opening left the dialog";

    // 退出 during a second repair: the program ends while the registration still runs, no box
    // after the yes.
    registrationTakes("9000");
    ASSERT_TRUE(driver::chooseTrayItem(p, hub, driver::kSettingsKeys));
    dialog = driver::waitSettingsDialog(p);
    ASSERT_TRUE(dialog);
    startRepair(p, dialog);
    ASSERT_TRUE(driver::chooseTrayItem(p, hub, driver::kExitKeys));
    HWND question = p.waitWindow(L"提示", kBoxClass);
    ASSERT_TRUE(question);
    EXPECT_EQ(driver::shownBoxText(question), L"确定退出吗？");
    ASSERT_TRUE(driver::pressButton(question, L"是"));
    ASSERT_TRUE(p.waitExit());
    EXPECT_TRUE(registering()) << "the program waited for the registration to end";
    EXPECT_EQ(notes("start"), 2);
}

// A hung registration is ended at its limit while a menu or a question runs its own loop on top
// of the repair's wait.
TEST_F(RepairOnTheProgram, TheLimitIsKeptUnderAMenuAndUnderAQuestion) {
    registrationTakes("60000");
    driver::Program p(programFolder);
    auto [hub, dialog] = startWithDialog(p);
    ASSERT_TRUE(dialog);
    struct OnTop {
        const char* name;
        std::function<HWND()> open;
        std::function<void(HWND)> close;
    };
    const OnTop rows[] = {
        {"the tray menu", [&] { return driver::openTrayMenu(p, hub); },
         [](HWND menu) { driver::pressKeys(menu, {VK_ESCAPE}); }},
        {"the exit question",
         [&] {
             HWND menu = driver::openTrayMenu(p, hub);
             driver::pressKeys(menu, driver::kExitKeys);
             return p.waitWindow(L"提示", kBoxClass);
         },
         [](HWND question) { driver::pressButton(question, L"否"); }},
    };
    for (const OnTop& row : rows) {
        SCOPED_TRACE(row.name);
        startRepair(p, dialog);
        win::UniqueFile registration = lastRegistration();
        ASSERT_TRUE(registration);
        HWND top = row.open();
        ASSERT_TRUE(top);
        EXPECT_EQ(WaitForSingleObject(registration.get(), 40000), WAIT_OBJECT_0) << "ran on past its limit";
        EXPECT_TRUE(IsWindowVisible(top)) << "the loop on top ended first: the row proves nothing";
        row.close(top);
        repairEnds(p, true);
    }
    EXPECT_TRUE(p.running());
}

}  // namespace
