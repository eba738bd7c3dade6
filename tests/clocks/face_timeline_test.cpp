// Both clock faces as drawn through whole runs: every timer of the program's windows runs as the
// window system would run it, against the injected clock, and the faces are read every 10 ms by
// comparing their pixels with a face of the same look printing each time the run can show.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <iostream>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "app/forms.h"
#include "clocks/face_text.h"
#include "clocks/time_glass.h"
#include "clocks/time_glasstwo.h"
#include "displays/Frm_process.h"
#include "displays/Frm_time.h"
#include "displays/Frm_title.h"
#include "hub/Frm_exit.h"
#include "settings/Settings.h"
#include "shell/flag_strings.h"
#include "shell/run_records.h"
#include "shell/settings_registry.h"
#include "tests/db_holds.h"
#include "tests/test_support.h"
#include "win/handles.h"
#include "win/program_end.h"
#include "win/twips.h"

namespace {

constexpr uint32_t kStepMs = 10;
constexpr int32_t kLongest = 20;  // seconds: the longest time a face of these runs shows

// The face as its window paints it, four bytes a pixel; empty when it could not be drawn.
std::string drawnPixels(clocks::ClockFace& face, HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), client.right, client.bottom, 1, 32, BI_RGB};
    void* bits = nullptr;
    win::UniqueBitmap dib(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    win::UniqueMemDC dc(CreateCompatibleDC(nullptr));
    if (!dib || !dc) return {};
    win::SelectScope use(dc.get(), dib.get());
    if (!face.paint(dc.get())) return {};
    GdiFlush();
    std::string pixels(static_cast<const char*>(bits), static_cast<size_t>(client.right) * client.bottom * 4);
    for (size_t i = 3; i < pixels.size(); i += 4) pixels[i] = 0;
    return pixels;
}

bool blank(const std::string& pixels) {
    for (size_t i = 4; i < pixels.size(); i += 4) {
        if (pixels.compare(i, 4, pixels, 0, 4) != 0) return false;
    }
    return true;
}

// Whether `text`, centred on the face, lies whole inside the window.
bool holdsWhole(const clocks::ClockFace& face, HWND window, const std::wstring& text) {
    RECT client{};
    GetClientRect(window, &client);
    const shell::TwipsRect& box = face.faceBox();
    int32_t width = face.measure(text).width;
    int32_t left = box.left + (box.width - width) / 2;
    return left >= 0 && left + width <= win::pixelsToTwipsX(client.right);
}

// What a face shows: "" when blank, the time it prints whole, the text of a clock whose stage is
// not known yet, "?" for anything else.
std::wstring readFace(clocks::ClockFace& face, HWND window) {
    std::string pixels = drawnPixels(face, window);
    if (blank(pixels)) return L"";
    shell::DisplayFormat format = shell::displayFormatOf(shell::clockSetting().optvalue);
    clocks::ClockFace same;
    same.attach(window);
    std::wstring font = face.fontName();
    same.useFont(font, face.fontPoints());
    same.setTextColour(face.textColour());
    same.setBackColour(face.backColour());
    same.setFaceBox(face.faceBox());
    std::vector<std::wstring> texts{clocks::unknownStageText(shell::clockSetting().optvalue)};
    for (int32_t s = 0; s <= kLongest; ++s) texts.push_back(clocks::displayText(shell::TimeOfDay{s}, format));
    for (const std::wstring& text : texts) {
        same.print(text, face.fontPoints());
        if (drawnPixels(same, window) == pixels) return holdsWhole(face, window, text) ? text : L"?";
    }
    return L"?";
}

struct Change {
    int32_t ms;  // since the timeline began
    std::wstring main, twin;
    friend void PrintTo(const Change& c, std::ostream* os) {
        *os << c.ms << ": " << testing::PrintToString(c.main) << " / " << testing::PrintToString(c.twin);
    }
};

