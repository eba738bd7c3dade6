#pragma once
// Programs of the Windows folder (the help viewer, Notepad) started by their full path, so a
// file of the same name lying in the program folder is never run.
#include <functional>
#include <string>

namespace shell {

// Starts `exe` of the Windows folder with `argument` in double quotes, shown as `show` (an SW_
// value); false when it could not start.
bool startWindowsProgram(const wchar_t* exe, const std::wstring& argument, int show);

// Tests see every start here instead (path of the program, full command line, show state);
// the sink's result is the outcome. nullptr: programs start again.
using ProgramStartSink = std::function<bool(const std::wstring& program, const std::wstring& commandLine, int show)>;
void setProgramStartSink(ProgramStartSink sink);

}  // namespace shell
