// Every way the hub can go ends the real program, whatever message loop is running then: the
// menu's exit item chosen with the keys or the mouse, a close of the hub, the end of the session,
// also while a message box waits.
#include <gtest/gtest.h>

#include <functional>

#include "tests/e2e/driver.h"

using namespace std::chrono_literals;

namespace {

constexpr wchar_t kExitQuestion[] = L"确定退出吗？";

using ProgramEnd = driver::ProgramFolderTest;

HWND exitQuestion(const driver::Program& p) {
    HWND box = p.waitWindow(L"提示", L"#32770");
    EXPECT_EQ(driver::shownBoxText(box), kExitQuestion);
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

}  // namespace
