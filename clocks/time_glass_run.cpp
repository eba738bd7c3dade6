// The run of the main clock: measuring the time, the main tick with its alarms, the alarm prompt
// and blinking, the change to the next stage and the start of a run.
#include <initializer_list>

#include "app/forms.h"
#include "clocks/alarm_rules.h"
#include "clocks/stage_run.h"
#include "clocks/time_glass.h"
#include "clocks/time_glasstwo.h"
#include "clocks/time_source.h"
#include "displays/Frm_process.h"
#include "displays/Frm_time.h"
#include "displays/Frm_title.h"
#include "shell/clock_placement.h"
#include "shell/flag_strings.h"
#include "shell/ini_store.h"
#include "shell/look.h"
#include "shell/meeting_db.h"
#include "shell/program_folder.h"
#include "shell/run_records.h"
#include "shell/settings_registry.h"
#include "shell/sound.h"
#include "shell/text_number.h"
#include "shell/wall_clock.h"
#include "win/pump.h"

namespace clocks {
namespace {

constexpr wchar_t kMeasuringTimer[] = L"Timer1";
constexpr wchar_t kDayOverText[] = L"今天计时结束";
constexpr wchar_t kDingSound[] = L"ding.wav";
constexpr unsigned kTickMs = 200;
constexpr unsigned kAfterAlarmMs = 1000;  // the tick after an alarm second skips the rest of it
constexpr unsigned kBlinkMs = 450;
constexpr unsigned kStageChangeMs = 200;
constexpr unsigned kRetryLookupMs = 2000;  // while the meeting database cannot be read
// While another program holds it: on the tick, so that a run begins within a tick of the file
// reading. A try waits for the file only a moment.
constexpr unsigned kRetryHeldMs = kTickMs;
constexpr int kBannerParkGap = 2000;
constexpr size_t kShortestSoundList = 3;  // a list this short names no sound
constexpr size_t kListedSounds = 5;       // start, alarms 1 to 3, stop
constexpr int32_t kTickNeededMs = 1000;   // below this the main tick has nothing left to count

bool secondScreenOn() { return shell::readSecondScreen() == 1; }

std::wstring soundPath(const std::wstring& name) { return shell::inProgramFolder(L"sounds\\" + name); }

// Where the list has no name, nothing is played or stopped.
void playListed(const std::vector<std::wstring>& names, size_t index) {
    if (index < names.size()) shell::playmusic(soundPath(names[index]));
}

void stopListed(const std::vector<std::wstring>& names, size_t index) {
    if (index < names.size()) shell::stopmusic(soundPath(names[index]));
}

// Stops every sound of a list in effect; false when the list is too short to name one.
bool stopSoundList(time_glass& g, const std::wstring& list) {
    if (list.size() <= kShortestSoundList) return false;
    g.soundnames = shell::splitAtBackslash(list);
    for (size_t i = 0; i < kListedSounds; ++i) stopListed(g.soundnames, i);
    g.soundnames.clear();
    return true;
}

// The sound folder as the path ends any wave sound still playing, a looped one included.
void stopWaveSounds() { shell::stopmusic(shell::inProgramFolder(L"sounds\\")); }

void showFace(ClockFace& face) {
    face.setFaceVisible(true);
    face.setBackgroundVisible(true);
}

void showBothFaces(time_glass& g) {
    showFace(g.face());
    showFace(forms::time_glasstwo().face());
}

std::optional<int16_t> faceFontSize() {
    return shell::fontSizeOf(static_cast<int16_t>(shell::lookCodeOf(shell::clockSetting().Fontselect).sizeIndex));
}

void repaint(time_glass& g) {
    if (auto size = faceFontSize()) g.ShowStatue(g.facetext, *size);
}

// The run length for the face, as a run started at `at` takes it, and the record's idle time
// cleared: the run start then keeps the face, not one a second short.
void measureStage(time_glass& g, shell::TimeOfDay at) {
    shell::TimingState& t = shell::timingState();
    shell::ClockSetting& cs = shell::clockSetting();
    RunLength r = runStartLength({t.stageseconds, cs.Time_all}, t.stagestate, stagePeriodOf(g.stageperiod), at);
    t.stageseconds = r.seconds;
    cs.Time_all = r.timeAll;
    g.lastshownms = t.stagems;
    t.pause_time = 0;
}

// The stage change after `ms`. Each arming names its interval: one left from a retry (2 s while
// the file cannot be read) would begin the next stage's run that late.
void changeStageIn(time_glass& g, unsigned ms) {
    g.Timer4.interval(ms);
    g.Timer4.enabled(true);
}

// ---- main tick ----

void showTime(time_glass& g, int32_t ms) {
    if (auto shown = shownTime(ms)) g.timelabel = *shown;
    g.Timer1.enabled(true);
    g.Label_change();
}

void alarmSound(time_glass& g, int level, bool loopDing) {
    stopListed(g.soundnames, level - 1);
    if (loopDing) {
        shell::loopmusic(soundPath(kDingSound));
    } else {
        playListed(g.soundnames, level);
    }
}

void fireAlarm(time_glass& g, int level) {
    // Counting down, the face changes only in the next second, which the tick a second later
    // finds. Counting up, it changes in this one, at the next whole second gone, which a tick a
    // second later would show most of a second late: its ticks keep their rhythm.
    if (shell::countsDown(shell::clockSetting().optvalue)) g.Timer1.interval(kAfterAlarmMs);
    AlarmReaction r = alarmReaction(level, shell::clockSetting().checkvalue);
    if (r.prompt) {
        if (r.blink) g.blinking = true;
        g.promptstep = prompt::place;
        g.prompting = true;
        g.alarmlevel = level;
        g.Timer2.enabled(true);
    }
    if (r.banner) {
        g.alarmlevel = level;
        forms::Frm_process().Timer3.enabled(true);
    }
    if (r.sound) alarmSound(g, level, r.loopDing);
}

// The ended run's face on both clocks, whole: the last tick may have come after a blink's dark
// phase, and the face stays while another program holds the file. The last tick comes up to a
// tick before the run's end: counting down, the face shows zero; counting up, the whole run.
void showEndedRun(time_glass& g) {
    if (shell::countsDown(shell::clockSetting().optvalue)) {
        g.timelabel = shell::TimeOfDay{};
    } else if (auto whole = shownTime(shell::timingState().stagems)) {
        g.timelabel = *whole;
    }
    g.Label_change();
}

void endRun(time_glass& g) {
    shell::screenShared().blinkcount = 0;
    g.Timer1.enabled(false);
    g.Timer3.enabled(false);
    showBothFaces(g);
    shell::TimingState& t = shell::timingState();
    stopSoundList(g, t.soundlist);
    stopWaveSounds();
    closeRunRecord(t, g.timedstage ? timedBefore(*g.timedstage, g.runstart) : 0);
    g.timedstage.reset();
    g.endedstage = endedRun(t.stagestate, stagePeriodOf(g.stageperiod), g.runstart, t.stageday);
    if (t.stagestate == shell::StageState::Covering && t.out_time > 1000) shell::savetimerecord(t);
    changeStageIn(g, kStageChangeMs);
    if (secondScreenOn()) forms::time_glasstwo().Timer1.enabled(false);
    showEndedRun(g);
}

// ---- prompt machine and blinking ----

void handOverToBlinking(time_glass& g) {
    // Off before the messages run, so that a pending tick cannot enter this step again.
    g.Timer2.enabled(false);
    win::doEvents();
    const shell::TimingState& t = shell::timingState();
    if (t.remainingms > kTickNeededMs) g.Timer1.enabled(true);
    g.Timer3.enabled(true);
    const shell::ClockSetting& cs = shell::clockSetting();
    shell::ScreenShared& s = shell::screenShared();
    BlinkCounters c = countersForPrompt(
        g.alarmlevel, {s.blinkcount, s.blinkrounds},
        {cs.checkvalue, t.stagestate == shell::StageState::Covering, cs.tellShowtime, cs.Time_three});
    s.blinkcount = c.blinkcount;
    s.blinkrounds = c.blinkrounds;
}

void parkClock(time_glass& g) {
    shell::WindowPosition p = shell::parkedPosition(g.Width(), g.Height());
    g.Move(p.left, p.top);
}

void darkPhase(time_glass& g) {
    time_glasstwo& two = forms::time_glasstwo();
    g.face().setFaceVisible(false);
    two.face().setFaceVisible(false);
    auto size = faceFontSize();
    if (!size) return;
    g.ShowStatue(L"", *size);
    if (secondScreenOn()) two.ShowStatue(L"", *size + g.addsize);
}

void lightPhase(time_glass& g) {
    g.face().setFaceVisible(true);
    forms::time_glasstwo().face().setFaceVisible(true);
    g.Label_change();
}

// The prompt is over: nothing darkens the face any more, whatever the alarm-3 count had left.
void endBlinking(time_glass& g) {
    shell::screenShared().blinkcount = 0;
    time_glasstwo& two = forms::time_glasstwo();
    g.Timer3.enabled(false);
    two.Timer3.enabled(false);
    g.face().setFaceVisible(true);
    two.face().setFaceVisible(true);
    g.blinking = false;
}

// ---- stage change ----

void announceDayOver(displays::Frm_process& banner) {
    banner.bannertext = kDayOverText;
    banner.Timer3.enabled(true);
}

// The banners read level 4 and keep the day-over text up; the prompt machine leaves its counters.
void endDay(time_glass& g) {
    bool announce = shell::flagOn(shell::clockSetting().checkvalue, shell::check::textStart);
    g.alarmlevel = announce ? kDayOverLevel : 0;
    if (announce) {
        announceDayOver(forms::Frm_process());
        if (secondScreenOn()) announceDayOver(forms::Frm_process_two());
    }
    g.promptstep = prompt::place;
    g.prompting = true;
    g.Timer2.enabled(true);
    forms::Frm_title().Timer3.enabled(true);
    forms::Frm_time().Timer3.enabled(true);
    forms::time_glasstwo().showMainFace();
    g.daywatch.enabled(true);
}

void nextStage(time_glass& g) {
    shell::TimingState& t = shell::timingState();
    t.elapsedms = 0;
    t.remainingms = 0;
    win::doEvents();
    g.Timer5.enabled(true);
}

// ---- run start ----

// Whatever the previous run left running: blinking, the banner, its sounds.
void clearPreviousRun(time_glass& g) {
    g.endedstage.reset();
    g.daywatch.enabled(false);
    shell::screenShared().blinkcount = 0;
    forms::Frm_process().stopAndPark(kBannerParkGap);
    if (stopSoundList(g, shell::timingState().soundlist)) stopWaveSounds();
}

// The length from the second the run starts in, which it is measured from; a run started again
// on the stage it times keeps that stage's timing.
void takeRunLength(time_glass& g) {
    shell::TimingState& t = shell::timingState();
    shell::ClockSetting& cs = shell::clockSetting();
    StagePeriod period = stagePeriodOf(g.stageperiod);
    g.runstart = shell::timeOfDayNow();
    RunLength r = runStartLength({t.stageseconds, cs.Time_all}, t.stagestate, period, g.runstart);
    t.stageseconds = r.seconds;
    cs.Time_all = r.timeAll;
    t.stagems = shell::roundHalfEven(t.stageseconds * 1000.0);
    g.alarmonesecs = cs.Time_one;
    g.alarmtwosecs = cs.Time_two;
    g.alarmsecond.reset();
    g.lastshownms = remainingMs(t.stageseconds, 0);  // the most the run shows
    if (t.stagestate == shell::StageState::Covering) {
        g.timedstage = stageTiming(g.timedstage, period, t.stageday, g.runstart);
    } else {
        g.timedstage.reset();
    }
    openRunRecord(t, period, forms::Frm_title().titletext());
}

void takeStartReading(time_glass& g) {
    shell::ScreenShared& screen = shell::screenShared();
    screen.screenwidth = GetSystemMetrics(SM_CXFULLSCREEN);
    screen.screenheight = GetSystemMetrics(SM_CYFULLSCREEN);
    shell::TimingState& t = shell::timingState();
    ClockReading start = startOfSecond(readClock(), g.runstart.seconds);
    if (auto tick = startTickFor(t.clockmode, start)) t.starttick = *tick;
    g.runstart = shell::TimeOfDay{start.secondsOfDay};
}

void switchOnTimers(time_glass& g) {
    g.Timer2.enabled(true);
    forms::time_glasstwo().Timer5.enabled(true);
    // The first tick comes one tick after the start, as every later one: the design's second
    // would leave the first change of the face most of a second late.
    g.Timer1.interval(kTickMs);
    g.Timer1.enabled(true);
    g.Timer3.enabled(false);
    g.Timer4.enabled(false);
    forms::Frm_title().Timer3.enabled(true);
    forms::Frm_time().Timer3.enabled(true);
}

void startRowReactions(time_glass& g) {
    const shell::ClockSetting& cs = shell::clockSetting();
    if (shell::flagOn(cs.checkvalue, shell::check::blinkStart)) {
        g.blinking = true;
        // On the blink's own phase: the timer's first, shorter interval, which the program's first
        // blink would come at, falls before the prompt machine hands the prompt's counts over, and
        // that tick would find none left and end the blink.
        g.Timer3.interval(kBlinkMs);
        g.Timer3.enabled(true);
        if (auto ticks = blinkTicks(cs.tellShowtime)) shell::screenShared().blinkcount = *ticks;
    }
    if (shell::flagOn(cs.checkvalue, shell::check::textStart)) forms::Frm_process().Timer3.enabled(true);
    if (shell::flagOn(cs.checkvalue, shell::check::soundStart)) playListed(g.soundnames, 0);
}

void startPrompt(time_glass& g) {
    g.promptstep = prompt::place;
    g.prompting = true;
    g.alarmlevel = 0;
    shell::ClockSetting& cs = shell::clockSetting();
    switch (shell::timingState().stagestate) {
    case shell::StageState::Covering: startRowReactions(g); break;
    case shell::StageState::Waiting:
        cs.checkvalue = withoutAlarms(cs.checkvalue);
        g.daywatch.enabled(true);
        break;
    case shell::StageState::DayOver: break;
    case shell::StageState::NoDatabase:
        // The face shows what it could build, but nothing runs without the schedule; the stage
        // change keeps trying the lookup, so a passing fault does not stop the clock for the day.
        for (win::Timer* t : {&g.Timer1, &g.Timer2, &g.Timer3, &g.Timer5}) t->enabled(false);
        changeStageIn(g, kRetryLookupMs);
        break;
    }
}

}  // namespace

int32_t time_glass::remaintime(const std::wstring& timername) {
    if (timername != kMeasuringTimer) return 0;
    return elapsedOfRun(runstart);
}

void time_glass::buildStageLength(shell::TimeOfDay runStartAt) {
    measureStage(*this, runStartAt);
    shell::timingState().out_time = 0;
}

// Main tick.
void time_glass::Timer1_Timer() {
    // Setting the interval restarts the timer, a trip to the window system: only after an alarm.
    if (Timer1.interval() != kTickMs) Timer1.interval(kTickMs);
    shell::keepOnTop(hwnd());
    shell::TimingState& t = shell::timingState();
    const shell::ClockSetting& cs = shell::clockSetting();
    int32_t elapsed = remaintime(kMeasuringTimer);
    int32_t remaining = remainingMs(t.stageseconds, elapsed);
    t.elapsedms = elapsed;
    t.remainingms = remaining;
    Filtered filtered = riseFilter(remaining, lastshownms);
    if (filtered.accepted) lastshownms = filtered.remaining;
    remaining = filtered.remaining;
    if (remaining > 0) showTime(*this, shell::countsDown(cs.optvalue) ? remaining : elapsed);
    if (runEnds(remaining)) {
        endRun(*this);
        return;
    }
    // Up to five ticks test the same second, and a count-up face's ticks follow one another
    // through an alarm second: it fires at the first of them.
    int32_t second = alarmSecondAt(remaining);
    int level = second == alarmsecond
                    ? 0
                    : alarmLevelAt(remaining, {t.stageseconds, alarmonesecs, alarmtwosecs, cs.Time_three});
    if (level > 0) {
        alarmsecond = second;
        fireAlarm(*this, level);
    }
    showBothFaces(*this);
}

// Alarm prompt machine.
void time_glass::Timer2_Timer() {
    int step = promptstep;
    switch (step) {
    case prompt::place:
        placeAtSavedPosition();
        repaint(*this);
        break;
    case prompt::repaint: repaint(*this); break;
    case prompt::finish:
        prompting = false;
        Timer2.enabled(false);
        showFace(face());
        repaint(*this);
        break;
    case prompt::park:
        if (!shown) parkClock(*this);  // only a clock the user hid goes away again
        blinking = false;
        break;
    case prompt::endBlink: blinking = false; break;
    case prompt::handOver: handOverToBlinking(*this); break;
    }
    // A prompt started while this step ran (an alarm tick in its pump) goes on from its own step.
    if (promptstep == step) promptstep = promptStepAfter(step, prompting);
    win::doEvents();
}

// Blinking and the prompt's duration.
void time_glass::Timer3_Timer() {
    Timer3.interval(kBlinkMs);
    // The count's parity is the phase to paint: an odd count darkens the face. The main tick shows
    // the face between two blinks, so the face's visibility cannot tell the phase, and a light
    // phase painted with the dark phase's count would stay blank until the next main tick.
    shell::ScreenShared& s = shell::screenShared();
    if (s.blinkcount > 0) --s.blinkcount;
    // The last second of a run being timed shows its time whole: a dark phase that would reach
    // into it, and every one after it, is left out.
    if (s.blinkcount % 2 != 0 && Timer1.enabled() &&
        !darkPhaseFits(remainingMs(shell::timingState().stageseconds, remaintime(kMeasuringTimer)), kBlinkMs)) {
        s.blinkcount = 0;
    }
    if (blinking) {
        if (s.blinkcount % 2 != 0) {
            darkPhase(*this);
        } else {
            lightPhase(*this);
        }
    }
    if (s.blinkrounds < 1) endBlinking(*this);
    // A clock the user had hidden goes away again once the prompt is over.
    if (prompting && !shown && s.blinkrounds <= 0) {
        Timer2.enabled(true);
        forms::time_glasstwo().Timer2.enabled(true);
    }
    if (s.blinkrounds > 0) --s.blinkrounds;
}

// Stage change, one shot.
void time_glass::Timer4_Timer() {
    Timer4.enabled(false);
    shell::keepOnTop(hwnd());
    if (endedstage && stillCovers(*endedstage, shell::dayOf(shell::wallClock().localTime()), shell::timeOfDayNow())) {
        changeStageIn(*this, kStageChangeMs);  // the ended run's face stays to the stage's end
        return;
    }
    shell::StageLookup found = shell::loadCurrentMeeting();
    if (found.fileBusy) {
        // The ended run's face stays until the file can be read: the next run then counts from
        // the real time, so no second of its stage is lost.
        changeStageIn(*this, kRetryHeldMs);
        return;
    }
    if (found.state == shell::StageState::NoDatabase) {
        // No run starts without the schedule: the face stays as it is, an ended run's zero as
        // under a hold, not a face built for a length that no stage gave.
        changeStageIn(*this, kRetryLookupMs);
        return;
    }
    Timer1.enabled(false);  // a wait that went on counting under a hold ends here
    shell::timingState().topmostpause = 0;
    forms::Frm_process().stopAndPark(kBannerParkGap);
    forms::Frm_process_two().stopAndPark(kBannerParkGap);
    addsize = shell::readHotkeyAdd();
    blinking = false;
    measureStage(*this, shell::timeOfDayNow());
    buildFace(true);
    promptstep = prompt::place;
    prompting = false;
    paintFace();
    const shell::TimingState& t = shell::timingState();
    if (dayIsOver(t.stagestate, shell::clockSetting().Time_all)) {
        endDay(*this);
    } else {
        nextStage(*this);
    }
}

// While no stage is timed: a new day is looked up as at start, and its stages are timed.
void time_glass::daywatch_Timer() {
    if (shell::dayOf(shell::wallClock().localTime()) == shell::timingState().stageday) return;
    daywatch.enabled(false);
    Timer1.enabled(false);
    changeStageIn(*this, kStageChangeMs);
}

// Run start, one shot.
void time_glass::Timer5_Timer() {
    Timer5.enabled(false);
    shell::keepOnTop(hwnd());
    if (shell::timingState().stageUnread) {
        changeStageIn(*this, kRetryHeldMs);  // a run without a length would end at once
        return;
    }
    clearPreviousRun(*this);
    shell::TimingState& t = shell::timingState();
    t.soundlist = shell::clockSetting().tellsoundname;
    soundnames = shell::splitAtBackslash(t.soundlist);
    addsize = shell::readHotkeyAdd();
    blinking = false;
    takeRunLength(*this);
    buildFace(true);
    paintFace();
    takeStartReading(*this);
    switchOnTimers(*this);
    startPrompt(*this);
}

void time_glass::restartRun(bool held) {
    if (held && Timer1.enabled()) {
        changeStageIn(*this, kRetryHeldMs);  // the wait goes on counting; only the lookup waits for the file
        return;
    }
    if (held) shell::timingState().stageUnread = true;  // the run start waits for a lookup that reads
    Timer1.enabled(false);
    Timer4.enabled(false);
    Timer5.enabled(true);
}

}  // namespace clocks
