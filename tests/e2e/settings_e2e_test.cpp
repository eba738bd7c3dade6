// The settings dialog on the real program: opened through the tray menu's command, an alarm
// time, a switch and the prompt text changed, "应用" pressed; the registry follows and the run
// restarts with the new prompt. Both tab pages are kept as screenshots.
#include <gtest/gtest.h>

#include "shell/run_records.h"
#include "shell/settings_registry.h"
#include "tests/e2e/driver.h"
#include "tests/test_support.h"

using namespace std::chrono_literals;

namespace {

constexpr UINT kSettingsCommand = 102;  // the menu's "设置"
constexpr wchar_t kOldPrompt[] = L"旧的提示";
constexpr wchar_t kNewPrompt[] = L"新的提示";

class SettingsOnTheProgram : public testing_support::MeetDataTest {};

TEST_F(SettingsOnTheProgram, ApplyFromTheTrayDialogStoresAndRestartsTheRun) {
    shell::ClockSetting clock;
    shell::applyFirstRunDefaults(clock);
    clock.Time_one = 41;
    clock.Time_two = 21;
    clock.Time_three = 11;
    clock.checkvalue = L"111101001111111111111";
    clock.tellprocesstext = kOldPrompt;
    shell::savesetting(clock);
    addClock(L"Kurz", clock);
    driver::installProgram(folder);
    // A stage under way when the program starts, long enough for the slowest start and the test.
    shell::TimeOfDay now = driver::realTimeOfDay();
    if (now.seconds < 60 || now.seconds > 86400 - 120) GTEST_SKIP() << "too close to midnight for a stage today";
    addStage(shell::formatHms({now.seconds - 5}), shell::formatHms({now.seconds + 90}), L"Kurz", L"Probe");
    driver::Program p(folder);
    ASSERT_TRUE(p.start());

    HWND hub = p.waitWindowOfClass(L"Velmora.Frm_exit");
    ASSERT_TRUE(hub);
    PostMessageW(hub, WM_COMMAND, kSettingsCommand, 0);
    HWND dialog = p.waitWindow(L"设置");
    ASSERT_TRUE(dialog);
    HWND alarm1 = nullptr, prompt = nullptr;
    ASSERT_TRUE(driver::waitFor([&] {
        alarm1 = driver::findChild(dialog, L"Edit", L"41");
        prompt = driver::findChild(dialog, L"Edit", kOldPrompt);
        return alarm1 && prompt;
    }));
    driver::paintNow(dialog);
    driver::saveScreenshot(L"settings-remind.bmp");

    SendMessageW(alarm1, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"45"));
    SendMessageW(prompt, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(kNewPrompt));
    SendMessageW(driver::findChild(dialog, L"Button", L"占位备用"), BM_CLICK, 0, 0);
    SendMessageW(driver::findChild(dialog, L"Button", L"应用"), BM_CLICK, 0, 0);

    EXPECT_TRUE(driver::waitFor([] {
        shell::ClockSetting stored;
        shell::readsetting(stored);
        return stored.Time_one == 45 && stored.checkvalue == L"111111001111111111111" &&
               stored.tellprocesstext == kNewPrompt;
    }));
    HWND banner = p.waitWindowOfClass(L"Velmora.Frm_process");
    EXPECT_TRUE(driver::waitFor([&] { return driver::windowText(banner).rfind(std::wstring(kNewPrompt) + L"还剩", 0) == 0; }, 15s))
        << "the run did not restart with the new prompt";

    HWND otherTab = driver::findChild(dialog, L"Static", L"其它");
    ASSERT_TRUE(otherTab);
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(otherTab), STN_CLICKED), reinterpret_cast<LPARAM>(otherTab));
    EXPECT_TRUE(driver::waitFor([&] { return IsWindowVisible(driver::findChild(dialog, L"Button", L"程序修复")) != FALSE; }));
    driver::paintNow(dialog);
    driver::saveScreenshot(L"settings-other.bmp");

    SendMessageW(driver::findChild(dialog, L"Button", L"关闭"), BM_CLICK, 0, 0);
    EXPECT_TRUE(driver::waitFor([&] { return !IsWindow(dialog); }));
    EXPECT_TRUE(p.running());
}

}  // namespace
