// Whole runs of the main clock against a schedule in a fresh meeting database, driven by the
// injected clock: the test fires each timer of the run's chain after its interval.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <iterator>
#include <optional>
#include <ostream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "app/forms.h"
#include "clocks/alarm_rules.h"
#include "clocks/stage_run.h"
#include "clocks/time_glass.h"
#include "clocks/time_glasstwo.h"
#include "displays/Frm_process.h"
#include "displays/Frm_time.h"
#include "displays/Frm_title.h"
#include "hub/Frm_exit.h"
#include "plans/Frm_offtensetting.h"
#include "settings/Settings.h"
#include "shell/meeting_db.h"
#include "shell/settings_registry.h"
#include "shell/sound.h"
#include "shell/wall_clock.h"
#include "tests/db_holds.h"
#include "tests/test_support.h"
#include "win/pump.h"

using shell::StageState;
using testing_support::Hold;
using shell::TimeOfDay;

namespace {

using Texts = std::vector<std::wstring>;

// Records by file name what was asked to play or loop, and every stop of the wave sound.
class SoundRecorder final : public shell::SoundDevice {
public:
    Texts calls;
    Texts starts() const {
        Texts s;
        for (const auto& c : calls) {
            if (c != L"stop") s.push_back(c);
        }
        return s;
    }
    void mciCommand(const std::wstring&) override {}
    void playSound(const wchar_t* name, DWORD) override { calls.push_back(name ? L"play " + fileName(name) : L"stop"); }
    void sndPlay(const std::wstring& name, UINT) override { calls.push_back(L"loop " + fileName(name)); }

private:
    static std::wstring fileName(const std::wstring& path) { return path.substr(path.find_last_of(L'\\') + 1); }
};

// A tick that fired an alarm: counting down, the next tick comes a second later; counting up, the
// alarm shows only in the prompt or the banner it started.
struct AlarmTick {
    int level;
    int32_t elapsed;
    bool prompt;  // the prompt machine was started
    bool banner;  // the banner's start step was started
    friend bool operator==(const AlarmTick&, const AlarmTick&) = default;
    friend void PrintTo(const AlarmTick& a, std::ostream* os) {
        *os << "level " << a.level << " at " << a.elapsed << " ms" << (a.prompt ? ", prompt" : "")
            << (a.banner ? ", banner" : "");
    }
};
using AlarmTicks = std::vector<AlarmTick>;

class RunScenario : public testing_support::MeetDataTest {
protected:
    void SetUp() override {
        MeetDataTest::SetUp();
        shell::clockSetting() = {};
        shell::timingState() = {};
        shell::screenShared() = {};
        shell::setSoundDevice(&sounds);
        CreateDirectoryW((folder + L"\\sounds").c_str(), nullptr);
        for (const wchar_t* name : {L"start.wav", L"Timeout.wav", L"Stop.wav", L"ding.wav"}) {
            testing_support::writeFile(folder + L"\\sounds\\" + name, "RIFF");
        }
        clock.setTimeOfDay(9, 0, 0);
    }
    void TearDown() override {
        shell::setSoundDevice(nullptr);
        forms::resetAll();
        MeetDataTest::TearDown();
    }

    // A row of a table begins with no window loaded, no shared state and no run noted.
    void freshRow() {
        forms::resetAll();
        testing_support::resetSharedState();
        runs.clear();
    }

    clocks::time_glass& glass() { return forms::time_glass(); }
    const shell::TimingState& timing() { return shell::timingState(); }

    // A stage run on the saved clock "talk", which has the first-run settings: alarms at 30, 20
    // and 10 s, every switch on, counting down.
    void addTalk(const std::wstring& start, const std::wstring& end, const std::wstring& title) {
        if (exec("SELECT 1 FROM clocksetting").value().empty()) {
            shell::ClockSetting talk;
            shell::applyFirstRunDefaults(talk);
            addClock(L"talk", talk);
        }
        addStage(start, end, L"talk", title);
    }

    // What the clock's load and the hub's start kick settle before the first run.
    void startRun() {
        shell::loadCurrentMeeting();
        glass().Timer5.enabled(true);
        step();
    }

    // "应用" of the settings dialog, opened from the tray menu, with what the dialog loaded.
    void pressApply() {
        hub::Frm_exit& hub = forms::Frm_exit();
        if (!hub.loaded()) {
            hub.Form_Load();
            hub.Timer4.enabled(false);  // its start kick has been played by startRun
        }
        hub.menu_two_Click(2);
        ASSERT_TRUE(forms::Settings().loaded());
        forms::Settings().Ctl(L"Command1").click();
    }

    // A stage on the saved clock "talk" entered on the stage window's stage page.
    void enterInStageWindow(int h1, int m1, int h2, int m2, const std::wstring& title) {
        plans::Frm_offtensetting& w = forms::Frm_offtensetting();
        if (!w.loaded()) w.Show();
        ASSERT_TRUE(w.loaded());
        w.Image1_Click(1);
        const int values[] = {h1, m1, h2, m2};
        for (int i = 1; i <= 4; ++i) w.Ctl(L"Text5", i).setText(std::to_wstring(values[i - 1]));
        w.Ctl(L"Text2", 2).setText(L"talk");
        w.Ctl(L"Text2", 3).setText(title);
        w.Ctl(L"Command1").click();
    }

    static TimeOfDay at(int h, int m, int s) { return TimeOfDay{h * 3600 + m * 60 + s}; }
    void runUntilTime(TimeOfDay t) {
        runUntil([&] { return shell::timeOfDayNow() >= t; });
    }

    // The clock's time of day in milliseconds.
    int32_t msNow() {
        const SYSTEMTIME& t = clock.time;
        return ((t.wHour * 60 + t.wMinute) * 60 + t.wSecond) * 1000 + t.wMilliseconds;
    }
    void advanceTo(int32_t msOfDay) {
        if (msOfDay > msNow()) clock.advance(static_cast<uint32_t>(msOfDay - msNow()));
    }

    // The timer of the run's chain that fires next; nothing when none runs.
    win::Timer* next() {
        for (win::Timer* t : {&glass().Timer5, &glass().Timer4, &glass().Timer1}) {
            if (t->enabled()) return t;
        }
        return nullptr;
    }

    // Fires the next timer of the run's chain after its interval, `lateMs` late; false when none
    // runs. Notes the runs it starts and ends.
    bool step() {
        win::Timer* t = next();
        if (!t) return false;
        bool starting = t == &glass().Timer5;
        bool ticking = t == &glass().Timer1;
        clock.advance(t->interval() + lateMs);
        t->fire();
        if (starting && glass().Timer1.enabled()) {
            runs.push_back({timing().stagestate, glass().stageperiod, msNow(), timing().stageseconds});
        }
        if (ticking && !glass().Timer1.enabled() && !runs.empty()) runs.back().zeroMs = msNow();
        return true;
    }

