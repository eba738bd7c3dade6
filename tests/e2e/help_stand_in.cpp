// Put into a program folder as "hh.exe": when anything starts it, it leaves a file beside itself.
#include <windows.h>

#include <string>

#include "win/handles.h"

int main() {
    wchar_t exe[MAX_PATH];
    std::wstring path(exe, GetModuleFileNameW(nullptr, exe, MAX_PATH));
    std::wstring marker = path.substr(0, path.find_last_of(L'\\') + 1) + L"hh.exe ran";
    win::UniqueFile file(CreateFileW(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    return file ? 0 : 1;
}
