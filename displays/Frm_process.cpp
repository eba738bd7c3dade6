#include "displays/Frm_process.h"

#include <initializer_list>

#include "app/forms.h"
#include "clocks/time_glass.h"
#include "displays/floating_place.h"
#include "shell/ini_store.h"
#include "shell/look.h"
#include "shell/run_records.h"
#include "shell/settings_registry.h"

namespace displays {
namespace {

constexpr wchar_t kDesignCaption[] = L"演讲时间还剩20秒";
constexpr int kTextLeft = 240;  // the window wraps its text with these margins on each side
constexpr int kTextTop = 120;
constexpr int kParkGap = 5000;
constexpr int kTopRounds = 3;
constexpr unsigned kTopRoundMs = 1000;

}  // namespace

// The twin starts without a caption: the audience screen shows no text that is not the run's.
Frm_process::Frm_process(bool secondScreen)
    : bannertext(secondScreen ? L"" : kDesignCaption), secondScreen_(secondScreen) {
    for (win::Timer* t : {&Timer1, &Timer2, &Timer3, &Timer4}) addTimer(*t);
}

void Frm_process::Form_Load() {
    if (!createFloating(secondScreen_ ? L"Velmora.Frm_process_two" : L"Velmora.Frm_process")) return;
    shell::keepOnTop(hwnd());
    restyle();
    park(kParkGap);
    ShowWindow(hwnd(), SW_SHOWNOACTIVATE);
}

int Frm_process::centredLeft() const {
    int width = screenTwips().width;
    return (secondScreen_ ? width : 0) + (width - Width()) / 2;
}

void Frm_process::park(int gap) { Move(centredLeft(), -Height() - gap); }

void Frm_process::stopAndPark(int gap) {
    Timer3.enabled(false);
    endShow(gap);
}

void Frm_process::endShow(int gap) {
    for (win::Timer* t : {&Timer1, &Timer2, &Timer4}) t->enabled(false);
    park(gap);
}

POINT Frm_process::textAt() const { return {kTextLeft, kTextTop}; }

void Frm_process::restyle() {
    look_ = readBannerLook();
    int points = look_.text.points() + (secondScreen_ ? shell::readHotkeyAdd() : 0);
    useFont(look_.text.font, points);
    setTextColour(look_.text.colour());
    if (look_.transparent) {
        changcolor(look_.text.colour());
    } else {
        setBackColour(look_.back);
    }
    wrapText();
}

void Frm_process::wrapText() {
    faces::TwipsSize text = measure(bannertext);
    resize(text.width + 2 * kTextLeft, text.height + 2 * kTextTop);
    showText();
}

bool Frm_process::drivesTwin() const { return !secondScreen_ && shell::readSecondScreen() == 1; }

Frm_process& Frm_process::twin() { return forms::Frm_process_two(); }

void Frm_process::takeCaption(const std::wstring& text) {
    bannertext = text;
    showText();
}

void Frm_process::Timer3_Timer() {
    for (win::Timer* t : {&Timer1, &Timer2, &Timer3, &Timer4}) t->enabled(false);
    // Started before the main banner handed it a caption: it stays parked until then.
    if (bannertext.empty()) return park(kParkGap);
    shell::timingState().topmostpause = 0;
    restyle();
    shell::ClockSetting& cs = shell::clockSetting();
    BannerShow show = countdown_.start(forms::time_glass().alarmlevel, cs);
    if (show == BannerShow::Hidden) {
        hide();
        return;
    }
    // The twin shows what the main banner hands it; at the day's end the clock's text stays.
    if (show == BannerShow::Counting && !secondScreen_) {
        bannertext = bannerCaption(cs.tellprocesstext, countdown_.seconds());
    }
    wrapText();
    bool twinOn = drivesTwin();
    if (twinOn) twin().takeCaption(bannertext);
    Timer1.enabled(show == BannerShow::Blinking);
    Timer2.enabled(true);
    placeOnScreen();
    if (twinOn) twin().Timer3.enabled(true);
    toprounds_ = kTopRounds;
    Timer4.enabled(true);
}

void Frm_process::Timer2_Timer() {
    bool twinOn = drivesTwin();
    if (twinOn) twin().Timer2.enabled(true);
    int level = forms::time_glass().alarmlevel;
    BannerTick tick = countdown_.tick(level, shell::timingState().remainingms);
    if (tick.used) {
        if (!secondScreen_) twin().takeCaption(bannertext);  // the last second's text, second screen or not
        nextCaption(level);
        wrapText();
        if (twinOn) {
            twin().Timer2.enabled(true);
            twin().takeCaption(bannertext);
        }
    }
    if (tick.next == BannerShow::Hidden) hide();
    if (tick.next == BannerShow::Blinking) keepBlinking();
}

void Frm_process::nextCaption(int level) {
    if (secondScreen_) {
        bannertext = forms::Frm_process().bannertext;
    } else if (countsTime(level)) {
        bannertext = bannerCaption(shell::clockSetting().tellprocesstext, countdown_.seconds());
    }
}

void Frm_process::keepBlinking() {
    Timer1.enabled(true);
    Timer2.enabled(true);
    Timer3.enabled(false);
    if (secondScreen_) Timer4.enabled(false);
}

void Frm_process::Timer1_Timer() {
    if (drivesTwin()) twin().Timer1.enabled(true);
    COLORREF next = blinkColour(look_.text.colour(), textColour());
    setTextColour(next);
    if (look_.transparent) changcolor(next);
}

void Frm_process::Timer4_Timer() {
    // The twin ends any stay-on-top pause, so that it comes up on the second screen.
    if (secondScreen_) shell::timingState().topmostpause = 0;
    shell::keepOnTop(hwnd());
    Timer4.interval(kTopRoundMs);
    if (toprounds_ < 1) Timer4.enabled(false);
    --toprounds_;
    if (drivesTwin()) twin().Timer4.enabled(true);
}

void Frm_process::placeOnScreen() {
    WindowPosition p = bannerPosition(shell::readWindowPosition(shell::kProcessSite), {Width(), Height()},
                                      screenTwips(), secondScreen_);
    Move(p.left, p.top);
}

// What is shown goes, but a start asked for meanwhile still runs: the count-down of one prompt
// can end just after the clock armed the next alarm's start, in that alarm's very second.
void Frm_process::hide() {
    if (drivesTwin()) twin().endShow(kParkGap);
    endShow(kParkGap);
}

void Frm_process::mouseMove(bool leftOnly, POINT at) {
    pauseStayOnTop();
    if (leftOnly) {
        followMouse();
        // The twin follows the main banner's saved place; where it was dragged is not kept.
        if (!secondScreen_) {
            dropOnScreenAfterMove(at, kHangBelowBottom);
            shell::saveprocesssite(Left(), Top());
        }
    }
    // Left on the screen without a count-down, the banner goes as soon as the mouse passes.
    if (!Timer2.enabled()) hide();
}

}  // namespace displays
