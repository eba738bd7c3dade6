// Exports 10,000 run records through the comma-separated route, as the statistics window does
// without a spreadsheet program: read the records, build the table, write the file. Prints the
// time of each part.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "bench/bench_folder.h"
#include "plans/export.h"
#include "plans/run_table.h"
#include "shell/meeting_db.h"
#include "shell/start_program.h"
#include "win/auto_message.h"
#include "win/text.h"

namespace {

constexpr int kRecords = 10000;

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

bool fillRuns(sqlite3* db) {
    const char* insert = "INSERT INTO timesum (set_time, use_time, out_time, pause_time, filename) "
                         "VALUES ('09:00:00', '09:20:00', '00:19:58', '00:00:02', ?1)";
    shell::UniqueStatement st;
    if (sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr) != SQLITE_OK ||
        sqlite3_prepare_v2(db, insert, -1, st.put(), nullptr) != SQLITE_OK) {
        return false;
    }
    for (int i = 0; i < kRecords; ++i) {
        std::string title = win::toUtf8(L"第" + std::to_wstring(i) + L"位发言, 汇报");
        sqlite3_reset(st.get());
        sqlite3_bind_text(st.get(), 1, title.c_str(), -1, SQLITE_TRANSIENT);
        if (sqlite3_step(st.get()) != SQLITE_DONE) return false;
    }
    return sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK;
}

}  // namespace

int main() {
    BenchFolder folder(L"velmora export bench");
    if (!folder.ready()) return 1;
    if (auto conn = shell::openMeetData(); !conn || !fillRuns(conn.get())) return 1;
    win::setMessageSink([](const win::MessageShown&) { return IDOK; });
    shell::setProgramStartSink([](const std::wstring&, const std::wstring&, int) { return true; });

    auto start = Clock::now();
    auto runs = plans::listRuns();
    double readMs = msSince(start);
    if (!runs || runs->size() != kRecords) return 1;
    std::vector<plans::ListedRun> listed;
    for (plans::RunRecord& run : *runs) listed.push_back({static_cast<int>(listed.size()) + 1, std::move(run)});
    auto exportStart = Clock::now();
    plans::export_to_excel(plans::kExportSheet, plans::runExportTable(listed), plans::ExportWindow::Statistics);
    double exportMs = msSince(exportStart);

    std::printf("CSV export of %d run records: read %.1f ms, table and file %.1f ms, total %.1f ms\n", kRecords,
                readMs, exportMs, readMs + exportMs);
    return 0;
}
