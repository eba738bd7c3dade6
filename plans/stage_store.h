#pragma once
// The saved clocks (clocksetting) and the day's stages (file_list) as the stage window reads
// and changes them. Every value is bound; every change of several rows is one transaction.
// A row is told apart by its rowid, never by a name or a time that two rows may share.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "shell/db_query.h"
#include "shell/meeting_db.h"
#include "shell/run_records.h"
#include "shell/time_rules.h"

namespace plans {

struct SavedClock {
    int64_t rowid = 0;
    std::wstring clockname, setdate, remark;
    int64_t ID = 0;
    int64_t alarms[3] = {0, 0, 0};  // tiemone, timetwo, tiemthree; 0 where none is stored
};

// Start and end as stored: "hh:mm:ss", or whatever a table made by another tool holds.
struct StoredStage {
    int64_t rowid = 0;
    std::wstring starttime, endtime;
    std::wstring clockname, title;
};

// Saved clocks in ID order, stages by start time; those whose name (clocks) or title (stages)
// holds `search` as typed, every character taken literally, a missing name or title counting as
// empty. Nothing when the file is missing, cannot be read or is held. The changes below, and the
// stages read for a new one, wait out a moment's hold (shell::Patience::save).
shell::Read<std::vector<SavedClock>> listClocks(const std::wstring& search = {});
shell::Read<std::vector<StoredStage>> listStages(const std::wstring& search = {},
                                                 shell::Patience patience = shell::Patience::clock);

// Adds a stage: its rowid; nothing when the file is missing or refuses it.
shell::Read<int64_t> insertStage(shell::TimeOfDay start, shell::TimeOfDay end, const std::wstring& clockname,
                                 const std::wstring& title);

// A new saved clock: its place in the list (1 or less the first, past the end the last),
// the row's own fields and the settings it keeps.
struct NewClock {
    int64_t place = 0;
    std::wstring clockname, setdate, remark;
    shell::ClockSetting setting;
};
// Puts the clock at its place, the clocks from there on one place down, and numbers every clock
// 1, 2, ... in that order, so the IDs stay unique and follow the list; all or none.
shell::Written insertClock(const NewClock& clock);

// True when no saved clock has that name (the column's own equality); nothing when the lookup fails.
shell::Read<bool> clockNameFree(const std::wstring& name);

// Gives the clocks of `rowids` the IDs 1, 2, ... in that order; all or none.
shell::Written saveclockorder(const std::vector<int64_t>& rowids);

// Deletes the clocks no stage runs, keeps those a stage runs (inUse), then numbers the clocks
// 1, 2, ... in their ID order. All or none: unless done, the table is left as it was, when one
// of them cannot be checked or deleted or is gone already, or the file is held.
struct ClocksDeleted {
    shell::Written written = shell::Written::failed;
    std::vector<int64_t> inUse;
};
ClocksDeleted deleteClocks(const std::vector<int64_t>& rowids);
// Deletes the stages; all or none, as above.
shell::Written deleteStages(const std::vector<int64_t>& rowids);

// The LIKE pattern that finds `text` anywhere, with "\" as its escape character.
std::wstring containsPattern(const std::wstring& text);

}  // namespace plans
