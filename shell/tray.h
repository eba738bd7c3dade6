#pragma once
// One icon of the program in the notification area, with its tip and an information balloon.
// The shell's notifications come back to the callback window as kCallbackMessage and are
// turned into the MouseClick and TrayMsgBoxClick events.
#include <windows.h>

#include <functional>
#include <string>

namespace shell {

class cTray {
public:
    static constexpr UINT kCallbackMessage = WM_APP + 1;

    std::function<void(int button, bool dbClick)> MouseClick;  // 1 left, 2 right, 4 middle
    std::function<void(bool closeClick)> TrayMsgBoxClick;

    cTray() = default;
    cTray(const cTray&) = delete;
    cTray& operator=(const cTray&) = delete;
    ~cTray() { DelTrayIcon(); }

    void AddTrayIcon(HWND callbackWindow);
    void SetTrayIcon(HICON icon);  // the caller keeps the icon alive
    void SetTrayTip(const std::wstring& tip);
    void SetTrayMsgbox(const std::wstring& info, DWORD flags = 0, const std::wstring& title = {},
                       UINT timeoutMs = 0);
    void DelTrayIcon();
    void delicon();

    // One notification: the mouse or balloon message the shell reported (low word of lParam).
    void onNotify(UINT message);

private:
    HWND window_ = nullptr;
    HICON icon_ = nullptr;
    std::wstring tip_;
    bool added_ = false;
};

}  // namespace shell
