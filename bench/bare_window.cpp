// The yardsticks of `make bench`: a bare topmost window with a colour key that prints the time of
// day and repaints every 200 ms. With --floor it still wakes every 200 ms but repaints only when
// the second changes, the least a clock that keeps the program's timing can do. With --idle it
// shows nothing and only waits, so that its Wine session measures Wine's own idle cost.
#include <windows.h>

#include <cwchar>

#include "win/handles.h"

namespace {

constexpr UINT_PTR kTick = 1;
constexpr UINT kTickMs = 200;
constexpr COLORREF kKey = RGB(1, 1, 1);
constexpr int kFontHeight = 96;

void paint(HWND w) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(w, &ps);
    RECT client{};
    GetClientRect(w, &client);
    win::UniqueBrush back(CreateSolidBrush(kKey));
    FillRect(dc, &client, back.get());
    win::UniqueFont font(CreateFontW(-kFontHeight, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Arial"));
    win::SelectScope use(dc, font.get());
    SYSTEMTIME t{};
    GetLocalTime(&t);
    wchar_t text[16];
    int length = std::swprintf(text, 16, L"%02d:%02d:%02d", t.wHour, t.wMinute, t.wSecond);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(255, 0, 0));
    DrawTextW(dc, text, length, &client, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    EndPaint(w, &ps);
}

bool onlyNewSeconds = false;  // --floor

void tick(HWND w) {
    static WORD shownSecond = 60;
    SYSTEMTIME t{};
    GetLocalTime(&t);
    if (onlyNewSeconds && t.wSecond == shownSecond) return;
    shownSecond = t.wSecond;
    InvalidateRect(w, nullptr, FALSE);
}

LRESULT CALLBACK procedure(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_TIMER: tick(w); return 0;
    case WM_PAINT: paint(w); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    }
    return DefWindowProcW(w, msg, wp, lp);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
    win::UniqueWindow window;
    onlyNewSeconds = std::wcscmp(commandLine, L"--floor") == 0;
    if (std::wcscmp(commandLine, L"--idle") != 0) {
        WNDCLASSW wc{};
        wc.lpfnWndProc = procedure;
        wc.hInstance = instance;
        wc.lpszClassName = L"Velmora.bench.bare";
        RegisterClassW(&wc);
        window.reset(CreateWindowExW(WS_EX_TOPMOST | WS_EX_LAYERED | WS_EX_TOOLWINDOW, wc.lpszClassName, L"bare",
                                     WS_POPUP, 100, 100, 480, 160, nullptr, nullptr, instance, nullptr));
        if (!window) return 1;
        SetLayeredWindowAttributes(window.get(), kKey, 0, LWA_COLORKEY);
        ShowWindow(window.get(), SW_SHOWNOACTIVATE);
        SetTimer(window.get(), kTick, kTickMs, nullptr);
    }
    MSG m;
    while (GetMessageW(&m, nullptr, 0, 0) > 0) DispatchMessageW(&m);
    return 0;
}
