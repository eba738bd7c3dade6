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

// Holds of another program, which pass. Exclusive: its lock lets nobody else read or write.
// Shared: others read, nobody writes. No sharing: it opened the file sharing nothing (a backup, a
// sync, a virus scan), so the file does not open at all. Read sharing: it opened the file sharing
// reading only (a copy, a backup that reads), so the file opens for reading only. Range locked: a
// part of it is locked, so reading it fails. Journal held: it opened the journal beside the file
// sharing nothing (a virus scan of a journal left empty), so SQLite cannot open the journal.
// Causes that last until the user acts: write denied, the user may not write the file (its
// read-only attribute, or no right to write); disk full; no journal, the folder takes no new file
// (the journal beside the file); never opens, the user may not even read the file; read fails,
// the disk under it does not read (a bad sector).
// Those and the range lock are played at SQLite's own calls into Windows: the tests run as root,
// and Wine's range locks do not stop a read.
enum class Hold {
    exclusive, shared, noSharing, readSharing, rangeLocked, journalHeld,
    writeDenied, diskFull, noJournal, neverOpens, readFails
};
inline const char* holdName(Hold h) {
    switch (h) {
        case Hold::exclusive: return "exclusive";
        case Hold::shared: return "shared";
        case Hold::noSharing: return "noSharing";
        case Hold::readSharing: return "readSharing";
        case Hold::rangeLocked: return "rangeLocked";
        case Hold::journalHeld: return "journalHeld";
        case Hold::writeDenied: return "writeDenied";
        case Hold::diskFull: return "diskFull";
        case Hold::noJournal: return "noJournal";
        case Hold::neverOpens: return "neverOpens";
        case Hold::readFails: return "readFails";
    }
    return "?";
}
// The name of a test run under one hold.
inline std::string holdTestName(const testing::TestParamInfo<Hold>& info) { return holdName(info.param); }

// Every hold of another program: each passes once it is released.
inline constexpr Hold kEveryHold[] = {Hold::exclusive, Hold::shared, Hold::noSharing, Hold::readSharing,
                                      Hold::rangeLocked, Hold::journalHeld};
// The two ways another program keeps the whole file from us: its lock, and its open that shares
// nothing, made at the Windows level.
inline constexpr Hold kWholeFileHolds[] = {Hold::exclusive, Hold::noSharing};
// One of each cause that lasts (a failing read is told as a file that never opens).
inline constexpr Hold kLastingCauses[] = {Hold::writeDenied, Hold::diskFull, Hold::noJournal, Hold::neverOpens};

// The box the user sees for a read or a change the file refuses under `h`.
inline const wchar_t* toldFor(Hold h) {
    switch (h) {
        case Hold::writeDenied:
        case Hold::noJournal: return L"受账户权限限制只能调用，保存数据需管理员权限";
        case Hold::diskFull: return L"MeetData.db 所在磁盘已满，数据未改动";
        case Hold::neverOpens:
        case Hold::readFails: return L"MeetData.db 无法打开或读取";
        default: return L"MeetData.db 正被其他程序使用，数据未改动，请稍后再试";
    }
}

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
            case Hold::readSharing:
                file_.reset(CreateFileW(path.c_str(), GENERIC_READ, hold == Hold::noSharing ? 0 : FILE_SHARE_READ,
                                        nullptr, OPEN_EXISTING, 0, nullptr));
                EXPECT_TRUE(file_);
                break;
            case Hold::rangeLocked:
                replace("ReadFile", reinterpret_cast<sqlite3_syscall_ptr>(&refusedRead));
                break;
            case Hold::journalHeld:
                journal_ = path + L"-journal";
                file_.reset(CreateFileW(journal_.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
                EXPECT_TRUE(file_);
                break;
            case Hold::writeDenied:
                replace("CreateFileW", reinterpret_cast<sqlite3_syscall_ptr>(&writeRefusedOpen));
                break;
            case Hold::diskFull:
                replace("WriteFile", reinterpret_cast<sqlite3_syscall_ptr>(&fullDiskWrite));
                break;
            case Hold::noJournal:
                replace("CreateFileW", reinterpret_cast<sqlite3_syscall_ptr>(&newFileRefusedOpen));
                break;
            case Hold::neverOpens:
                replace("CreateFileW", reinterpret_cast<sqlite3_syscall_ptr>(&refusedOpen));
                break;
            case Hold::readFails:
                replace("ReadFile", reinterpret_cast<sqlite3_syscall_ptr>(&failedRead));
                break;
        }
    }
    LockedFile(const LockedFile&) = delete;
    LockedFile& operator=(const LockedFile&) = delete;
    ~LockedFile() { release(); }

    void release() {
        db_.reset();
        file_.reset();
        if (!journal_.empty()) DeleteFileW(journal_.c_str());
        journal_.clear();
        if (replaced_) replaceSystemCall(replaced_, nullptr);
        replaced_ = nullptr;
    }

private:
    void replace(const char* call, sqlite3_syscall_ptr with) {
        EXPECT_TRUE(replaceSystemCall(call, with)) << call;
        replaced_ = call;
    }
    static bool isMeetData(LPCWSTR name) {
        std::wstring_view file(name);
        constexpr std::wstring_view meetData = L"\\MeetData.db";
        return file.size() >= meetData.size() && file.substr(file.size() - meetData.size()) == meetData;
    }
    static HANDLE denied() {
        SetLastError(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    // The database file only; its journal opens.
    static HANDLE WINAPI refusedOpen(LPCWSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                                     DWORD disposition, DWORD flags, HANDLE model) {
        if (isMeetData(name)) return denied();
        return CreateFileW(name, access, share, security, disposition, flags, model);
    }
    // The database file opens for reading only.
    static HANDLE WINAPI writeRefusedOpen(LPCWSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                                          DWORD disposition, DWORD flags, HANDLE model) {
        if (isMeetData(name) && (access & GENERIC_WRITE)) return denied();
        return CreateFileW(name, access, share, security, disposition, flags, model);
    }
    // Files there open as they are; none is made.
    static HANDLE WINAPI newFileRefusedOpen(LPCWSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                                            DWORD disposition, DWORD flags, HANDLE model) {
        if (disposition != OPEN_EXISTING && GetFileAttributesW(name) == INVALID_FILE_ATTRIBUTES) return denied();
        return CreateFileW(name, access, share, security, disposition, flags, model);
    }
    static BOOL WINAPI refusedRead(HANDLE, LPVOID, DWORD, LPDWORD, LPOVERLAPPED) {
        SetLastError(ERROR_LOCK_VIOLATION);
        return FALSE;
    }
    static BOOL WINAPI failedRead(HANDLE, LPVOID, DWORD, LPDWORD, LPOVERLAPPED) {
        SetLastError(ERROR_CRC);
        return FALSE;
    }
    static BOOL WINAPI fullDiskWrite(HANDLE, LPCVOID, DWORD, LPDWORD, LPOVERLAPPED) {
        SetLastError(ERROR_DISK_FULL);
        return FALSE;
    }

    shell::UniqueDatabase db_;
    win::UniqueFile file_;
    std::wstring journal_;
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
