#include "addin/commands.h"

#include <optional>

#include "addin/addin_setting.h"
#include "addin/siblings.h"
#include "addin/stores.h"
#include "addin_fixture.h"
#include "win/auto_message.h"

namespace addin_test {
namespace {

constexpr wchar_t kClockMissing[] =
    L"工具属性，需计时程序随PPT程序一并运行\r\rDovecrest.exe未运行或被杀毒软件禁用\r\r"
    L"请退出放映打开时钟设置程序运行程序修复命令，，再进行幻灯片演示\r\r"
    L"还不显示时钟，请卸载后重新安装程序时不要安装在系统文件夹中\r\r"
    L"并在杀毒软件对Dovecrest.exe程序设置为白名单或添加信任";

// Refused: running, from a folder where the user may run the program but not write it.
enum class Clock { Missing, Idle, Running, Refused };

class Commands : public AddinTest {
protected:
    void SetUp() override {
        AddinTest::SetUp();
        win::setMessageSink([this](const win::MessageShown& m) {
            messages.push_back(m);
            return IDOK;
        });
    }
    void TearDown() override {
        win::setMessageSink(nullptr);
        refused.reset();
        AddinTest::TearDown();
    }
    void place(const wchar_t* program, Clock state) {
        if (state == Clock::Missing) return;
        bool running = state == Clock::Running || state == Clock::Refused;
        installSibling(program, running);
        if (running) {
            addin::startProgram(folder() + program);
            siblingStarts(1);
            for (int i = 0; i < 200 && !addin::fileInUse(folder() + program); ++i) Sleep(50);
            DeleteFileW((folder() + L"starts.log").c_str());
        }
        if (state == Clock::Refused) refused.emplace(program);
    }
    std::vector<win::MessageShown> messages;
    std::optional<WriteRefused> refused;
};

struct ShowCase {
    const wchar_t* checkvalue;
    Clock clock;
    const wchar_t* message;  // none when empty
    unsigned timeoutMs;
    bool asksToShow;
    bool keepsRunFlag;
    size_t clockStarts;
};

class ShowClock : public Commands, public ::testing::WithParamInterface<ShowCase> {};

TEST_P(ShowClock, AnswersTheFlagsAndTheClockProgramsState) {
    const ShowCase& c = GetParam();
    place(addin::kClockProgram, c.clock);
    setRegistryNumber(kHarrowby, L"exitpptpd", 1);
    addin::addinSetting().checkvalue = c.checkvalue;

    DWORD startedBefore = processesStarted();
    addin::showClock();

    if (*c.message) {
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0].text, c.message);
        EXPECT_EQ(messages[0].caption, L"提示");
        EXPECT_EQ(messages[0].timeoutMs, c.timeoutMs);
    } else {
        EXPECT_TRUE(messages.empty());
    }
    std::wstring shown = c.asksToShow ? L"True" : L"";
    EXPECT_EQ(registryText(kHarrowby, L"timershow").value_or(L""), shown);
    EXPECT_EQ(addin::iniRead(L"timer", L"timershow", L""), shown);
    EXPECT_EQ(registryText(kHarrowby, L"exitpptpd").has_value(), c.keepsRunFlag);
    EXPECT_EQ(processesStarted() - startedBefore, c.clockStarts);
    EXPECT_EQ(siblingStarts(c.clockStarts).size(), c.clockStarts);
}

INSTANTIATE_TEST_SUITE_P(
    States, ShowClock,
    ::testing::Values(
        ShowCase{L"1111", Clock::Running, L"", 0, true, true, 0},
        ShowCase{L"0111", Clock::Running, L"未启用计时", 1200, false, true, 0},
        ShowCase{L"0111", Clock::Missing, L"未启用计时", 1200, false, false, 0},
        ShowCase{L"1111", Clock::Missing, kClockMissing, 0, false, false, 0},
        ShowCase{L"", Clock::Idle, kClockMissing, 0, false, false, 1},
        // A clock program the user may not open for writing runs all the same: no second copy.
        ShowCase{L"1111", Clock::Refused, L"", 0, true, true, 0}));

TEST_F(Commands, OpenSettingsProgramStartsOrReportsItMissing) {
    addin::openSettingsProgram();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, L"Fennick.exe不存在，请保证文件完整");
    EXPECT_EQ(messages[0].caption, L"PPTKelvane");
    EXPECT_EQ(messages[0].style, static_cast<UINT>(MB_OK | MB_ICONQUESTION));

    place(addin::kSettingsProgram, Clock::Idle);
    addin::openSettingsProgram();
    EXPECT_EQ(siblingStarts(1), std::vector<std::string>{"Fennick.exe"});
    EXPECT_EQ(messages.size(), 1u);
}

class RunningSettingsProgram : public Commands, public ::testing::WithParamInterface<Clock> {};

// A running copy is ended and a new one started, which the ending does not reach.
TEST_P(RunningSettingsProgram, IsEndedBeforeTheNewCopyStarts) {
    place(addin::kSettingsProgram, GetParam());
    addin::openSettingsProgram();
    EXPECT_EQ(siblingStarts(1), std::vector<std::string>{"Fennick.exe"});
    // Once no taskkill is left and the ended copy is gone, nothing can reach the new copy any more.
    for (DWORD waited = 0; waited < 10000 && (runningCopies(L"taskkill.exe") || runningCopies(addin::kSettingsProgram) > 1);
         waited += 50)
        Sleep(50);
    EXPECT_EQ(runningCopies(addin::kSettingsProgram), 1) << "the old copy was ended";
    EXPECT_TRUE(messages.empty());
}

INSTANTIATE_TEST_SUITE_P(Files, RunningSettingsProgram, ::testing::Values(Clock::Running, Clock::Refused),
                         [](const auto& info) { return info.param == Clock::Running ? "writable" : "not_writable"; });

TEST_F(Commands, TheRestartWaitsForTheEndingHoweverLongAndAClickMeanwhileStartsNothing) {
    place(addin::kSettingsProgram, Clock::Running);
    installSibling(kTaskkill, true);  // an ending that takes its time
    DWORD startedBefore = processesStarted();
    addin::openSettingsProgram();
    addin::openSettingsProgram();
    EXPECT_EQ(processesStarted() - startedBefore, 1u) << "only the ending runs: the new copy waits for it";
    // Long past what the host's thread waits, with this thread's timers running, taskkill is all there is.
    EXPECT_EQ(siblingStarts(2), std::vector<std::string>{"taskkill.exe"}) << "taskkill would end that copy too";
    addin::openSettingsProgram();
    EXPECT_EQ(processesStarted() - startedBefore, 1u) << "a click meanwhile starts nothing";

    DeleteFileW((folder() + kTaskkill + L".stay").c_str());
    EXPECT_EQ(siblingStarts(2), (std::vector<std::string>{"taskkill.exe", "Fennick.exe"}));
    EXPECT_EQ(processesStarted() - startedBefore, 2u) << "one new copy for both clicks";
    EXPECT_TRUE(messages.empty());
}

}  // namespace
}  // namespace addin_test
