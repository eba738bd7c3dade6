#pragma once
// The folder the program runs from: beside it live TimeData.db, MeetData.db and the
// folders sounds, picture and font. Tests point it at a fresh folder of their own.
#include <string>
#include <string_view>

namespace shell {

// The folder as the system reports it, without a trailing "\".
const std::wstring& programFolder();
void setProgramFolder(std::wstring folder);

// The folder, a "\" where it lacks one, and the name.
std::wstring inProgramFolder(std::wstring_view name);

}  // namespace shell