    void runUntil(const std::function<bool()>& done) {
        for (int i = 0; i < 10000 && !done() && step(); ++i) {
        }
    }

    AlarmTicks runToEnd() {
        AlarmTicks alarms;
        for (int i = 0; i < 10000 && glass().Timer1.enabled(); ++i) {
            glass().Timer2.enabled(false);
            forms::Frm_process().Timer3.enabled(false);
            step();
            bool started = glass().Timer2.enabled() || forms::Frm_process().Timer3.enabled();
            if (glass().Timer1.interval() == 1000 || started) {
                alarms.push_back({glass().alarmlevel, timing().elapsedms, glass().Timer2.enabled(),
                                  forms::Frm_process().Timer3.enabled()});
            }
        }
        return alarms;
    }

    std::vector<Row> runRecords() {
        return exec("SELECT set_time, use_time, out_time, pause_time, filename FROM timesum").value();
    }

    // A run as the chain ran it: when it began (ms of the day), its stage and length, and when
    // its main tick ended it, the face then showing zero (-1 while it runs).
    struct RunSeen {
        StageState state;
        std::wstring period;
        int32_t startMs, seconds, zeroMs = -1;
    };
    std::vector<RunSeen> runs;
    uint32_t lateMs = 0;  // how late each timer fires, as on a busy machine

    SoundRecorder sounds;
};

int32_t msOfDay(const std::optional<TimeOfDay>& t) { return t ? t->seconds * 1000 : -1; }

TEST_F(RunScenario, StageFiresEachAlarmOnceAcrossATickCountWrapAndTheNextStageStartsWhole) {
    shell::writeSettingNumber(L"Time_Record", 1);
    addTalk(L"09:00:00", L"09:01:00", L"汇报");
    addTalk(L"09:01:00", L"09:02:00", L"讨论");
    clock.tick = 0xFFFFF000u;  // wraps four seconds into the run
    startRun();
    EXPECT_EQ(timing().stageseconds, 60);
    EXPECT_EQ(timing().set_time, L"09:00:00");
    EXPECT_EQ(timing().use_time, L"09:01:00");
    EXPECT_TRUE(glass().Timer1.enabled() && glass().Timer2.enabled() && glass().Timer3.enabled());
    EXPECT_TRUE(forms::Frm_process().Timer3.enabled());
    EXPECT_TRUE(forms::time_glasstwo().Timer5.enabled());
    EXPECT_EQ(shell::screenShared().blinkcount, 6);

    runUntil([&] { return timing().elapsedms >= 1000; });
    EXPECT_EQ(glass().timelabel, TimeOfDay{59});
    EXPECT_EQ(runToEnd(), (AlarmTicks{{1, 30020, true, true}, {2, 40020, true, true}, {3, 50020, true, true}}));
    EXPECT_EQ(sounds.starts(), (Texts{L"play start.wav", L"play Timeout.wav", L"play Timeout.wav", L"loop ding.wav"}));
    EXPECT_EQ(sounds.calls.back(), L"stop");
    EXPECT_FALSE(shell::regReadValue(HKEY_CURRENT_USER, shell::kSettingsKey, L"clockmode"));
    EXPECT_TRUE(glass().Timer4.enabled());
    EXPECT_EQ(runRecords(), (std::vector<Row>{{L"09:00:00", L"09:01:00", L"00:01:00", L"00:00:00", L"汇报"}}));

    // In the first stage's end second the next one starts, whole and with one start prompt.
    sounds.calls.clear();
    runUntil([&] { return glass().Timer1.enabled(); });
    EXPECT_EQ(timing().set_time, L"09:01:00");
    EXPECT_EQ(timing().stageseconds, 60);
    EXPECT_EQ(timing().filename, L"讨论");
    EXPECT_EQ(sounds.starts(), Texts{L"play start.wav"});
    EXPECT_EQ(runRecords().size(), 1u);
}

// A stage after a 2-s gap, 2 s long: in some of these starts its run begins early in its first
// second and ends before the stage's last second is over. Whatever the phase, the stage is timed
// once: one start sound and one record per stage, and the day ends after them.
TEST_F(RunScenario, EachStageIsTimedOnceWhateverThePhaseOfTheSecondItsRunBeganIn) {
    shell::writeSettingNumber(L"Time_Record", 1);
    addTalk(L"09:00:00", L"09:00:03", L"汇报");
    addTalk(L"09:00:05", L"09:00:07", L"讨论");
    for (int startMs = 0; startMs < 1000; startMs += 50) {
        SCOPED_TRACE(startMs);
        forms::resetAll();
        shell::timingState() = {};
        shell::screenShared() = {};
        ASSERT_TRUE(exec("DELETE FROM timesum"));
        sounds.calls.clear();
        clock.setTimeOfDay(9, 0, 0, startMs);
        startRun();
        runUntil([&] { return timing().stagestate == StageState::DayOver; });
        EXPECT_EQ(runRecords(), (std::vector<Row>{{L"09:00:00", L"09:00:03", L"00:00:03", L"00:00:00", L"汇报"},
                                                       {L"09:00:05", L"09:00:07", L"00:00:02", L"00:00:00", L"讨论"}}));
        EXPECT_EQ(sounds.starts(), (Texts{L"play start.wav", L"play start.wav"}));
    }
}

// However far into its stage a run begins - its stage change held up past the stage's start
// after a wait or a touching stage, or the program started then - it is timed the time left: the
// whole stage only when it begins in the stage's first second, and its "00:00" comes within a
// tick of the stage's end.
TEST_F(RunScenario, ARunIsTimedTheTimeLeftInItsStageWhateverThePhaseItBeginsAt) {
    constexpr int32_t kTickMs = 200;
    enum Road { afterAWait, afterATouchingStage, atStartUp };
    const char* roads[] = {"after a wait", "after a touching stage", "at start-up"};
    const int32_t start = 9 * 3600000 + 10000, end = start + 10000;
    for (Road road : {afterAWait, afterATouchingStage, atStartUp}) {
        ASSERT_TRUE(exec("DELETE FROM file_list"));
        addTalk(L"09:00:10", L"09:00:20", L"讨论");
        if (road == afterATouchingStage) addTalk(L"09:00:05", L"09:00:10", L"汇报");
        // Of the stage change, after the stage's start; the run starts 20 ms later.
        for (int32_t phase : {0, 300, 700, 960, 1000, 1300, 1700, 1960, 2000, 2500}) {
            SCOPED_TRACE(testing::Message() << roads[road] << ", stage change " << phase << " ms into the stage");
            freshRow();
            if (road == atStartUp) {
                clock.setTimeOfDay(9, 0, 10 + phase / 1000, phase % 1000);
                startRun();
            } else {
                clock.setTimeOfDay(9, 0, road == afterAWait ? 7 : 5, road == afterAWait ? 300 : 0);
                startRun();
                ASSERT_EQ(timing().stagestate, road == afterAWait ? StageState::Waiting : StageState::Covering);
                runUntil([&] { return glass().Timer4.enabled(); });
                EXPECT_LE(msNow(), start + phase) << "the run before ran past the stage's start";
                advanceTo(start + phase);
                glass().Timer4.fire();
                step();
            }
            ASSERT_FALSE(runs.empty());
            ASSERT_EQ(runs.back().period, L"09:00:10\\09:00:20");
            EXPECT_EQ(runs.back().seconds, 10 - (phase + 20) / 1000);
            // The second-screen clock's set-up follows and takes the start reading again.
            clock.advance(forms::time_glasstwo().Timer5.interval());
            forms::time_glasstwo().Timer5.fire();
            runUntil([&] { return runs.back().zeroMs >= 0; });
            EXPECT_NEAR(runs.back().zeroMs, end, kTickMs);
        }
    }
}

// Started at any moment of a wait's second, the program times the first stage after the wait and
// the stage that touches it each from the stage's first second: whole, its "00:00" within a tick
// of its end, and recorded whole; so too when every timer fires a little late.
TEST_F(RunScenario, TheStageChangeAfterAWaitOrATouchingStageBeginsTheRunInItsStagesFirstSecond) {
    shell::writeSettingNumber(L"Time_Record", 1);
    addTalk(L"09:00:05", L"09:00:09", L"汇报");
    addTalk(L"09:00:09", L"09:00:13", L"讨论");
    for (int i = 0; i < 40; ++i) {
        const int startMs = i % 20 * 50;
        lateMs = i < 20 ? 0 : 40;
        SCOPED_TRACE(testing::Message() << "started at 09:00:02 + " << startMs << " ms, timers " << lateMs << " ms late");
        const int32_t tickMs = 200 + static_cast<int32_t>(lateMs);
        freshRow();
        ASSERT_TRUE(exec("DELETE FROM timesum"));
        clock.setTimeOfDay(9, 0, 2, startMs);
        startRun();
        runUntil([&] { return timing().stagestate == StageState::DayOver; });
        std::vector<RunSeen> stages;
        std::copy_if(runs.begin(), runs.end(), std::back_inserter(stages),
                     [](const RunSeen& r) { return r.state == StageState::Covering; });
        ASSERT_EQ(stages.size(), 2u);
        for (const RunSeen& r : stages) {
            SCOPED_TRACE(testing::PrintToString(r.period));
            clocks::StagePeriod p = clocks::stagePeriodOf(r.period);
            EXPECT_LT(r.startMs - msOfDay(p.start), 1000);
            EXPECT_EQ(r.seconds, 4);
            EXPECT_NEAR(r.zeroMs, msOfDay(p.end), tickMs);
        }
        EXPECT_EQ(runRecords(), (std::vector<Row>{{L"09:00:05", L"09:00:09", L"00:00:04", L"00:00:00", L"汇报"},
                                                       {L"09:00:09", L"09:00:13", L"00:00:04", L"00:00:00", L"讨论"}}));
    }
}

// The tick count runs half a second ahead of the time of day during a wait between stages (the
// time set back by a sync): the wait's count ends before the next stage begins. The wait is not
// run again for that moment: the stage's run follows it once the stage begins.
TEST_F(RunScenario, AWaitThatEndsBeforeItsStageBeginsIsNotRunAgain) {
    addTalk(L"09:00:00", L"09:00:02", L"汇报");
    addTalk(L"09:00:05", L"09:00:08", L"讨论");
    startRun();
    runUntil([&] { return timing().stagestate == StageState::Waiting && glass().Timer1.enabled(); });
    clock.tick += 500;
    runUntil([&] { return timing().stagestate == StageState::DayOver; });
    std::vector<int> states;  // 0 a stage, 1 a wait
    for (const RunSeen& r : runs) states.push_back(static_cast<int>(r.state));
    EXPECT_EQ(states, (std::vector<int>{0, 1, 0}));
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[2].seconds, 3);
}

