#include "shell/help.h"

#include <shellapi.h>

#include "shell/program_folder.h"
#include "shell/start_program.h"
#include "win/auto_message.h"

namespace shell {
namespace {

constexpr wchar_t kNoHelpMessage[] = L"无法打开帮助文件！";

}  // namespace

void showHelp(HWND owner, const std::wstring& topic) {
    std::wstring file = inProgramFolder(kHelpFile);
    if (startWindowsProgram(L"hh.exe", topic.empty() ? file : file + L"::/" + topic, SW_SHOWMAXIMIZED)) return;
    HINSTANCE opened = ShellExecuteW(owner, L"open", file.c_str(), nullptr, nullptr, SW_SHOWMAXIMIZED);
    if (reinterpret_cast<INT_PTR>(opened) <= 32) win::askMessage(kNoHelpMessage, win::kProductName, MB_OK);
}

}  // namespace shell