class FaceTimeline : public testing_support::MeetDataTest {
protected:
    void SetUp() override {
        MeetDataTest::SetUp();
        testing_support::resetSharedState();
    }
    void TearDown() override {
        forms::resetAll();
        MeetDataTest::TearDown();
    }

    static clocks::time_glass& glass() { return forms::time_glass(); }
    static clocks::time_glasstwo& twin() { return forms::time_glasstwo(); }

    static std::vector<win::Timer*> timers() {
        clocks::time_glass& g = glass();
        clocks::time_glasstwo& t = twin();
        displays::Frm_process& b = forms::Frm_process();
        displays::Frm_process& b2 = forms::Frm_process_two();
        return {&forms::Frm_exit().Timer4,
                &g.Timer1, &g.Timer2, &g.Timer3, &g.Timer4, &g.Timer5, &g.daywatch, &t.Timer1, &t.Timer2, &t.Timer3, &t.Timer5,
                &b.Timer1, &b.Timer2, &b.Timer3, &b.Timer4, &b2.Timer1, &b2.Timer2, &b2.Timer3, &b2.Timer4,
                &forms::Frm_time().Timer1, &forms::Frm_time().Timer3, &forms::Frm_title().Timer1,
                &forms::Frm_title().Timer3};
    }

    // A new program: no windows, no shared state, nothing read yet.
    void restart() {
        forms::resetAll();
        win::cancelProgramEnd();  // the hub's unload began it
        testing_support::resetSharedState();
        now_ = 0;
        armed_.clear();
        changes.clear();
        faceBuilds.clear();
        banners.clear();
        alarmThrees.clear();
        mainRead_ = twinRead_ = {};
    }

    // A new program with the second screen on, whose stages are timed by the saved clock "talk".
    void restartWithTalk(const shell::ClockSetting& talk) {
        restart();
        shell::writeSettingNumber(L"second_screen", 1);
        ASSERT_TRUE(exec("DELETE FROM clocksetting"));
        ASSERT_TRUE(exec("DELETE FROM file_list"));
        addClock(L"talk", talk);
    }

    // The windows in the program's start order; their timers run only as this test runs them.
    // The hub arms its start kick as it loads; the clock loads `clockAfterMs` later.
    void loadWindows(uint32_t clockAfterMs) {
        forms::Frm_exit().Form_Load();
        follow(&forms::Frm_exit().Timer4);
        now_ += clockAfterMs;
        clock.advance(clockAfterMs);
        forms::Frm_process().Form_Load();
        forms::Frm_process_two().Form_Load();
        glass().Form_Load();
        twin().Form_Load();
        forms::Frm_time().Form_Load();
        forms::Frm_title().Form_Load();
        for (win::Timer* t : timers()) t->detach();
    }

    struct Armed {
        uint32_t due;
        unsigned interval;
    };

    // A timer switched on, or given a new interval, runs its interval from now.
    void follow(win::Timer* t) {
        auto it = armed_.find(t);
        if (!t->enabled()) {
            if (it != armed_.end()) armed_.erase(it);
        } else if (it == armed_.end() || it->second.interval != t->interval()) {
            armed_[t] = {now_ + t->interval(), t->interval()};
        }
    }

    // Runs `ms` of the program's life in steps of 10 ms, reading both faces after each step.
    void run(uint32_t ms) {
        for (uint32_t end = now_ + ms; now_ < end;) {
            now_ += kStepMs;
            clock.advance(kStepMs);
            for (bool fired = true; fired;) {
                fired = false;
                for (win::Timer* t : timers()) follow(t);
                for (auto& [t, a] : armed_) {
                    if (a.due > now_) continue;
                    a.due = now_ + a.interval;
                    if (t == &glass().Timer5 || t == &glass().Timer4) faceBuilds.push_back(static_cast<int32_t>(now_));
                    const std::optional<int32_t> alarmSecond = glass().alarmsecond;
                    t->fire();
                    // The tick that fires an alarm marks its second.
                    if (t == &glass().Timer1 && glass().alarmsecond != alarmSecond && glass().alarmlevel == 3) {
                        alarmThrees.push_back(static_cast<int32_t>(now_));
                    }
                    fired = true;
                    break;
                }
            }
            read();
        }
    }

