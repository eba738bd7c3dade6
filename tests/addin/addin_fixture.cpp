#include "addin_fixture.h"

#include <tlhelp32.h>

#include <algorithm>
#include <cstring>
#include <fstream>

#include "addin/siblings.h"
#include "win/handles.h"
#include "win/text.h"

namespace addin_test {
namespace {

constexpr DWORD kDeadlineMs = 10000;

std::wstring inFolder(const std::wstring& name) { return folder() + name; }

void clearAll() {
    removeSiblings();
    deleteUserKey(kHarrowby);
    deleteUserKey(kMirthwell);
    deleteUserKey(kTwinKey);
    DeleteFileW(inFolder(L"TimeData.db").c_str());
}

std::wstring refusedPath;
addin::ExclusiveOpen systemsOpen = nullptr;

bool openRefusingOne(const std::wstring& path) {
    if (lstrcmpiW(path.c_str(), refusedPath.c_str()) != 0) return systemsOpen(path);
    SetLastError(ERROR_ACCESS_DENIED);
    return false;
}

}  // namespace

WriteRefused::WriteRefused(const wchar_t* name) {
    refusedPath = inFolder(name);
    systemsOpen = addin::replaceExclusiveOpen(openRefusingOne);
}

WriteRefused::~WriteRefused() { addin::replaceExclusiveOpen(systemsOpen); }

std::wstring folder() {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path(self);
    return path.substr(0, path.find_last_of(L'\\') + 1);
}

std::optional<std::wstring> registryText(const wchar_t* key, const wchar_t* name) {
    wchar_t buffer[2048] = {};
    DWORD bytes = sizeof buffer - sizeof(wchar_t);
    DWORD type = 0;
    if (RegGetValueW(HKEY_CURRENT_USER, key, name, RRF_RT_REG_SZ | RRF_RT_REG_DWORD, &type, buffer, &bytes) !=
        ERROR_SUCCESS)
        return std::nullopt;
    if (type == REG_DWORD) return std::to_wstring(dwordIn(buffer));
    return std::wstring(buffer);
}

void setRegistryText(const wchar_t* key, const wchar_t* name, const std::wstring& value) {
    RegSetKeyValueW(HKEY_CURRENT_USER, key, name, REG_SZ, value.c_str(),
                    static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

void setRegistryNumber(const wchar_t* key, const wchar_t* name, DWORD value) {
    RegSetKeyValueW(HKEY_CURRENT_USER, key, name, REG_DWORD, &value, sizeof value);
}

void deleteUserKey(const wchar_t* key) {
    RegDeleteTreeW(HKEY_CURRENT_USER, key);
    RegDeleteKeyW(HKEY_CURRENT_USER, key);
}

void installSibling(const wchar_t* name, bool keepRunning) {
    CopyFileW(inFolder(L"sibling_standin.exe").c_str(), inFolder(name).c_str(), FALSE);
    if (keepRunning) {
        win::UniqueFile stay(CreateFileW(inFolder(std::wstring(name) + L".stay").c_str(), GENERIC_WRITE, 0, nullptr,
                                         CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    }
}

std::vector<std::string> siblingStarts(size_t atLeast) {
    std::vector<std::string> starts;
    for (DWORD start = GetTickCount();;) {
        starts.clear();
        std::ifstream log(win::toAnsi(inFolder(L"starts.log")).c_str());
        std::string line;
        while (std::getline(log, line)) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (!line.empty()) starts.push_back(line);
        }
        if (starts.size() >= atLeast || GetTickCount() - start >= kDeadlineMs) return starts;
        // A start may come from a timer of this thread, as the host's own message loop runs it.
        pumpUntil([] { return false; }, 50);
    }
}

bool pumpUntil(const std::function<bool()>& done, DWORD deadlineMs) {
    for (DWORD start = GetTickCount(); !done();) {
        DWORD waited = GetTickCount() - start;
        if (waited >= deadlineMs) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, std::min<DWORD>(50, deadlineMs - waited), QS_ALLINPUT);
        MSG msg;
        while (!done() && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    }
    return true;
}

void removeSiblings() {
    for (const wchar_t* name : {addin::kClockProgram, addin::kSettingsProgram, kTaskkill}) {
        std::wstring path = inFolder(name);
        DeleteFileW((path + L".stay").c_str());
        for (DWORD waited = 0; addin::fileExists(path) && addin::fileInUse(path) && waited < kDeadlineMs; waited += 50)
            Sleep(50);
        DeleteFileW(path.c_str());
    }
    DeleteFileW(inFolder(L"starts.log").c_str());
}

int runningCopies(const wchar_t* name) {
    win::UniqueFile snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    int copies = 0;
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry))
        copies += lstrcmpiW(entry.szExeFile, name) == 0;
    return copies;
}

DWORD processesStarted() {
    // A job the test program joins on first use; every process it starts afterwards joins too.
    static win::UniqueFile job = [] {
        win::UniqueFile made(CreateJobObjectW(nullptr, nullptr));
        if (made) AssignProcessToJobObject(made.get(), GetCurrentProcess());
        return made;
    }();
    JOBOBJECT_BASIC_ACCOUNTING_INFORMATION info{};
    QueryInformationJobObject(job.get(), JobObjectBasicAccountingInformation, &info, sizeof info, nullptr);
    return info.TotalProcesses;
}

DWORD dwordIn(const void* buffer) {
    DWORD n = 0;
    memcpy(&n, buffer, sizeof n);
    return n;
}

void AddinTest::SetUp() { clearAll(); }
void AddinTest::TearDown() { clearAll(); }

}  // namespace addin_test
