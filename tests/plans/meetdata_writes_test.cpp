// Every change the program makes to MeetData.db, met by a full disk, a moment's full disk or the
// program's end at each of its writes in turn: afterwards, once the disk has room again and the
// file is opened anew, every table is as it was before the change or as the change left it, the
// change's own report agrees, and a run record is written once. And a virus scanner's short hold
// of the file or its journal refuses no save, while the clock's own writes still wait only briefly.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "plans/run_table.h"
#include "plans/stage_store.h"
#include "shell/meeting_db.h"
#include "shell/settings_registry.h"
#include "tests/db_holds.h"
#include "tests/test_support.h"

namespace {

using testing_support::CountedBusyWaits;
using testing_support::replaceSystemCall;

// What meets SQLite's writes into Windows, counted from the change's first.
enum class Fault {
    diskFull,   // from that write on no file may grow; a write inside a file's size still lands
    fullOnce,   // that one write finds the disk full, and then it has room again
    end,        // the program ends there: nothing it writes, truncates or deletes reaches the disk
};
const char* faultName(Fault f) {
    switch (f) {
        case Fault::diskFull: return "diskFull";
        case Fault::fullOnce: return "fullOnce";
        case Fault::end: return "end";
    }
    return "?";
}

// SQLite's calls into Windows that change files, replaced while one exists.
class FaultyDisk {
public:
    FaultyDisk(Fault fault, int atWrite) {
        fault_ = fault;
        atWrite_ = atWrite;
        writes_ = 0;
        replaceSystemCall("WriteFile", reinterpret_cast<sqlite3_syscall_ptr>(&write));
        replaceSystemCall("SetEndOfFile", reinterpret_cast<sqlite3_syscall_ptr>(&setEnd));
        replaceSystemCall("DeleteFileW", reinterpret_cast<sqlite3_syscall_ptr>(&deleteFile));
        replaceSystemCall("FlushFileBuffers", reinterpret_cast<sqlite3_syscall_ptr>(&flush));
    }
    FaultyDisk(const FaultyDisk&) = delete;
    FaultyDisk& operator=(const FaultyDisk&) = delete;
    ~FaultyDisk() {
        for (const char* call : {"WriteFile", "SetEndOfFile", "DeleteFileW", "FlushFileBuffers"}) {
            replaceSystemCall(call, nullptr);
        }
    }
    // Whether the change came to the faulty write.
    static bool reached() { return writes_ >= atWrite_; }

private:
    static bool ended() { return fault_ == Fault::end && writes_ >= atWrite_; }

    static BOOL WINAPI write(HANDLE file, LPCVOID data, DWORD size, LPDWORD written, LPOVERLAPPED at) {
        ++writes_;
        if (ended()) return refused(written, ERROR_INVALID_HANDLE);
        bool full = fault_ == Fault::diskFull ? writes_ >= atWrite_ : writes_ == atWrite_;
        if (!full) return WriteFile(file, data, size, written, at);
        // A full disk takes what fits within the file as it is, and refuses the rest.
        LARGE_INTEGER length{};
        GetFileSizeEx(file, &length);
        ULONGLONG from = at ? (ULONGLONG{at->OffsetHigh} << 32 | at->Offset) : 0;
        if (from >= static_cast<ULONGLONG>(length.QuadPart)) return refused(written, ERROR_DISK_FULL);
        DWORD fits = static_cast<DWORD>(std::min<ULONGLONG>(size, length.QuadPart - from));
        return WriteFile(file, data, fits, written, at);
    }
    static BOOL WINAPI setEnd(HANDLE file) { return ended() ? FALSE : SetEndOfFile(file); }
    static BOOL WINAPI deleteFile(LPCWSTR name) { return ended() ? FALSE : DeleteFileW(name); }
    static BOOL WINAPI flush(HANDLE file) { return ended() ? FALSE : FlushFileBuffers(file); }
    static BOOL refused(LPDWORD written, DWORD error) {
        if (written) *written = 0;
        SetLastError(error);
        return FALSE;
    }