    // The message loop stalls for `ms`, as on a loaded machine: nothing runs meanwhile, and each
    // timer that fell due runs once after it.
    void stall(uint32_t ms) {
        now_ += ms;
        clock.advance(ms);
    }

    // A face reads anew only once it changed: equal change counts, same pixels.
    struct Reading {
        uint32_t changes = UINT32_MAX;
        std::wstring text;
    };
    static std::wstring readCounted(clocks::ClockFace& face, HWND window, Reading& last) {
        if (face.changes() != last.changes) last = {face.changes(), readFace(face, window)};
        return last.text;
    }

    // What a banner shows: its caption while on the screen, "" while parked above it.
    static std::wstring bannerShown(const displays::Frm_process& b) { return b.Top() >= 0 ? b.bannertext : L""; }

    static void note(std::vector<Change>& seen, int32_t ms, const std::wstring& main, const std::wstring& two) {
        if (seen.empty() || seen.back().main != main || seen.back().twin != two) seen.push_back({ms, main, two});
    }

    void read() {
        int32_t ms = static_cast<int32_t>(now_);
        note(changes, ms, readCounted(glass().face(), glass().hwnd(), mainRead_),
             readCounted(twin().face(), twin().hwnd(), twinRead_));
        note(banners, ms, bannerShown(forms::Frm_process()), bannerShown(forms::Frm_process_two()));
    }

    std::vector<Change> changes;
    std::vector<int32_t> faceBuilds;  // when the main clock's stage change or run start ran
    std::vector<Change> banners;      // both banners' changes, as the faces'
    std::vector<int32_t> alarmThrees; // the main clock's ticks that fired alarm 3

private:
    uint32_t now_ = 0;
    std::map<win::Timer*, Armed> armed_;
    Reading mainRead_, twinRead_;
};

// Whether a face's text tells a time: not blank, "?" or the text of a clock still starting.
bool tellsATime(const std::wstring& text) { return text.find_first_of(L"0123456789") != std::wstring::npos; }

// The seconds a face's text tells, in any display format.
int32_t secondsOf(const std::wstring& text) {
    int32_t seconds = 0, part = 0;
    for (wchar_t c : text) {
        if (c == L':') {
            seconds = (seconds + part) * 60;
            part = 0;
        } else {
            part = part * 10 + (c - L'0');
        }
    }
    return seconds + part;
}

// What a face must keep to through every run, read from its changes; `builds` are the moments
// the main clock built a new face (stage change, run start).
void expectTellsTheTime(const std::vector<Change>& changes, std::wstring Change::*face,
                        const std::vector<int32_t>& builds, bool countsDown, const char* which) {
    constexpr int32_t kBlinkPhaseMs = 450, kTickMs = 200;
    auto runOf = [&](int32_t ms) { return std::upper_bound(builds.begin(), builds.end(), ms) - builds.begin(); };
    std::vector<std::pair<int32_t, std::wstring>> shown;  // the face's own changes
    for (const Change& c : changes) {
        if (shown.empty() || shown.back().second != c.*face) shown.emplace_back(c.ms, c.*face);
    }
    std::map<ptrdiff_t, int32_t> firstStep;  // per run, the moment of its first change
    for (size_t i = 1; i < shown.size(); ++i) {
        auto [wasMs, before] = shown[i - 1];
        auto [nowMs, after] = shown[i];
        EXPECT_NE(after, L"?") << which << " showed something else than a time at " << nowMs;
        // Blank only for a phase of a blink, never for the rest of a stage.
        if (before.empty()) {
            EXPECT_LE(nowMs - wasMs, kBlinkPhaseMs + kStepMs) << which << " blank at " << wasMs;
        }
        if (!tellsATime(before) || !tellsATime(after)) continue;
        // Against the count only to a new stage's face, not from one a second off put right.
        int32_t step = secondsOf(after) - secondsOf(before);
        if (countsDown ? step > 0 : step < 0) {
            EXPECT_GE(nowMs - wasMs, kTickMs) << which << " showed " << testing::PrintToString(before) << " at " << wasMs;
        }
        // Within a run every change comes at the same point of its second, to a tick.
        ptrdiff_t run = runOf(nowMs);
        // The first run start keeps the face the clock loaded with; a later build shows a new stage.
        if (run == 0 || (run > 1 && nowMs - builds[run - 1] <= kTickMs / 2)) continue;
        auto first = firstStep.emplace(run, nowMs).first;
        int32_t off = (nowMs - first->second) % 1000;
        EXPECT_LE(std::min(off, 1000 - off), kTickMs) << which << " changed at " << nowMs;
    }
}