TEST_F(RunScenario, ATickLateAfterAStalledMessageLoopRecordsTheStageNoLonger) {
    shell::writeSettingNumber(L"Time_Record", 1);
    addTalk(L"09:00:00", L"09:00:07", L"汇报");
    startRun();
    step();
    clock.advance(12000);  // nothing ran for twelve seconds, past the stage's end
    glass().Timer1.fire();
    EXPECT_EQ(exec("SELECT out_time, pause_time FROM timesum").value(), (std::vector<Row>{{L"00:00:07", L"00:00:00"}}));
}

TEST_F(RunScenario, CountUpShowsTheElapsedTimeWhileTheAlarmsFollowTheRemainingTime) {
    addTalk(L"09:00:00", L"09:00:15", L"汇报");
    addTalk(L"09:00:15", L"09:00:30", L"讨论");
    exec("UPDATE clocksetting SET optvalue = '01001'");
    startRun();
    runUntil([&] { return timing().elapsedms >= 1000; });
    EXPECT_EQ(glass().timelabel, TimeOfDay{1});
    // Fired once, though the ticks that follow it keep their rhythm and test the same second.
    EXPECT_EQ(runToEnd(), (AlarmTicks{{3, 5020, true, true}}));
    EXPECT_EQ(glass().timelabel, TimeOfDay{15});  // the last tick, in the run's last second, shows it whole
    // The next stage's run fires the same alarm second of its own.
    runUntil([&] { return glass().Timer1.enabled(); });
    AlarmTicks next = runToEnd();
    ASSERT_EQ(next.size(), 1u);
    EXPECT_EQ(next[0].level, 3);
    EXPECT_TRUE(runRecords().empty());  // the run record is switched off
}

TEST_F(RunScenario, WaitForAStageCountsDownWithTheAlarmsOffAndIsNotRecorded) {
    shell::writeSettingNumber(L"Time_Record", 1);
    addTalk(L"09:00:00", L"09:00:40", L"汇报");
    clock.setTimeOfDay(8, 59, 30);
    startRun();
    EXPECT_EQ(timing().stagestate, StageState::Waiting);
    EXPECT_EQ(timing().stageseconds, 30);
    EXPECT_FALSE(forms::Frm_process().Timer3.enabled());
    // The alarm seconds still take a second each, and nothing else happens.
    EXPECT_EQ(runToEnd(), (AlarmTicks{{0, 10020, false, false}, {0, 20020, false, false}}));
    EXPECT_TRUE(sounds.starts().empty());
    EXPECT_TRUE(runRecords().empty());

    runUntil([&] { return timing().stagestate == StageState::Covering && glass().Timer1.enabled(); });
    EXPECT_EQ(timing().stageseconds, 40);
    EXPECT_EQ(shell::clockSetting().checkvalue, L"111101001111111111111");
}

