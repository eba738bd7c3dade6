#include "app/forms.h"

#include <initializer_list>
#include <memory>

#include "clocks/time_glass.h"
#include "clocks/time_glasstwo.h"
#include "displays/Frm_process.h"
#include "displays/Frm_time.h"
#include "displays/Frm_title.h"
#include "hub/Frm_exit.h"
#include "plans/Frm_data_sum.h"
#include "plans/Frm_offtensetting.h"
#include "settings/Settings.h"
#include "shell/meeting_db.h"

namespace forms {
namespace {

struct All {
    hub::Frm_exit exit;
    displays::Frm_process process{false};
    displays::Frm_process processTwo{true};
    clocks::time_glass glass;
    clocks::time_glasstwo glassTwo;
    displays::Frm_time time;
    displays::Frm_title title;
    settings::Settings settings;
    plans::Frm_data_sum dataSum;
    plans::Frm_offtensetting offtenSetting;
};

// What the windows show of a stage put into effect: the period the main clock times and the
// title. A lookup that could not read the file leaves the period as it was.
void showStage(const shell::StageLookup& stage) {
    if (stage.stageperiod) time_glass().stageperiod = *stage.stageperiod;
    Frm_title().setTitletext(stage.titletext);
}

// From before any window runs, so that no stage lookup, whoever makes it, misses the windows.
[[maybe_unused]] const bool stageShownInstalled = [] {
    shell::setStageShownSink(showStage);
    return true;
}();

std::unique_ptr<All>& all() {
    static std::unique_ptr<All> instance = std::make_unique<All>();
    return instance;
}

}  // namespace

hub::Frm_exit& Frm_exit() { return all()->exit; }
displays::Frm_process& Frm_process() { return all()->process; }
displays::Frm_process& Frm_process_two() { return all()->processTwo; }
clocks::time_glass& time_glass() { return all()->glass; }
clocks::time_glasstwo& time_glasstwo() { return all()->glassTwo; }
displays::Frm_time& Frm_time() { return all()->time; }
displays::Frm_title& Frm_title() { return all()->title; }
settings::Settings& Settings() { return all()->settings; }
plans::Frm_data_sum& Frm_data_sum() { return all()->dataSum; }
plans::Frm_offtensetting& Frm_offtensetting() { return all()->offtenSetting; }

void resetAll() {
    // Unloaded while whole, so that each runs its own clean-up; the hub goes last, as at exit.
    All& a = *all();
    for (win::Window* w : std::initializer_list<win::Window*>{
             &a.offtenSetting, &a.dataSum, &a.settings, &a.title, &a.time, &a.glassTwo, &a.glass,
             &a.processTwo, &a.process, &a.exit}) {
        w->unload();
    }
    all().reset();
    all() = std::make_unique<All>();
}

}  // namespace forms