// A stage on the timeline: where its first second begins and how many it has.
struct StageSpan {
    int32_t startMs, seconds;
};

// The text a face showed over [from, to) of the timeline, one piece per change.
template <typename Visit>
void eachShown(const std::vector<Change>& changes, std::wstring Change::*face, int32_t from, int32_t to, Visit visit) {
    for (size_t i = 0; i < changes.size(); ++i) {
        int32_t begin = std::max(changes[i].ms, from);
        int32_t end = std::min(i + 1 < changes.size() ? changes[i + 1].ms : INT32_MAX, to);
        if (begin < end) visit(begin, end, changes[i].*face);
    }
}

// Through a stage's run each second shows its value - the seconds gone counting up, the seconds
// left counting down - within a tick of the second's start, its last one included, however a
// blink's dark phases fall; and the stage's last second shows whole, a blink or not. `builds`
// bound the run: from the face built for the stage to the one built after it.
void expectEachSecondOnItsTime(const std::vector<Change>& changes, std::wstring Change::*face,
                               const std::vector<int32_t>& builds, StageSpan stage, bool countsDown,
                               const char* which) {
    constexpr int32_t kTickMs = 200, kSlackMs = kTickMs + kStepMs;
    const int32_t endMs = stage.startMs + stage.seconds * 1000;
    auto buildFrom = [&](int32_t ms) {
        auto it = std::lower_bound(builds.begin(), builds.end(), ms - kSlackMs);
        return it == builds.end() ? INT32_MAX : *it;
    };
    // The twin takes the stage's face at its set-up, a moment after the main clock's run start.
    const int32_t from = buildFrom(stage.startMs) + kSlackMs, to = buildFrom(endMs);
    for (int32_t k = 1; k <= stage.seconds; ++k) {
        const int32_t second = stage.startMs + k * 1000;
        const int32_t value = countsDown ? stage.seconds - k : k;
        std::optional<int32_t> first;
        int32_t litBefore = 0;  // lit, with another value, from the second's start to the first show
        eachShown(changes, face, from, to, [&](int32_t begin, int32_t end, const std::wstring& text) {
            if (first) return;
            if (!text.empty() && text != L"?" && secondsOf(text) == value) {
                first = begin;
            } else if (!text.empty()) {
                litBefore += std::max(0, end - std::max(begin, second));
            }
        });
        if (!first) {
            ADD_FAILURE() << which << " never showed " << value << " of the stage from " << stage.startMs;
            continue;
        }
        EXPECT_GE(*first, second - kSlackMs) << which << " showed " << value << " early";
        EXPECT_LE(litBefore, kSlackMs) << which << " showed " << value << " at " << *first << ", its second at "
                                       << second;
    }
    eachShown(changes, face, endMs - 1000, endMs, [&](int32_t begin, int32_t, const std::wstring& text) {
        EXPECT_FALSE(text.empty()) << which << " dark at " << begin << " in the last second of the stage to " << endMs;
    });
}

struct FaceCase {
    std::string what;
    int32_t alarms[3];
    int16_t tellShowtime;
    const wchar_t* checkvalue;
    int startMs;  // after 08:59:59, when the program starts
    const wchar_t* optvalue = nullptr;  // the first run's when none
    uint32_t clockAfterMs = 0;  // from the hub's load to the clock's
    uint32_t heldMs = 0;  // from the start, another program holds the meeting database
};

