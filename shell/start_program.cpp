#include "shell/start_program.h"

#include <windows.h>

#include "win/handles.h"

namespace shell {
namespace {

ProgramStartSink& sink() {
    static ProgramStartSink s;
    return s;
}

std::wstring windowsFolderPath(const wchar_t* exe) {
    wchar_t folder[MAX_PATH];
    UINT n = GetWindowsDirectoryW(folder, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return {};
    return std::wstring(folder, n) + L'\\' + exe;
}

}  // namespace

void setProgramStartSink(ProgramStartSink s) { sink() = std::move(s); }

bool startWindowsProgram(const wchar_t* exe, const std::wstring& argument, int show) {
    std::wstring program = windowsFolderPath(exe);
    if (program.empty()) return false;
    std::wstring command = L"\"" + program + L"\" \"" + argument + L"\"";
    if (sink()) return sink()(program, command, show);
    STARTUPINFOW start{};
    start.cb = sizeof start;
    start.dwFlags = STARTF_USESHOWWINDOW;
    start.wShowWindow = static_cast<WORD>(show);
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &start,
                        &started)) {
        return false;
    }
    win::UniqueFile process(started.hProcess);
    win::UniqueFile thread(started.hThread);
    return true;
}

}  // namespace shell
