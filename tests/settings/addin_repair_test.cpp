#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <thread>
#include <random>

#include "settings/addin_repair.h"
#include "shell/ini_store.h"
#include "shell/settings_registry.h"
#include "win/handles.h"
#include "tests/test_support.h"

using namespace settings;

namespace {

// A machine whose folders are the test's, whose command starts are recorded and whose
// scripting object either refuses or writes through the registry as the real one would.
class RecordingSystem final : public RepairSystem {
public:
    std::wstring windows, system;
    bool scriptWorks = false;
    std::function<bool()> commandEnds = [] { return true; };  // how each command ends
    std::vector<std::wstring> commands;

    std::wstring windowsFolder() override { return windows; }
    std::wstring systemFolder() override { return system; }
    bool runCommand(const std::wstring& line) override {
        commands.push_back(line);
        return commandEnds();
    }
    bool scriptWrite(const std::wstring& fullPath, const shell::RegValue& value) override {
        if (!scriptWorks) return false;
        std::wstring path = fullPath.substr(std::wstring(L"HKEY_CURRENT_USER\\").size());
        size_t slash = path.rfind(L'\\');
        shell::regCreateKey(HKEY_CURRENT_USER, path.substr(0, slash));
        return shell::regWriteValue(HKEY_CURRENT_USER, path.substr(0, slash), path.substr(slash + 1), value) == ERROR_SUCCESS;
    }
    bool scriptDelete(const std::wstring&) override { return false; }  // as the scripting object under Wine
};

bool keyExists(const std::wstring& path) {
    HKEY k;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return false;
    RegCloseKey(k);
    return true;
}

class AddinRepair : public testing_support::ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        machine.windows = testing_support::makeTempFolder();
        machine.system = machine.windows + L"\\system32";
        CreateDirectoryW(machine.system.c_str(), nullptr);
        resetMachine();
        setRepairSystem(&machine);
    }
    // No Office keys, both system files present, the add-in library beside the program.
    void resetMachine() {
        clearKeys();
        for (const wchar_t* f : {L"\\scrrun.dll", L"\\user32.dll"}) testing_support::writeFile(machine.system + f, "dll");
        testing_support::writeFile(folder + L"\\Larkmont32.dll", "addin");
        machine.commandEnds = [] { return true; };
        machine.commands.clear();
    }
    void TearDown() override {
        setRepairSystem(nullptr);
        clearKeys();
        testing_support::removeTree(machine.windows);
        ProgramTest::TearDown();
    }
    static void clearKeys() {
        testing_support::deleteUserKey(L"Software\\Microsoft\\Office");
        testing_support::deleteUserKey(L"Software\\Kingsoft");
    }
    std::wstring quoted(const std::wstring& path) const { return L"Regsvr32  /s   \"" + path + L"\""; }

    RecordingSystem machine;
};

}  // namespace

TEST_F(AddinRepair, EveryValueIsWrittenAndEveryDisabledListClearedOnBothRoads) {
    for (bool script : {false, true}) {
        SCOPED_TRACE(script ? "scripting object" : "registry API");
        clearKeys();
        machine.scriptWorks = script;
        machine.commands.clear();
        shell::iniWrite(shell::kSiteSection, L"filename", L"汇报");
        auto keys = disabledItemKeys();
        ASSERT_EQ(keys.size(), 24u);
        for (size_t i = 0; i < keys.size(); i += 5) shell::regCreateKey(HKEY_CURRENT_USER, keys[i].substr(0, keys[i].size() - 1));

        auto failed = repairAddins();

        EXPECT_TRUE(failed.empty());
        auto values = addinValues();
        ASSERT_EQ(values.size(), 15u);
        for (const auto& v : values) EXPECT_EQ(shell::regReadValue(HKEY_CURRENT_USER, v.key, v.name), v.data) << v.key << v.name;
        EXPECT_EQ(values[0].key, L"SOFTWARE\\Microsoft\\Office\\Word\\Addins\\Larkmont.OfficeWd");
        EXPECT_EQ(values[14].key, L"Software\\Kingsoft\\Office\\WPP\\AddinsWL");
        for (const auto& k : keys) EXPECT_FALSE(keyExists(k.substr(0, k.size() - 1))) << k;
        EXPECT_EQ(machine.commands, (std::vector<std::wstring>{quoted(machine.system + L"\\scrrun.dll"),
                                                               quoted(folder + L"\\Larkmont32.dll")}));
        EXPECT_EQ(shell::iniRead(shell::kSiteSection, L"filename", L"none"), L"none");  // empty reads as missing
        EXPECT_EQ(repairMessage(failed).substr(0, 4), L"修复成功");
    }
}