TEST_F(RunScenario, LastStageOfTheDayEndsWithTheDayOverBannersAndPrompt) {
    shell::writeSettingNumber(L"second_screen", 1);
    addTalk(L"09:00:00", L"09:00:05", L"汇报");
    startRun();
    runUntil([&] { return glass().Timer4.enabled(); });
    forms::Frm_title().Timer3.enabled(false);
    forms::Frm_time().Timer3.enabled(false);
    shell::screenShared().blinkcount = 1;
    shell::screenShared().blinkrounds = 2;
    step();

    EXPECT_EQ(timing().stagestate, StageState::DayOver);
    EXPECT_EQ(glass().alarmlevel, clocks::kDayOverLevel);
    for (displays::Frm_process* banner : {&forms::Frm_process(), &forms::Frm_process_two()}) {
        EXPECT_EQ(banner->bannertext, L"今天计时结束");
        EXPECT_TRUE(banner->Timer3.enabled());
    }
    EXPECT_TRUE(forms::Frm_title().Timer3.enabled() && forms::Frm_time().Timer3.enabled());
    EXPECT_FALSE(glass().Timer1.enabled() || glass().Timer5.enabled());

    // The prompt machine hands over to the blink timer and leaves the counters as they were.
    for (int i = 0; i < 10 && glass().Timer2.enabled(); ++i) glass().Timer2.fire();
    EXPECT_TRUE(glass().Timer3.enabled());
    EXPECT_EQ(shell::screenShared().blinkcount, 1);
    EXPECT_EQ(shell::screenShared().blinkrounds, 2);
}

// MeetData.db unreadable at the start: the clock stops and tries the lookup again at a modest
// pace, telling the user once. However that ends, by the lookup's next try or by "应用" pressed
// as soon as the file is back, the stage changes keep their rhythm: the stage after the first
// begins in its first second and is timed whole.
TEST_F(RunScenario, UnreadableDatabaseStopsTheClockUntilALookupReadsAndTheStagesKeepTheirRhythmAfter) {
    const struct {
        const char* what;
        bool apply;
    } cases[] = {{"the lookup tried again", false}, {"应用", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        freshRow();
        messages.clear();
        DeleteFileW(path().c_str());
        testing_support::writeFile(path(), "not a database");
        clock.setTimeOfDay(9, 0, 0);
        clock.tick = 5000;
        startRun();
        EXPECT_EQ(timing().stagestate, StageState::NoDatabase);
        for (win::Timer* t : {&glass().Timer1, &glass().Timer2, &glass().Timer3, &glass().Timer5}) {
            EXPECT_FALSE(t->enabled());
        }
        EXPECT_EQ(timing().set_time, L"00:00:00");
        EXPECT_EQ(timing().starttick, 5000u);  // the start of the run's second

        for (int i = 0; i < 3; ++i) {
            ASSERT_TRUE(glass().Timer4.enabled());
            EXPECT_GE(glass().Timer4.interval(), 1000u);
            step();
            EXPECT_FALSE(glass().Timer5.enabled());
        }
        EXPECT_EQ(messages.size(), 1u);

        DeleteFileW(path().c_str());
        ASSERT_TRUE(testing_support::makeMeetData(path()));
        addTalk(L"09:00:00", L"09:00:10", L"汇报");
        addTalk(L"09:00:10", L"09:00:30", L"讨论");
        if (c.apply) pressApply();
        runUntil([&] { return glass().Timer1.enabled(); });
        EXPECT_EQ(timing().stagestate, StageState::Covering);
        EXPECT_EQ(timing().filename, L"汇报");
        EXPECT_EQ(messages.size(), 1u);

        runUntil([&] { return timing().filename == L"讨论" && glass().Timer1.enabled(); });
        ASSERT_FALSE(runs.empty());
        EXPECT_LT(runs.back().startMs - at(9, 0, 10).seconds * 1000, 1000);
        EXPECT_EQ(runs.back().seconds, 20);
    }
}

// A file that never opens (the user may not read it) is told once, as such, whether it meets the
// start or a stage's end; the lookup is then tried again at a modest pace, and once the file
// reads the stage of the moment is timed.
TEST_F(RunScenario, AFileThatNeverOpensIsToldOnceAtTheStartOrAStageEndAndTimedOnceItReads) {
    addTalk(L"09:00:00", L"09:00:20", L"汇报");
    addTalk(L"09:00:20", L"09:01:00", L"讨论");
    for (bool atStart : {true, false}) {
        SCOPED_TRACE(atStart ? "at the start" : "at a stage's end");
        freshRow();
        messages.clear();
        clock.setTimeOfDay(9, 0, 0);
        std::optional<testing_support::LockedFile> lock;
        if (atStart) lock.emplace(path(), Hold::neverOpens);
        startRun();
        runUntilTime(at(9, 0, 15));
        if (!atStart) lock.emplace(path(), Hold::neverOpens);
        runUntilTime(at(9, 0, 30));
        EXPECT_EQ(timing().stagestate, StageState::NoDatabase);
        EXPECT_FALSE(glass().Timer1.enabled() || glass().Timer5.enabled());
        ASSERT_TRUE(glass().Timer4.enabled());
        EXPECT_GE(glass().Timer4.interval(), 1000u);
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0].text, L"MeetData.db 无法打开或读取");
        lock.reset();
        runUntil([&] { return glass().Timer1.enabled(); });
        EXPECT_EQ(timing().filename, L"讨论");
        EXPECT_EQ(messages.size(), 1u);
    }
}

// From another thread, asks `window` again and again whether it answers, as a click of the user
// would. Half a second is five times what a stall of the clock's thread may cost, so a loaded
// machine still answers in time, while a wait for the file of a few seconds does not.
class AnswerWatch {
public:
    explicit AnswerWatch(HWND window)
        : asking_([this, window] {
              while (!done_) {
                  DWORD_PTR answer = 0;
                  if (!SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 500, &answer)) ++unanswered;
              }
          }) {}
    AnswerWatch(const AnswerWatch&) = delete;
    AnswerWatch& operator=(const AnswerWatch&) = delete;
    ~AnswerWatch() {
        done_ = true;
        asking_.join();
    }
    std::atomic<int> unanswered{0};

private:
    std::atomic<bool> done_{false};
    std::thread asking_;
};

