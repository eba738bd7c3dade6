#pragma once
// Owners for SQLite connections and statements, in the style of the Win32 owners.
#include <sqlite3.h>

#include "win/handles.h"

namespace shell {

// SQLite's tries of a read, write, open or delete that another program refuses for a moment (a
// virus scanner's open of the file or of its journal), each pause 25 ms longer than the one
// before. The clock's thread tries once more, 25 ms later, as SQLite is built; a save in a window
// rides out a hold of half a second (525 ms in all). SQLite keeps one setting for all its
// connections.
struct Retries {
    int count, delayMs;
};
inline constexpr Retries kClockRetries{1, 25};
inline constexpr Retries kSaveRetries{6, 25};

inline void setRetries(sqlite3* db, Retries r) {
    int values[2] = {r.count, r.delayMs};
    sqlite3_file_control(db, "main", SQLITE_FCNTL_WIN32_AV_RETRY, values);
}

// The clock's short tries again as any connection closes, whatever it used. close_v2 waits for
// statements still open on the connection instead of failing.
inline void closeDatabase(sqlite3* db) {
    setRetries(db, kClockRetries);
    sqlite3_close_v2(db);
}
inline void finalizeStatement(sqlite3_stmt* st) { sqlite3_finalize(st); }

using UniqueDatabase = win::Unique<win::NullTraits<sqlite3*, closeDatabase>>;
using UniqueStatement = win::Unique<win::NullTraits<sqlite3_stmt*, finalizeStatement>>;

}  // namespace shell
