#pragma once
// The records of finished runs (table timesum) as the statistics window lists, deletes and
// exports them.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "plans/export.h"
#include "shell/db_query.h"

namespace plans {

// The titles of the six fields, over the list and in the export's header row.
inline constexpr const wchar_t* kRunHeaders[] = {L"序号", L"开始时间", L"结束时间", L"计时时间", L"空闲时间", L"标题"};
// The row the gap between fields is sized on.
inline constexpr const wchar_t* kGapSample[] = {L"001", L"03:00:00", L"03:00:00", L"3:00:00", L"3:00:00", L"1234.ppt"};

struct RunRecord {
    // The row itself: the table's ID may hold anything a hand-made table lets in.
    int64_t rowid = 0;
    // As stored; empty for an empty value.
    std::wstring set_time, use_time, out_time, pause_time;
    std::wstring filename;
};

// A record as the list shows it: at the position it was given when the list was filled.
struct ListedRun {
    int position = 0;  // 1-based
    RunRecord record;
};


// Every record in ID order; nothing when the file cannot be opened or read, or is held.
shell::Read<std::vector<RunRecord>> listRuns();

// Deletes these rows, all or none: unless done, the table is left as it was, when one of them
// cannot be deleted or is gone already, or the file is held.
shell::Written deleteRuns(const std::vector<int64_t>& rowids);

// A list position as the first field shows it: three digits at least ("001").
std::wstring positionText(int position);

// The six fields of the row shown for `run` at list position `position` (1-based):
// "001", start and end "hh:mm:ss", timed and idle duration "h:mm:ss", title. A stored time
// that reads as no time of day shows as stored.
std::vector<std::wstring> runRowFields(const RunRecord& run, int position);

// Header row, then one row per listed record: the position as a number and the shown fields.
ExportTable runExportTable(const std::vector<ListedRun>& runs);

// Blanks between the fields of a row (1 to 50): the fewest that make the sample row of
// `fields` at least `share` of the list's width, widening every gap of the sample by one blank
// at a time. `width` measures a text in the unit of `listWidth`.
size_t columnGapLength(const std::function<int(const std::wstring&)>& width, int listWidth,
                       const std::vector<std::wstring>& fields, float share);
// The share the statistics list's sample row takes.
inline constexpr float kRunGapShare = 5040.0f / 6850.0f;

}  // namespace plans