TEST_F(AddinRepair, SixtyFourBitWindowsRegistersFromSysWow64AndWithoutTheLibraryNothingIsAdded) {
    std::wstring wow = machine.windows + L"\\SysWOW64";
    CreateDirectoryW(wow.c_str(), nullptr);
    testing_support::writeFile(wow + L"\\scrrun.dll", "dll");
    testing_support::writeFile(wow + L"\\user32.dll", "dll");
    DeleteFileW((folder + L"\\Larkmont32.dll").c_str());
    shell::regCreateKey(HKEY_CURRENT_USER, disabledItemKeys()[3]);

    auto failed = repairAddins();

    EXPECT_TRUE(failed.empty());
    EXPECT_EQ(machine.commands, std::vector<std::wstring>{quoted(wow + L"\\scrrun.dll")});
    EXPECT_FALSE(keyExists(L"SOFTWARE\\Microsoft\\Office\\Word\\Addins"));
    EXPECT_FALSE(keyExists(disabledItemKeys()[3]));
}

namespace {

std::vector<std::wstring> linesOf(const std::wstring& text) {
    std::vector<std::wstring> lines{{}};
    for (wchar_t c : text) {
        if (c == L'\r') {
            lines.emplace_back();
        } else {
            lines.back().push_back(c);
        }
    }
    return lines;
}

size_t occurrences(const std::wstring& text, const std::wstring& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::wstring::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

}  // namespace

// The settings went before the repair ran: however it ends, its box asks for them again, after
// the steps that failed, each named on a line of its own. A present system file is never replaced.
TEST_F(AddinRepair, EveryEndNamesWhatFailedAndAsksForTheSettingsAgain) {
    const std::wstring standIn = folder + L"\\registration_stand_in.exe";
    ASSERT_TRUE(CopyFileW(testing_support::besideTestPrograms(L"registration_stand_in.exe").c_str(), standIn.c_str(), FALSE));
    const std::wstring wordAddin = L"SOFTWARE\\Microsoft\\Office\\Word\\Addins";
    const std::wstring wordValues = wordAddin + L"\\Larkmont.OfficeWd\\";
    const std::wstring disabledList = disabledItemKeys()[0].substr(0, disabledItemKeys()[0].size() - 1);
    const struct {
        const char* end;
        std::function<void()> arrange;
        std::vector<std::wstring> failedSteps;
    } ends[] = {
        {"success", [] {}, {}},
        {"a copy refused",
         [&] { DeleteFileW((machine.system + L"\\user32.dll").c_str()); },  // and no copy beside the program
         {L"复制 user32.dll 到 " + machine.system}},
        {"registrations refused", [&] { machine.commandEnds = [] { return false; }; },
         {L"注册 scrrun.dll", L"注册 Larkmont32.dll"}},
        {"add-in values refused",
         [&] {
             // A key kept in memory only takes no key kept on disk below it: the add-in's key
             // cannot be made there. Its parents are kept on disk, as they would be.
             shell::regCreateKey(HKEY_CURRENT_USER, L"SOFTWARE\\Microsoft\\Office\\Word");
             HKEY k;
             ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, wordAddin.c_str(), 0, nullptr, REG_OPTION_VOLATILE,
                                       KEY_ALL_ACCESS, nullptr, &k, nullptr),
                       ERROR_SUCCESS);
             RegCloseKey(k);
         },
         {L"写入注册表 " + wordValues + L"FriendlyName", L"写入注册表 " + wordValues + L"Description",
          L"写入注册表 " + wordValues + L"LoadBehavior", L"写入注册表 " + wordValues + L"CommandLineSafe"}},
        {"a disabled list not deleted", [&] { shell::regCreateKey(HKEY_CURRENT_USER, disabledList + L"\\kept"); },
         {L"删除注册表项 " + disabledItemKeys()[0]}},
        {"a registration past its time limit",
         [&] {
             DeleteFileW((folder + L"\\Larkmont32.dll").c_str());  // one registration to wait out
             testing_support::writeFile(folder + L"\\registration.ms", "60000");
             machine.commandEnds = [&] { return runRegistration(L"\"" + standIn + L"\" /s \"x.dll\"", 1000); };
         },
         {L"注册 scrrun.dll"}},
    };
    for (const auto& e : ends) {
        SCOPED_TRACE(e.end);
        resetMachine();
        testing_support::writeFile(folder + L"\\scrrun.dll", "newer");
        e.arrange();

        std::vector<std::wstring> failed = repairAddins();

        const std::vector<std::wstring>& steps = e.failedSteps;
        EXPECT_EQ(failed, steps);
        std::wstring text = repairMessage(failed);
        std::vector<std::wstring> lines = linesOf(text);
        EXPECT_EQ(text.find(L'\n'), std::wstring::npos);
        EXPECT_EQ(lines[0], steps.empty() ? L"修复成功，请重新设置计时参数，还不计时请关闭文件后再次修复：" : L"程序修复没有完成，以下步骤失败：");
        for (const std::wstring& step : steps) EXPECT_EQ(std::count(lines.begin(), lines.end(), step), 1) << testing::PrintToString(step);
        EXPECT_EQ(occurrences(text, L"请重新设置计时参数"), 1u) << testing::PrintToString(text);
        EXPECT_EQ(text.find(L"修复成功") != std::wstring::npos, steps.empty());
        EXPECT_EQ(testing_support::readFile(machine.system + L"\\scrrun.dll"), "dll");
    }
}

