// The real program, started and watched from outside.
#include <gtest/gtest.h>

#include "shell/ini_store.h"
#include "shell/settings_registry.h"
#include "tests/e2e/driver.h"
#include "tests/test_support.h"

using namespace std::chrono_literals;

namespace {

constexpr wchar_t kDialogClass[] = L"#32770";

class Startup : public driver::ProgramFolderTest {
protected:
    void setHideHotkey(const std::wstring& text) {
        shell::iniAccess(L"write", programFolder + L"\\TimeData.db", shell::kHotkeySection, L"hide", text);
    }

    // Chooses the exit item of the tray menu and answers its question with `answer`.
    void exitThroughMenu(driver::Program& p, const std::wstring& answer) {
        HWND hub = p.waitWindow(L"Kelvane", L"Velmora.Frm_exit");
        ASSERT_TRUE(hub);
        HWND menu = driver::openTrayMenu(p, hub);
        ASSERT_TRUE(menu);
        driver::pressKeys(menu, {VK_UP, VK_RETURN});  // up from no selection: the last item
        HWND box = p.waitWindow(L"提示", kDialogClass);
        ASSERT_TRUE(box);
        EXPECT_EQ(driver::shownBoxText(box), L"确定退出吗？");
        ASSERT_TRUE(driver::pressButton(box, answer));
        ASSERT_TRUE(driver::waitFor([&] { return !IsWindow(box); }));
    }
};

TEST_F(Startup, HubIsThereButNeverShownAndPathgetHoldsTheFolder) {
    driver::Program p(programFolder);
    ASSERT_TRUE(p.start());
    HWND hub = p.waitWindow(L"Kelvane", L"Velmora.Frm_exit");
    ASSERT_TRUE(hub);
    EXPECT_FALSE(IsWindowVisible(hub));
    auto pathget = shell::regReadValue(HKEY_CURRENT_USER, shell::kSettingsKey, L"pathget");
    ASSERT_TRUE(pathget);
    EXPECT_EQ(std::get<std::wstring>(*pathget), programFolder);
}

TEST_F(Startup, SecondInstanceEndsAtOnceAndTheFirstKeepsRunning) {
    driver::Program first(programFolder);
    ASSERT_TRUE(first.start());
    ASSERT_TRUE(first.waitWindow(L"Kelvane", L"Velmora.Frm_exit"));

    driver::Program second(programFolder);
    ASSERT_TRUE(second.start());
    EXPECT_TRUE(second.waitExit());
    EXPECT_EQ(second.exitCode(), 0u);
    EXPECT_TRUE(first.running());
    EXPECT_TRUE(first.window(L"Kelvane", L"Velmora.Frm_exit"));
}

TEST_F(Startup, HotkeyIsHeldWhileRunningAndFreeAfterTheExitQuestionIsAnsweredYes) {
    setHideHotkey(L"Ctrl+Alt+F5");
    driver::Program p(programFolder);
    ASSERT_TRUE(p.start());
    ASSERT_TRUE(p.waitWindow(L"Kelvane", L"Velmora.Frm_exit"));
    EXPECT_TRUE(driver::waitFor([] { return !driver::hotkeyFree(MOD_CONTROL | MOD_ALT, VK_F5); }));

    ASSERT_NO_FATAL_FAILURE(exitThroughMenu(p, L"是"));
    EXPECT_TRUE(p.waitExit());
    EXPECT_TRUE(driver::hotkeyFree(MOD_CONTROL | MOD_ALT, VK_F5));
}

TEST_F(Startup, DecliningTheExitQuestionKeepsTheProgramRunning) {
    driver::Program p(programFolder);
    ASSERT_TRUE(p.start());
    ASSERT_NO_FATAL_FAILURE(exitThroughMenu(p, L"否"));
    // Watched from the moment the answer was taken, its box gone: an exit would follow at once.
    EXPECT_FALSE(p.waitExit(1500ms));
    EXPECT_TRUE(p.window(L"Kelvane", L"Velmora.Frm_exit"));
}

TEST_F(Startup, HotkeyHeldByAnotherProgramIsReported) {
    ASSERT_TRUE(RegisterHotKey(nullptr, 1, MOD_CONTROL | MOD_ALT, VK_F6));
    setHideHotkey(L"Ctrl+Alt+F6");
    driver::Program p(programFolder);
    ASSERT_TRUE(p.start());
    HWND box = p.waitWindow(L"Kelvane", kDialogClass);
    ASSERT_TRUE(box);
    EXPECT_EQ(driver::shownBoxText(box),
              L"热键Ctrl+Alt+F6被其它程序占有\r\r请更改热键或关闭其他程序以便设置\r\r也可右键单击时钟执行相应命令");
    driver::pressButton(box, L"确定");
    UnregisterHotKey(nullptr, 1);
}

}  // namespace
