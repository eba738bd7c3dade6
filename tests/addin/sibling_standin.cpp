// Stands in for a sibling program (copied as Dovecrest.exe or Fennick.exe): records its start
// in "starts.log" beside it and, while a file "<name>.stay" is there, keeps running.
#include <windows.h>

#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path(self);
    std::wstring folder = path.substr(0, path.find_last_of(L'\\') + 1);
    std::wstring name = path.substr(folder.size());
    std::string line(name.begin(), name.end());
    line += "\r\n";
    for (int attempt = 0; attempt < 100; ++attempt) {
        HANDLE log = CreateFileW((folder + L"starts.log").c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                 OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (log != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            WriteFile(log, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
            CloseHandle(log);
            break;
        }
        Sleep(20);
    }
    std::wstring stay = folder + name + L".stay";
    for (int waited = 0; waited < 60000 && GetFileAttributesW(stay.c_str()) != INVALID_FILE_ATTRIBUTES; waited += 50)
        Sleep(50);
    return 0;
}
