#include "shell/tray.h"

namespace shell {

void cTray::AddTrayIcon(HWND callbackWindow) { window_ = callbackWindow; }
void cTray::SetTrayIcon(HICON icon) { icon_ = icon; }
void cTray::SetTrayTip(const std::wstring& tip) { tip_ = tip; }
void cTray::SetTrayMsgbox(const std::wstring&, DWORD, const std::wstring&, UINT) {}
void cTray::DelTrayIcon() {}
void cTray::delicon() {}
void cTray::onNotify(UINT) {}

}  // namespace shell
