// The running clock beside another program: the other program keeps the keyboard, and the clock
// still comes back above it.
#include <gtest/gtest.h>

#include "shell/run_records.h"
#include "shell/time_rules.h"
#include "tests/e2e/driver.h"
#include "tests/test_support.h"

using namespace std::chrono_literals;

namespace {

// True when `upper` lies above `lower` in the z-order.
bool above(HWND upper, HWND lower) {
    for (HWND w = GetWindow(lower, GW_HWNDPREV); w; w = GetWindow(w, GW_HWNDPREV)) {
        if (w == upper) return true;
    }
    return false;
}

void pumpMessages() {
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
}

class BesideAnotherProgram : public testing_support::MeetDataTest {};

TEST_F(BesideAnotherProgram, ItKeepsTheForegroundWhileTheClockRaisesItselfAboveIt) {
    shell::ClockSetting clock;
    shell::applyFirstRunDefaults(clock);
    addClock(L"Lang", clock);
    driver::installProgram(folder);
    // A stage under way when the program starts, long enough for the slowest start and the test.
    shell::TimeOfDay now = driver::realTimeOfDay();
    if (now.seconds > 86400 - 120) GTEST_SKIP() << "too close to midnight for a stage today";
    shell::TimeOfDay end{now.seconds + 90};
    addStage(shell::formatHms({now.seconds - 1}), shell::formatHms(end), L"Lang", L"Notizen");
    driver::Program p(folder);
    ASSERT_TRUE(p.start());
    HWND glass = p.waitClockShown();
    ASSERT_TRUE(glass);

    // A topmost window of this program laid over the clock, with the keyboard.
    RECT r{};
    GetWindowRect(glass, &r);
    win::UniqueWindow typing(CreateWindowExW(WS_EX_TOPMOST, L"EDIT", L"", WS_POPUP | WS_VISIBLE | WS_BORDER, r.left,
                                             r.top, r.right - r.left, r.bottom - r.top, nullptr, nullptr, nullptr,
                                             nullptr));
    ASSERT_TRUE(typing);
    SetForegroundWindow(typing.get());
    SetFocus(typing.get());
    ASSERT_TRUE(driver::waitFor([&] { return GetForegroundWindow() == typing.get(); }));

    // Watched for a few seconds, and on until the clock has come above it once.
    int samples = 0, lost = 0;
    bool raised = false;
    auto watched = std::chrono::steady_clock::now() + 3s, deadline = watched + 10s;
    for (auto t = std::chrono::steady_clock::now(); t < watched || (!raised && t < deadline);
         t = std::chrono::steady_clock::now()) {
        pumpMessages();
        ++samples;
        if (GetForegroundWindow() != typing.get()) ++lost;
        raised = raised || above(glass, typing.get());
        Sleep(10);
    }
    EXPECT_EQ(lost, 0) << "of " << samples << " samples";
    EXPECT_TRUE(raised);
    EXPECT_LT(driver::realTimeOfDay().seconds, end.seconds) << "the stage ended while the clock was watched";
    EXPECT_TRUE(p.running());
}

}  // namespace
