#pragma once
// The meeting database MeetData.db beside the program: the saved clocks (clocksetting), the
// day's stages (file_list) and the record of finished runs (timesum). The file ships with the
// program and is never created here; each operation opens its own connection and closes it.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "shell/db_query.h"
#include "shell/run_records.h"
#include "shell/sqlite_handles.h"
#include "shell/time_rules.h"

namespace shell {

inline constexpr wchar_t kMeetDataFile[] = L"MeetData.db";

// Whether MeetData.db lies in the program folder.
bool meetDataExists();

// The box for a read or a change refused because another program holds the file: nothing was
// changed, and nothing is lost by trying again shortly.
void tellFileHeld();
// The box for a change refused because the user may not write the file or its folder.
inline constexpr wchar_t kMayNotWrite[] = L"受账户权限限制只能调用，保存数据需管理员权限";
inline constexpr unsigned kMayNotWriteMs = 2000;
// The box for a read or a change refused as a whole: the cause's own box (the one above while
// the file is held), or `failed` for `failedMs` when the file is missing or damaged.
void tellRefused(Written why, const wchar_t* failed, unsigned failedMs);

// Who waits for a file another program holds for a moment: the clock's own work waits only
// briefly (its thread must not stall), a save the user made in a window rides the hold out.
enum class Patience { clock, save };

// A connection to the file; empty when it is missing or cannot be opened now (whyFailed says
// which). A damaged file opens, and its first statement fails.
UniqueDatabase openMeetData(Patience patience = Patience::clock);

// What the stage lookup decided, for the main clock and the title window.
struct StageLookup {
    StageState state = StageState::NoDatabase;
    // "hh:mm:ss\hh:mm:ss": start and end of the current or next stage; "00:00\00:00" when no
    // stage is left today; nothing when the file could not be read (the period shown stays).
    std::optional<std::wstring> stageperiod;
    std::wstring titletext;  // the stage's title, else tellShowtext
    // Another program holds the file: nothing was read or taken; the caller tries again shortly.
    bool fileBusy = false;
    // NoDatabase: why the file could not be read.
    Written unread = Written::done;
};

// Decides from the day's stages which clock runs at `now` and fills `setting` for it: from the
// stage's saved clock (Time_all untouched; for a clock that is not saved the registry settings),
// or else from the settings registry with Time_all the wait for the next stage, 0 when no
// stage is left.
StageLookup lookupStage(TimeOfDay now, ClockSetting& setting);

// The windows' part of a stage put into effect: the period the main clock times and the title
// window's text. The program installs it with its windows; without one only the shared
// records change. nullptr: none again.
using StageShownSink = std::function<void(const StageLookup&)>;
void setStageShownSink(StageShownSink sink);

// Puts a stage into effect: the stage state and the day it was found for (`day`, yyyymmdd; today
// without one), for a covering stage the run record's title, then through the sink the clock's
// period and the title window's text.
void takeStage(const StageLookup& stage);
void takeStageOn(const StageLookup& stage, uint32_t day);

// The lookup for the present time, into clockSetting() and taken (takeStage), with the day it
// was made on; tells the user when the file cannot be read. While another program holds the file
// nothing changes.
StageLookup loadCurrentMeeting();

// The saved clock `name` into `setting`, value by value: a value that cannot be used, or a clock
// that is not saved, leaves `setting` as it was. False only when the table cannot be read.
bool loadSavedClock(sqlite3* db, const std::wstring& name, ClockSetting& setting);

// The names of the saved clocks in the order of their ID; a read error ends the list there, and
// a missing file gives none. Nothing while another program holds the file.
std::optional<std::vector<std::wstring>> savedClockNames();

// For a clock picked by hand: where `now` falls in the day's stages. The covering stage gives its
// period and title; else the next stage its period, or "00:00\00:00" when none is left, with
// `restTitle`. No clock is loaded. Nothing when the file cannot be read.
std::optional<StageLookup> stageForPickedClock(sqlite3* db, TimeOfDay now, const std::wstring& restTitle);

// Loads the saved clock `name` into `setting` for a start by hand in stage `state`. While waiting
// for a stage the first six switches of checkvalue stay, after the last stage all of them; the
// rest text is taken only while a stage covers now; Time_all stays. False only when the table
// cannot be read.
bool loadPickedClock(sqlite3* db, const std::wstring& name, StageState state, ClockSetting& setting);

// Appends the run in `t` to timesum while the run record is switched on (registry value
// Time_Record) and the file exists. A row that cannot be written now stays pending, in order,
// and is written by a retry timer of this thread, or at the next record. Another program's hold
// is waited out without a word; a cause that lasts (the file may not be written, the disk is
// full, the file does not open) is told once, by the retry, never inside the clock's tick.
void savetimerecord(const TimingState& t);

// Writes the run records still pending: done once none is left, else why the first was refused.
Written flushRunRecords();
// What tells the user that run records were not written, with `why` when that cause lasts.
std::wstring unwrittenRunsText(Written why);
// Tries the pending run records once more; what still cannot be written is named with its cause,
// and counts as told. Nothing when none is left.
std::optional<std::wstring> runsStillUnwritten();
// Drops the pending run records and their retry: the user let them go, or a fresh process starts
// (tests: one program folder each).
void forgetPendingRuns();

}  // namespace shell
