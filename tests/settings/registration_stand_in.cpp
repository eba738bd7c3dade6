// Put into a folder as "regsvr32.exe": a registration that takes its time. It waits the
// milliseconds written in "registration.ms" beside it (a minute without that file) and notes its
// start and its end, with its process id, in "registrations.log" there.
#include <windows.h>

#include <string>

#include "win/handles.h"

namespace {

std::wstring besideMe(const wchar_t* name) {
    wchar_t exe[MAX_PATH];
    std::wstring path(exe, GetModuleFileNameW(nullptr, exe, MAX_PATH));
    return path.substr(0, path.find_last_of(L'\\') + 1) + name;
}

void note(const char* what) {
    win::UniqueFile log(CreateFileW(besideMe(L"registrations.log").c_str(), FILE_APPEND_DATA,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS, 0, nullptr));
    std::string line = std::string(what) + " " + std::to_string(GetCurrentProcessId()) + "\r\n";
    DWORD written = 0;
    if (log) WriteFile(log.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

DWORD waitMs() {
    win::UniqueFile file(CreateFileW(besideMe(L"registration.ms").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                     OPEN_EXISTING, 0, nullptr));
    char text[16] = {};
    DWORD read = 0;
    if (!file || !ReadFile(file.get(), text, sizeof text - 1, &read, nullptr)) return 60000;
    return static_cast<DWORD>(atol(text));
}

}  // namespace

int main() {
    note("start");
    Sleep(waitMs());
    note("end");
    return 0;
}
