#include "plans/run_table.h"

#include <windows.h>

#include <cwchar>

#include "shell/meeting_db.h"
#include "shell/program_folder.h"
#include "win/text.h"

namespace plans {
namespace {

constexpr char kAllRuns[] =
    "SELECT ID, set_time, use_time, out_time, pause_time, filename FROM timesum ORDER BY ID ASC";
constexpr char kDeleteRun[] = "DELETE FROM timesum WHERE ID = ?1";

std::wstring columnText(sqlite3_stmt* st, int col) {
    const auto* chars = reinterpret_cast<const char*>(sqlite3_column_text(st, col));
    if (!chars) return {};
    return win::fromUtf8(std::string_view(chars, sqlite3_column_bytes(st, col)));
}

RunRecord runOf(sqlite3_stmt* st) {
    RunRecord run;
    run.ID = sqlite3_column_int64(st, 0);
    run.set_time = shell::parseTimeOfDay(columnText(st, 1));
    run.use_time = shell::parseTimeOfDay(columnText(st, 2));
    run.out_time = shell::parseTimeOfDay(columnText(st, 3));
    run.pause_time = shell::parseTimeOfDay(columnText(st, 4));
    run.filename = columnText(st, 5);
    return run;
}

bool run(sqlite3* db, const char* sql) { return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK; }

bool deleteEach(sqlite3* db, const std::vector<int64_t>& ids) {
    shell::UniqueStatement st;
    if (sqlite3_prepare_v2(db, kDeleteRun, -1, st.put(), nullptr) != SQLITE_OK) return false;
    for (int64_t id : ids) {
        sqlite3_reset(st.get());
        if (sqlite3_bind_int64(st.get(), 1, id) != SQLITE_OK || sqlite3_step(st.get()) != SQLITE_DONE) return false;
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

bool meetDataExists() {
    DWORD attributes = GetFileAttributesW(shell::inProgramFolder(shell::kMeetDataFile).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::optional<std::vector<RunRecord>> listRuns() {
    shell::UniqueDatabase db = shell::openMeetData();
    shell::UniqueStatement st;
    if (!db || sqlite3_prepare_v2(db.get(), kAllRuns, -1, st.put(), nullptr) != SQLITE_OK) return std::nullopt;
    std::vector<RunRecord> runs;
    int rc;
    while ((rc = sqlite3_step(st.get())) == SQLITE_ROW) runs.push_back(runOf(st.get()));
    if (rc != SQLITE_DONE) return std::nullopt;
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
