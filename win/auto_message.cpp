#include "win/auto_message.h"

#include "win/program_end.h"
#include "win/window.h"

namespace win {
namespace {

MessageSink& sink() {
    static MessageSink s;
    return s;
}

// The box being shown on this thread; nested boxes save and restore it.
struct TimedBox {
    HHOOK hook = nullptr;
    HWND box = nullptr;
    UINT_PTR timer = 0;
};
thread_local TimedBox* current = nullptr;

LRESULT CALLBACK catchBox(int code, WPARAM wp, LPARAM lp) {
    if (code == HCBT_CREATEWND && current && !current->box) {
        auto* create = reinterpret_cast<CBT_CREATEWNDW*>(lp);
        if (create->lpcs->lpszClass == MAKEINTATOM(32770) ||
            (!IS_INTRESOURCE(create->lpcs->lpszClass) && lstrcmpW(create->lpcs->lpszClass, L"#32770") == 0)) {
            current->box = reinterpret_cast<HWND>(wp);
        }
    }
    return CallNextHookEx(nullptr, code, wp, lp);
}

void CALLBACK endBox(HWND, UINT, UINT_PTR id, DWORD) {
    if (!current || current->timer != id) return;
    KillTimer(nullptr, id);
    current->timer = 0;
    if (current->box && IsWindow(current->box)) EndDialog(current->box, IDOK);
}

int refusal(UINT style) {
    switch (style & MB_TYPEMASK) {
    case MB_OK: return IDOK;
    case MB_YESNO: return IDNO;
    case MB_ABORTRETRYIGNORE: return IDABORT;
    default: return IDCANCEL;  // every other set of buttons has Cancel
    }
}

}  // namespace

void setMessageSink(MessageSink s) { sink() = std::move(s); }

int autoMessage(std::wstring_view text, unsigned timeoutMs, UINT style, std::wstring_view caption) {
    if (!boxesShow()) return IDOK;
    BoxScope asking;
    MessageShown shown{std::wstring(text), std::wstring(caption), style, timeoutMs, asking.owner()};
    if (sink()) return sink()(shown);

    TimedBox box;
    TimedBox* outer = std::exchange(current, &box);
    box.hook = SetWindowsHookExW(WH_CBT, catchBox, nullptr, GetCurrentThreadId());
    box.timer = SetTimer(nullptr, 0, timeoutMs, endBox);
    int result = MessageBoxW(shown.owner, shown.text.c_str(), shown.caption.c_str(), style | MB_SETFOREGROUND);
    if (box.timer) KillTimer(nullptr, box.timer);
    if (box.hook) UnhookWindowsHookEx(box.hook);
    current = outer;
    return result;
}

int askMessage(std::wstring_view text, std::wstring_view caption, UINT style) {
    if (!boxesShow()) return refusal(style);
    BoxScope asking;
    MessageShown shown{std::wstring(text), std::wstring(caption), style, 0, asking.owner()};
    if (sink()) return sink()(shown);
    return MessageBoxW(shown.owner, shown.text.c_str(), shown.caption.c_str(), style | MB_SETFOREGROUND);
}

}  // namespace win
