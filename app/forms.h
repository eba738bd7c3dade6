#pragma once
// The program's windows: each exists once for the life of the process and is reached from
// everywhere through these accessors, as the windows reach each other's timers and fields.
namespace hub { class Frm_exit; }
namespace clocks { class time_glass; class time_glasstwo; }
namespace displays { class Frm_process; class Frm_time; class Frm_title; }
namespace settings { class Settings; }
namespace plans { class Frm_data_sum; class Frm_offtensetting; }

namespace forms {

hub::Frm_exit& Frm_exit();
displays::Frm_process& Frm_process();
displays::Frm_process& Frm_process_two();
clocks::time_glass& time_glass();
clocks::time_glasstwo& time_glasstwo();
displays::Frm_time& Frm_time();
displays::Frm_title& Frm_title();
settings::Settings& Settings();
plans::Frm_data_sum& Frm_data_sum();
plans::Frm_offtensetting& Frm_offtensetting();

// Unloads every window and starts each afresh, as a new process would (tests).
void resetAll();

}  // namespace forms
