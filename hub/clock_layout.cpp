#include "hub/clock_layout.h"

#include <windows.h>

#include <limits>
#include <string>

#include "app/forms.h"
#include "clocks/time_glass.h"
#include "clocks/time_glasstwo.h"
#include "hub/Frm_exit.h"
#include "shell/clock_placement.h"
#include "shell/flag_strings.h"
#include "shell/ini_store.h"
#include "shell/look.h"
#include "shell/run_records.h"
#include "shell/settings_registry.h"
#include "win/pump.h"
#include "win/twips.h"

namespace hub {
namespace {

constexpr wchar_t kShownWord[] = L"隐藏";   // caption start while shown: clicking hides
constexpr wchar_t kParkedWord[] = L"显示";  // caption start while parked: clicking shows
constexpr size_t kWordLength = 2;
constexpr int kPromptIdle = 0;     // shown, no prompt step pending
constexpr int kPromptStart = 1;    // the prompt machine's first step
constexpr int kPromptHidden = 3;   // the step a parked clock keeps
constexpr DWORD kSettleMs = 10;

// Only the first two characters change; the blanks and the hotkey text after them stay.
void setCaptionWord(const wchar_t* word) {
    std::wstring& caption = forms::Frm_exit().menu_two1_caption;
    caption = word + (caption.size() > kWordLength ? caption.substr(kWordLength) : std::wstring());
}

bool secondScreenOn() { return shell::readSecondScreen() == 1; }

// The steps below are the same for both clocks, which share these member names.
template <class Clock>
void setPromptState(Clock& clock, int step, bool shown) {
    clock.promptstep = step;
    clock.shown = shown;
    clock.prompting = false;
}

template <class Clock>
void park(Clock& clock) {
    shell::WindowPosition p = shell::parkedPosition(clock.Width(), clock.Height());
    clock.Move(p.left, p.top);
    setPromptState(clock, kPromptHidden, false);
}

template <class Clock>
void restartPromptsIfIdle(Clock& clock) {
    if (clock.Timer2.enabled()) return;
    setPromptState(clock, kPromptStart, true);
    clock.Timer2.enabled(true);
}

void placeMainClock() {
    clocks::time_glass& glass = forms::time_glass();
    int32_t faceWidth = shell::screenShared().usepicture ? glass.Width() : glass.sizelabelWidth();
    shell::WindowPosition p = shell::mainClockPosition(shell::readWindowPosition(shell::kClockSite), shell::screenTwips(),
                                                       faceWidth, glass.Height());
    glass.Move(p.left, p.top);
}

void placeSecondClock() {
    clocks::time_glasstwo& two = forms::time_glasstwo();
    setPromptState(two, kPromptIdle, true);
    shell::WindowPosition p =
        shell::secondClockPosition(shell::readWindowPosition(shell::kClockSiteTwo), shell::screenTwips(), two.Height());
    two.Move(p.left, p.top);
}

}  // namespace

void clockshowhide() {
    if (forms::Frm_exit().menu_two1_caption.starts_with(kParkedWord)) {
        showclock();
    } else {
        hideclock();
    }
}

void showclock() {
    setPromptState(forms::time_glass(), kPromptIdle, true);
    setCaptionWord(kShownWord);
    placeMainClock();
    if (secondScreenOn()) placeSecondClock();
    clockreset();
    clockfontsize();
    win::doEvents();
    Sleep(kSettleMs);
    clockfontsize();
}

void hideclock() {
    park(forms::time_glass());
    if (secondScreenOn()) park(forms::time_glasstwo());
    setCaptionWord(kParkedWord);
}

void clockreset() {
    shell::timingState().topmostpause = 0;
    setCaptionWord(kShownWord);
    restartPromptsIfIdle(forms::time_glass());
    if (secondScreenOn()) restartPromptsIfIdle(forms::time_glasstwo());
}

void clockfontsize() {
    auto size = shell::fontSizeOf(static_cast<int16_t>(shell::lookCodeOf(shell::clockSetting().Fontselect).sizeIndex));
    if (!size) return;
    const std::wstring text = forms::time_glass().facetext;
    forms::time_glass().ShowStatue(text, *size);
    if (!secondScreenOn()) return;
    // Both faces show the main clock's text; the twin's size is raised by the second-screen increment.
    int32_t twinSize = *size + shell::readHotkeyAdd();
    if (twinSize <= std::numeric_limits<int16_t>::max()) forms::time_glasstwo().ShowStatue(text, twinSize);
}

void clockrefresh() {
    const clocks::time_glass& glass = forms::time_glass();
    bool onlyWhileTimed = shell::flagOn(shell::clockSetting().checkvalue, shell::check::onlyWhileTimed);
    if (onlyWhileTimed && !glass.Timer1.enabled() && !glass.Timer4.enabled()) {
        hideclock();
    } else {
        showclock();
    }
}

}  // namespace hub
