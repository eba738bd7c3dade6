#include "displays/Frm_title.h"

#include "win/floating.h"

namespace displays {

Frm_title::Frm_title() { addTimer(Timer3); }

void Frm_title::Form_Load() {
    create({L"Velmora.Frm_title"}, win::floatingLayout(-9000, -9000, 3000, 800));
    ShowWindow(hwnd(), SW_SHOWNOACTIVATE);
}

void Frm_title::setTitletext(const std::wstring& text) { titletext_ = text; }

void Frm_title::Timer3_Timer() { Timer3.enabled(false); }

}  // namespace displays