// Another program holds the meeting database for ten seconds over a stage's end. The clock's
// thread never waits for it more than a moment at a time and nothing is said. Held so that it
// cannot be read (locked, or opened sharing nothing), the ended run's face stays until the lookup
// reads, and the next stage is then timed to its real end; held shared, the next stage starts on
// time. The ended run's record lands either way.
TEST_F(RunScenario, AStageEndWhileTheFileIsHeldNeverStallsTheClockAndTheRecordLandsAfter) {
    shell::writeSettingNumber(L"Time_Record", 1);
    addTalk(L"09:00:00", L"09:00:20", L"汇报");
    addTalk(L"09:00:20", L"09:01:00", L"讨论");
    forms::Frm_exit().Form_Load();
    forms::Frm_exit().Timer4.enabled(false);  // its start kick is played by startRun
    for (Hold hold : {Hold::exclusive, Hold::shared, Hold::noSharing}) {
        SCOPED_TRACE(testing_support::holdName(hold));
        ASSERT_TRUE(exec("DELETE FROM timesum"));
        clock.setTimeOfDay(9, 0, 0);
        startRun();
        runUntilTime(at(9, 0, 15));
        testing_support::CountedBusyWaits waits;
        testing_support::LockedFile lock(path(), hold);
        long long longestWait = 0;
        {
            AnswerWatch hubAnswers(forms::Frm_exit().hwnd());
            while (shell::timeOfDayNow() < at(9, 0, 25) && step()) {
                longestWait = std::max(longestWait, waits.takeWaitedMs());
                win::doEvents();
            }
            EXPECT_EQ(hubAnswers.unanswered, 0);
        }
        // Per timer firing: what the face may stall, as waits chosen, not times taken.
        EXPECT_LE(longestWait, 100);
        EXPECT_TRUE(messages.empty());
        EXPECT_NE(timing().stagestate, StageState::NoDatabase);
        if (hold == Hold::shared) {
            EXPECT_EQ(timing().filename, L"讨论");
            EXPECT_EQ(timing().stageseconds, 40);
        } else {
            EXPECT_FALSE(glass().Timer1.enabled());
            EXPECT_EQ(glass().Timer4.interval(), 200u);  // tried again on the tick
        }
        lock.release();
        runUntil([&] { return timing().filename == L"讨论" && glass().Timer1.enabled(); });
        if (hold != Hold::shared) {
            EXPECT_EQ(timing().stageseconds, at(9, 1, 0).seconds - shell::timeOfDayNow().seconds);
        }
        EXPECT_EQ(timing().use_time, L"09:01:00");
        EXPECT_TRUE(testing_support::pumpUntil([&] { return !runRecords().empty(); }));
        EXPECT_EQ(runRecords(), (std::vector<Row>{{L"09:00:00", L"09:00:20", L"00:00:20", L"00:00:00", L"汇报"}}));
    }
}

// The scenarios of a held file, under each hold that keeps the whole file from us.
class HeldFileScenario : public RunScenario, public testing::WithParamInterface<Hold> {};
INSTANTIATE_TEST_SUITE_P(Holds, HeldFileScenario, testing::ValuesIn(testing_support::kWholeFileHolds),
                         testing_support::holdTestName);

// Another program holds the meeting database when the program starts: the clock waits quietly,
// with no run, prompt, sound or record of a run without a length, and with no time on its face,
// and times the stage once the file reads; the often-used submenu, empty meanwhile, fills then too.
TEST_P(HeldFileScenario, AStartWhileTheFileIsHeldWaitsQuietlyAndTimesTheStageOnceItReads) {
    shell::writeSettingNumber(L"Time_Record", 1);
    addTalk(L"09:00:00", L"09:01:00", L"汇报");
    testing_support::LockedFile lock(path(), GetParam());
    forms::Frm_exit().Form_Load();
    forms::Frm_exit().Timer4.enabled(false);  // its start kick is played below
    glass().Form_Load();
    glass().Timer5.enabled(true);
    runUntilTime(at(9, 0, 5));
    EXPECT_FALSE(glass().Timer1.enabled() || glass().Timer2.enabled());
    EXPECT_TRUE(glass().Timer4.enabled());
    EXPECT_EQ(glass().facetext.find_first_of(L"0123456789"), std::wstring::npos) << testing::PrintToString(glass().facetext);
    EXPECT_TRUE(sounds.calls.empty());
    EXPECT_TRUE(messages.empty());
    EXPECT_TRUE(forms::Frm_exit().menu_often.empty());

    lock.release();
    runUntil([&] { return glass().Timer1.enabled(); });
    EXPECT_EQ(timing().filename, L"汇报");
    EXPECT_EQ(timing().stageseconds, at(9, 1, 0).seconds - shell::timeOfDayNow().seconds);
    EXPECT_EQ(glass().facetext, L"00:" + std::to_wstring(timing().stageseconds));
    EXPECT_EQ(sounds.starts(), Texts{L"play start.wav"});
    EXPECT_TRUE(testing_support::pumpUntil([] { return !forms::Frm_exit().menu_often.empty(); }));
    EXPECT_EQ(forms::Frm_exit().menu_often, Texts{L"talk"});
    runToEnd();
    EXPECT_TRUE(testing_support::pumpUntil([&] { return !runRecords().empty(); }));
    EXPECT_EQ(runRecords().size(), 1u);
    EXPECT_EQ(runRecords()[0][4], L"汇报");
}

// Another program takes the meeting database for 700 ms of every second, from a stage's end over
// the 2-s stage after it. Whatever the phase of the holds, the short stage is timed and recorded,
// and once the clock has met a hold a run begins within a tick of the file reading again (the
// stage change's next try, then the run start's own step), never a spell of holds later.
TEST_F(RunScenario, HoldsThatComeAndGoLeaveAShortStageTimedAndARunBeginsWithinATickOfTheFileReading) {
    shell::writeSettingNumber(L"Time_Record", 1);
    addTalk(L"09:00:00", L"09:00:05", L"汇报");
    addTalk(L"09:00:07", L"09:00:09", L"讨论");
    addTalk(L"09:00:30", L"09:01:00", L"总结");
    constexpr int32_t kCycleMs = 1000, kHeldMs = 700, kTickMs = 200, kNoWait = -1;
    const int32_t withinMs = kTickMs + static_cast<int32_t>(glass().Timer5.interval());
    const int32_t holdsUntil = at(9, 0, 12).seconds * 1000;
    auto msOfDay = [&] { return shell::timeOfDayNow().seconds * 1000 + clock.time.wMilliseconds; };
    for (int32_t phase = 0; phase < kCycleMs; phase += 200) {
        SCOPED_TRACE(phase);
        freshRow();
        shell::forgetPendingRuns();
        ASSERT_TRUE(exec("DELETE FROM timesum"));
        clock.setTimeOfDay(9, 0, 0);
        startRun();
        const int32_t holdsFrom = at(9, 0, 4).seconds * 1000 + phase;
        auto heldAt = [&](int32_t ms) { return ms >= holdsFrom && ms < holdsUntil && (ms - holdsFrom) % kCycleMs < kHeldMs; };
        // The first moment from `ms` on at which the file reads.
        auto readsFrom = [&](int32_t ms) {
            return heldAt(ms) ? std::min(ms - (ms - holdsFrom) % kCycleMs + kHeldMs, holdsUntil) : ms;
        };
        std::optional<testing_support::LockedFile> lock;
        testing_support::CountedBusyWaits waits;
        int32_t readableFrom = kNoWait;  // the clock met a hold and no run began since: when the file reads again
        while (msOfDay() < holdsUntil) {
            win::Timer* fires = next();
            ASSERT_TRUE(fires);
            if (!heldAt(msOfDay() + static_cast<int32_t>(fires->interval()))) {
                lock.reset();
            } else if (!lock) {
                lock.emplace(path());
            }
            waits.takeWaitedMs();
            step();
            bool waited = waits.takeWaitedMs() > 0;
            if (glass().Timer1.enabled()) readableFrom = kNoWait;
            if (readableFrom != kNoWait && msOfDay() - readableFrom > withinMs) {
                ADD_FAILURE() << "no run began at " << msOfDay() << " ms since the file read at " << readableFrom << " ms";
                readableFrom = kNoWait;
            }
            if (fires == &glass().Timer4 && glass().Timer4.enabled() && waited) {
                readableFrom = readsFrom(msOfDay());
            }
        }
        lock.reset();
        const std::vector<Row> timed{{L"09:00:00", L"09:00:05", L"汇报"}, {L"09:00:07", L"09:00:09", L"讨论"}};
        auto recorded = [&] { return exec("SELECT set_time, use_time, filename FROM timesum ORDER BY ID").value(); };
        EXPECT_TRUE(testing_support::pumpUntil([&] { return recorded().size() >= timed.size(); }));
        EXPECT_EQ(recorded(), timed);
    }
}