// Stages of 09:00:02 to 09:00:18 and 09:00:18 to 09:00:22, the day over after them.
TEST_F(FaceTimeline, BothFacesTellTheTimeFromTheFirstChangeToTheDaysEnd) {
    std::vector<FaceCase> cases = {
        // The third alarm's count outlives its shorter prompt.
        {"alarm 3 without keep", {0, 0, 8}, 3, L"111101001111111101111", 0},
        // The first run after start, and a first stage looked up a second after its start.
        {"first run, late in its second", {30, 20, 10}, 3, L"111101001111111111111", 600},
        {"first run, without blinking", {30, 20, 10}, 3, L"111101000111111111111", 0},
        // Started in a stage: the program's first blink is the start's.
        {"started in a stage, its start blinking", {30, 20, 8}, 3, L"111101001111111111111", 5600},
        // Alarm 3's prompt takes over in a dark phase of the start's blink.
        {"alarm 3 in a dark phase of the start's blink", {30, 20, 10}, 3, L"111101001111111111111", 5600},
        // Counting up in whole seconds, the text widens at 10.
        {"count-up in seconds", {30, 20, 10}, 3, L"111101001111111111111", 0, L"00100"},
        // The clock loads in the second of the first run's start, the hub in the second before.
        {"clock loaded well after the hub", {30, 20, 10}, 3, L"111101001111111111111", 600, nullptr, 400},
        // Started under a hold that lasts into the first stage: no time until the file reads.
        {"started while the file is held", {30, 20, 10}, 3, L"111101000111111111111", 300, nullptr, 0, 4000},
    };
    // Rows whose stages' ticks fall `tickMs` into their seconds (and every 200 ms after; 20 ms
    // later in the second stage): counting up in each format, with the alarms' times set and
    // their switches off, or on at seconds in a row (alarm 3's blink then kept to the end) or
    // apart; counting down, alarm 3 blinking to the end from 1 s or 2 s before it.
    struct Alarms {
        const char* what;
        int32_t at[3];
        const wchar_t* checkvalue;
    };
    const Alarms off{"alarms off at 3, 2, 1 s", {3, 2, 1}, L"000101001111111111111"};
    const Alarms inARow{"alarms at 3, 2, 1 s", {3, 2, 1}, L"111101001111111111111"};
    const Alarms apart{"alarms at 7, 5, 2 s", {7, 5, 2}, L"111101000111111101111"};
    const Alarms lastAt1{"alarm 3 at 1 s", {0, 0, 1}, L"111101001111111111111"};
    const Alarms lastAt2{"alarm 3 at 2 s", {0, 0, 2}, L"111101001111111111111"};
    const wchar_t *upS = L"00100", *upMS = L"00010", *upHMS = L"00001", *downMS = L"10010", *downHMS = L"10001";
    const struct {
        int32_t tickMs;
        const Alarms& alarms;
        const wchar_t* optvalue;
    } rows[] = {
        {50, off, upS}, {150, off, upMS}, {390, off, upHMS}, {920, off, upS},
        {0, inARow, upMS}, {260, inARow, upHMS}, {570, inARow, upS}, {710, inARow, upMS},
        {330, apart, upHMS}, {480, apart, upS}, {840, apart, upMS},
        {100, lastAt1, downMS}, {640, lastAt1, downHMS}, {190, lastAt2, downMS}, {820, lastAt2, downHMS},
    };
    for (const auto& r : rows) {
        std::string what = "ticks at " + std::to_string(r.tickMs) + " ms, " + r.alarms.what + ", " +
                           testing::PrintToString(std::wstring(r.optvalue));
        const int32_t* at = r.alarms.at;
        // A start s ms into its second puts the stages' ticks s + 40 ms into theirs.
        cases.push_back({what, {at[0], at[1], at[2]}, 1, r.alarms.checkvalue, (r.tickMs + 960) % 1000, r.optvalue});
    }
    bool shownChanges = false;  // the changes of the first row that failed
    for (const FaceCase& c : cases) {
        SCOPED_TRACE(c.what);
        shell::ClockSetting talk;
        shell::applyFirstRunDefaults(talk);
        talk.Time_one = c.alarms[0];
        talk.Time_two = c.alarms[1];
        talk.Time_three = c.alarms[2];
        talk.tellShowtime = c.tellShowtime;
        talk.checkvalue = c.checkvalue;
        if (c.optvalue) talk.optvalue = c.optvalue;
        talk.Fontselect = L"1061405";  // another colour than the registry's, which the day's end shows
        restartWithTalk(talk);
        addStage(L"09:00:02", L"09:00:18", L"talk", L"汇报");
        addStage(L"09:00:18", L"09:00:22", L"talk", L"讨论");
        clock.setTimeOfDay(8, 59, 59);
        clock.advance(c.startMs);
        {
            std::optional<testing_support::LockedFile> lock;
            if (c.heldMs > 0) lock.emplace(path());
            loadWindows(c.clockAfterMs);
            run(c.heldMs);
        }
        run(26000 - c.heldMs);
        ASSERT_EQ(shell::timingState().stagestate, shell::StageState::DayOver);
        bool down = shell::countsDown(talk.optvalue);
        for (auto [face, which] : {std::pair{&Change::main, "main"}, std::pair{&Change::twin, "twin"}}) {
            expectTellsTheTime(changes, face, faceBuilds, down, which);
            // The timeline begins startMs after 08:59:59; a stage begun before the program is not
            // checked here, nor one begun under the hold, checked below instead.
            for (StageSpan stage : {StageSpan{3000 - c.startMs, 16}, StageSpan{19000 - c.startMs, 4}}) {
                if (stage.startMs >= static_cast<int32_t>(c.heldMs)) {
                    expectEachSecondOnItsTime(changes, face, faceBuilds, stage, down, which);
                }
            }
        }
        if (c.heldMs > 0) {
            // Each face tells no time until the file reads, then the time left in the stage.
            for (std::wstring Change::*face : {&Change::main, &Change::twin}) {
                auto first = std::find_if(changes.begin(), changes.end(),
                                          [&](const Change& ch) { return tellsATime(ch.*face); });
                ASSERT_NE(first, changes.end());
                const std::wstring& shown = (*first).*face;
                EXPECT_GE(first->ms, static_cast<int32_t>(c.heldMs)) << testing::PrintToString(shown);
                const int32_t second = (c.startMs + first->ms) / 1000 - 1;  // of 09:00:00
                EXPECT_EQ(secondsOf(shown), 18 - second) << first->ms;
            }
        }
        // After the day's end the twin looks as the main clock does.
        EXPECT_EQ(changes.back().twin, changes.back().main);
        EXPECT_EQ(twin().face().textColour(), glass().face().textColour());
        if (HasFailure() && !shownChanges) {
            for (const Change& ch : changes) std::cout << testing::PrintToString(ch) << "\n";
            shownChanges = true;
        }
    }
}

