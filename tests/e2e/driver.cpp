#include "tests/e2e/driver.h"

#include <algorithm>
#include <string_view>
#include <thread>
#include <vector>

#include "shell/run_records.h"
#include "shell/settings_registry.h"
#include "shell/tray.h"
#include "tests/test_support.h"

namespace driver {
namespace {

struct Search {
    DWORD pid;                    // any process when 0
    const std::wstring* caption;  // any caption when null
    const wchar_t* className;
    HWND found = nullptr;
};

BOOL CALLBACK matchWindow(HWND w, LPARAM lp) {
    auto* s = reinterpret_cast<Search*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    if (s->pid && pid != s->pid) return TRUE;
    if (s->caption && *s->caption != windowText(w)) return TRUE;
    if (s->className) {
        wchar_t cls[256] = {};
        GetClassNameW(w, cls, 256);
        if (lstrcmpW(cls, s->className) != 0) return TRUE;
    }
    s->found = w;
    return FALSE;
}

}  // namespace

bool waitFor(const std::function<bool()>& condition, std::chrono::milliseconds deadline) {
    auto end = std::chrono::steady_clock::now() + deadline;
    for (;;) {
        if (condition()) return true;
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(20ms);
    }
}

void installProgram(const std::wstring& folder) {
    CopyFileW(testing_support::inBuiltProgramFolder(L"Velmora.exe").c_str(), (folder + L"\\Velmora.exe").c_str(), FALSE);
    testing_support::makeMeetData(folder + L"\\MeetData.db");
}

std::wstring makeProgramFolder() {
    std::wstring folder = testing_support::makeTempFolder();
    installProgram(folder);
    return folder;
}

bool saveScreenshot(const std::wstring& name) {
    std::wstring folder = testing_support::besideTestPrograms(L"..\\test-artifacts");
    CreateDirectoryW(folder.c_str(), nullptr);
    testing_support::Screenshot shot = testing_support::takeScreenshot();
    if (shot.bits.empty()) return false;
    DWORD imageSize = static_cast<DWORD>(shot.bits.size());
    BITMAPFILEHEADER file{0x4D42, static_cast<DWORD>(sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER) + imageSize),
                          0, 0, sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER)};
    std::string bytes(reinterpret_cast<const char*>(&file), sizeof file);
    bytes.append(reinterpret_cast<const char*>(&shot.header), sizeof shot.header);
    bytes.append(shot.bits);
    testing_support::writeFile(folder + L"\\" + name, bytes);
    return true;
}

shell::TimeOfDay realTimeOfDay() {
    SYSTEMTIME t;
    GetLocalTime(&t);
    return {t.wHour * 3600 + t.wMinute * 60 + t.wSecond};
}

std::optional<StagePeriod> stageAhead(int lead, int length) {
    shell::TimeOfDay now = realTimeOfDay();
    // A minute after its end is left for what the program does then.
    if (now.seconds + lead + length + 60 > 86400) return std::nullopt;
    return StagePeriod{{now.seconds + lead}, {now.seconds + lead + length}};
}

void paintNow(HWND w) {
    RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    // Answered once the window's thread has done what came before it.
    SendMessageW(w, WM_NULL, 0, 0);
}

bool xdotool(const std::wstring& args) {
    // Wine names the Unix program by a path of one of its drives.
    using DosPathOf = LPWSTR(CDECL*)(LPCSTR);
    auto dosPathOf = reinterpret_cast<DosPathOf>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32"), "wine_get_dos_file_name")));
    LPWSTR exe = dosPathOf ? dosPathOf("/usr/bin/xdotool") : nullptr;
    if (!exe) return false;
    std::wstring cmd = L"\"" + std::wstring(exe) + L"\" " + args;
    HeapFree(GetProcessHeap(), 0, exe);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return false;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return true;
}

