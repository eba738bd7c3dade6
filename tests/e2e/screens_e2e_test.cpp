// Where the real program puts its clocks and banners on a desktop of two monitors, the primary on
// the left, and where a banner the user drags is kept.
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <utility>

#include "shell/ini_store.h"
#include "shell/run_records.h"
#include "shell/settings_registry.h"
#include "tests/e2e/driver.h"
#include "tests/test_support.h"
#include "win/twips.h"

using namespace std::chrono_literals;

namespace {

constexpr wchar_t kClockTwo[] = L"Velmora.time_glasstwo";
constexpr wchar_t kBanner[] = L"Velmora.Frm_process";
constexpr wchar_t kBannerTwo[] = L"Velmora.Frm_process_two";
constexpr wchar_t kStartCaption[] = L"你的汇报还剩";
constexpr wchar_t kDayOver[] = L"今天计时结束";
// Seconds left in the stage when the program starts: no alarm (30 s before the end or later)
// comes while the start banner is up, even after the slowest start.
constexpr int kLongStage = 60;
constexpr int kFirstAlarm = 30;

RECT rectOf(HWND w) {
    RECT r{};
    GetWindowRect(w, &r);
    return r;
}

// The monitor the window is on; nothing when it lies off every monitor.
std::optional<MONITORINFO> monitorOf(HWND w) {
    HMONITOR m = MonitorFromWindow(w, MONITOR_DEFAULTTONULL);
    MONITORINFO info{sizeof info};
    if (!m || !GetMonitorInfoW(m, &info)) return std::nullopt;
    return info;
}

bool onPrimary(HWND w) {
    auto m = monitorOf(w);
    return m && (m->dwFlags & MONITORINFOF_PRIMARY);
}

bool onSecond(HWND w) {
    auto m = monitorOf(w);
    return m && !(m->dwFlags & MONITORINFOF_PRIMARY);
}

bool within(const RECT& inner, const RECT& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

int widthOf(const RECT& r) { return r.right - r.left; }

using Twips = std::pair<int32_t, int32_t>;  // left, top

// The banner's saved place in the INI file; nothing while either value is missing.
std::optional<Twips> savedInFile() {
    std::wstring left = shell::iniRead(shell::kSiteSection, L"processleft", L"");
    std::wstring top = shell::iniRead(shell::kSiteSection, L"processtop", L"");
    if (left.empty() || top.empty()) return std::nullopt;
    return Twips{std::stoi(left), std::stoi(top)};
}

// Its mirror under the banner's registry key.
std::optional<Twips> savedInRegistry() {
    auto left = shell::regReadValue(HKEY_CURRENT_USER, shell::kBannerKey, L"processleft");
    auto top = shell::regReadValue(HKEY_CURRENT_USER, shell::kBannerKey, L"processtop");
    if (!left || !top || !std::holds_alternative<int32_t>(*left) || !std::holds_alternative<int32_t>(*top)) {
        return std::nullopt;
    }
    return Twips{std::get<int32_t>(*left), std::get<int32_t>(*top)};
}

class TwoMonitors : public testing_support::MeetDataTest {
protected:
    void SetUp() override {
        MeetDataTest::SetUp();
        if (GetSystemMetrics(SM_CMONITORS) < 2) GTEST_SKIP() << "needs a second monitor right of the primary";
        shell::TimeOfDay now = driver::realTimeOfDay();
        if (now.seconds < 60 || now.seconds > 86400 - 120) GTEST_SKIP() << "too close to midnight for a stage today";
    }

    // Starts the program inside a stage that began a moment ago and ends `secondsLeft` from now.
    void startInStage(driver::Program& p, int secondsLeft) {
        shell::ClockSetting clock;
        shell::applyFirstRunDefaults(clock);
        addClock(L"Kurz", clock);
        driver::installProgram(folder);
        // Taken last, so that only the program's start stands between the stage and the run.
        shell::TimeOfDay now = driver::realTimeOfDay();
        stageEnd = {now.seconds + secondsLeft};
        addStage(shell::formatHms({now.seconds - 5}), shell::formatHms(stageEnd), L"Kurz", L"Probe");
        ASSERT_TRUE(p.start());
    }

    // Checked once the start banner was seen: it cannot have been an alarm's.
    bool beforeTheFirstAlarm() const { return driver::realTimeOfDay().seconds < stageEnd.seconds - kFirstAlarm; }

    // The second-screen clock and both banners, which exist from start-up on.
    void findWindows(const driver::Program& p) {
        clockTwo = p.waitWindowOfClass(kClockTwo);
        banner = p.waitWindowOfClass(kBanner);
        bannerTwo = p.waitWindowOfClass(kBannerTwo);
        ASSERT_TRUE(clockTwo && banner && bannerTwo);
    }

    shell::TimeOfDay stageEnd{};
    HWND clockTwo = nullptr, banner = nullptr, bannerTwo = nullptr;
};

TEST_F(TwoMonitors, SecondScreenOptionShowsTheClockAndTheStartBannerOnTheSecondMonitor) {
    shell::writeSettingNumber(L"second_screen", 1);
    driver::Program p(folder);
    ASSERT_NO_FATAL_FAILURE(startInStage(p, kLongStage));
    ASSERT_NO_FATAL_FAILURE(findWindows(p));

    // The run's start banner comes up on both monitors with the same text. It is parked again a
    // few seconds later: where everything is, is taken the moment it shows.
    RECT main{}, twin{}, clock{};
    std::optional<MONITORINFO> primary, second;
    bool up = driver::waitFor([&] {
        std::wstring text = driver::windowText(banner);
        if (!onPrimary(banner) || !onSecond(bannerTwo) || text.rfind(kStartCaption, 0) != 0 ||
            text != driver::windowText(bannerTwo)) {
            return false;
        }
        main = rectOf(banner), twin = rectOf(bannerTwo), clock = rectOf(clockTwo);
        primary = monitorOf(banner), second = monitorOf(bannerTwo);
        return primary && second;
    }, 15s);
    driver::saveScreenshot(L"two-screens-banner.bmp");
    ASSERT_TRUE(up);
    ASSERT_TRUE(beforeTheFirstAlarm()) << "the program started too late to show its start banner alone";

    // No saved offset: the clock sits in the second monitor's top-left corner, wholly on it.
    EXPECT_EQ(clock.left, second->rcMonitor.left);
    EXPECT_EQ(clock.top, second->rcMonitor.top);
    EXPECT_TRUE(within(clock, second->rcMonitor));
    EXPECT_TRUE(onSecond(clockTwo));
    int screen = widthOf(primary->rcMonitor);
    // Centred 200 twips below the primary's top; the twin centred on the second, 1500 twips lower.
    EXPECT_NEAR(main.left, (screen - widthOf(main)) / 2, 1);
    EXPECT_NEAR(main.top, win::twipsToPixelsY(200), 1);
    EXPECT_NEAR(twin.left, second->rcMonitor.left + (screen - widthOf(twin)) / 2, 1);
    EXPECT_NEAR(twin.top, win::twipsToPixelsY(1700), 1);
    EXPECT_TRUE(within(twin, second->rcMonitor));
}

TEST_F(TwoMonitors, WithoutTheOptionTheSecondMonitorStaysEmpty) {
    driver::Program p(folder);
    ASSERT_NO_FATAL_FAILURE(startInStage(p, kLongStage));
    ASSERT_NO_FATAL_FAILURE(findWindows(p));

    // Watched for as long as the start banner is up on the primary monitor.
    ASSERT_TRUE(driver::waitFor([&] { return onPrimary(banner); }, 15s));
    bool twinShown = false;
    EXPECT_TRUE(driver::waitFor([&] {
        twinShown = twinShown || monitorOf(clockTwo) || monitorOf(bannerTwo);
        return !onPrimary(banner);
    }, 15s));
    ASSERT_TRUE(beforeTheFirstAlarm()) << "the program started too late to show its start banner alone";
    EXPECT_FALSE(twinShown);
    RECT clock = rectOf(clockTwo);
    EXPECT_LT(clock.right, 0);
    EXPECT_LT(clock.bottom, 0);
}

TEST_F(TwoMonitors, DraggedBannerIsKeptWhereItWasDroppedWithinThePrimaryScreen) {
    driver::Program p(folder);
    ASSERT_NO_FATAL_FAILURE(startInStage(p, 3));
    // The day-over banner stays up, counting, so the mouse does not send it away.
    banner = p.waitWindow(kDayOver, kBanner, 20s);
    ASSERT_TRUE(banner);
    ASSERT_TRUE(driver::waitFor([&] { return onPrimary(banner); }));
    auto primary = monitorOf(banner);
    ASSERT_TRUE(primary);
    EXPECT_FALSE(savedInFile());
    EXPECT_FALSE(savedInRegistry());

    // Saved where the window is, in the file and in the registry alike.
    auto keptAt = [](const RECT& r) {
        auto file = savedInFile();
        return file && savedInRegistry() == file && std::abs(win::twipsToPixelsX(file->first) - r.left) <= 1 &&
               std::abs(win::twipsToPixelsY(file->second) - r.top) <= 1;
    };
    auto centre = [](const RECT& r) { return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; };
    // Drags the banner by its middle to `to`; where it is once the drop is saved.
    auto dragTo = [&](POINT to) {
        RECT at = rectOf(banner);
        auto before = savedInFile();
        EXPECT_TRUE(driver::dragWindow(banner, centre(at), to));
        EXPECT_TRUE(driver::waitFor([&] {
            at = rectOf(banner);
            return savedInFile() != before && keptAt(at);
        })) << "saved " << savedInFile().value_or(Twips{}).first << "," << savedInFile().value_or(Twips{}).second
            << " window " << at.left << "," << at.top;
        return at;
    };

    RECT shown = rectOf(banner);
    RECT dropped = dragTo({centre(shown).x + 200, centre(shown).y + 250});
    EXPECT_NEAR(dropped.left - shown.left, 200, 2);
    EXPECT_NEAR(dropped.top - shown.top, 250, 2);

    // Dropped across the edge onto the second monitor, it comes back to the primary's right edge.
    RECT clamped = dragTo({primary->rcMonitor.right + 300, centre(dropped).y});
    EXPECT_NEAR(clamped.right, primary->rcMonitor.right, 1);
    EXPECT_EQ(clamped.top, dropped.top);

    EXPECT_FALSE(shell::regReadValue(HKEY_CURRENT_USER, shell::kSettingsKey, L"processleft"));
    EXPECT_FALSE(shell::regReadValue(HKEY_CURRENT_USER, shell::kSettingsKey, L"processtop"));
}

}  // namespace
