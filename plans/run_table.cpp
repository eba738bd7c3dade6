#include "plans/run_table.h"

#include <cwchar>

#include "shell/db_query.h"
#include "shell/meeting_db.h"

namespace plans {
namespace {

constexpr char kAllRuns[] =
    "SELECT ID, set_time, use_time, out_time, pause_time, filename FROM timesum ORDER BY ID ASC";
constexpr char kDeleteRun[] = "DELETE FROM timesum WHERE ID = ?1";

RunRecord runOf(const shell::Query& row) {
    RunRecord run;
    row.whole(0, run.ID);
    run.set_time = row.time(1);
    run.use_time = row.time(2);
    run.out_time = row.time(3);
    run.pause_time = row.time(4);
    run.filename = row.text(5);
    return run;
}

bool run(sqlite3* db, const char* sql) { return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK; }

bool deleteEach(sqlite3* db, const std::vector<int64_t>& ids) {
    for (int64_t id : ids) {
        if (shell::Query(db, kDeleteRun, {std::to_wstring(id)}).failed()) return false;
    }
    return true;
}

std::wstring hms(const std::optional<shell::TimeOfDay>& t) { return t ? shell::formatHms(*t) : std::wstring(); }

// "h:mm:ss": the hours without a leading zero.
std::wstring hmsShortHour(const std::optional<shell::TimeOfDay>& t) {
    std::wstring text = hms(t);
    return text.size() == 8 && text[0] == L'0' ? text.substr(1) : text;
}

}  // namespace

std::optional<std::vector<RunRecord>> listRuns() {
    shell::UniqueDatabase db = shell::openMeetData();
    if (!db) return std::nullopt;
    std::vector<RunRecord> runs;
    shell::Query q(db.get(), kAllRuns, {});
    for (; q.hasRow(); q.next()) runs.push_back(runOf(q));
    if (q.failed()) return std::nullopt;
    return runs;
}

bool deleteRuns(const std::vector<int64_t>& ids) {
    shell::UniqueDatabase db = shell::openMeetData();
    if (!db || !run(db.get(), "BEGIN IMMEDIATE")) return false;
    if (deleteEach(db.get(), ids) && run(db.get(), "COMMIT")) return true;
    run(db.get(), "ROLLBACK");
    return false;
}

std::vector<std::wstring> runRowFields(const RunRecord& run, int position) {
    wchar_t number[16];
    std::swprintf(number, 16, L"%03d", position);
    return {number, hms(run.set_time), hms(run.use_time), hmsShortHour(run.out_time), hmsShortHour(run.pause_time),
            run.filename};
}

ExportTable runExportTable(const std::vector<ListedRun>& runs) {
    ExportTable table(1);
    for (const wchar_t* header : kRunHeaders) table[0].emplace_back(std::wstring(header));
    for (const ListedRun& run : runs) {
        std::vector<std::wstring> fields = runRowFields(run.record, run.position);
        auto& row = table.emplace_back();
        row.emplace_back(static_cast<double>(run.position));
        for (size_t f = 1; f < fields.size(); ++f) row.emplace_back(std::move(fields[f]));
    }
    return table;
}

size_t columnGapLength(const std::function<int(const std::wstring&)>& width, int listWidth) {
    constexpr size_t kMostBlanks = 50;
    constexpr float kShare = 5040.0f / 6850.0f;
    // Five gaps, so five blanks more widen the sample as one blank more in every gap would.
    std::wstring sample;
    for (const wchar_t* field : kGapSample) sample += (sample.empty() ? L"" : L" ") + std::wstring(field);
    size_t blanks = 1;
    while (blanks < kMostBlanks && static_cast<float>(width(sample)) / static_cast<float>(listWidth) < kShare) {
        sample += L"     ";
        ++blanks;
    }
    return blanks;
}

}  // namespace plans
