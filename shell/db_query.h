#pragma once
// One SQL statement on the meeting database with its values bound, never pasted into the text.
#include <cmath>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "shell/sqlite_handles.h"
#include "shell/time_rules.h"
#include "win/text.h"

namespace shell {

// A statement parameter: a text, or nothing for a field left unset.
using Param = std::optional<std::wstring>;

// One statement with its parameters bound, run up to its first row; next() steps on.
class Query {
public:
    Query(sqlite3* db, const char* sql, std::initializer_list<Param> params) {
        if (sqlite3_prepare_v2(db, sql, -1, stmt_.put(), nullptr) != SQLITE_OK) return;
        int index = 0;
        for (const Param& p : params) {
            if (!bind(++index, p)) return;
        }
        rc_ = sqlite3_step(stmt_.get());
    }

    bool failed() const { return rc_ != SQLITE_ROW && rc_ != SQLITE_DONE; }
    bool isNull(int col) const { return sqlite3_column_type(stmt_.get(), col) == SQLITE_NULL; }
    bool hasRow() const { return rc_ == SQLITE_ROW; }
    void next() { rc_ = sqlite3_step(stmt_.get()); }

    std::wstring text(int col) const {
        const auto* chars = reinterpret_cast<const char*>(sqlite3_column_text(stmt_.get(), col));
        if (!chars) return {};
        return win::fromUtf8(std::string_view(chars, sqlite3_column_bytes(stmt_.get(), col)));
    }

    std::optional<TimeOfDay> time(int col) const { return parseTimeOfDay(text(col)); }

    // A stored number into a whole-number field, rounded as the field's type takes it; false,
    // and the field untouched, when the value is missing, no number or out of the field's range.
    template <typename Int>
    bool whole(int col, Int& field) const {
        int type = sqlite3_column_type(stmt_.get(), col);
        if (type != SQLITE_INTEGER && type != SQLITE_FLOAT) return false;
        double value = std::nearbyint(sqlite3_column_double(stmt_.get(), col));
        if (value < std::numeric_limits<Int>::min() || value > std::numeric_limits<Int>::max()) return false;
        field = static_cast<Int>(value);
        return true;
    }

private:
    bool bind(int index, const Param& p) {
        if (!p) return sqlite3_bind_null(stmt_.get(), index) == SQLITE_OK;
        std::string utf8 = win::toUtf8(*p);
        return sqlite3_bind_text(stmt_.get(), index, utf8.data(), static_cast<int>(utf8.size()),
                                 SQLITE_TRANSIENT) == SQLITE_OK;
    }

    UniqueStatement stmt_;
    int rc_ = SQLITE_ERROR;
};

// What a change of the file came to; unless done, nothing of it was written. fileBusy passes
// with another program's hold; readOnly (the user may not write the file or its folder), diskFull
// and unreadable (the file is there and cannot be opened or read) last until the user acts;
// failed: the file is missing or damaged.
enum class Written { done, fileBusy, readOnly, diskFull, unreadable, failed };

// A refusal that trying again will not end: told once, not retried in silence.
inline bool lasting(Written why) {
    return why == Written::readOnly || why == Written::diskFull || why == Written::unreadable;
}

// Why the last statement on `db` failed, or with no connection why the last open of the file
// failed: fileBusy while another program keeps it from us now (its lock, an open that shares
// nothing or reading only, its open of the journal); readOnly when the user may not write it or
// its folder takes no journal; diskFull; unreadable when it cannot be opened or read; failed
// when it is missing or damaged or its tables do not read.
Written whyFailed(sqlite3* db);

// A value read from the file, or nothing and why.
template <typename T>
struct Read : std::optional<T> {
    using std::optional<T>::optional;
    Written failure = Written::failed;
    Written why() const { return this->has_value() ? Written::done : failure; }
};

// Nothing, after a failed statement on `db` or none opened.
template <typename T>
Read<T> unreadFrom(sqlite3* db) {
    Read<T> none;
    none.failure = whyFailed(db);
    return none;
}

// Runs `work` in one transaction: committed when it returns true, else rolled back. fileBusy
// when another program holds the file.
inline Written inTransaction(sqlite3* db, const std::function<bool()>& work) {
    if (!db) return whyFailed(nullptr);
    auto run = [db](const char* sql) { return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK; };
    if (run("BEGIN IMMEDIATE") && work() && run("COMMIT")) return Written::done;
    Written why = whyFailed(db);
    run("ROLLBACK");
    return why;
}

// Runs `deleteRow` (a DELETE of the row whose rowid is ?1) for each of `rowids`; false at the
// first that fails or finds its row gone already: the list they were picked from no longer
// shows the table.
inline bool deleteEachRow(sqlite3* db, const char* deleteRow, const std::vector<int64_t>& rowids) {
    for (int64_t rowid : rowids) {
        if (Query(db, deleteRow, {std::to_wstring(rowid)}).failed() || sqlite3_changes(db) != 1) return false;
    }
    return true;
}

}  // namespace shell
