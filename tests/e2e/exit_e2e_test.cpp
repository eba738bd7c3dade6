// Every way the hub can go ends the real program, whatever message loop is running then: the
// menu's exit item chosen with the keys or the mouse, a close of the hub, the end of the session,
// also while a message box waits. With a run record that could not be written, the exit item lets
// the user keep the program open or end it without the record.
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <vector>

#include "shell/time_rules.h"
#include "tests/db_holds.h"
#include "tests/e2e/driver.h"
#include "win/auto_message.h"

using namespace std::chrono_literals;

namespace {

constexpr wchar_t kExitQuestion[] = L"确定退出吗？";
constexpr wchar_t kRunsGoQuestion[] = L"有计时记录未能写入 MeetData.db\r\n退出将丢失这些记录，确定退出吗？";

using ProgramEnd = driver::ProgramFolderTest;

HWND exitQuestion(const driver::Program& p, const wchar_t* question = kExitQuestion) {
    HWND box = p.waitWindow(L"提示", L"#32770");
    EXPECT_EQ(driver::shownBoxText(box), question);
    return box;
}

void confirmExit(const driver::Program& p) { ASSERT_TRUE(driver::pressButton(exitQuestion(p), L"是")); }

void endSession(HWND hub) {
    DWORD_PTR agreed = 0;
    SendMessageTimeoutW(hub, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_NORMAL, 5000, &agreed);
    EXPECT_TRUE(agreed);
    PostMessageW(hub, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
}

struct Way {
    const char* name;
    std::function<void(const driver::Program&, HWND hub)> end;
};

TEST_F(ProgramEnd, EveryWayTheHubGoesEndsTheProcess) {
    const Way ways[] = {
        {"exit item chosen with the keys",
         [](const driver::Program& p, HWND hub) {
             HWND menu = driver::openTrayMenu(p, hub);
             ASSERT_TRUE(menu);
             driver::pressKeys(menu, {VK_UP, VK_RETURN});  // up from no selection: the last item
             confirmExit(p);
         }},
        {"exit item clicked",
         [](const driver::Program& p, HWND hub) {
             HWND menu = driver::openTrayMenu(p, hub);
             ASSERT_TRUE(menu);
             ASSERT_TRUE(driver::clickLastItem(menu));
             confirmExit(p);
         }},
        {"exit item chosen with the keys, a right click on the icon right behind the yes",
         [](const driver::Program& p, HWND hub) {
             HWND menu = driver::openTrayMenu(p, hub);
             ASSERT_TRUE(menu);
             driver::pressKeys(menu, {VK_UP, VK_RETURN});
             HWND box = exitQuestion(p);
             ASSERT_TRUE(driver::pressButton(box, L"是"));
             driver::openTrayMenu(p, hub, false);
         }},
        {"hub closed", [](const driver::Program&, HWND hub) { PostMessageW(hub, WM_CLOSE, 0, 0); }},
        {"session ends", [](const driver::Program&, HWND hub) { endSession(hub); }},
        {"session ends while the exit question waits",
         [](const driver::Program& p, HWND hub) {
             HWND menu = driver::openTrayMenu(p, hub);
             ASSERT_TRUE(menu);
             driver::pressKeys(menu, {VK_UP, VK_RETURN});
             ASSERT_TRUE(exitQuestion(p));
             endSession(hub);
         }},
    };
    for (const Way& way : ways) {
        SCOPED_TRACE(way.name);
        driver::Program p(programFolder);
        ASSERT_TRUE(p.start());
        HWND hub = p.waitWindowOfClass(L"Velmora.Frm_exit");
        ASSERT_TRUE(hub);
        // The floating windows the hub does not unload go with the process.
        ASSERT_TRUE(p.waitWindowOfClass(L"Velmora.Frm_time"));
        ASSERT_TRUE(p.waitWindowOfClass(L"Velmora.Frm_title"));
        way.end(p, hub);
        EXPECT_TRUE(p.waitExit(10s)) << "the program is still running";
    }
}

class ExitWithRunsWaiting : public driver::StageAheadTest {
protected:
    // Waits until the real clock reaches `t`.
    static bool waitUntil(shell::TimeOfDay t) {
        return driver::waitFor([t] { return driver::realTimeOfDay().seconds >= t.seconds; }, 60s);
    }
    // The run of a stage begun, another program holds MeetData.db until the stage has ended and
    // the run's record has met the hold.
    void holdThroughTheEndOf(shell::TimeOfDay start, shell::TimeOfDay end) {
        EXPECT_TRUE(waitUntil({start.seconds + 1}));
        held_.emplace(path(), testing_support::Hold::noSharing);
        EXPECT_TRUE(waitUntil({end.seconds + 3}));
    }
    std::optional<testing_support::LockedFile> held_;
};

// No keeps the program running with the record waiting, and it is written once the file is free;
// asked again with a run waiting, yes ends the program at once, the run let go without a box.
TEST_F(ExitWithRunsWaiting, TheUserKeepsTheProgramOpenUntilTheRunIsWrittenOrEndsItWithoutTheRun) {
    constexpr int length = 4;
    driver::Program p(folder);
    ASSERT_NO_FATAL_FAILURE(startBeforeAStage(p, length, L"第一场"));
    if (!stage) GTEST_SKIP() << "too close to midnight for a stage today";
    const shell::TimeOfDay secondStart{stage->end.seconds + 10}, secondEnd{stage->end.seconds + 10 + length};
    addStage(shell::formatHms(secondStart), shell::formatHms(secondEnd), L"Kurz", L"第二场");
    HWND hub = p.waitWindowOfClass(L"Velmora.Frm_exit");
    ASSERT_TRUE(hub);
    // Nothing while the program writes.
    auto runs = [&] { return exec("SELECT filename FROM timesum ORDER BY ID"); };
    const std::vector<Row> firstRun{{L"第一场"}};

    holdThroughTheEndOf(stage->start, stage->end);
    ASSERT_TRUE(driver::chooseTrayItem(p, hub, driver::kExitKeys));
    ASSERT_TRUE(driver::pressButton(exitQuestion(p, kRunsGoQuestion), L"否"));
    EXPECT_TRUE(driver::waitFor([&] { return !p.window(L"提示", L"#32770"); }));
    held_.reset();
    EXPECT_TRUE(driver::waitFor([&] { return runs() == firstRun; }));
    EXPECT_TRUE(p.running());

    holdThroughTheEndOf(secondStart, secondEnd);
    ASSERT_TRUE(driver::chooseTrayItem(p, hub, driver::kExitKeys));
    ASSERT_TRUE(driver::pressButton(exitQuestion(p, kRunsGoQuestion), L"是"));
    bool boxShown = false;
    EXPECT_TRUE(driver::waitFor([&] {
        boxShown = boxShown || p.window(win::kProductName, L"#32770");
        return !p.running();
    }));
    EXPECT_FALSE(boxShown) << "the run let go was named again";
    held_.reset();
    EXPECT_EQ(runs(), firstRun);
}

}  // namespace
