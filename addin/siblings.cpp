#include "addin/siblings.h"

#include <windows.h>
#include <shellapi.h>

#include "addin/stores.h"
#include "win/handles.h"

namespace addin {
namespace {

constexpr DWORD kTaskkillWaitMs = 5000;

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

}  // namespace

std::wstring besideLibrary(const wchar_t* fileName) { return libraryFolder() + fileName; }

bool fileExists(const std::wstring& path) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool fileInUse(const std::wstring& path) {
    win::UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
    return !file && GetLastError() == ERROR_SHARING_VIOLATION;
}

bool clockRunning() {
    std::wstring path = besideLibrary(kClockProgram);
    return fileExists(path) && fileInUse(path);
}

void startProgram(const std::wstring& path) {
    auto result = reinterpret_cast<INT_PTR>(ShellExecuteW(nullptr, L"open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    if (result <= 32) startHidden(L"\"" + path + L"\"");
}

void endSettingsProgram() {
    win::UniqueFile taskkill = startHidden(std::wstring(L"taskkill /f /im ") + kSettingsProgram);
    if (taskkill) WaitForSingleObject(taskkill.get(), kTaskkillWaitMs);
}

}  // namespace addin
