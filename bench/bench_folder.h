#pragma once
// A program folder of a bench's own in the temporary folder, holding a copy of the MeetData.db
// the build made in its program folder (bin, beside the benches' folder); it is the program
// folder while it lives and goes with what the bench left in it.
#include <windows.h>

#include <string>

#include "shell/meeting_db.h"
#include "shell/program_folder.h"

class BenchFolder {
public:
    explicit BenchFolder(const std::wstring& name) {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        folder_ = std::wstring(temp) + name + L"-" + std::to_wstring(GetCurrentProcessId());
        CreateDirectoryW(folder_.c_str(), nullptr);
        wchar_t exe[MAX_PATH];
        std::wstring self(exe, GetModuleFileNameW(nullptr, exe, MAX_PATH));
        std::wstring shipped = self.substr(0, self.find_last_of(L'\\') + 1) + L"..\\bin\\" + shell::kMeetDataFile;
        ready_ = CopyFileW(shipped.c_str(), (folder_ + L"\\" + shell::kMeetDataFile).c_str(), FALSE) != FALSE;
        shell::setProgramFolder(folder_);
    }
    ~BenchFolder() {
        WIN32_FIND_DATAW found;
        HANDLE find = FindFirstFileW((folder_ + L"\\*").c_str(), &found);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
                    DeleteFileW((folder_ + L"\\" + found.cFileName).c_str());
                }
            } while (FindNextFileW(find, &found));
            FindClose(find);
        }
        RemoveDirectoryW(folder_.c_str());
    }
    BenchFolder(const BenchFolder&) = delete;
    BenchFolder& operator=(const BenchFolder&) = delete;

    // False when the database could not be copied.
    bool ready() const { return ready_; }

private:
    std::wstring folder_;
    bool ready_ = false;
};