// A stages table carried over from another tool: rows whose times do not read, before and after
// the good stages, stop neither the stages nor the day.
TEST_F(RunScenario, RowsTheClockCannotReadAreSkippedAndTheDayStillEnds) {
    shell::writeSettingNumber(L"Time_Record", 1);
    ASSERT_TRUE(exec("DROP TABLE file_list"));
    ASSERT_TRUE(exec("CREATE TABLE file_list (starttime, endtime, clockname, title)"));
    ASSERT_TRUE(exec("INSERT INTO file_list VALUES ('08:00:00', '25:61:00', 'talk', 'x'), ('abc', 'abd', 'talk', 'y')"));
    addTalk(L"09:00:00", L"09:00:05", L"汇报");
    addTalk(L"9:0:5", L"9:0:8", L"讨论");
    startRun();
    runUntil([&] { return timing().stagestate == StageState::DayOver; });
    EXPECT_EQ(runRecords(), (std::vector<Row>{{L"09:00:00", L"09:00:05", L"00:00:05", L"00:00:00", L"汇报"},
                                                   {L"09:00:05", L"09:00:08", L"00:00:03", L"00:00:00", L"讨论"}}));
    EXPECT_EQ(forms::Frm_process().bannertext, L"今天计时结束");
    EXPECT_TRUE(messages.empty());
}

// A lectern PC left on overnight: after the day's end, and with a row that ends before it starts
// (which can never be timed), the clock looks the schedule up again once the date changes.
TEST_F(RunScenario, AClockLeftOnOvernightTimesTheNextDaysStages) {
    shell::writeSettingNumber(L"Time_Record", 1);
    ASSERT_TRUE(exec("INSERT INTO file_list VALUES ('23:59:30', '00:00:30', 'talk', 'x')"));
    addTalk(L"00:00:10", L"00:00:15", L"早会");
    addTalk(L"10:00:00", L"10:05:00", L"午会");
    clock.setTimeOfDay(23, 59, 20);
    startRun();
    runUntil([&] { return glass().daywatch.enabled(); });
    ASSERT_EQ(timing().stagestate, StageState::DayOver);
    // Until midnight the watch costs a look at the date, no lookup.
    for (int i = 0; i < 60 && !glass().Timer4.enabled(); ++i) {
        clock.advance(1000);
        glass().daywatch.fire();
    }
    EXPECT_EQ(shell::timeOfDayNow(), at(0, 0, 0));
    runUntil([&] { return timing().stagestate == StageState::Covering; });
    runUntil([&] { return timing().stagestate == StageState::Waiting && glass().Timer1.enabled(); });
    EXPECT_EQ(runRecords(), (std::vector<Row>{{L"00:00:10", L"00:00:15", L"00:00:05", L"00:00:00", L"早会"}}));

    // A machine asleep through the wait wakes on another day: that day is looked up.
    EXPECT_TRUE(glass().daywatch.enabled());
    glass().daywatch.fire();
    EXPECT_TRUE(glass().Timer1.enabled());  // the same day: the wait goes on
    ++clock.time.wDay;
    glass().daywatch.fire();
    EXPECT_TRUE(glass().Timer4.enabled() && !glass().Timer1.enabled());
}

// The running stage "old" was edited in the stage window, its end brought forward and its title
// changed, then "应用" pressed: the run ends at the new end under the new title.
TEST_F(RunScenario, ApplyRunsTheRunningStageAsEditedToItsNewEndUnderItsNewTitle) {
    shell::writeSettingNumber(L"Time_Record", 1);
    addTalk(L"19:33:15", L"19:37:25", L"old");
    clock.setTimeOfDay(19, 33, 15);
    startRun();
    runUntilTime(at(19, 33, 35));
    ASSERT_TRUE(exec("UPDATE file_list SET endtime = '19:34:22', title = 'edited'"));
    pressApply();
    EXPECT_EQ(glass().stageperiod, L"19:33:15\\19:34:22");
    EXPECT_EQ(forms::Frm_title().titletext(), L"edited");
    step();
    EXPECT_EQ(timing().stageseconds, 47);
    runToEnd();
    EXPECT_LT(shell::timeOfDayNow(), at(19, 34, 23));
    // The part timed before "应用" counts: the restart goes on with the stage's record.
    EXPECT_EQ(runRecords(), (std::vector<Row>{{L"19:33:15", L"19:34:22", L"00:01:07", L"00:00:00", L"edited"}}));
}

