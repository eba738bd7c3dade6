#include "tests/test_support.h"

#include <shellapi.h>
#include <tlhelp32.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/forms.h"
#include "clocks/time_glasstwo.h"
#include "displays/Frm_process.h"
#include "hub/Frm_exit.h"
#include "meetdata_schema.h"
#include "plans/Frm_data_sum.h"
#include "plans/Frm_offtensetting.h"
#include "settings/Settings.h"
#include "shell/ini_store.h"
#include "shell/meeting_db.h"
#include "shell/program_folder.h"
#include "shell/settings_registry.h"
#include "win/handles.h"
#include "win/program_end.h"
#include "win/text.h"

namespace testing_support {

void FakeClock::setTimeOfDay(int h, int m, int s, int ms) {
    time.wHour = static_cast<WORD>(h);
    time.wMinute = static_cast<WORD>(m);
    time.wSecond = static_cast<WORD>(s);
    time.wMilliseconds = static_cast<WORD>(ms);
}

// Past midnight the date moves on too.
void FakeClock::advance(uint32_t ms) {
    tick += ms;
    ULARGE_INTEGER at{};
    FILETIME file{};
    SystemTimeToFileTime(&time, &file);
    at.LowPart = file.dwLowDateTime;
    at.HighPart = file.dwHighDateTime;
    at.QuadPart += uint64_t{ms} * 10000;  // 100-ns units
    file = {at.LowPart, at.HighPart};
    FileTimeToSystemTime(&file, &time);
}

void FakeClock::pause(uint32_t ms) {
    ++pauses;
    if (onPause) onPause();
    Sleep(ms);
}

void resetSharedState() {
    shell::clockSetting() = {};
    shell::timingState() = {};
    shell::screenShared() = {GetSystemMetrics(SM_CXFULLSCREEN), GetSystemMetrics(SM_CYFULLSCREEN)};
}

bool processRunning(const wchar_t* exeName) {
    win::UniqueFile snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry)) {
        if (lstrcmpiW(entry.szExeFile, exeName) == 0) return true;
    }
    return false;
}

void deleteUserKey(const wchar_t* path) {
    RegDeleteTreeW(HKEY_CURRENT_USER, path);
    RegDeleteKeyW(HKEY_CURRENT_USER, path);
    shell::forgetSecondScreen();
}

Screenshot takeScreenshot() {
    int x = GetSystemMetrics(SM_XVIRTUALSCREEN), y = GetSystemMetrics(SM_YVIRTUALSCREEN);
    int w = GetSystemMetrics(SM_CXVIRTUALSCREEN), h = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    win::WindowDC screen(nullptr);
    win::UniqueMemDC memory(CreateCompatibleDC(screen.get()));
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), w, h, 1, 24, BI_RGB};
    void* bits = nullptr;
    win::UniqueBitmap shot(CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!shot || !bits) return {};
    {
        win::SelectScope select(memory.get(), shot.get());
        BitBlt(memory.get(), 0, 0, w, h, screen.get(), x, y, SRCCOPY);
    }
    GdiFlush();
    size_t imageSize = static_cast<size_t>((w * 3 + 3) & ~3) * h;
    return {info.bmiHeader, std::string(static_cast<const char*>(bits), imageSize)};
}

bool pumpUntil(const std::function<bool()>& done, DWORD limitMs) {
    DWORD deadline = GetTickCount() + limitMs;
    while (!done()) {
        if (static_cast<int32_t>(GetTickCount() - deadline) > 0) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        MSG m;
        while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
    }
    return true;
}

std::vector<std::wstring> itemTexts(HMENU menu) {
    std::vector<std::wstring> texts;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        wchar_t text[256] = {};
        GetMenuStringW(menu, static_cast<UINT>(i), text, 256, MF_BYPOSITION);
        texts.push_back(text);
    }
    return texts;
}

std::vector<int> checkedItems(HMENU menu) {
    std::vector<int> checked;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        if (GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION) & MF_CHECKED) checked.push_back(i);
    }
    return checked;
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

bool makeMeetData(const std::wstring& path) {
    shell::UniqueDatabase db;
    int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
    return sqlite3_open_v2(win::toUtf8(path).c_str(), db.put(), flags, nullptr) == SQLITE_OK &&
           sqlite3_exec(db.get(), kMeetDataSchema, nullptr, nullptr, nullptr) == SQLITE_OK;
}

