#include "displays/Frm_time.h"

#include <cwchar>
#include <initializer_list>

#include "displays/floating_place.h"
#include "shell/flag_strings.h"
#include "shell/ini_store.h"
#include "shell/look.h"
#include "shell/run_records.h"
#include "shell/wall_clock.h"

namespace displays {
namespace {

constexpr int kMargin = 100;  // on every side of the text

std::wstring hoursMinutes(shell::TimeOfDay t) {
    wchar_t text[8];
    std::swprintf(text, 8, L"%02d:%02d", static_cast<int>(t.seconds / 3600), static_cast<int>(t.seconds / 60 % 60));
    return text;
}

}  // namespace

Frm_time::Frm_time() {
    for (win::Timer* t : {&Timer1, &Timer3}) addTimer(*t);
}

void Frm_time::Form_Load() {
    if (!createFloating(L"Velmora.Frm_time")) return;
    restyle();
    refreshTime();
    parkOffScreen();
    ShowWindow(hwnd(), SW_SHOWNOACTIVATE);
}

POINT Frm_time::textAt() const {
    faces::TwipsSize text = measure(timetext_);
    return {(Width() - text.width) / 2, (Height() - text.height) / 2};
}

void Frm_time::restyle() {
    style_ = readTimeStyle();
    useFont(style_.font, style_.points());
    setTextColour(style_.colour());
    changcolor(style_.colour());
}

void Frm_time::refreshTime() {
    timetext_ = hoursMinutes(shell::timeOfDayNow());
    faces::TwipsSize text = measure(timetext_);
    resize(text.width + 2 * kMargin, text.height + 2 * kMargin);
    showText();
}

void Frm_time::Timer3_Timer() {
    Timer3.enabled(false);
    shell::keepOnTop(hwnd());
    restyle();
    refreshTime();
    if (!shell::flagOn(shell::clockSetting().checkvalue, shell::check::timeWindow)) {
        parkOffScreen();
        Timer1.enabled(false);
        return;
    }
    WindowPosition p = timePosition(shell::readWindowPosition(shell::kTimeSite), {Width(), Height()}, screenTwips());
    Move(p.left, p.top);
    Timer1.enabled(true);
}

void Frm_time::Timer1_Timer() {
    shell::keepOnTop(hwnd());
    refreshTime();
}

void Frm_time::mouseMove(bool leftOnly, POINT at) {
    pauseStayOnTop();
    if (!leftOnly) return;
    followMouse();
    dropOnScreenAfterMove(at, kHangBelowBottom);
    shell::savetimesite(Left(), Top());
}

}  // namespace displays
