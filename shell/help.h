#pragma once
// The help file help.chm beside the program, shown in the HTML Help viewer.
#include <windows.h>

#include <string>

namespace shell {

inline constexpr wchar_t kHelpFile[] = L"help.chm";

// Opens the help file at `topic` (a page name such as "2.1、设置.htm"), or at its start page
// when `topic` is empty. The viewer is started from the Windows folder by its full path, so a
// file "hh.exe" lying in the program folder is never run. Tells the user when nothing opened.
void showHelp(HWND owner, const std::wstring& topic = {});

}  // namespace shell