// What a banner showed just before `from`, and after it its captions from the first it shows to
// the first moment it is gone again.
struct BannerShow {
    std::wstring before;
    std::vector<std::pair<int32_t, std::wstring>> after;
};
BannerShow bannerAround(const std::vector<Change>& banners, std::wstring Change::*banner, int32_t from) {
    BannerShow show;
    std::wstring current;
    for (const Change& c : banners) {
        const std::wstring& text = c.*banner;
        if (text == current) continue;
        current = text;
        if (c.ms < from) {
            show.before = text;
        } else if (!show.after.empty() || !text.empty()) {  // not an earlier banner going first
            show.after.emplace_back(c.ms, text);
            if (text.empty()) break;
        }
    }
    return show;
}

struct BannerCase {
    const char* what;
    int32_t alarms[3];
    const wchar_t* optvalue;
    int startMs;  // of 08:59:59, when the program starts
    bool earlierUp;  // alarm 2's banner is still up in alarm 3's second
};

// Two touching stages of 12 s with 3-s prompts, alarm 3's banner kept to the end. Alarm 3's
// banner comes up in its second on both screens and counts to the run's last second, whether
// alarm 2's banner is still up then (alarm 2 three seconds before it, so that its count ends in
// that very second) or already gone.
TEST_F(FaceTimeline, AlarmThreesBannerShowsFromItsSecondToTheRunsLastWhateverBannerWasUpBeforeIt) {
    const BannerCase cases[] = {
        {"count-down, alarm 2's banner up", {9, 6, 3}, L"100100100", 0, true},
        {"count-up, alarm 2's banner up", {9, 6, 3}, L"00100", 600, true},
        {"count-down, alarm 2's banner down", {11, 7, 3}, L"100100100", 600, false},
        {"count-up, alarm 2's banner down", {11, 7, 3}, L"00100", 0, false},
    };
    const std::vector<std::wstring> counted = {L"你的汇报还剩3秒", L"你的汇报还剩2秒", L"你的汇报还剩1秒",
                                               L""};
    for (const BannerCase& c : cases) {
        SCOPED_TRACE(c.what);
        const bool failedBefore = HasFailure();
        shell::ClockSetting talk;
        shell::applyFirstRunDefaults(talk);  // every switch on, alarm 3's keep included; 3-s prompts
        talk.Time_one = c.alarms[0];
        talk.Time_two = c.alarms[1];
        talk.Time_three = c.alarms[2];
        talk.optvalue = c.optvalue;
        restartWithTalk(talk);
        addStage(L"09:00:02", L"09:00:14", L"talk", L"汇报");
        addStage(L"09:00:14", L"09:00:26", L"talk", L"讨论");
        clock.setTimeOfDay(8, 59, 59, c.startMs);
        loadWindows(0);
        run(29000);
        ASSERT_EQ(alarmThrees.size(), 2u);
        for (int32_t alarm : alarmThrees) {
            // The stage's end, as this timeline counts: the program started at 08:59:59.
            int32_t end = (alarm < 15000 - c.startMs ? 15000 : 27000) - c.startMs;
            for (auto [banner, which, latest] : {std::tuple{&Change::main, "banner", 200},
                                                 std::tuple{&Change::twin, "twin", 300}}) {
                SCOPED_TRACE(testing::Message() << which << " at alarm 3 of " << alarm << " ms");
                BannerShow show = bannerAround(banners, banner, alarm);
                EXPECT_EQ(!show.before.empty(), c.earlierUp);
                std::vector<std::wstring> texts;
                for (const auto& shown : show.after) texts.push_back(shown.second);
                EXPECT_EQ(texts, counted);
                if (texts != counted) continue;
                EXPECT_LE(show.after.front().first, alarm + latest);
                EXPECT_GE(show.after.back().first, end - 1000);  // gone only in the run's last second
            }
        }
        if (HasFailure() && !failedBefore) {
            for (const Change& b : banners) std::cout << testing::PrintToString(b) << "\n";
        }
    }
}

