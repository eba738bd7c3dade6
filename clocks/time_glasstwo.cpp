// The second-screen clock: its place on the second monitor, its face built like the main
// clock's with a larger font, the alarm seconds it watches, and its prompt steps.
#include "clocks/time_glasstwo.h"

#include <windowsx.h>

#include <initializer_list>

#include "app/forms.h"
#include "clocks/alarm_rules.h"
#include "clocks/face_text.h"
#include "clocks/face_window.h"
#include "clocks/time_glass.h"
#include "clocks/time_source.h"
#include "displays/Frm_process.h"
#include "shell/clock_placement.h"
#include "shell/flag_strings.h"
#include "shell/ini_store.h"
#include "shell/look.h"
#include "shell/run_records.h"
#include "shell/settings_registry.h"
#include "win/floating.h"
#include "win/pump.h"
#include "win/twips.h"

namespace clocks {
namespace {

constexpr wchar_t kClassName[] = L"Velmora.time_glasstwo";
constexpr wchar_t kMeasuringTimer[] = L"Timer1";
constexpr int kDesignWidth = 2250;  // twips, until the face build sizes the window
constexpr int kDesignHeight = 750;
constexpr int32_t kParkLeftGap = 5000;
constexpr int32_t kParkTopGap = 15000;  // further up than the main clock's, so the two never meet
constexpr int kBannerParkGap = 2000;
constexpr unsigned kTickMs = 200;
constexpr unsigned kAfterAlarmMs = 1000;  // the tick after an alarm second skips the rest of it
constexpr unsigned kBlinkMs = 450;
constexpr int32_t kFaceMousePause = 200;  // stay-on-top waits while the mouse is on the face

// The main clock's size rule; the twin adds its increment on top.
int facePoints() {
    auto look = shell::lookCodeOf(shell::clockSetting().Fontselect);
    return shell::fontSizeOf(static_cast<int16_t>(look.sizeIndex)).value_or(0);
}

void showFace(ClockFace& face) {
    face.setFaceVisible(true);
    face.setBackgroundVisible(true);
}

}  // namespace

time_glasstwo::time_glasstwo() {
    for (win::Timer* t : {&Timer1, &Timer2, &Timer3, &Timer5}) addTimer(*t);
}

void time_glasstwo::Form_Load() {
    shell::ScreenTwips screen = shell::screenTwips();
    // Created parked, so that it never flashes on the primary screen.
    if (!create({kClassName}, win::floatingLayout(-screen.width - kParkLeftGap, -screen.height - kParkTopGap,
                                                  kDesignWidth, kDesignHeight))) {
        return;
    }
    face_.attach(hwnd());
    shell::keepOnTop(hwnd());
    Timer5.enabled(true);  // the set-up also runs at start-up
    if (optionOn()) {
        placeOnSecondScreen();
    } else {
        park();
    }
    ShowWindow(hwnd(), SW_SHOWNOACTIVATE);
}

bool time_glasstwo::optionOn() const { return shell::readSecondScreen() != 0; }

void time_glasstwo::placeOnSecondScreen() {
    shell::WindowPosition p =
        shell::secondClockPosition(shell::readWindowPosition(shell::kClockSiteTwo), shell::screenTwips(), Height());
    Move(p.left, p.top);
}

void time_glasstwo::park() {
    shell::ScreenTwips screen = shell::screenTwips();
    Move(-screen.width - kParkLeftGap, -screen.height - kParkTopGap);
}

void time_glasstwo::buildFace() {
    shell::ClockSetting& cs = shell::clockSetting();
    int points = facePoints() + addsize;
    COLORREF text = shell::colorOfIndex(static_cast<int16_t>(shell::lookCodeOf(cs.Fontselect).colourIndex));
    facetext = initialText(cs.optvalue, shell::timingState().stageseconds, cs.Time_all);
    face_.useFont(cs.clockFont, points);
    face_.setTextColour(text);
    dressBackground(face_, false, text);
    layOutFace(*this, face_, facetext);
}

void time_glasstwo::showMainFace() {
    addsize = shell::readHotkeyAdd();
    buildFace();
    paint();
    if (loaded()) UpdateWindow(hwnd());
}

// Both screens show the main clock's text.
void time_glasstwo::paint() { ShowStatue(forms::time_glass().facetext, facePoints() + addsize); }

int32_t time_glasstwo::remaintime(const std::wstring& timername) {
    if (timername != kMeasuringTimer) return 0;
    return elapsedOfRun(runstart);
}

void time_glasstwo::ShowStatue(const std::wstring& s, int points) {
    if (!loaded()) return;
    // Sized on the text it paints, as the main clock is, so that a text that widens (a count-up
    // past 9 or 99:59) shows whole; a blank paint, the dark phase of a blink, keeps the size.
    if (!s.empty()) facetext = s;
    showOnFace(*this, face_, faceAsked_, facetext, s, points);
    creatrange();
}

void time_glasstwo::creatrange() { face_.cutOutline(shell::lookCodeOf(shell::clockSetting().Fontselect).cornerSize()); }

void time_glasstwo::changcolor(COLORREF textColour) { face_.makeKeyTransparent(textColour); }

// Tick: watches the alarm seconds of the main clock's run; the main clock paints the time.
void time_glasstwo::Timer1_Timer() {
    Timer1.interval(kTickMs);
    shell::keepOnTop(hwnd());
    const shell::TimingState& t = shell::timingState();
    int32_t remaining = remainingMs(t.stageseconds, remaintime(kMeasuringTimer));
    if (runEnds(remaining)) {
        Timer1.enabled(false);
        Timer3.enabled(false);
        showFace(face_);
        return;
    }
    int level = alarmLevelAt(remaining, {t.stageseconds, alarmonesecs, alarmtwosecs, shell::clockSetting().Time_three});
    if (level > 0) fireAlarm(level);
}

void time_glasstwo::fireAlarm(int level) {
    Timer1.interval(kAfterAlarmMs);
    AlarmReaction r = alarmReaction(level, shell::clockSetting().checkvalue);
    if (r.prompt) {
        if (r.blink) blinking = true;
        promptstep = prompt::place;
        prompting = true;
        Timer2.enabled(true);
    }
    if (r.banner) forms::Frm_process_two().Timer3.enabled(true);
}

// Prompt step machine.
void time_glasstwo::Timer2_Timer() {
    int step = promptstep;
    switch (step) {
    case prompt::place:
        if (shell::readSecondScreen() == 1) placeOnSecondScreen();
        paint();
        break;
    case prompt::repaint: paint(); break;
    case prompt::finish:
        prompting = false;
        Timer2.enabled(false);
        showFace(face_);
        paint();
        break;
    case prompt::park:
        if (!shown) {  // only a clock the user hid goes away again
            shell::WindowPosition p = shell::parkedPosition(Width(), Height());
            Move(p.left, p.top);
        }
        blinking = false;
        break;
    case prompt::endBlink: blinking = false; break;
    case prompt::handOver:
        // Off before the messages run, so that a pending tick cannot enter this step again.
        Timer2.enabled(false);
        win::doEvents();
        Timer1.enabled(true);
        Timer3.enabled(true);
        break;
    }
    // A prompt started while this step ran (an alarm tick in its pump) goes on from its own step.
    if (promptstep == step) promptstep = promptStepAfter(step, prompting);
    win::doEvents();
}

void time_glasstwo::Timer3_Timer() {
    Timer3.interval(kBlinkMs);
    Timer3.enabled(false);
}

// Set-up, one shot: at load and at every run start of the main clock.
void time_glasstwo::Timer5_Timer() {
    shell::keepOnTop(hwnd());
    Timer5.enabled(false);
    forms::Frm_process_two().stopAndPark(kBannerParkGap);
    blinking = false;
    const shell::ClockSetting& cs = shell::clockSetting();
    alarmonesecs = cs.Time_one;
    alarmtwosecs = cs.Time_two;
    promptstep = prompt::place;
    shown = true;
    prompting = false;
    showMainFace();
    shell::ScreenShared& screen = shell::screenShared();
    screen.screenwidth = GetSystemMetrics(SM_CXFULLSCREEN);
    screen.screenheight = GetSystemMetrics(SM_CYFULLSCREEN);
    // The last start reading: both clocks measure from it, from the second the main clock's run
    // is measured from.
    ClockReading now = startOfSecond(readClock(), forms::time_glass().runstart.seconds);
    shell::TimingState& t = shell::timingState();
    if (auto tick = startTickFor(t.clockmode, now)) t.starttick = *tick;
    runstart = shell::TimeOfDay{now.secondsOfDay};
    if (!optionOn()) {
        park();
        return;
    }
    Timer2.enabled(true);
    Timer1.enabled(true);
    Timer3.enabled(false);
    startReactions();
}

void time_glasstwo::startReactions() {
    shell::ClockSetting& cs = shell::clockSetting();
    switch (shell::timingState().stagestate) {
    case shell::StageState::Covering:
        if (shell::flagOn(cs.checkvalue, shell::check::blinkStart)) {
            blinking = true;
            promptstep = prompt::place;
            prompting = true;
            Timer3.enabled(true);
        }
        if (shell::flagOn(cs.checkvalue, shell::check::textStart)) forms::Frm_process_two().Timer3.enabled(true);
        break;
    // Alarms 1 to 3 stay off while the run counts down to the next stage.
    case shell::StageState::Waiting: cs.checkvalue = withoutAlarms(cs.checkvalue); break;
    default: break;
    }
}

LRESULT time_glasstwo::onMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_PAINT: face_.paintWindow(); return 0;
    case WM_ERASEBKGND: return 1;  // the paint covers the whole window
    case WM_MOUSEMOVE:
        if (face_.hitsFace({GET_X_LPARAM(lp), GET_Y_LPARAM(lp)})) shell::timingState().topmostpause = kFaceMousePause;
        // The system moves the window; the twin neither bounds nor stores where it lands.
        if (wp & MK_LBUTTON) {
            ReleaseCapture();
            SendMessageW(hwnd(), WM_NCLBUTTONDOWN, HTCAPTION, 0);
            paint();
        }
        return 0;
    case WM_SIZE:
    case WM_KILLFOCUS:
        if (optionOn()) {
            relayOut(*this, face_, facetext);
        } else {
            park();
        }
        break;
    }
    return Window::onMessage(msg, wp, lp);
}

// The window frees its region itself; the font files go with the clock.
void time_glasstwo::onDestroy() {
    face_.attach(nullptr);
    face_.privateFonts().releaseAll();
}

}  // namespace clocks