    static inline Fault fault_ = Fault::diskFull;
    static inline int atWrite_ = 0;
    static inline int writes_ = 0;
};

class MeetDataWrites : public testing_support::MeetDataTest {
protected:
    void SetUp() override {
        MeetDataTest::SetUp();
        shell::writeSettingNumber(L"Time_Record", 1);
        shell::ClockSetting c;
        shell::applyFirstRunDefaults(c);
        // Enough rows that the tables span several pages and a change may split or merge them.
        for (int i = 1; i <= 40; ++i) addClock(L"时钟" + std::to_wstring(i), c, i);
        for (int i = 0; i < 60; ++i) {
            wchar_t start[16], end[16];
            swprintf(start, 16, L"%02d:%02d:00", 6 + i / 4, i % 4 * 15);
            swprintf(end, 16, L"%02d:%02d:10", 6 + i / 4, i % 4 * 15);
            addStage(start, end, L"时钟" + std::to_wstring(i % 20 + 1), L"第" + std::to_wstring(i) + L"场 报告会");
        }
        for (int i = 0; i < 120; ++i) {
            ASSERT_TRUE(exec("INSERT INTO timesum (set_time, use_time, out_time, pause_time, filename) "
                             "VALUES ('09:00:00', '10:00:00', '00:59:00', '00:01:00', ?1)",
                             {L"第" + std::to_wstring(i) + L"场 报告会"}));
        }
        testing_support::writeFile(pristine(), testing_support::readFile(path()));
    }

    std::wstring pristine() const { return folder + L"\\pristine.db"; }
    void restore() {
        DeleteFileW((path() + L"-journal").c_str());
        ASSERT_TRUE(CopyFileW(pristine().c_str(), path().c_str(), FALSE));
        shell::forgetPendingRuns();
    }

