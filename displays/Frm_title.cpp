#include "displays/Frm_title.h"

#include <initializer_list>

#include "displays/floating_place.h"
#include "shell/flag_strings.h"
#include "shell/ini_store.h"
#include "shell/look.h"
#include "shell/run_records.h"

namespace displays {
namespace {

constexpr int kMargin = 300;  // right of and below the text, which sits in the top-left corner
constexpr unsigned kTopRoundMs = 5000;

}  // namespace

Frm_title::Frm_title() {
    for (win::Timer* t : {&Timer1, &Timer3}) addTimer(*t);
}

void Frm_title::Form_Load() {
    if (!createFloating(L"Velmora.Frm_title")) return;
    restyle();
    parkOffScreen();
    ShowWindow(hwnd(), SW_SHOWNOACTIVATE);
}

void Frm_title::setTitletext(const std::wstring& text) {
    titletext_ = text;
    wrapText();
}

void Frm_title::restyle() {
    style_ = readTitleStyle();
    useFont(style_.font, style_.points());
    setTextColour(style_.colour());
    wrapText();
}

void Frm_title::wrapText() {
    if (!loaded()) return;
    faces::TwipsSize text = measure(titletext_);
    resize(text.width + kMargin, text.height + kMargin);
    showText();
}

void Frm_title::Timer3_Timer() {
    Timer3.enabled(false);
    shell::keepOnTop(hwnd());
    restyle();
    changcolor(style_.colour());
    if (!shell::flagOn(shell::clockSetting().checkvalue, shell::check::titleWindow) || titletext_.empty()) {
        parkOffScreen();
        Timer1.enabled(false);
        return;
    }
    WindowPosition p =
        titlePosition(shell::readWindowPosition(shell::kTitleSite), {Width(), Height()}, screenTwips());
    Move(p.left, p.top);
    Timer1.enabled(true);
}

void Frm_title::Timer1_Timer() {
    Timer1.interval(kTopRoundMs);
    shell::keepOnTop(hwnd());
}

bool Frm_title::onText(POINT at) const {
    faces::TwipsSize text = measure(titletext_);
    return at.x < text.width && at.y < text.height;
}

void Frm_title::mouseMove(bool leftOnly, POINT at) {
    // Only the margin round the text holds the windows' stay-on-top back.
    if (!onText(at)) pauseStayOnTop();
    if (!leftOnly) return;
    followMouse();
    dropOnScreenAfterMove(at, 0);
    shell::savetitlesite(Left(), Top());
}

}  // namespace displays