// A run ends while the meeting database cannot be read: another program takes it in alarm 3's
// blink, kept to the end of the run, and the message loop stalls after a dark phase, so that the
// main tick that comes next finds the run over; or the file is deleted before the end of a stage
// or of the wait for it. Both faces show the ended run's zero then and until the file reads again.
TEST_F(FaceTimeline, BothFacesShowTheEndedRunsZeroUntilTheFileReadsAgain) {
    using shell::StageState;
    enum Away { held, deleted };
    const struct {
        const char* what;
        Away away;
        bool wait;  // the run that ends is the wait for the stage
        StageState whileAway, after;
        uint32_t readsWithinMs;  // once the file is back
    } cases[] = {
        {"held after a dark phase of alarm 3's blink", held, false, StageState::Covering, StageState::DayOver, 1000},
        {"deleted after a dark phase of alarm 3's blink", deleted, false, StageState::NoDatabase, StageState::DayOver,
         2500},
        {"deleted before the wait's end", deleted, true, StageState::NoDatabase, StageState::Covering, 2500},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        shell::ClockSetting talk;
        shell::applyFirstRunDefaults(talk);  // every switch on: alarm 3's blink is kept to the end
        talk.Time_three = 5;
        restartWithTalk(talk);
        addStage(L"09:00:02", L"09:00:10", L"talk", L"汇报");
        clock.setTimeOfDay(8, 59, 59);
        loadWindows(0);
        auto darkInAlarmThree = [&] {
            return glass().alarmlevel == 3 && glass().Timer3.enabled() && shell::screenShared().blinkcount % 2 != 0 &&
                   shell::timingState().remainingms < 3000;
        };
        auto endOfWait = [&] {
            return shell::timingState().stagestate == StageState::Waiting && glass().Timer1.enabled() &&
                   shell::timingState().remainingms < 1500;
        };
        auto moment = [&] { return c.wait ? endOfWait() : darkInAlarmThree(); };
        for (int i = 0; i < 2000 && !moment(); ++i) run(kStepMs);
        ASSERT_TRUE(moment());
        std::optional<testing_support::LockedFile> lock;
        const std::wstring awayPath = path() + L".away";
        if (c.away == held) {
            lock.emplace(path());
        } else {
            ASSERT_TRUE(MoveFileW(path().c_str(), awayPath.c_str()));
        }
        if (!c.wait) {
            ASSERT_EQ(changes.back().main, L"");
            stall(2500);
        }
        for (int i = 0; i < 200 && glass().Timer1.enabled(); ++i) run(kStepMs);
        ASSERT_FALSE(glass().Timer1.enabled());
        const size_t ended = changes.size() - 1;
        run(3000);
        EXPECT_EQ(shell::timingState().stagestate, c.whileAway);
        for (size_t i = ended; i < changes.size(); ++i) {
            EXPECT_EQ(changes[i].main, L"00:00") << changes[i].ms;
            EXPECT_EQ(changes[i].twin, L"00:00") << changes[i].ms;
        }
        if (lock) {
            lock->release();
        } else {
            ASSERT_TRUE(MoveFileW(awayPath.c_str(), path().c_str()));
        }
        run(c.readsWithinMs);
        EXPECT_EQ(shell::timingState().stagestate, c.after);
    }
}

