#include "shell/tray.h"

#include <algorithm>

#include "win/pump.h"

namespace shell {
namespace {

constexpr UINT kIconId = 1;

TrayNotifier& notifier() {
    static TrayNotifier n;
    return n;
}

// The shell's result is not looked at: a failed call leaves the icon as it was.
void notify(DWORD message, const NOTIFYICONDATAW& data) {
    if (notifier()) {
        notifier()(message, data);
        return;
    }
    Shell_NotifyIconW(message, const_cast<NOTIFYICONDATAW*>(&data));
}

}  // namespace

void fillTextField(wchar_t* field, size_t width, std::wstring_view text) {
    if (width == 0) return;
    size_t kept = std::min(text.size(), width - 1);
    std::fill(std::copy_n(text.begin(), kept, field), field + width, L'\0');
}

void setTrayNotifier(TrayNotifier n) { notifier() = std::move(n); }

NOTIFYICONDATAW cTray::record(UINT flags) const {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = window_;
    data.uID = kIconId;
    data.uFlags = flags;
    data.uCallbackMessage = kCallbackMessage;
    data.hIcon = icon_;
    fillTextField(data.szTip, std::size(data.szTip), tip_);
    return data;
}

void cTray::AddTrayIcon(HWND callbackWindow) {
    window_ = callbackWindow;
    notify(NIM_ADD, record(NIF_MESSAGE | NIF_ICON | NIF_INFO));
    added_ = true;
}

void cTray::RestoreTrayIcon() {
    if (added_) notify(NIM_ADD, record(NIF_MESSAGE | NIF_ICON | NIF_TIP));
}

void cTray::SetTrayIcon(HICON icon) {
    if (!icon) return;
    icon_ = icon;
    notify(NIM_MODIFY, record(NIF_ICON));
}

void cTray::SetTrayTip(const std::wstring& tip) {
    tip_ = tip;
    notify(NIM_MODIFY, record(NIF_TIP));
}

void cTray::SetTrayMsgbox(const std::wstring& info, DWORD flags, const std::wstring& title, UINT timeoutMs) {
    NOTIFYICONDATAW data = record(NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_INFO);
    fillTextField(data.szInfo, std::size(data.szInfo), info);
    fillTextField(data.szInfoTitle, std::size(data.szInfoTitle), title);
    data.uTimeout = timeoutMs;
    data.dwInfoFlags = title.empty() ? 0 : flags;
    notify(NIM_MODIFY, data);
}

void cTray::remove() {
    if (!added_) return;
    notify(NIM_DELETE, record(0));
    added_ = false;
}

void cTray::DelTrayIcon() {
    remove();
    win::doEvents();
}

void cTray::delicon() {
    if (TrayMsgBoxClick) TrayMsgBoxClick(true);
}

void cTray::onNotify(UINT message) {
    auto click = [this](int button, bool dbClick) {
        if (MouseClick) MouseClick(button, dbClick);
    };
    auto balloon = [this](bool closeClick) {
        if (TrayMsgBoxClick) TrayMsgBoxClick(closeClick);
    };
    switch (message) {
    case WM_LBUTTONUP: return click(1, false);
    case WM_LBUTTONDBLCLK: return click(1, true);
    case WM_RBUTTONUP: return click(2, false);
    case WM_RBUTTONDBLCLK: return click(2, true);
    case WM_MBUTTONUP: return click(4, false);
    case WM_MBUTTONDBLCLK: return click(4, true);
    case NIN_BALLOONTIMEOUT: return balloon(true);
    case NIN_BALLOONUSERCLICK: return balloon(false);
    }
}

}  // namespace shell
