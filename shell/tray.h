#pragma once
// One icon of the program in the notification area, with its tip and an information balloon.
// The shell's notifications come back to the callback window as kCallbackMessage and are
// turned into the MouseClick and TrayMsgBoxClick events.
#include <windows.h>
#include <shellapi.h>

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace shell {

// Fills a fixed text field of `width` characters: the text, cut to leave room for the
// terminating NUL, then NULs to the end.
void fillTextField(wchar_t* field, size_t width, std::wstring_view text);

// Every record goes to the shell through here; tests put a recorder in its place
// (nullptr: Shell_NotifyIconW again).
using TrayNotifier = std::function<BOOL(DWORD message, const NOTIFYICONDATAW& data)>;
void setTrayNotifier(TrayNotifier notifier);

class cTray {
public:
    static constexpr UINT kCallbackMessage = WM_APP + 1;

    std::function<void(int button, bool dbClick)> MouseClick;  // 1 left, 2 right, 4 middle
    std::function<void(bool closeClick)> TrayMsgBoxClick;

    cTray() = default;
    cTray(const cTray&) = delete;
    cTray& operator=(const cTray&) = delete;
    ~cTray() { remove(); }

    void AddTrayIcon(HWND callbackWindow);
    void SetTrayIcon(HICON icon);  // the caller keeps the icon alive; no icon changes nothing
    void SetTrayTip(const std::wstring& tip);
    // The balloon shows no icon when it has no title, whatever the flags say.
    void SetTrayMsgbox(const std::wstring& info, DWORD flags = 0, const std::wstring& title = {},
                       UINT timeoutMs = 0);
    // A restarted shell has lost every icon: shows this one again, as it was, unless it was removed.
    void RestoreTrayIcon();
    // Removes the icon, then lets the messages already waiting run (the removal may queue some).
    void DelTrayIcon();
    void delicon();

    // One notification: the mouse or balloon message the shell reported (low word of lParam).
    void onNotify(UINT message);

private:
    NOTIFYICONDATAW record(UINT flags) const;
    void remove();

    HWND window_ = nullptr;
    HICON icon_ = nullptr;
    std::wstring tip_;
    bool added_ = false;
};

}  // namespace shell