// "应用" pressed while the clock waits for the stage and another program holds the meeting
// database: the wait goes on counting on both faces through the ten seconds of the hold; only
// the lookup waits for the file, and the stage is timed once the file reads.
TEST_F(FaceTimeline, ApplyUnderAHoldWhileWaitingLeavesTheWaitCountingOnBothFaces) {
    shell::ClockSetting talk;
    shell::applyFirstRunDefaults(talk);
    restartWithTalk(talk);
    addStage(L"09:00:20", L"09:00:30", L"talk", L"汇报");
    clock.setTimeOfDay(8, 59, 59);
    loadWindows(0);
    run(2000);
    ASSERT_EQ(changes.back().main, L"00:19");
    testing_support::LockedFile lock(path());
    forms::Frm_exit().menu_two_Click(2);
    ASSERT_TRUE(forms::Settings().loaded());
    forms::Settings().Ctl(L"Command1").click();
    run(10500);  // to the middle of the second that shows "00:09"
    EXPECT_EQ(changes.back().main, L"00:09");
    EXPECT_EQ(changes.back().twin, L"00:09");
    lock.release();
    run(10000);
    EXPECT_EQ(shell::timingState().stagestate, shell::StageState::Covering);
    EXPECT_EQ(shell::timingState().filename, L"汇报");
    EXPECT_TRUE(glass().Timer1.enabled());
    expectTellsTheTime(changes, &Change::main, faceBuilds, true, "main");
    expectTellsTheTime(changes, &Change::twin, faceBuilds, true, "twin");
}

}  // namespace