// "应用" pressed or the stage's saved clock picked from "常用时钟" in the middle of a stage starts
// its run again: the record keeps the time timed before, so a stage timed throughout is recorded
// whole, with no idle time. A run on another stage, on the same stage on another day, or on the
// stage again after its run ended or a wait came between, is timed from its own start.
TEST_F(RunScenario, ARunStartedAgainOnItsStageThatDayKeepsTheTimeTimedBeforeInItsRecord) {
    auto apply = [&] { pressApply(); };
    auto pick = [&] {
        hub::Frm_exit& hub = forms::Frm_exit();
        if (!hub.loaded()) {
            hub.Form_Load();
            hub.Timer4.enabled(false);  // its start kick has been played by startRun
        }
        ASSERT_EQ(hub.menu_often, Texts{L"talk"});
        hub.menu_often_Click(0);
    };
    auto applyWith = [&](const char* sql) {
        return [this, sql] {
            ASSERT_TRUE(exec(sql));
            pressApply();
        };
    };
    auto applyOnAnotherStage = [&] {
        ASSERT_TRUE(exec("DELETE FROM file_list"));
        addTalk(L"09:00:30", L"09:01:30", L"讨论");
        pressApply();
    };
    auto applyNextDay = [&] {
        ++clock.time.wDay;  // a machine that slept from the day before
        pressApply();
    };
    const Row whole{L"09:00:00", L"09:01:30", L"00:01:30", L"00:00:00", L"汇报"};
    struct Case {
        const char* what;
        std::vector<std::pair<int32_t, std::function<void()>>> restarts;  // ms into the stage
        std::vector<Row> records;
    } cases[] = {
        {"应用", {{44300, apply}}, {whole}},
        {"常用时钟", {{44300, pick}}, {whole}},
        {"应用, then 常用时钟", {{20700, apply}, {61500, pick}}, {whole}},
        {"应用 on another stage", {{44300, applyOnAnotherStage}},
         {{L"09:00:30", L"09:01:30", L"00:00:46", L"00:00:14", L"讨论"}}},
        {"应用 on the stage the next day", {{44300, applyNextDay}},
         {{L"09:00:00", L"09:01:30", L"00:00:46", L"00:00:44", L"汇报"}}},
        {"应用 on the stage after a wait for it",
         {{20700, applyWith("UPDATE file_list SET starttime = '09:05:00', endtime = '09:06:00'")},
          {40300, applyWith("UPDATE file_list SET starttime = '09:00:00', endtime = '09:01:30'")}},
         {{L"09:00:00", L"09:01:30", L"00:00:50", L"00:00:40", L"汇报"}}},
        {"应用 on the stage after its run ended", {{100300, applyWith("UPDATE file_list SET endtime = '09:02:30'")}},
         {whole, {L"09:00:00", L"09:02:30", L"00:00:50", L"00:01:40", L"汇报"}}},
    };
    shell::writeSettingNumber(L"Time_Record", 1);
    const SYSTEMTIME day = clock.time;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        freshRow();
        ASSERT_TRUE(exec("DELETE FROM timesum"));
        ASSERT_TRUE(exec("DELETE FROM file_list"));
        addTalk(L"09:00:00", L"09:01:30", L"汇报");
        clock.time = day;
        clock.setTimeOfDay(9, 0, 0);
        startRun();
        for (const auto& [ms, restart] : c.restarts) {
            runUntil([&] { return msNow() >= 9 * 3600000 + ms; });
            advanceTo(9 * 3600000 + ms);  // past the day's end nothing runs
            restart();
        }
        runUntil([&] { return timing().stagestate == StageState::DayOver; });
        EXPECT_EQ(runRecords(), c.records);
    }
}

// "应用" while another program holds the file: the running stage goes on as it was, with no
// second start prompt and no idle time in its record; the dialog's settings are stored all the same.
TEST_P(HeldFileScenario, ApplyWhileTheFileIsHeldKeepsTheRunningStageAndStoresTheSettings) {
    shell::writeSettingNumber(L"Time_Record", 1);
    addTalk(L"09:00:00", L"09:01:00", L"汇报");
    startRun();
    runUntilTime(at(9, 0, 20));
    const std::wstring checks = shell::clockSetting().checkvalue;
    {
        testing_support::LockedFile lock(path(), GetParam());
        forms::Frm_exit().Form_Load();
        forms::Frm_exit().Timer4.enabled(false);
        forms::Frm_exit().menu_two_Click(2);
        ASSERT_TRUE(forms::Settings().loaded());
        forms::Settings().Ctl(L"Text4", 1).setText(L"新标题");
        forms::Settings().Ctl(L"Command1").click();
    }
    EXPECT_TRUE(glass().Timer1.enabled());
    EXPECT_FALSE(glass().Timer5.enabled());
    EXPECT_EQ(shell::clockSetting().checkvalue, checks);
    shell::ClockSetting stored;
    shell::readsetting(stored);
    EXPECT_EQ(stored.tellShowtext, L"新标题");
    runToEnd();
    EXPECT_EQ(std::count(sounds.calls.begin(), sounds.calls.end(), L"play start.wav"), 1);
    EXPECT_EQ(runRecords(), (std::vector<Row>{{L"09:00:00", L"09:01:00", L"00:01:00", L"00:00:00", L"汇报"}}));
}

// Waiting for a later stage, a stage over the present time was entered, then "应用": that stage
// is timed to its end and recorded under its title, never longer than it, with its idle time.
TEST_F(RunScenario, ApplyWhileWaitingTimesAStageEnteredOverNowAndRecordsItWithItsIdleTime) {
    shell::writeSettingNumber(L"Time_Record", 1);
    addTalk(L"19:40:41", L"19:41:41", L"later");
    clock.setTimeOfDay(19, 32, 0);
    startRun();
    EXPECT_EQ(timing().stagestate, StageState::Waiting);
    runUntilTime(at(19, 32, 10));
    addTalk(L"19:30:00", L"19:35:00", L"插入");
    pressApply();
    EXPECT_EQ(timing().stagestate, StageState::Covering);
    EXPECT_EQ(glass().stageperiod, L"19:30:00\\19:35:00");
    EXPECT_EQ(forms::Frm_title().titletext(), L"插入");
    step();
    EXPECT_EQ(timing().stageseconds, 170);
    runToEnd();
    EXPECT_EQ(runRecords(), (std::vector<Row>{{L"19:30:00", L"19:35:00", L"00:02:50", L"00:02:10", L"插入"}}));
}

// A stage for later today, entered in "阶段计时" or found by "应用", is timed whatever the clock
// was doing: while it waits or the day is over the stages are looked up again at once, under a
// hold on the file once it reads; a running stage runs on whole and the new one follows it.
TEST_F(RunScenario, AStageAddedForLaterTodayIsTimedWhileWaitingAfterTheDayAndAfterTheRunningOne) {
    auto fromStageWindow = [&] { enterInStageWindow(9, 1, 9, 2, L"新增"); };
    auto applyUnderAHold = [&] {
        addTalk(L"09:01:00", L"09:02:00", L"新增");
        testing_support::LockedFile lock(path());
        pressApply();
        runUntilTime(at(9, 0, 15));
    };
    const Row talk5{L"09:00:00", L"09:00:05", L"00:00:05", L"00:00:00", L"汇报"};
    const Row talk30{L"09:00:00", L"09:00:30", L"00:00:30", L"00:00:00", L"汇报"};
    struct Case {
        const char* what;
        const wchar_t* end;  // of the stage "汇报" from 09:00:00, or nothing for one at 09:30
        StageState at10;     // at 09:00:10
        std::function<void()> add;
        std::vector<Row> records;  // at 09:01:30
    } cases[] = {
        {"stage window, the day over", L"09:00:05", StageState::DayOver, fromStageWindow, {talk5}},
        {"stage window, waiting", nullptr, StageState::Waiting, fromStageWindow, {}},
        {"stage window, a stage running", L"09:00:30", StageState::Covering, fromStageWindow, {talk30}},
        {"应用 under a hold, the day over", L"09:00:05", StageState::DayOver, applyUnderAHold, {talk5}},
        {"应用 under a hold, waiting", nullptr, StageState::Waiting, applyUnderAHold, {}},
    };
    shell::writeSettingNumber(L"Time_Record", 1);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        freshRow();
        for (const char* table : {"DELETE FROM file_list", "DELETE FROM timesum"}) ASSERT_TRUE(exec(table));
        clock.setTimeOfDay(9, 0, 0);
        messages.clear();
        if (c.end) {
            addTalk(L"09:00:00", c.end, L"汇报");
        } else {
            addTalk(L"09:30:00", L"09:31:00", L"汇报");
        }
        startRun();
        runUntilTime(at(9, 0, 10));
        ASSERT_EQ(timing().stagestate, c.at10);
        c.add();
        runUntilTime(at(9, 1, 30));
        EXPECT_EQ(timing().stagestate, StageState::Covering);
        EXPECT_EQ(glass().stageperiod, L"09:01:00\\09:02:00");
        EXPECT_EQ(timing().filename, L"新增");
        EXPECT_TRUE(glass().Timer1.enabled());
        EXPECT_EQ(runRecords(), c.records);
        EXPECT_TRUE(messages.empty()) << testing::PrintToString(messages.front().text);
    }
}

