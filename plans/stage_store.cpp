#include "plans/stage_store.h"

#include <algorithm>

#include "shell/db_query.h"
#include "shell/meeting_db.h"

namespace plans {
namespace {

constexpr char kClocks[] =
    "SELECT rowid, clockname, setdate, remark, ID, tiemone, timetwo, tiemthree FROM clocksetting "
    "WHERE ifnull(clockname, '') LIKE ?1 ESCAPE '\\' ORDER BY ID, rowid";
constexpr char kStages[] =
    "SELECT rowid, starttime, endtime, clockname, title FROM file_list "
    "WHERE ifnull(title, '') LIKE ?1 ESCAPE '\\' ORDER BY rowid";
constexpr char kInsertStage[] = "INSERT INTO file_list (starttime, endtime, clockname, title) VALUES (?1, ?2, ?3, ?4)";
constexpr char kInsertClock[] =
    "INSERT INTO clocksetting (ID, clockname, setdate, remark, timeall, tiemone, timetwo, tiemthree, checkvalue, "
    "optvalue, tellShowtime, tellsoundname, tellprocesstext, tellShowtext, clockFont, Fontselect, picturename, "
    "time_top, time_left, picture_width, picture_height) "
    "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15, ?16, ?17, 0, 0, 0, 0)";
constexpr char kClockNamed[] = "SELECT 1 FROM clocksetting WHERE clockname = ?1";
constexpr char kClockRunning[] =
    "SELECT 1 FROM file_list WHERE clockname = (SELECT clockname FROM clocksetting WHERE rowid = ?1)";
constexpr char kSetClockId[] = "UPDATE clocksetting SET ID = ?1 WHERE rowid = ?2";
constexpr char kDeleteClock[] = "DELETE FROM clocksetting WHERE rowid = ?1";
constexpr char kDeleteStage[] = "DELETE FROM file_list WHERE rowid = ?1";
constexpr char kClockOrder[] = "SELECT rowid FROM clocksetting ORDER BY ID, rowid";
// The time the row's never-read column timeall has always held.
constexpr wchar_t kTimeAll[] = L"12:00:00";

std::wstring number(int64_t n) { return std::to_wstring(n); }

// Each row through `readRow`; nothing when the file does not open or a statement fails.
template <typename Row, typename ReadRow>
shell::Read<std::vector<Row>> rowsOf(const char* sql, const std::wstring& search, ReadRow readRow,
                                     shell::Patience patience = shell::Patience::clock) {
    shell::UniqueDatabase db = shell::openMeetData(patience);
    if (!db) return shell::unreadFrom<std::vector<Row>>(nullptr);
    std::vector<Row> rows;
    shell::Query q(db.get(), sql, {containsPattern(search)});
    for (; q.hasRow(); q.next()) {
        auto row = readRow(q);
        if (!row) return std::nullopt;
        rows.push_back(std::move(*row));
    }
    if (q.failed()) return shell::unreadFrom<std::vector<Row>>(db.get());
    return rows;
}

bool numberInOrder(sqlite3* db, const std::vector<int64_t>& rowids) {
    for (size_t i = 0; i < rowids.size(); ++i) {
        if (shell::Query(db, kSetClockId, {number(static_cast<int64_t>(i + 1)), number(rowids[i])}).failed()) return false;
    }
    return true;
}

std::optional<std::vector<int64_t>> clockOrder(sqlite3* db) {
    std::vector<int64_t> rowids;
    shell::Query q(db, kClockOrder, {});
    for (; q.hasRow(); q.next()) {
        int64_t id = 0;
        if (!q.whole(0, id)) return std::nullopt;
        rowids.push_back(id);
    }
    if (q.failed()) return std::nullopt;
    return rowids;
}

// Whether `sql` finds a row for `name`; nothing when it fails.
shell::Read<bool> anyRow(const char* sql, const std::wstring& name) {
    shell::UniqueDatabase db = shell::openMeetData(shell::Patience::save);
    if (!db) return shell::unreadFrom<bool>(nullptr);
    shell::Query q(db.get(), sql, {name});
    if (q.failed()) return shell::unreadFrom<bool>(db.get());
    return q.hasRow();
}

bool renumberAll(sqlite3* db) {
    auto order = clockOrder(db);
    return order && numberInOrder(db, *order);
}

}  // namespace

std::wstring containsPattern(const std::wstring& text) {
    std::wstring pattern = L"%";
    for (wchar_t c : text) {
        if (c == L'%' || c == L'_' || c == L'\\') pattern += L'\\';
        pattern += c;
    }
    return pattern + L"%";
}

shell::Read<std::vector<SavedClock>> listClocks(const std::wstring& search) {
    return rowsOf<SavedClock>(kClocks, search, [](const shell::Query& q) -> std::optional<SavedClock> {
        SavedClock c;
        if (!q.whole(0, c.rowid)) return std::nullopt;
        c.clockname = q.text(1);
        c.setdate = q.text(2);
        c.remark = q.text(3);
        q.whole(4, c.ID);
        for (int k = 0; k < 3; ++k) q.whole(5 + k, c.alarms[k]);
        return c;
    });
}

shell::Read<std::vector<StoredStage>> listStages(const std::wstring& search, shell::Patience patience) {
    auto stages = rowsOf<StoredStage>(kStages, search, [](const shell::Query& q) -> std::optional<StoredStage> {
        StoredStage s;
        if (!q.whole(0, s.rowid)) return std::nullopt;
        s.starttime = q.text(1);
        s.endtime = q.text(2);
        s.clockname = q.text(3);
        s.title = q.text(4);
        return s;
    }, patience);
    // By the times the starts say, not their texts ("8:05:00" before "14:00:00"); starts that are
    // no time of day first, all in the order stored.
    auto startOf = [](const StoredStage& s) { return shell::parseTimeOfDay(s.starttime); };
    if (stages) {
        std::stable_sort(stages->begin(), stages->end(),
                         [&](const StoredStage& a, const StoredStage& b) { return startOf(a) < startOf(b); });
    }
    return stages;
}

shell::Read<int64_t> insertStage(shell::TimeOfDay start, shell::TimeOfDay end, const std::wstring& clockname,
                                 const std::wstring& title) {
    shell::UniqueDatabase db = shell::openMeetData(shell::Patience::save);
    if (!db) return shell::unreadFrom<int64_t>(nullptr);
    shell::Query q(db.get(), kInsertStage, {shell::formatHms(start), shell::formatHms(end), clockname, title});
    if (q.failed()) return shell::unreadFrom<int64_t>(db.get());
    return sqlite3_last_insert_rowid(db.get());
}

shell::Written insertClock(const NewClock& c) {
    const shell::ClockSetting& s = c.setting;
    shell::UniqueDatabase db = shell::openMeetData(shell::Patience::save);
    return shell::inTransaction(db.get(), [&] {
        auto order = clockOrder(db.get());
        if (!order) return false;
        int64_t at = std::clamp<int64_t>(c.place, 1, static_cast<int64_t>(order->size()) + 1) - 1;
        shell::Query q(db.get(), kInsertClock,
                       {number(at + 1), c.clockname, c.setdate, c.remark, std::wstring(kTimeAll), number(s.Time_one),
                        number(s.Time_two), number(s.Time_three), s.checkvalue, s.optvalue, number(s.tellShowtime),
                        s.tellsoundname, s.tellprocesstext, s.tellShowtext, s.clockFont, s.Fontselect, s.picturename});
        if (q.failed()) return false;
        order->insert(order->begin() + at, sqlite3_last_insert_rowid(db.get()));
        return numberInOrder(db.get(), *order);
    });
}

shell::Read<bool> clockNameFree(const std::wstring& name) {
    shell::Read<bool> free = anyRow(kClockNamed, name);
    if (free) free.emplace(!*free);
    return free;
}

shell::Written saveclockorder(const std::vector<int64_t>& rowids) {
    shell::UniqueDatabase db = shell::openMeetData(shell::Patience::save);
    return shell::inTransaction(db.get(), [&] { return numberInOrder(db.get(), rowids); });
}

ClocksDeleted deleteClocks(const std::vector<int64_t>& rowids) {
    shell::UniqueDatabase db = shell::openMeetData(shell::Patience::save);
    ClocksDeleted result;
    // Checked in the same transaction: no stage can take a clock between the check and the delete.
    result.written = shell::inTransaction(db.get(), [&] {
        std::vector<int64_t> gone;
        for (int64_t rowid : rowids) {
            shell::Query running(db.get(), kClockRunning, {number(rowid)});
            if (running.failed()) return false;
            (running.hasRow() ? result.inUse : gone).push_back(rowid);
        }
        return shell::deleteEachRow(db.get(), kDeleteClock, gone) && renumberAll(db.get());
    });
    if (result.written != shell::Written::done) result.inUse.clear();
    return result;
}

shell::Written deleteStages(const std::vector<int64_t>& rowids) {
    shell::UniqueDatabase db = shell::openMeetData(shell::Patience::save);
    return shell::inTransaction(db.get(), [&] { return shell::deleteEachRow(db.get(), kDeleteStage, rowids); });
}

}  // namespace plans
