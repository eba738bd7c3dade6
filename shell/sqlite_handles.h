#pragma once
// Owners for SQLite connections and statements, in the style of the Win32 owners.
#include <sqlite3.h>

#include "win/handles.h"

namespace shell {

// close_v2 waits for statements still open on the connection instead of failing.
inline void closeDatabase(sqlite3* db) { sqlite3_close_v2(db); }
inline void finalizeStatement(sqlite3_stmt* st) { sqlite3_finalize(st); }

using UniqueDatabase = win::Unique<win::NullTraits<sqlite3*, closeDatabase>>;
using UniqueStatement = win::Unique<win::NullTraits<sqlite3_stmt*, finalizeStatement>>;

}  // namespace shell
