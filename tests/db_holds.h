#pragma once
// Another program's hold on the meeting database, and what our connections wait for it.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <windows.h>

#include <atomic>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

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
            case Hold::journalHeld:
                journal_ = path + L"-journal";
                file_.reset(
                    CreateFileW(journal_.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
                EXPECT_TRUE(file_);
                break;
            default:
                playAtSystemCall(hold);
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
    // The holds played at SQLite's calls into Windows: which call each takes the place of.
    void playAtSystemCall(Hold hold) {
        struct Played {
            Hold hold;
            const char* call;
            sqlite3_syscall_ptr with;
        };
        auto by = [](auto* f) { return reinterpret_cast<sqlite3_syscall_ptr>(f); };
        const Played played[] = {
            {Hold::rangeLocked, "ReadFile", by(&refusedRead)},
            {Hold::writeDenied, "CreateFileW", by(&writeRefusedOpen)},
            {Hold::diskFull, "WriteFile", by(&fullDiskWrite)},
            {Hold::noJournal, "CreateFileW", by(&newFileRefusedOpen)},
            {Hold::neverOpens, "CreateFileW", by(&refusedOpen)},
            {Hold::readFails, "ReadFile", by(&failedRead)},
        };
        for (const Played& p : played) {
            if (p.hold != hold) continue;
            EXPECT_TRUE(replaceSystemCall(p.call, p.with)) << p.call;
            replaced_ = p.call;
        }
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

// Another program that takes the file for `heldMs` of every `cycleMs` until stop(), from a thread
// of its own, so that the rhythm follows the clock on the wall whatever this thread runs: its lock
// (LockFileEx on the bytes SQLite locks, as another connection's lock takes them) or its open
// that shares nothing. A hold waits for an open or a lock of ours under way, as that program's
// would. Nothing of SQLite runs on that thread: it is built for one thread.
class HoldsThatComeAndGo {
public:
    HoldsThatComeAndGo(std::wstring path, Hold hold, DWORD cycleMs, DWORD heldMs)
        : path_(std::move(path)), hold_(hold), cycleMs_(cycleMs), heldMs_(heldMs),
          taken_(CreateEventW(nullptr, TRUE, FALSE, nullptr)), stop_(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
          thread_([this] { run(); }) {}
    HoldsThatComeAndGo(const HoldsThatComeAndGo&) = delete;
    HoldsThatComeAndGo& operator=(const HoldsThatComeAndGo&) = delete;
    ~HoldsThatComeAndGo() { stop(); }

    // Whether the first hold was taken within `limitMs`.
    bool firstTaken(DWORD limitMs = 5000) { return WaitForSingleObject(taken_.get(), limitMs) == WAIT_OBJECT_0; }

    // Ends the rhythm with the file let go; the tick counts at which each hold ended.
    const std::vector<DWORD>& stop() {
        SetEvent(stop_.get());
        if (thread_.joinable()) thread_.join();
        return freed_;
    }

private:
    void run() {
        const DWORD start = GetTickCount();
        for (DWORD cycle = 0;; ++cycle) {
            const DWORD from = start + cycle * cycleMs_;
            if (!take()) return;
            SetEvent(taken_.get());
            bool stopped = waitUntil(from + heldMs_);
            letGo();
            freed_.push_back(GetTickCount());
            if (stopped || waitUntil(from + cycleMs_)) return;
        }
    }
    // True when stopped meanwhile.
    bool waitUntil(DWORD tick) {
        auto left = static_cast<int32_t>(tick - GetTickCount());
        return WaitForSingleObject(stop_.get(), left > 0 ? static_cast<DWORD>(left) : 0) == WAIT_OBJECT_0;
    }
    bool take() {
        for (;;) {
            if (hold_ == Hold::noSharing) {
                file_.reset(CreateFileW(path_.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
                if (file_) return true;
            } else {
                if (!file_) {
                    file_.reset(CreateFileW(path_.c_str(), GENERIC_READ | GENERIC_WRITE,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                            OPEN_EXISTING, 0, nullptr));
                }
                OVERLAPPED at{};
                at.Offset = kPendingByte;
                if (file_ && LockFileEx(file_.get(), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0,
                                        kLockedBytes, 0, &at)) {
                    return true;
                }
            }
            if (WaitForSingleObject(stop_.get(), 1) == WAIT_OBJECT_0) return false;
        }
    }
    void letGo() {
        if (hold_ == Hold::noSharing) {
            file_.reset();
            return;
        }
        OVERLAPPED at{};
        at.Offset = kPendingByte;
        UnlockFileEx(file_.get(), 0, kLockedBytes, 0, &at);
    }

    static constexpr DWORD kPendingByte = 0x40000000, kLockedBytes = 512;  // SQLite's lock bytes on Windows

    const std::wstring path_;
    const Hold hold_;
    const DWORD cycleMs_, heldMs_;
    win::Unique<win::KernelHandleTraits> taken_, stop_;
    win::UniqueFile file_;
    std::vector<DWORD> freed_;  // written by the thread until it is joined
    std::thread thread_;
};

// The rhythm of holds seen in the field: 700 ms of every second.
inline constexpr DWORD kRhythmCycleMs = 1000, kRhythmHeldMs = 700;
// A try on the clock's 200-ms tick meets the first free spell of that rhythm; one a little late
// under load, the next.
inline constexpr DWORD kReadWithinMs = kRhythmCycleMs + (kRhythmCycleMs - kRhythmHeldMs);

// How long after the first end of a hold from `since` on (tick counts) `at` came.
inline DWORD afterFirstFreed(const std::vector<DWORD>& freed, DWORD since, DWORD at) {
    for (DWORD f : freed) {
        if (static_cast<int32_t>(f - since) >= 0) return at - f;
    }
    return at - since;
}

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