// A stage deleted in "阶段计时" while the clock counts down to it: the stages are looked up
// again at once, so the clock counts down to the next one, or the day is over when none is left.
TEST_F(RunScenario, AStageDeletedWhileTheClockWaitsForItIsNoLongerCountedTo) {
    const struct {
        const char* what;
        bool anotherFollows;
        StageState state;
        const wchar_t* period;
    } cases[] = {
        {"another stage follows", true, StageState::Waiting, L"10:00:00\\10:01:00"},
        {"it was the day's last", false, StageState::DayOver, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        freshRow();
        ASSERT_TRUE(exec("DELETE FROM file_list"));
        clock.setTimeOfDay(9, 0, 0);
        addTalk(L"09:30:00", L"09:31:00", L"取消");
        if (c.anotherFollows) addTalk(L"10:00:00", L"10:01:00", L"下一");
        startRun();
        runUntilTime(at(9, 0, 10));
        ASSERT_EQ(timing().stagestate, StageState::Waiting);
        ASSERT_EQ(glass().stageperiod, L"09:30:00\\09:31:00");
        plans::Frm_offtensetting& w = forms::Frm_offtensetting();
        w.Show();
        ASSERT_TRUE(w.loaded());
        w.Ctl(L"List2").setListIndex(0);
        messageAnswer = IDYES;
        w.Ctl(L"Cmd_del").click();
        ASSERT_TRUE(exec("SELECT 1 FROM file_list WHERE title = '取消'")->empty());
        runUntilTime(at(9, 0, 12));
        EXPECT_EQ(timing().stagestate, c.state);
        if (c.period) {
            EXPECT_EQ(glass().stageperiod, c.period);
        }
    }
}

// A run is measured from the start of the second it began in: 3.5 s after a start at 23:59:58.5,
// in whole seconds by the time of day.
TEST_F(RunScenario, TimeOfDaySourcesCountOnAcrossMidnight) {
    for (auto [mode, elapsed] : {std::pair<int16_t, int32_t>{1, 3500}, {2, 3000}}) {
        clock.setTimeOfDay(23, 59, 58, 500);
        shell::timingState().clockmode = mode;
        glass().Timer5.fire();
        clock.advance(3000);
        EXPECT_EQ(glass().remaintime(L"Timer1"), elapsed) << "mode " << mode;
    }
}

// Alarms 2 and 3 in consecutive seconds, and alarm 3's tick comes while alarm 2's prompt hands
// over to the blink. Alarm 3's prompt runs whole, and the clock, which the user shows, stays where
// it is.
TEST_F(RunScenario, APromptStartedWhileAnotherHandsOverRunsWholeAndTheShownClockStaysInPlace) {
    addTalk(L"09:00:00", L"09:01:00", L"汇报");
    ASSERT_TRUE(exec("UPDATE clocksetting SET tiemone = 30, timetwo = 11, tiemthree = 10"));
    clocks::time_glass& g = glass();
    g.Form_Load();
    for (win::Timer* t : {&g.Timer1, &g.Timer2, &g.Timer3, &g.Timer4, &g.Timer5, &g.daywatch}) t->detach();
    startRun();
    runUntil([&] { return g.alarmlevel == 2 && g.Timer2.enabled(); });
    g.Timer2.fire();  // the clock in its place
    const int left = g.Left(), top = g.Top();
    g.Timer2.fire();
    ASSERT_EQ(g.promptstep, clocks::prompt::handOver);
    // The next main tick, a second later, is alarm 3's: it runs in the hand-over's pump.
    clock.advance(g.Timer1.interval());
    PostMessageW(g.hwnd(), WM_TIMER, g.Timer1.id(), 0);
    g.Timer2.fire();
    ASSERT_EQ(g.alarmlevel, 3);

    std::vector<int> steps;
    for (int i = 0; i < 10 && g.Timer2.enabled(); ++i) {
        steps.push_back(g.promptstep);
        g.Timer2.fire();
        EXPECT_EQ(g.Left(), left);
        EXPECT_EQ(g.Top(), top);
    }
    using namespace clocks::prompt;
    EXPECT_EQ(steps, (std::vector<int>{place, repaint, handOver}));
    for (int i = 0; i < 100 && g.Timer3.enabled(); ++i) g.Timer3.fire();
    EXPECT_FALSE(g.Timer2.enabled());
    EXPECT_EQ(g.Left(), left);
}

TEST_F(RunScenario, HiddenClockComesBackForItsPromptAndIsParkedAgainAfterIt) {
    shell::applyFirstRunDefaults(shell::clockSetting());
    shell::timingState().remainingms = 900;  // the run's last second: the main tick stays off
    clocks::time_glass& g = glass();
    g.shown = false;
    g.blinking = true;
    g.promptstep = clocks::prompt::place;
    g.prompting = true;
    g.alarmlevel = 1;
    g.Timer2.enabled(true);
    for (int i = 0; i < 10 && g.Timer2.enabled(); ++i) g.Timer2.fire();
    EXPECT_FALSE(g.Timer1.enabled());

    std::vector<bool> faceShown;
    for (int i = 0; i < 20 && g.Timer3.enabled(); ++i) {
        g.Timer3.fire();
        faceShown.push_back(g.face().faceVisible());
    }
    EXPECT_EQ(faceShown, (std::vector<bool>{false, true, false, true, false, true, true}));
    EXPECT_TRUE(g.Timer2.enabled() && forms::time_glasstwo().Timer2.enabled());

    for (int i = 0; i < 10 && g.Timer2.enabled(); ++i) g.Timer2.fire();
    EXPECT_LT(g.Left(), -4000);
    EXPECT_FALSE(g.prompting);
    EXPECT_EQ(g.promptstep, clocks::prompt::finish);
}

}  // namespace