    // Every row of every table, and whether the file is whole.
    std::vector<Row> everything() {
        std::vector<Row> all;
        for (const char* sql : {"PRAGMA integrity_check", "SELECT rowid, * FROM clocksetting ORDER BY rowid",
                                "SELECT rowid, * FROM file_list ORDER BY rowid", "SELECT * FROM timesum ORDER BY rowid",
                                "SELECT * FROM sqlite_sequence"}) {
            auto rows = exec(sql);
            EXPECT_TRUE(rows) << sql;
            all.push_back({win::fromUtf8(sql)});
            if (rows) all.insert(all.end(), rows->begin(), rows->end());
        }
        return all;
    }
};

shell::TimingState aRun() {
    shell::TimingState t;
    t.set_time = L"11:00:00";
    t.use_time = L"11:30:00";
    t.out_time = 1800000;
    t.filename = L"刚计时的阶段";
    return t;
}

// Each change reports whether it was done; a run record waits and is written once the disk has
// room, so it reports nothing.
struct Change {
    const char* name;
    std::function<bool()> make;
};

const Change kChanges[] = {
    {"enterStage", [] { return plans::insertStage({23 * 3600}, {23 * 3600 + 60}, L"时钟1", L"新阶段").has_value(); }},
    {"saveClock",
     [] {
         plans::NewClock c{5, L"新时钟", L"2026-12-10", L"备注", {}};
         shell::applyFirstRunDefaults(c.setting);
         return plans::insertClock(c) == shell::Written::done;
     }},
    {"moveClock",
     [] {
         std::vector<int64_t> order;
         for (int64_t i = 40; i >= 1; --i) order.push_back(i);
         return plans::saveclockorder(order) == shell::Written::done;
     }},
    {"deleteClocks", [] { return plans::deleteClocks({25, 3, 30}).written == shell::Written::done; }},
    {"deleteStages", [] { return plans::deleteStages({1, 30, 60}) == shell::Written::done; }},
    {"deleteRuns", [] { return plans::deleteRuns({5, 6, 7, 120}) == shell::Written::done; }},
    {"recordRun",
     [] {
         shell::savetimerecord(aRun());
         return false;
     }},
};

TEST_F(MeetDataWrites, NoFaultAtAnyWriteLosesDoublesOrHalvesAChange) {
    const std::vector<Row> before = everything();
    for (const Change& change : kChanges) {
        SCOPED_TRACE(change.name);
        restore();
        change.make();
        ASSERT_EQ(shell::flushRunRecords(), shell::Written::done);
        const std::vector<Row> after = everything();
        ASSERT_TRUE(after != before);
        for (Fault fault : {Fault::diskFull, Fault::fullOnce, Fault::end}) {
            for (int at = 1;; ++at) {
                SCOPED_TRACE(std::string(faultName(fault)) + " at write " + std::to_string(at));
                restore();
                bool done = false, reached = false;
                {
                    FaultyDisk disk(fault, at);
                    done = change.make();
                    reached = FaultyDisk::reached();
                }
                // The disk has room again, or the program starts anew; what waits is written.
                if (fault == Fault::end) shell::forgetPendingRuns();
                EXPECT_EQ(shell::flushRunRecords(), shell::Written::done);
                std::vector<Row> now = everything();
                bool waits = std::string(change.name) == "recordRun" && fault != Fault::end;
                if (done || waits || now != before) {
                    EXPECT_TRUE(now == after) << (now == before ? "as before" : "neither as before nor as after");
                }
                if (!reached) break;
            }
        }
    }
}

// A virus scanner that opens a file sharing nothing and lets it go 300 ms later: MeetData.db as a
// connection is about to open it, or its journal as SQLite is about to delete it (a scanner looks
// at a file that was just closed).
enum class Scanned { file, journal };
const char* scannedName(Scanned s) { return s == Scanned::file ? "file" : "journal"; }

class Scanner {
public:
    Scanner(const std::wstring& file, Scanned what) {
        held_ = false;
        if (what == Scanned::file) {
            take(file.c_str());
        } else {
            replaceSystemCall("DeleteFileW", reinterpret_cast<sqlite3_syscall_ptr>(&deleteFile));
        }
    }
    Scanner(const Scanner&) = delete;
    Scanner& operator=(const Scanner&) = delete;
    ~Scanner() {
        replaceSystemCall("DeleteFileW", nullptr);
        if (release_.joinable()) release_.join();
    }
    static bool held() { return held_; }

private:
    static void take(const wchar_t* name) {
        HANDLE h = CreateFileW(name, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        held_ = true;
        release_ = std::thread([h] {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            CloseHandle(h);
        });
    }
    static BOOL WINAPI deleteFile(LPCWSTR name) {
        constexpr std::wstring_view journal = L"-journal";
        std::wstring_view n(name);
        if (!held_ && n.size() > journal.size() && n.substr(n.size() - journal.size()) == journal) take(name);
        return DeleteFileW(name);
    }

    static inline std::thread release_;
    static inline bool held_ = false;
};

// A save in a window rides out the scanner's 300 ms and is made once; the clock's own writes,
// met by the same scanner right after, wait no more than a moment and are made once later.
TEST_F(MeetDataWrites, AScannersHoldOfAFewHundredMillisecondsNeverRefusesASave) {
    for (const Change& change : kChanges) {
        if (std::string_view(change.name) == "recordRun") continue;
        SCOPED_TRACE(change.name);
        restore();
        ASSERT_TRUE(change.make());
        const std::vector<Row> after = everything();
        for (Scanned what : {Scanned::file, Scanned::journal}) {
            SCOPED_TRACE(scannedName(what));
            restore();
            {
                Scanner scanner(path(), what);
                auto from = std::chrono::steady_clock::now();
                bool done = change.make();
                auto took = std::chrono::steady_clock::now() - from;
                EXPECT_TRUE(Scanner::held());
                EXPECT_TRUE(done) << "refused after "
                                  << std::chrono::duration_cast<std::chrono::milliseconds>(took).count() << " ms";
            }
            EXPECT_TRUE(everything() == after) << "the tables differ from the change made once";
            {
                CountedBusyWaits waits;
                Scanner scanner(path(), what);
                shell::savetimerecord(aRun());
                EXPECT_LE(waits.takeWaitedMs(), 100);
            }
            EXPECT_EQ(shell::flushRunRecords(), shell::Written::done);
            EXPECT_EQ(exec("SELECT count(*) FROM timesum WHERE filename = ?1", {aRun().filename}).value()[0][0], L"1");
        }
    }
}

}  // namespace
