#include "plans/run_table.h"

#include <cwchar>

#include "shell/db_query.h"
#include "shell/meeting_db.h"
#include "shell/time_rules.h"

namespace plans {
namespace {

constexpr char kAllRuns[] =
    "SELECT rowid, set_time, use_time, out_time, pause_time, filename FROM timesum ORDER BY ID ASC, rowid";
constexpr char kDeleteRun[] = "DELETE FROM timesum WHERE rowid = ?1";

RunRecord runOf(const shell::Query& row) {
    RunRecord run;
    row.whole(0, run.rowid);
    run.set_time = row.text(1);
    run.use_time = row.text(2);
    run.out_time = row.text(3);
    run.pause_time = row.text(4);
    run.filename = row.text(5);
    return run;
}

std::wstring hms(const std::wstring& stored) {
    auto t = shell::parseTimeOfDay(stored);
    return t ? shell::formatHms(*t) : stored;
}

// "h:mm:ss": the hours without a leading zero.
std::wstring hmsShortHour(const std::wstring& stored) {
    auto t = shell::parseTimeOfDay(stored);
    if (!t) return stored;
    std::wstring text = shell::formatHms(*t);
    return text[0] == L'0' ? text.substr(1) : text;
}

}  // namespace

shell::Read<std::vector<RunRecord>> listRuns() {
    shell::UniqueDatabase db = shell::openMeetData();
    if (!db) return shell::unreadFrom<std::vector<RunRecord>>(nullptr);
    std::vector<RunRecord> runs;
    shell::Query q(db.get(), kAllRuns, {});
    for (; q.hasRow(); q.next()) runs.push_back(runOf(q));
    if (q.failed()) return shell::unreadFrom<std::vector<RunRecord>>(db.get());
    return runs;
}

shell::Written deleteRuns(const std::vector<int64_t>& rowids) {
    shell::UniqueDatabase db = shell::openMeetData(shell::Patience::save);
    return shell::inTransaction(db.get(), [&] { return shell::deleteEachRow(db.get(), kDeleteRun, rowids); });
}

std::wstring positionText(int position) {
    wchar_t number[16];
    std::swprintf(number, 16, L"%03d", position);
    return number;
}

std::vector<std::wstring> runRowFields(const RunRecord& run, int position) {
    return {positionText(position), hms(run.set_time), hms(run.use_time), hmsShortHour(run.out_time),
            hmsShortHour(run.pause_time), run.filename};
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

size_t columnGapLength(const std::function<int(const std::wstring&)>& width, int listWidth,
                       const std::vector<std::wstring>& fields, float share) {
    constexpr size_t kMostBlanks = 50;
    std::wstring sample;
    for (size_t i = 0; i < fields.size(); ++i) sample += (i ? L" " : L"") + fields[i];
    // One blank more in every gap.
    const std::wstring widening(fields.size() > 1 ? fields.size() - 1 : 1, L' ');
    size_t blanks = 1;
    while (blanks < kMostBlanks && static_cast<float>(width(sample)) / static_cast<float>(listWidth) < share) {
        sample += widening;
        ++blanks;
    }
    return blanks;
}

}  // namespace plans
