// The submenu "常用时钟": the saved clocks of the meeting database, each started by a click or
// its hotkey.
#include "hub/Frm_exit.h"

#include <algorithm>
#include <chrono>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/forms.h"
#include "clocks/time_glass.h"
#include "shell/meeting_db.h"
#include "shell/run_records.h"
#include "shell/wall_clock.h"

namespace hub {
namespace {

constexpr wchar_t kNotSupportedMessage[] = L"操作系统是精简版本，不支持本功能";
constexpr unsigned kNotSupportedMessageMs = 1200;
// How long one slice of the submenu may hold the clock's thread.
constexpr std::chrono::milliseconds kFillSlice{30};

// The stage at this moment, then the clock's saved settings; unless done, why the file could
// not be read (what was set before stays set).
shell::Written loadPicked(const std::wstring& name) {
    shell::UniqueDatabase db = shell::openMeetData();
    if (!db) return shell::whyFailed(nullptr);
    shell::ClockSetting& setting = shell::clockSetting();
    std::optional<shell::StageLookup> stage = shell::stageForPickedClock(db.get(), shell::timeOfDayNow(), setting.tellShowtext);
    if (!stage) return shell::whyFailed(db.get());
    shell::takeStage(*stage);
    if (!shell::loadPickedClock(db.get(), name, stage->state, setting)) return shell::whyFailed(db.get());
    return shell::Written::done;
}

}  // namespace

bool Frm_exit::change_clock_menu() {
    std::optional<std::vector<std::wstring>> names = shell::savedClockNames();
    if (!names) {
        // Another program holds the file: the submenu stays as it is until the file reads.
        oftenRetry_.arm();
        return false;
    }
    hotkey_del();  // while the old items are still counted
    clearOftenMenu();
    fillOftenMenu(std::move(*names));
    setHotkeys(std::exchange(toldWhileWaiting_, {}));
    return true;
}

void Frm_exit::clearOftenMenu() { menu_often.clear(); }

void Frm_exit::fillOftenMenu(std::vector<std::wstring> names) {
    menu_often = std::move(names);
    menu_two3_enabled = !menu_often.empty();
    oftenSubmenu_.rebuild(menu_often);
    oftenFill.enabled(true);  // a menu open now holds the first slice back, not the whole fill
    oftenFill_Timer();
}

// A few clocks go in at once; thousands in slices between the ticks, and none while the menu is
// open. The timer stops once the submenu is whole.
void Frm_exit::oftenFill_Timer() {
    if (menuOpen_) return;
    auto end = std::chrono::steady_clock::now() + kFillSlice;
    bool whole = oftenSubmenu_.appendSome([end] { return std::chrono::steady_clock::now() < end; });
    oftenFill.enabled(!whole);
}

int Frm_exit::oftenItemCount() const {
    return std::clamp(static_cast<int>(menu_often.size()), 1, kMaxOftenHotkeys);
}

void Frm_exit::menu_often_Click(int index) {
    if (index < 0 || index >= static_cast<int>(menu_often.size())) return;
    oftenSubmenu_.check(index);
    if (shell::Written w = loadPicked(menu_often[index]); w != shell::Written::done) {
        shell::tellRefused(w, kNotSupportedMessage, kNotSupportedMessageMs);
        return;
    }
    forms::time_glass().restartRun(false);
}

}  // namespace hub