std::string readFile(const std::wstring& path) {
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::wstring besideTestPrograms(std::wstring_view name) {
    wchar_t exe[MAX_PATH];
    std::wstring path(exe, GetModuleFileNameW(nullptr, exe, MAX_PATH));
    return path.substr(0, path.find_last_of(L'\\') + 1).append(name);
}

std::wstring inBuiltProgramFolder(std::wstring_view name) { return besideTestPrograms(L"..\\bin\\").append(name); }

void MeetDataTest::SetUp() {
    ProgramTest::SetUp();
    ASSERT_TRUE(makeMeetData(path()));
}

std::wstring MeetDataTest::path() const { return folder + L"\\" + shell::kMeetDataFile; }

std::optional<std::vector<MeetDataTest::Row>> MeetDataTest::exec(const char* sql,
                                                                   const std::vector<std::wstring>& texts) {
    shell::UniqueDatabase db;
    shell::UniqueStatement st;
    if (sqlite3_open_v2(win::toUtf8(path()).c_str(), db.put(), SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK ||
        sqlite3_prepare_v2(db.get(), sql, -1, st.put(), nullptr) != SQLITE_OK) {
        return std::nullopt;
    }
    for (size_t i = 0; i < texts.size(); ++i) {
        std::string utf8 = win::toUtf8(texts[i]);
        sqlite3_bind_text(st.get(), static_cast<int>(i + 1), utf8.c_str(), -1, SQLITE_TRANSIENT);
    }
    std::vector<Row> rows;
    int rc;
    while ((rc = sqlite3_step(st.get())) == SQLITE_ROW) {
        Row& row = rows.emplace_back();
        for (int c = 0; c < sqlite3_column_count(st.get()); ++c) {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(st.get(), c));
            row.push_back(text ? std::optional(win::fromUtf8(text)) : std::nullopt);
        }
    }
    if (rc != SQLITE_DONE) return std::nullopt;
    return rows;
}

void MeetDataTest::addStage(const std::wstring& start, const std::wstring& end, const std::wstring& clock,
                            const std::wstring& title) {
    ASSERT_TRUE(exec("INSERT INTO file_list VALUES (?1, ?2, ?3, ?4)", {start, end, clock, title}));
}

void MeetDataTest::addClock(const std::wstring& name, const shell::ClockSetting& c, int id) {
    auto n = [](int32_t v) { return std::to_wstring(v); };
    ASSERT_TRUE(exec("INSERT INTO clocksetting VALUES (?18, ?1, '2026-12-03', '', '12:00:00', ?2, ?3, ?4, ?5, "
                     "?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15, ?16, ?17)",
                     {name, n(c.Time_one), n(c.Time_two), n(c.Time_three), c.checkvalue, c.optvalue,
                      n(c.tellShowtime), c.tellsoundname, c.tellprocesstext, c.tellShowtext, c.clockFont,
                      c.Fontselect, c.picturename, n(c.time_top), n(c.time_left), n(c.picture_width),
                      n(c.picture_height), n(id)}));
}

void HubTest::SetUp() {
    MeetDataTest::SetUp();
    shell::timingState() = shell::TimingState{};
    forms::Frm_exit().Form_Load();
    ASSERT_TRUE(forms::Frm_exit().loaded());
    forms::Frm_exit().Timer4.enabled(false);  // no start kick: these tests start no run
    messages.clear();
}

void HubTest::TearDown() {
    for (win::Window* w : std::initializer_list<win::Window*>{&forms::Frm_process(), &forms::Frm_process_two(),
                                                              &forms::time_glasstwo(), &forms::Settings(),
                                                              &forms::Frm_data_sum(), &forms::Frm_offtensetting(),
                                                              &forms::Frm_exit()}) {
        w->unload();
    }
    forms::resetAll();
    MeetDataTest::TearDown();
}

namespace {

// What waits for a held file is the process's: what a test before, or one without this
// fixture, left is not written into this test's files.
void forgetWhatWaits() {
    shell::forgetPendingSites();
    shell::forgetPendingRuns();
}

}  // namespace

void ProgramTest::SetUp() {
    forgetWhatWaits();
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
    win::cancelProgramEnd();  // a test that ended the hub leaves the next one a running program
    deleteUserKey(L"Velmora");
    deleteUserKey(L"Tessaline");
    forgetWhatWaits();
    removeTree(folder);
}

}  // namespace testing_support