// On the machine itself: registering a damaged library fails, and the repair says so.
TEST_F(AddinRepair, ADamagedLibraryIsAFailedRegistrationOnTheRealMachine) {
    setRepairSystem(nullptr);
    std::string noise(4096, '\0');
    std::mt19937 random(19);
    for (char& c : noise) c = static_cast<char>(random());
    testing_support::writeFile(folder + L"\\Larkmont32.dll", noise);

    // What the system files' steps meet is this Wine's own (a 64-bit Wine alone has no 32-bit
    // system files); the add-in's registration is the step under test.
    std::vector<std::wstring> failed = repairAddins();
    EXPECT_EQ(std::count(failed.begin(), failed.end(), L"注册 Larkmont32.dll"), 1);
}

namespace {

constexpr wchar_t kStandIn[] = L"registration_stand_in.exe";

bool standInRunning() { return testing_support::processRunning(kStandIn); }

// Another nested loop on top of the registration's wait, as a question or a menu opened meanwhile
// runs: it turns until the stand-in has gone, or gives up.
bool standInEndsUnderALoopOnTop = false;

void CALLBACK loopOnTop(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    MSG m;
    while (standInRunning() && std::chrono::steady_clock::now() < giveUp) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
    }
    standInEndsUnderALoopOnTop = !standInRunning();
}

}  // namespace

// A registration that hangs is ended at its limit, not left behind for the next repair to meet,
// whatever other loop runs on top of the wait then. The stand-in and its settings are in the
// test's own folder, so nothing of them outlives the case.
TEST_F(AddinRepair, ARegistrationPastItsLimitIsEndedAndCountsAsFailed) {
    const std::wstring standIn = folder + L"\\" + kStandIn;
    ASSERT_TRUE(CopyFileW(testing_support::besideTestPrograms(kStandIn).c_str(), standIn.c_str(), FALSE));
    const std::wstring line = L"\"" + standIn + L"\" /s \"x.dll\"";
    const struct {
        const char* takesMs;
        DWORD limitMs;
        bool succeeds;
        bool loopOnTop;
    } cases[] = {{"0", 60000, true, false}, {"60000", 2000, false, false}, {"60000", 2000, false, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.takesMs << (c.loopOnTop ? " with a loop on top" : ""));
        DeleteFileW((folder + L"\\registrations.log").c_str());
        testing_support::writeFile(folder + L"\\registration.ms", c.takesMs);
        standInEndsUnderALoopOnTop = false;
        if (c.loopOnTop) SetTimer(nullptr, 0, 200, loopOnTop);
        EXPECT_EQ(runRegistration(line, c.limitMs), c.succeeds);
        if (c.loopOnTop) {
            EXPECT_TRUE(standInEndsUnderALoopOnTop) << "the limit waited for the loop on top";
        }
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (standInRunning() && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        EXPECT_FALSE(standInRunning());
        // Ended, not waited out: the slow one never noted its end.
        std::string log = testing_support::readFile(folder + L"\\registrations.log");
        EXPECT_NE(log.find("start"), std::string::npos);
        EXPECT_EQ(log.find("end") != std::string::npos, c.succeeds);
    }
}

TEST(ScriptingObject, WritesTextAndNumbersWhereTheRegistryApiReadsThem) {
    setRepairSystem(nullptr);
    CLSID cls;
    if (FAILED(CLSIDFromProgID(L"WScript.Shell", &cls))) GTEST_SKIP() << "no scripting object here";
    const std::wstring key = L"Software\\Velmora probe";
    RepairSystem& real = repairSystem();
    EXPECT_TRUE(real.scriptWrite(L"HKEY_CURRENT_USER\\" + key + L"\\Name", std::wstring(L"会议")));
    EXPECT_TRUE(real.scriptWrite(L"HKEY_CURRENT_USER\\" + key + L"\\Count", int32_t{3}));
    EXPECT_EQ(shell::regReadValue(HKEY_CURRENT_USER, key, L"Name"), shell::RegValue(std::wstring(L"会议")));
    EXPECT_EQ(shell::regReadValue(HKEY_CURRENT_USER, key, L"Count"), shell::RegValue(int32_t{3}));
    testing_support::deleteUserKey(key.c_str());
}