bool dragWindow(HWND window, POINT from, POINT to) {
    // No --sync: it waits for the pointer to leave where it is, forever when it is there already.
    auto moveTo = [](LONG x, LONG y) {
        return L" sleep 0.1 mousemove " + std::to_wstring(x) + L" " + std::to_wstring(y);
    };
    if (!xdotool(moveTo(from.x, from.y) + L" mousedown 1" + moveTo(from.x + 3, from.y + 3))) return false;
    DWORD thread = GetWindowThreadProcessId(window, nullptr);
    bool moving = waitFor([&] {
        GUITHREADINFO info{sizeof info};
        return GetGUIThreadInfo(thread, &info) && (info.flags & GUI_INMOVESIZE) && info.hwndMoveSize == window;
    });
    std::wstring path;
    constexpr int steps = 4;
    for (int i = 1; i <= steps; ++i) {
        path += moveTo(from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps);
    }
    // The button is let go whatever happened, or it stays down for the tests after this one.
    return xdotool(path + L" sleep 0.1 mouseup 1") && moving;
}

namespace {

struct ChildSearch {
    const wchar_t* cls;
    const std::wstring& text;
    HWND found = nullptr;
};

BOOL CALLBACK matchChild(HWND w, LPARAM lp) {
    auto* s = reinterpret_cast<ChildSearch*>(lp);
    wchar_t name[64] = {};
    GetClassNameW(w, name, 64);
    if (lstrcmpiW(name, s->cls) != 0 || controlText(w) != s->text) return TRUE;
    s->found = w;
    return FALSE;
}

}  // namespace

HWND findChild(HWND parent, const wchar_t* cls, const std::wstring& text) {
    ChildSearch s{cls, text};
    EnumChildWindows(parent, matchChild, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

HWND layoutControl(HWND window, const std::vector<win::ControlDesign>& layout, const wchar_t* name, int index) {
    constexpr int kFirstControlId = 1000;  // controls are numbered in the order of their layout
    auto at = std::find_if(layout.begin(), layout.end(), [&](const win::ControlDesign& s) {
        return std::wstring_view(s.name) == name && s.index == index;
    });
    if (at == layout.end()) return nullptr;
    return GetDlgItem(window, kFirstControlId + static_cast<int>(at - layout.begin()));
}

void notify(HWND window, HWND child, WORD code) {
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(child), code), reinterpret_cast<LPARAM>(child));
}

std::wstring controlText(HWND w) {
    wchar_t text[256] = {};
    SendMessageW(w, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text));
    return text;
}

std::wstring windowText(HWND w) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(w)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(w, text.data(), static_cast<int>(text.size()))));
    return text;
}

Program::Program(const std::wstring& folder, std::wstring exeName) : folder_(folder), exeName_(std::move(exeName)) {}

Program::~Program() {
    if (running()) {
        TerminateProcess(process_.get(), 1);
        WaitForSingleObject(process_.get(), 5000);
    }
}

bool Program::start() {
    std::wstring exe = folder_ + L"\\" + exeName_;
    std::wstring cmd = L"\"" + exe + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, folder_.c_str(), &si, &pi)) {
        return false;
    }
    CloseHandle(pi.hThread);
    process_.reset(pi.hProcess);
    pid_ = pi.dwProcessId;
    return true;
}

bool Program::running() const {
    return process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
}

bool Program::waitExit(std::chrono::milliseconds deadline) {
    return process_ && WaitForSingleObject(process_.get(), static_cast<DWORD>(deadline.count())) == WAIT_OBJECT_0;
}

DWORD Program::exitCode() const {
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process_.get(), &code);
    return code;
}

