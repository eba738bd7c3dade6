#pragma once
// Another program's hold on the meeting database, and what our connections wait for it.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <atomic>
#include <string>

#include "shell/sqlite_handles.h"
#include "win/text.h"

namespace testing_support {

// Exclusive: nobody else reads or writes. Shared: others read, nobody writes.
enum class Hold { exclusive, shared };
inline const char* holdName(Hold h) { return h == Hold::exclusive ? "exclusive" : "shared"; }

// Another connection's hold on the database file, until release().
class LockedFile {
public:
    explicit LockedFile(const std::wstring& path, Hold hold = Hold::exclusive) {
        sqlite3_open_v2(win::toUtf8(path).c_str(), db_.put(), SQLITE_OPEN_READWRITE, nullptr);
        const char* take = hold == Hold::exclusive ? "BEGIN EXCLUSIVE" : "BEGIN; SELECT count(*) FROM timesum";
        EXPECT_EQ(sqlite3_exec(db_.get(), take, nullptr, nullptr, nullptr), SQLITE_OK);
    }
    void release() { db_.reset(); }

private:
    shell::UniqueDatabase db_;
};

// Every connection opened while one of these exists counts its busy waits: SQLite's own file
// system layer, with the pauses between two tries at a lock counted and summed.
class CountedBusyWaits {
public:
    CountedBusyWaits() : counting_(*(base = sqlite3_vfs_find(nullptr))) {
        counting_.zName = "counted-busy-waits";
        counting_.xSleep = &countedSleep;
        waits = 0;
        waitedUs = 0;
        sqlite3_vfs_register(&counting_, 1);
    }
    CountedBusyWaits(const CountedBusyWaits&) = delete;
    CountedBusyWaits& operator=(const CountedBusyWaits&) = delete;
    ~CountedBusyWaits() {
        sqlite3_vfs_register(base, 1);
        sqlite3_vfs_unregister(&counting_);
    }
    int count() const { return waits; }
    // What the connections chose to wait for a lock, in all, since the last call.
    long long takeWaitedMs() { return waitedUs.exchange(0) / 1000; }

private:
    static int countedSleep(sqlite3_vfs*, int microseconds) {
        ++waits;
        waitedUs += microseconds;
        return base->xSleep(base, microseconds);
    }
    static inline sqlite3_vfs* base = nullptr;
    static inline std::atomic<int> waits{0};
    static inline std::atomic<long long> waitedUs{0};
    sqlite3_vfs counting_;
};

}  // namespace testing_support
