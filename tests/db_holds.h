#pragma once
// Another program's hold on the meeting database, and what our connections wait for it.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <windows.h>

#include <atomic>
#include <string>
#include <string_view>

#include "shell/sqlite_handles.h"
#include "win/handles.h"
#include "win/text.h"

namespace testing_support {

// Exclusive: its lock lets nobody else read or write. Shared: others read, nobody writes.
// No sharing: it opened the file sharing nothing (a backup, a sync, a virus scan), so the file
// does not open at all. Access denied: the file is there, and a standard user may not open it.
// Range locked: a part of it is locked, so reading it fails. The last two are played at SQLite's
// own calls into Windows: the tests run as root, and Wine's range locks do not stop a read.
enum class Hold { exclusive, shared, noSharing, accessDenied, rangeLocked };
inline const char* holdName(Hold h) {
    switch (h) {
        case Hold::exclusive: return "exclusive";
        case Hold::shared: return "shared";
        case Hold::noSharing: return "noSharing";
        case Hold::accessDenied: return "accessDenied";
        case Hold::rangeLocked: return "rangeLocked";
    }
    return "?";
}
// The name of a test run under one hold.
inline std::string holdTestName(const testing::TestParamInfo<Hold>& info) { return holdName(info.param); }

inline constexpr Hold kEveryHold[] = {Hold::exclusive, Hold::shared, Hold::noSharing, Hold::accessDenied,
                                      Hold::rangeLocked};
// The two ways another program keeps the whole file from us: its lock, and its open that shares
// nothing, made at the Windows level.
inline constexpr Hold kWholeFileHolds[] = {Hold::exclusive, Hold::noSharing};

// Puts `with` in place of SQLite's call into Windows named `call`; nullptr puts Windows' back.
inline bool replaceSystemCall(const char* call, sqlite3_syscall_ptr with) {
    sqlite3_vfs* vfs = sqlite3_vfs_find(nullptr);
    return vfs->xSetSystemCall(vfs, call, with) == SQLITE_OK;
}

// Another program's hold on the database file, until release().
class LockedFile {
public:
    explicit LockedFile(const std::wstring& path, Hold hold = Hold::exclusive) {
        switch (hold) {
            case Hold::exclusive:
            case Hold::shared: {
                sqlite3_open_v2(win::toUtf8(path).c_str(), db_.put(), SQLITE_OPEN_READWRITE, nullptr);
                const char* take = hold == Hold::exclusive ? "BEGIN EXCLUSIVE" : "BEGIN; SELECT count(*) FROM timesum";
                EXPECT_EQ(sqlite3_exec(db_.get(), take, nullptr, nullptr, nullptr), SQLITE_OK);
                break;
            }
            case Hold::noSharing:
                file_.reset(CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
                EXPECT_TRUE(file_);
                break;
            case Hold::accessDenied:
                replace("CreateFileW", reinterpret_cast<sqlite3_syscall_ptr>(&refusedOpen));
                break;
            case Hold::rangeLocked:
                replace("ReadFile", reinterpret_cast<sqlite3_syscall_ptr>(&refusedRead));
                break;
        }
    }
    LockedFile(const LockedFile&) = delete;
    LockedFile& operator=(const LockedFile&) = delete;
    ~LockedFile() { release(); }

    void release() {
        db_.reset();
        file_.reset();
        if (replaced_) replaceSystemCall(replaced_, nullptr);
        replaced_ = nullptr;
    }

private:
    void replace(const char* call, sqlite3_syscall_ptr with) {
        EXPECT_TRUE(replaceSystemCall(call, with)) << call;
        replaced_ = call;
    }
    // The database file only; its journal opens.
    static HANDLE WINAPI refusedOpen(LPCWSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                                     DWORD disposition, DWORD flags, HANDLE model) {
        std::wstring_view file(name);
        constexpr std::wstring_view meetData = L"\\MeetData.db";
        if (file.size() >= meetData.size() && file.substr(file.size() - meetData.size()) == meetData) {
            SetLastError(ERROR_ACCESS_DENIED);
            return INVALID_HANDLE_VALUE;
        }
        return CreateFileW(name, access, share, security, disposition, flags, model);
    }
    static BOOL WINAPI refusedRead(HANDLE, LPVOID, DWORD, LPDWORD, LPOVERLAPPED) {
        SetLastError(ERROR_LOCK_VIOLATION);
        return FALSE;
    }

    shell::UniqueDatabase db_;
    win::UniqueFile file_;
    const char* replaced_ = nullptr;
};

// What SQLite chose to wait, in all, for a lock or for a file that did not open or read, while
// one of these exists: its every pause, counted and summed.
class CountedBusyWaits {
public:
    CountedBusyWaits() {
        waitedMs = 0;
        EXPECT_TRUE(replaceSystemCall("Sleep", reinterpret_cast<sqlite3_syscall_ptr>(&countedSleep)));
    }
    CountedBusyWaits(const CountedBusyWaits&) = delete;
    CountedBusyWaits& operator=(const CountedBusyWaits&) = delete;
    ~CountedBusyWaits() { replaceSystemCall("Sleep", nullptr); }
    // What was chosen to wait, in all, since the last call.
    long long takeWaitedMs() { return waitedMs.exchange(0); }

private:
    static VOID WINAPI countedSleep(DWORD ms) {
        waitedMs += ms;
        Sleep(ms);
    }
    static inline std::atomic<long long> waitedMs{0};
};

}  // namespace testing_support
