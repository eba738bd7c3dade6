#include "shell/help.h"

#include <shellapi.h>

#include "shell/program_folder.h"
#include "win/auto_message.h"
#include "win/handles.h"

namespace shell {
namespace {

constexpr wchar_t kNoHelpMessage[] = L"无法打开帮助文件！";

std::wstring viewerPath() {
    wchar_t folder[MAX_PATH];
    UINT n = GetWindowsDirectoryW(folder, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return {};
    return std::wstring(folder, n) + L"\\hh.exe";
}

bool startHelpViewer(const std::wstring& target) {
    std::wstring viewer = viewerPath();
    if (viewer.empty()) return false;
    std::wstring command = L"\"" + viewer + L"\" \"" + target + L"\"";
    STARTUPINFOW start{};
    start.cb = sizeof start;
    start.dwFlags = STARTF_USESHOWWINDOW;
    start.wShowWindow = SW_SHOWMAXIMIZED;
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(viewer.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &start,
                        &started)) {
        return false;
    }
    win::UniqueFile process(started.hProcess);
    win::UniqueFile thread(started.hThread);
    return true;
}

}  // namespace

void showHelp(HWND owner, const std::wstring& topic) {
    std::wstring file = inProgramFolder(kHelpFile);
    if (startHelpViewer(topic.empty() ? file : file + L"::/" + topic)) return;
    HINSTANCE opened = ShellExecuteW(owner, L"open", file.c_str(), nullptr, nullptr, SW_SHOWMAXIMIZED);
    if (reinterpret_cast<INT_PTR>(opened) <= 32) win::askMessage(kNoHelpMessage, win::kProductName, MB_OK);
}

}  // namespace shell
