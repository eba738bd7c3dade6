// The main clock's look and its window: the load, the face build, the painting of the face, its
// shape and colour key, and what the mouse does with the window.
#include "clocks/time_glass.h"

#include <windowsx.h>

#include <algorithm>
#include <initializer_list>

#include "app/forms.h"
#include "clocks/alarm_rules.h"
#include "clocks/face_text.h"
#include "clocks/face_window.h"
#include "clocks/time_glasstwo.h"
#include "clocks/time_source.h"
#include "displays/Frm_process.h"
#include "faces/face_look.h"
#include "hub/Frm_exit.h"
#include "shell/clock_placement.h"
#include "shell/flag_strings.h"
#include "shell/ini_store.h"
#include "shell/look.h"
#include "shell/meeting_db.h"
#include "shell/run_records.h"
#include "shell/settings_registry.h"
#include "win/floating.h"
#include "win/pump.h"
#include "win/twips.h"

namespace clocks {
namespace {

constexpr wchar_t kClassName[] = L"Velmora.time_glass";
constexpr int kDesignWidth = 2250;  // twips, until the face build sizes the window
constexpr int kDesignHeight = 750;
constexpr int kBannerParkGap = 5000;
constexpr wchar_t kZeroTime[] = L"00:00:00";   // what bounds the position when no picture is used
constexpr int32_t kFaceMousePause = 200;       // stay-on-top waits while the mouse is on the face
constexpr int64_t kSecondsPerDay = 86400;

shell::LookCode look() { return shell::lookCodeOf(shell::clockSetting().Fontselect); }

// A two-digit size index always gives a size.
int facePoints() { return shell::fontSizeOf(static_cast<int16_t>(look().sizeIndex)).value_or(0); }

POINT twipsOf(POINT pixels) { return {win::pixelsToTwipsX(pixels.x), win::pixelsToTwipsY(pixels.y)}; }

// The system's own move loop moves the window with the mouse and returns when the button is up;
// then the clock is kept on the screen and its place stored for the next start.
void drag(time_glass& g, POINT at) {
    ReleaseCapture();
    SendMessageW(g.hwnd(), WM_NCLBUTTONDOWN, HTCAPTION, 0);
    // The loop started from this move; the way the mouse went since the press is added.
    POINT moved = twipsOf(at);
    POINT origin = g.face().dragOrigin;
    shell::WindowPosition p = faces::dropOnScreen({g.Left() + moved.x - origin.x, g.Top() + moved.y - origin.y},
                                           {g.Width(), g.Height()}, shell::screenTwips());
    g.Move(p.left, p.top);
    shell::saveclocksite(g.Left(), g.Top());
    g.ShowStatue(g.facetext, facePoints());
}

// On its own background the menu opens under the clock, at the mouse's column; on a see-through
// clock at the mouse.
void openMenu(time_glass& g) {
    if (!faces::opaqueBackground(shell::clockSetting().checkvalue)) return forms::Frm_exit().popupMenu();
    POINT at{};
    GetCursorPos(&at);
    RECT window{};
    GetWindowRect(g.hwnd(), &window);
    forms::Frm_exit().popupMenu({at.x, window.bottom});
}

void mouseMoved(time_glass& g, POINT at, bool leftHeld) {
    if (g.face().hitsFace(at)) shell::timingState().topmostpause = kFaceMousePause;
    if (leftHeld) drag(g, at);
}

// When the first run starts: the hub's start kick, still to come, then the run start's own
// interval. A run shows its first count for what is left of the second it starts in, so a face
// built for now would change at that start, off the run's rhythm, whenever the start falls in a
// later second.
shell::TimeOfDay firstRunStart(unsigned runStartMs) {
    ClockReading now = readClock();
    int64_t ahead = 0;
    if (auto due = forms::Frm_exit().startKickDue()) {
        ahead = std::max(static_cast<int32_t>(*due - now.tick), 0) + int64_t{runStartMs};
    }
    return shell::TimeOfDay{static_cast<int32_t>((now.msOfDay + ahead) / 1000 % kSecondsPerDay)};
}

}  // namespace

time_glass::time_glass() {
    for (win::Timer* t : {&Timer1, &Timer2, &Timer3, &Timer4, &Timer5, &daywatch}) addTimer(*t);
}

void time_glass::Form_Load() {
    if (!create({kClassName}, win::floatingLayout(0, 0, kDesignWidth, kDesignHeight))) return;
    face_.attach(hwnd());
    shell::keepOnTop(hwnd());
    if (shell::loadCurrentMeeting().fileBusy) {
        // Another program holds the file: no run starts until the stage change reads it; the
        // face shows the settings' clock meanwhile.
        shell::readsetting(shell::clockSetting());
        shell::timingState().stageUnread = true;
    }
    forms::Frm_process().stopAndPark(kBannerParkGap);
    forms::Frm_process_two().stopAndPark(kBannerParkGap);
    soundnames = shell::splitAtBackslash(shell::clockSetting().tellsoundname);
    addsize = shell::readHotkeyAdd();
    blinking = false;
    buildStageLength(firstRunStart(Timer5.interval()));  // the face that run keeps
    buildFace(false);
    promptstep = prompt::place;
    shown = true;
    prompting = false;
    paintFace();
    placeAtSavedPosition();
    ShowWindow(hwnd(), SW_SHOWNOACTIVATE);
}

int time_glass::sizelabelWidth() const { return face_.measure(kZeroTime).width; }

void time_glass::buildFace(bool stageStep) {
    shell::ClockSetting& cs = shell::clockSetting();
    int points = facePoints();
    COLORREF text = shell::colorOfIndex(static_cast<int16_t>(look().colourIndex));
    // Before the first lookup reads, no time: the second-screen clock shows this text too.
    const shell::TimingState& t = shell::timingState();
    facetext = t.stageUnread ? unknownStageText(cs.optvalue) : initialText(cs.optvalue, t.stageseconds, cs.Time_all);
    timelabel = shell::countsDown(cs.optvalue) ? cs.Time_all : shell::TimeOfDay{};
    face_.useFont(cs.clockFont, points);
    face_.setTextColour(text);
    dressBackground(face_, stageStep, text);
    layOutFace(*this, face_, facetext);
    if (shell::screenShared().usepicture) timelabel = cs.Time_all;
}

void time_glass::paintFace() {
    ShowStatue(facetext, facePoints());
    if (loaded()) UpdateWindow(hwnd());
}

void time_glass::placeAtSavedPosition() {
    int32_t faceWidth = shell::screenShared().usepicture ? Width() : sizelabelWidth();
    shell::WindowPosition saved = shell::readWindowPosition(shell::kClockSite);
    shell::WindowPosition p = shell::mainClockPosition(saved, shell::screenTwips(), faceWidth, Height());
    Move(p.left, p.top);
}

void time_glass::Label_change() {
    facetext = displayText(timelabel, shell::displayFormatOf(shell::clockSetting().optvalue));
    int points = facePoints();
    ShowStatue(facetext, points);
    if (shell::readSecondScreen() == 1) forms::time_glasstwo().ShowStatue(facetext, points + addsize);
    win::doEvents();
}

void time_glass::ShowStatue(const std::wstring& s, int points) {
    if (!loaded()) return;
    showOnFace(*this, face_, faceAsked_, facetext, s, points);
    creatrange();
}

void time_glass::creatrange() { face_.cutOutline(look().cornerSize()); }

void time_glass::changcolor(COLORREF textColour) { face_.makeKeyTransparent(textColour); }

LRESULT time_glass::onMessage(UINT msg, WPARAM wp, LPARAM lp) {
    POINT at{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
    switch (msg) {
    case WM_PAINT: face_.paintWindow(); return 0;
    case WM_ERASEBKGND: return 1;  // the paint covers the whole window
    case WM_LBUTTONDOWN: face_.dragOrigin = twipsOf(at); return 0;
    case WM_RBUTTONDOWN: openMenu(*this); return 0;
    case WM_MOUSEMOVE: mouseMoved(*this, at, wp & MK_LBUTTON); return 0;
    case WM_SIZE:
    case WM_KILLFOCUS: relayOut(*this, face_, facetext); break;
    }
    return Window::onMessage(msg, wp, lp);
}

// The window frees its region itself; the font files go with the clock.
void time_glass::onDestroy() {
    face_.attach(nullptr);
    face_.privateFonts().releaseAll();
}

}  // namespace clocks
