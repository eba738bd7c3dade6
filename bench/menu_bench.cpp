// The hub with 10,000 saved clocks: how long its load holds the thread, how long the often-used
// submenu takes to fill and how long the thread goes without answering meanwhile; then three
// right clicks on the tray icon, each timed from the click until the menu shows; last the stage
// window opened over those clocks and 10,000 stages. A second thread clicks, watches and keeps asking the hub's
// window for an answer; the longest wait for one is the longest stall of the clock's thread.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "app/forms.h"
#include "bench/bench_folder.h"
#include "hub/Frm_exit.h"
#include "plans/Frm_offtensetting.h"
#include "settings/Settings.h"
#include "shell/meeting_db.h"
#include "shell/tray.h"
#include "win/auto_message.h"
#include "win/pump.h"

namespace {

constexpr int kClocks = 10000;
constexpr int kRightClicks = 3;

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

bool execute(const std::string& sql) {
    shell::UniqueDatabase db = shell::openMeetData();
    return db && sqlite3_exec(db.get(), sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
}

// Rows 0 .. kClocks - 1 of `select`, which reads the row's number as i.
bool addRows(const char* insert, const char* select) {
    return execute("WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < " +
                   std::to_string(kClocks - 1) + ") INSERT INTO " + insert + " " + select + " FROM n");
}

bool addClocks() {
    return addRows("clocksetting",
                   "SELECT i + 1, '常用时钟 ' || (i + 1), '2026-12-03', '', '12:00:00', 30, 20, 10, "
                   "'111101001111111111111', '100100100', 3, "
                   "'start.wav\\Timeout.wav\\Timeout.wav\\Timeout.wav\\Stop.wav', "
                   "'你的汇报', '休息', 'Trebuchet MS', '1060605', '\\0', 0, 0, 150, 50");
}

// The day's minutes over and over: the window lists the rows as they are.
bool addStages() {
    return addRows("file_list",
                   "SELECT printf('%02d:%02d:00', i / 60 % 24, i % 60), printf('%02d:%02d:30', i / 60 % 24, i % 60), "
                   "'常用时钟 1', ''");
}

// The visible popup menus of the desktop, the newest first.
std::vector<HWND> openMenus() {
    std::vector<HWND> menus;
    for (HWND w = FindWindowW(L"#32768", nullptr); w; w = FindWindowExW(nullptr, w, L"#32768", nullptr)) {
        if (IsWindowVisible(w)) menus.push_back(w);
    }
    return menus;
}

// Asks `window` for an answer every few milliseconds until told to stop, keeping the longest wait.
class Prober {
public:
    explicit Prober(HWND window) : window_(window), thread_([this] { run(); }) {}
    ~Prober() {
        stop_ = true;
        thread_.join();
    }
    // The longest wait since the last call.
    double takeLongest() { return longest_.exchange(0); }

private:
    void run() {
        while (!stop_) {
            auto start = Clock::now();
            DWORD_PTR answer = 0;
            SendMessageTimeoutW(window_, WM_NULL, 0, 0, SMTO_NORMAL, 60000, &answer);
            double waited = msSince(start);
            for (double seen = longest_; waited > seen && !longest_.compare_exchange_weak(seen, waited);) {
            }
            Sleep(5);
        }
    }

    HWND window_;
    std::atomic<bool> stop_{false};
    std::atomic<double> longest_{0};
    std::thread thread_;
};

template <typename Condition>
bool waitFor(Condition condition, double limitMs) {
    auto start = Clock::now();
    while (!condition()) {
        if (msSince(start) > limitMs) return false;
        Sleep(1);
    }
    return true;
}

struct ClickFigures {
    double shownMs = -1, longestStallMs = 0;
};

// Runs on a thread of its own while the hub's thread runs its messages (and the menu's loop).
void clickAndWatch(HWND hub, ClickFigures (&figures)[kRightClicks], Prober& prober, DWORD hubThread) {
    for (ClickFigures& f : figures) {
        prober.takeLongest();
        auto start = Clock::now();
        PostMessageW(hub, shell::cTray::kCallbackMessage, 1, WM_RBUTTONUP);
        if (!waitFor([] { return !openMenus().empty(); }, 60000)) break;
        f.shownMs = msSince(start);
        EndMenu();  // Wine's way to close another thread's menu
        waitFor([] { return openMenus().empty(); }, 60000);
        Sleep(200);
        f.longestStallMs = prober.takeLongest();
    }
    PostThreadMessageW(hubThread, WM_QUIT, 0, 0);
}

}  // namespace

int main() {
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    BenchFolder folder(L"velmora-menu-bench");
    win::setMessageSink([](const win::MessageShown&) { return IDOK; });
    if (!folder.ready() || !addClocks()) {
        std::printf("could not save the clocks\n");
        return 1;
    }

    hub::Frm_exit& hub = forms::Frm_exit();
    auto loadStart = Clock::now();
    hub.Form_Load();
    double loadMs = msSince(loadStart);
    hub.Timer4.enabled(false);  // no start kick: only the hub runs here
    double filledMs = -1, fillStallMs = 0;
    {
        Prober prober(hub.hwnd());
        auto fillStart = Clock::now();
        MSG msg;
        while (!hub.oftenSubmenu().complete() && msSince(fillStart) < 120000) {
            if (MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT) != WAIT_OBJECT_0) continue;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) win::dispatch(msg);
        }
        if (hub.oftenSubmenu().complete()) filledMs = msSince(loadStart);
        fillStallMs = prober.takeLongest();

        ClickFigures clicks[kRightClicks];
        std::thread clicker(clickAndWatch, hub.hwnd(), std::ref(clicks), std::ref(prober), GetCurrentThreadId());
        while (GetMessageW(&msg, nullptr, 0, 0) > 0) win::dispatch(msg);
        clicker.join();

        std::printf("Hub with %d saved clocks: load %.0f ms; submenu filled %.0f ms after the load began, "
                    "the hub's thread answering within %.0f ms meanwhile\n",
                    kClocks, loadMs, filledMs, fillStallMs);
        for (int i = 0; i < kRightClicks; ++i) {
            std::printf("Right click %d to menu shown: %.0f ms; longest stall of the hub's thread %.0f ms\n", i + 1,
                        clicks[i].shownMs, clicks[i].longestStallMs);
        }
    }
    if (!addStages()) {
        std::printf("could not save the stages\n");
        return 1;
    }
    hub.menu_two_Click(2);  // the settings dialog the stage window belongs to
    auto openStart = Clock::now();
    forms::Frm_offtensetting().Show();
    std::printf("Stage window over %d saved clocks and %d stages: open %.0f ms\n", kClocks, kClocks,
                msSince(openStart));
    forms::Frm_offtensetting().unload();
    forms::Settings().unload();
    hub.unload();
    forms::resetAll();
    return 0;
}
