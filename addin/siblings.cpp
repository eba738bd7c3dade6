#include "addin/siblings.h"

#include <windows.h>
#include <shellapi.h>

#include <optional>
#include <utility>

#include "addin/stores.h"
#include "win/handles.h"

namespace addin {
namespace {

constexpr DWORD kHostWaitMs = 300;  // the longest the host's thread waits on another process
constexpr UINT kPollMs = 100;       // a deferred start looks this often whether the ending is done

// Starts a command line with its window hidden; the process handle, or none.
win::UniqueFile startHidden(std::wstring commandLine) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                        &startup, &started))
        return {};
    CloseHandle(started.hThread);
    return win::UniqueFile(started.hProcess);
}

// A start that waits for taskkill, however long it takes: started any earlier, the new copy
// would be ended with the old one. The host's thread looks from a timer of its own, which has
// no window to outlive; the library is pinned, so the timer's procedure stays loaded.
class DeferredStart {
public:
    DeferredStart(win::UniqueFile taskkill, std::wstring path)
        : taskkill_(std::move(taskkill)), path_(std::move(path)), timer_(SetTimer(nullptr, 0, kPollMs, poll)) {}
    ~DeferredStart() {
        if (timer_) KillTimer(nullptr, timer_);
    }
    DeferredStart(const DeferredStart&) = delete;
    DeferredStart& operator=(const DeferredStart&) = delete;

    bool armed() const { return timer_ != 0; }

private:
    static void CALLBACK poll(HWND, UINT, UINT_PTR, DWORD);

    win::UniqueFile taskkill_;
    std::wstring path_;
    UINT_PTR timer_;
};

std::optional<DeferredStart>& deferredStart() {
    static std::optional<DeferredStart> pending;
    return pending;
}

void CALLBACK DeferredStart::poll(HWND, UINT, UINT_PTR, DWORD) {
    auto& pending = deferredStart();
    if (!pending) return;
    if (WaitForSingleObject(pending->taskkill_.get(), 0) == WAIT_TIMEOUT) return;
    std::wstring path = std::move(pending->path_);
    pending.reset();
    startProgram(path);
}

bool openExclusively(const std::wstring& path) {
    return static_cast<bool>(win::UniqueFile(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)));
}

ExclusiveOpen& exclusiveOpen() {
    static ExclusiveOpen open = openExclusively;
    return open;
}

}  // namespace

std::wstring besideLibrary(const wchar_t* fileName) { return libraryFolder() + fileName; }

bool fileExists(const std::wstring& path) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool fileInUse(const std::wstring& path) { return !exclusiveOpen()(path); }

ExclusiveOpen replaceExclusiveOpen(ExclusiveOpen open) { return std::exchange(exclusiveOpen(), open); }

bool clockRunning() {
    std::wstring path = besideLibrary(kClockProgram);
    return fileExists(path) && fileInUse(path);
}

void startProgram(const std::wstring& path) {
    auto result = reinterpret_cast<INT_PTR>(ShellExecuteW(nullptr, L"open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    if (result <= 32) startHidden(L"\"" + path + L"\"");
}

void restartSettingsProgram(const std::wstring& path) {
    win::UniqueFile taskkill = startHidden(std::wstring(L"taskkill /f /im ") + kSettingsProgram);
    // Started before the ending is done, the new copy would be ended with the old one.
    if (taskkill && WaitForSingleObject(taskkill.get(), kHostWaitMs) == WAIT_TIMEOUT) {
        deferredStart().emplace(std::move(taskkill), path);
        if (deferredStart()->armed()) return;
        deferredStart().reset();
    }
    startProgram(path);
}

bool settingsRestartUnderWay() { return deferredStart().has_value(); }

}  // namespace addin