HWND anyWindow(const std::wstring& caption) {
    Search s{0, &caption, nullptr};
    EnumWindows(matchWindow, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

HWND Program::window(const std::wstring& caption, const wchar_t* className) const {
    Search s{pid_, &caption, className};
    EnumWindows(matchWindow, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

HWND Program::waitWindow(const std::wstring& caption, const wchar_t* className,
                         std::chrono::milliseconds deadline) const {
    HWND found = nullptr;
    waitFor([&] { return (found = window(caption, className)) != nullptr; }, deadline);
    return found;
}

HWND Program::waitWindowOfClass(const wchar_t* className, std::chrono::milliseconds deadline) const {
    Search s{pid_, nullptr, className};
    waitFor([&] {
        EnumWindows(matchWindow, reinterpret_cast<LPARAM>(&s));
        return s.found != nullptr;
    }, deadline);
    return s.found;
}

HWND Program::waitClockShown(std::chrono::milliseconds deadline) const {
    HWND glass = waitWindow(L"", L"Velmora.time_glass", deadline);
    if (!glass || !waitFor([&] { return IsWindowVisible(glass) != FALSE; }, deadline)) return nullptr;
    return glass;
}

namespace {

std::wstring boxText(HWND box) {
    // The message is the static control with the longest text.
    std::wstring best;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t cls[32] = {};
        GetClassNameW(child, cls, 32);
        if (lstrcmpiW(cls, L"Static") != 0) continue;
        std::wstring text = windowText(child);
        if (text.size() > best.size()) best = text;
    }
    return best;
}

}  // namespace

std::wstring shownBoxText(HWND box) {
    // A box is shown once its dialog set-up has put the message in place.
    std::wstring text;
    waitFor([&] { return IsWindowVisible(box) && !(text = boxText(box)).empty(); });
    return text;
}

bool pressButton(HWND box, const std::wstring& label) {
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t text[64] = {};
        GetWindowTextW(child, text, 64);
        std::wstring t = text;
        // Buttons may carry a mnemonic such as "是(&Y)".
        if (t == label || t.rfind(label + L"(", 0) == 0) {
            PostMessageW(box, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(child), BN_CLICKED), reinterpret_cast<LPARAM>(child));
            return true;
        }
    }
    return false;
}

HWND openTrayMenu(const Program& p, HWND hub, bool waitForIt) {
    PostMessageW(hub, shell::cTray::kCallbackMessage, 1, WM_RBUTTONUP);
    if (!waitForIt) return nullptr;
    HWND menu = nullptr;
    waitFor([&] { return (menu = p.window(L"", L"#32768")) && IsWindowVisible(menu); });
    return menu;
}

void pressKeys(HWND w, std::initializer_list<WPARAM> keys) {
    for (WPARAM key : keys) {
        PostMessageW(w, WM_KEYDOWN, key, 1);
        PostMessageW(w, WM_KEYUP, key, 0xC0000001);
    }
}

bool chooseTrayItem(const Program& p, HWND hub, std::initializer_list<WPARAM> keys) {
    HWND menu = openTrayMenu(p, hub);
    if (!menu) return false;
    pressKeys(menu, keys);
    return waitFor([&] { return !IsWindowVisible(menu); });
}

HWND waitSettingsDialog(const Program& p) {
    HWND dialog = p.waitWindow(L"设置", L"Velmora.Settings");
    if (!dialog || !waitFor([&] { return findChild(dialog, L"Static", L"其它") != nullptr; })) return nullptr;
    return dialog;
}

bool clickLastItem(HWND menu) {
    RECT r{};
    if (!GetWindowRect(menu, &r)) return false;
    // The last item ends a border's width above the menu's bottom edge.
    std::wstring at = std::to_wstring((r.left + r.right) / 2) + L" " + std::to_wstring(r.bottom - 8);
    return xdotool(L"mousemove " + at + L" sleep 0.2 click 1");
}

bool hotkeyFree(UINT modifiers, UINT key) {
    constexpr int probeId = 0x7000;
    if (!RegisterHotKey(nullptr, probeId, modifiers, key)) return false;
    UnregisterHotKey(nullptr, probeId);
    return true;
}

void ProgramFolderTest::SetUp() {
    ProgramTest::SetUp();
    programFolder = makeProgramFolder();
}

void ProgramFolderTest::TearDown() {
    testing_support::removeTree(programFolder);
    ProgramTest::TearDown();
}

void StageAheadTest::startBeforeAStage(Program& p, int length, const std::wstring& title) {
    shell::ClockSetting saved;
    shell::applyFirstRunDefaults(saved);
    addClock(L"Kurz", saved);
    shell::writeSettingNumber(L"Time_Record", 1);
    installProgram(folder);
    stage = stageAhead(kStartLead, length);
    if (!stage) return;
    addStage(shell::formatHms(stage->start), shell::formatHms(stage->end), L"Kurz", title);
    ASSERT_TRUE(p.start());
    glass = p.waitClockShown();
    ASSERT_TRUE(glass);
    ASSERT_LT(realTimeOfDay().seconds, stage->start.seconds)
        << "the program showed its clock only after the stage began";
}

}  // namespace driver
