#include "tests/test_support.h"

#include <shellapi.h>

#include "shell/program_folder.h"

namespace testing_support {

void FakeClock::setTimeOfDay(int h, int m, int s, int ms) {
    time.wHour = static_cast<WORD>(h);
    time.wMinute = static_cast<WORD>(m);
    time.wSecond = static_cast<WORD>(s);
    time.wMilliseconds = static_cast<WORD>(ms);
}

void FakeClock::advance(uint32_t ms) {
    tick += ms;
    uint32_t total = ((time.wHour * 60u + time.wMinute) * 60u + time.wSecond) * 1000u + time.wMilliseconds + ms;
    total %= 86400000u;
    setTimeOfDay(total / 3600000, total / 60000 % 60, total / 1000 % 60, total % 1000);
}

void deleteUserKey(const wchar_t* path) {
    RegDeleteTreeW(HKEY_CURRENT_USER, path);
    RegDeleteKeyW(HKEY_CURRENT_USER, path);
}

std::wstring makeTempFolder() {
    wchar_t base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    static unsigned serial = 0;
    for (;;) {
        std::wstring path = std::wstring(base) + L"velmora test " + std::to_wstring(GetCurrentProcessId()) +
                            L"-" + std::to_wstring(++serial);
        if (CreateDirectoryW(path.c_str(), nullptr)) return path;
    }
}

void removeTree(const std::wstring& folder) {
    std::wstring from = folder + L'\0';  // the list of names ends with two NULs
    SHFILEOPSTRUCTW op{};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_NO_UI;
    SHFileOperationW(&op);
}

void writeFile(const std::wstring& path, const std::string& bytes) {
    HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(f, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(f);
}

void ProgramTest::SetUp() {
    folder = makeTempFolder();
    shell::setProgramFolder(folder);
    deleteUserKey(L"Velmora");
    deleteUserKey(L"Tessaline");
    win::setMessageSink([this](const win::MessageShown& m) {
        messages.push_back(m);
        return messageAnswer;
    });
    shell::setWallClock(&clock);
}

void ProgramTest::TearDown() {
    shell::setWallClock(nullptr);
    win::setMessageSink(nullptr);
    deleteUserKey(L"Velmora");
    deleteUserKey(L"Tessaline");
    removeTree(folder);
}

}  // namespace testing_support
