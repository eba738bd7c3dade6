#include "win/tabbed_dialog.h"

namespace win {

COLORREF tabPictureColour(TabPicture p) {
    switch (p) {
    case TabPicture::Hovered: return RGB(198, 218, 242);
    case TabPicture::Selected: return RGB(255, 255, 255);
    default: return RGB(224, 228, 234);
    }
}

void fillPicture(const DRAWITEMSTRUCT& d, TabPicture p) {
    UniqueBrush fill(CreateSolidBrush(tabPictureColour(p)));
    FillRect(d.hDC, &d.rcItem, fill.get());
}

void paintTabPicture(const DRAWITEMSTRUCT& d, TabPicture p) {
    fillPicture(d, p);
    RECT r = d.rcItem;
    DrawEdge(d.hDC, &r, EDGE_RAISED, BF_LEFT | BF_TOP | BF_RIGHT);
}

void paintTabCaption(const DRAWITEMSTRUCT& d, TabPicture p, HFONT font, const std::wstring& caption) {
    fillPicture(d, p);
    RECT r = d.rcItem;
    SelectScope use(d.hDC, font);
    SetBkMode(d.hDC, TRANSPARENT);
    DrawTextW(d.hDC, caption.c_str(), -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

LRESULT TabbedDialog::onMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_CREATE:
        Form_Load();
        return 0;
    case WM_COMMAND:
        // Enter and Esc of the dialog-message handling arrive as IDOK and IDCANCEL.
        if (lp == 0 && LOWORD(wp) == IDCANCEL) return closeDialog(), 0;
        if (lp == 0 && dialogCommand(LOWORD(wp))) return 0;
        break;
    case WM_DRAWITEM:
        paintPicture(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
        return TRUE;
    case WM_MOUSEMOVE:
        Form_MouseMove();
        return 0;
    case WM_CLOSE:
        closeDialog();
        return 0;
    }
    return ControlDialog::onMessage(msg, wp, lp);
}

}  // namespace win
