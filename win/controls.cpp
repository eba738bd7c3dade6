#include "win/controls.h"

#include <commctrl.h>

#include <algorithm>
#include <atomic>

#include "win/pump.h"
#include "win/twips.h"
#include "win/window.h"

namespace win {
namespace {

constexpr UINT_PTR kSubclassId = 1;
constexpr int kFirstId = 1000;
constexpr int kPageStep = 10;

std::atomic<long> missing{0};

struct Creation {
    const wchar_t* cls;
    DWORD style;
};

Creation creationOf(ControlKind kind) {
    constexpr DWORD child = WS_CHILD | WS_VISIBLE;
    switch (kind) {
    case ControlKind::Label: return {L"STATIC", child | SS_NOTIFY};
    case ControlKind::Button: return {L"BUTTON", child | WS_TABSTOP | BS_PUSHBUTTON};
    case ControlKind::Check: return {L"BUTTON", child | WS_TABSTOP | BS_3STATE};
    case ControlKind::Option: return {L"BUTTON", child | WS_TABSTOP | BS_RADIOBUTTON};
    case ControlKind::Text: return {L"EDIT", child | WS_TABSTOP | ES_AUTOHSCROLL};  // a shape frames it
    case ControlKind::Combo: return {L"COMBOBOX", child | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN};
    case ControlKind::ComboList: return {L"COMBOBOX", child | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST};
    case ControlKind::List:
        return {L"LISTBOX", child | WS_TABSTOP | WS_BORDER | WS_VSCROLL | LBS_EXTENDEDSEL | LBS_NOTIFY |
                                LBS_USETABSTOPS | LBS_NOINTEGRALHEIGHT};
    case ControlKind::VScroll: return {L"SCROLLBAR", child | SBS_VERT};
    case ControlKind::HScroll: return {L"SCROLLBAR", child | SBS_HORZ};
    case ControlKind::Frame: return {L"STATIC", child | SS_ETCHEDFRAME};
    case ControlKind::Shape: return {L"STATIC", child | SS_BLACKFRAME};
    case ControlKind::Picture: return {L"STATIC", child | WS_CLIPSIBLINGS | SS_NOTIFY | SS_OWNERDRAW};
    }
    return {L"STATIC", child};
}

bool isList(ControlKind k) { return k == ControlKind::Combo || k == ControlKind::ComboList; }
bool isScroll(ControlKind k) { return k == ControlKind::VScroll || k == ControlKind::HScroll; }

std::wstring windowText(HWND h) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(h)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(h, text.data(), static_cast<int>(text.size()))));
    return text;
}

std::wstring clipboardText(HWND owner) {
    std::wstring text;
    if (!OpenClipboard(owner)) return text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (auto* p = static_cast<const wchar_t*>(GlobalLock(data))) {
            text = p;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

// What a control does itself before its own procedure: typed characters, keys, pastes, mouse
// moves and clicks on edits reach the control's handlers.
LRESULT controlMessage(Control& c, HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_CHAR:
        if (c.onKeyPress) {
            wchar_t kept = c.onKeyPress(static_cast<wchar_t>(wp));
            if (kept == 0) return 0;
            wp = kept;
        }
        break;
    case WM_GETDLGCODE:
        // A box that captures keys takes every key but Tab, so the dialog still moves on.
        if (c.onKeyDown) {
            auto* m = reinterpret_cast<const MSG*>(lp);
            if (m && m->message == WM_KEYDOWN && m->wParam == VK_TAB) break;
            return DLGC_WANTALLKEYS;
        }
        break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYUP: {
        bool down = msg == WM_KEYDOWN || msg == WM_SYSKEYDOWN;
        auto& handler = down ? c.onKeyDown : c.onKeyUp;
        if (handler) {
            handler(static_cast<int>(wp), shiftState());
            return 0;
        }
        break;
    }
    case WM_PASTE:
        if (c.onPaste) {
            std::wstring kept = c.onPaste(clipboardText(h));
            SendMessageW(h, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(kept.c_str()));
            return 0;
        }
        break;
    case WM_MOUSEMOVE:
        if (c.onMouseMove) c.onMouseMove();
        break;
    case WM_RBUTTONDOWN:
        if (c.onRightDown) c.onRightDown();
        break;
    case WM_LBUTTONUP:
        if (c.kind() == ControlKind::Text && c.onClick) {
            LRESULT r = DefSubclassProc(h, msg, wp, lp);
            c.onClick();
            return r;
        }
        break;
    }
    return DefSubclassProc(h, msg, wp, lp);
}

// Every control passes through here first. A user's doing runs as a handler of the control's
// window: a box it asks is the window's, and a window closed meanwhile goes once it returns.
LRESULT CALLBACK controlProc(HWND h, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR data) {
    if (msg == WM_NCDESTROY) {
        RemoveWindowSubclass(h, controlProc, kSubclassId);
        return DefSubclassProc(h, msg, wp, lp);
    }
    HWND parent = GetParent(h);
    if (isUserInput(msg) && !takesInput(parent)) {
        // Queued before the window's box opened: nothing acts on it. A press begun before
        // still ends, or the control keeps the mouse.
        if ((msg == WM_LBUTTONUP || msg == WM_RBUTTONUP) && GetCapture() == h) ReleaseCapture();
        return 0;
    }
    auto& c = *reinterpret_cast<Control*>(data);
    Window* window = Window::of(parent);
    if (!window || !(isUserInput(msg) || msg == WM_PASTE)) return controlMessage(c, h, msg, wp, lp);
    HandlerScope handling(*window);
    return controlMessage(c, h, msg, wp, lp);
}

}  // namespace

int shiftState() {
    int s = 0;
    if (GetKeyState(VK_SHIFT) < 0) s |= 1;
    if (GetKeyState(VK_CONTROL) < 0) s |= 2;
    if (GetKeyState(VK_MENU) < 0) s |= 4;
    return s;
}

COLORREF screenColour(COLORREF stored) {
    if (stored & 0x80000000u) return GetSysColor(static_cast<int>(stored & 0xFF));
    return stored & 0xFFFFFF;
}

int Control::value() const {
    switch (kind()) {
    case ControlKind::Check: return static_cast<int>(SendMessageW(hwnd_, BM_GETCHECK, 0, 0));
    case ControlKind::Option: return SendMessageW(hwnd_, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
    case ControlKind::VScroll:
    case ControlKind::HScroll: return GetScrollPos(hwnd_, SB_CTL);
    default: return 0;
    }
}

void Control::setValue(int v) {
    if (isScroll(kind())) v = std::clamp(v, min_, max_);
    if (v == value()) return;
    switch (kind()) {
    case ControlKind::Check:
        SendMessageW(hwnd_, BM_SETCHECK, static_cast<WPARAM>(v), 0);
        raise(onClick);
        return;
    case ControlKind::Option:
        SendMessageW(hwnd_, BM_SETCHECK, v ? BST_CHECKED : BST_UNCHECKED, 0);
        if (!v) return;
        for (Control* other : group_) {  // one option of a name is selected
            if (other != this) SendMessageW(other->hwnd_, BM_SETCHECK, BST_UNCHECKED, 0);
        }
        raise(onClick);  // only selecting an option clicks it
        return;
    case ControlKind::VScroll:
    case ControlKind::HScroll:
        SetScrollPos(hwnd_, SB_CTL, v, TRUE);
        raise(onChange);
        return;
    default: return;
    }
}

std::wstring Control::text() const { return windowText(hwnd_); }

void Control::setText(const std::wstring& t) {
    if (kind() == ControlKind::ComboList) {
        selectItem(t);
        return;
    }
    SetWindowTextW(hwnd_, t.c_str());  // an edit reports the change to its parent itself
    if (kind() == ControlKind::Label || kind() == ControlKind::Picture) InvalidateRect(hwnd_, nullptr, TRUE);
}

int Control::listIndex() const {
    if (kind() == ControlKind::List) {
        if (SendMessageW(hwnd_, LB_GETSELCOUNT, 0, 0) <= 0) return -1;
        return static_cast<int>(SendMessageW(hwnd_, LB_GETCARETINDEX, 0, 0));
    }
    if (!isList(kind())) return -1;
    return static_cast<int>(SendMessageW(hwnd_, CB_GETCURSEL, 0, 0));
}

bool Control::setListIndex(int i) {
    if (kind() == ControlKind::List) {
        if (i < -1 || i >= listCount()) return false;
        SendMessageW(hwnd_, LB_SETSEL, FALSE, -1);
        if (i >= 0) {
            SendMessageW(hwnd_, LB_SETSEL, TRUE, i);
            SendMessageW(hwnd_, LB_SETCARETINDEX, static_cast<WPARAM>(i), FALSE);
        }
        raise(onClick);
        return true;
    }
    if (!isList(kind()) || i < -1 || i >= listCount()) return false;
    SendMessageW(hwnd_, CB_SETCURSEL, static_cast<WPARAM>(i), 0);
    raise(onClick);
    return true;
}

bool Control::selectItem(const std::wstring& t) {
    for (int i = 0; i < listCount(); ++i) {
        if (item(i) == t) return setListIndex(i);
    }
    if (kind() == ControlKind::Combo) {
        SetWindowTextW(hwnd_, t.c_str());
        return true;
    }
    return false;
}

void Control::addItem(const std::wstring& t) {
    bool rows = kind() == ControlKind::List;
    SendMessageW(hwnd_, rows ? LB_ADDSTRING : CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(t.c_str()));
}

void Control::setItems(const std::vector<std::wstring>& rows) {
    SendMessageW(hwnd_, WM_SETREDRAW, FALSE, 0);
    clear();
    // Straight to the list box's own procedure: under Wine a message through the subclass costs
    // a round trip to the window server, seconds over 10,000 rows.
    auto own = reinterpret_cast<WNDPROC>(GetClassLongPtrW(hwnd_, GCLP_WNDPROC));
    for (const std::wstring& r : rows) {
        CallWindowProcW(own, hwnd_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(r.c_str()));
    }
    SendMessageW(hwnd_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(hwnd_, nullptr, TRUE);
}

void Control::clear() { SendMessageW(hwnd_, kind() == ControlKind::List ? LB_RESETCONTENT : CB_RESETCONTENT, 0, 0); }

int Control::listCount() const {
    if (kind() == ControlKind::List) return static_cast<int>(SendMessageW(hwnd_, LB_GETCOUNT, 0, 0));
    if (!isList(kind())) return 0;
    return static_cast<int>(SendMessageW(hwnd_, CB_GETCOUNT, 0, 0));
}

std::wstring Control::item(int i) const {
    bool rows = kind() == ControlKind::List;
    auto n = SendMessageW(hwnd_, rows ? LB_GETTEXTLEN : CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
    if (n < 0) return {};  // LB_ERR and CB_ERR
    std::wstring t(static_cast<size_t>(n) + 1, L'\0');
    t.resize(static_cast<size_t>(SendMessageW(hwnd_, rows ? LB_GETTEXT : CB_GETLBTEXT, static_cast<WPARAM>(i),
                                              reinterpret_cast<LPARAM>(t.data()))));
    return t;
}

void Control::insertItem(int i, const std::wstring& t) {
    SendMessageW(hwnd_, LB_INSERTSTRING, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(t.c_str()));
}

void Control::removeItem(int i) { SendMessageW(hwnd_, LB_DELETESTRING, static_cast<WPARAM>(i), 0); }

bool Control::selected(int i) const { return SendMessageW(hwnd_, LB_GETSEL, static_cast<WPARAM>(i), 0) > 0; }

void Control::setSelected(int i, bool on) { SendMessageW(hwnd_, LB_SETSEL, on, i); }

std::vector<int> Control::selectedRows() const { return win::selectedRows(hwnd_); }

std::vector<int> selectedRows(HWND list) {
    int count = static_cast<int>(SendMessageW(list, LB_GETSELCOUNT, 0, 0));
    std::vector<int> rows(static_cast<size_t>(std::max(count, 0)));
    if (count > 0) SendMessageW(list, LB_GETSELITEMS, static_cast<WPARAM>(count), reinterpret_cast<LPARAM>(rows.data()));
    return rows;
}

void Control::setRange(int min, int max) {
    min_ = min;
    max_ = max;
    SetScrollRange(hwnd_, SB_CTL, min, max, TRUE);
}

void Control::setBackColour(COLORREF c) {
    back_ = c;
    hasBack_ = true;
    backBrush_.reset(CreateSolidBrush(screenColour(c)));
    InvalidateRect(hwnd_, nullptr, TRUE);
}

void Control::moveTo(int left, int top, int width, int height) {
    design_.left = left;
    design_.top = top;
    design_.width = width;
    design_.height = height;
    SetWindowPos(hwnd_, nullptr, twipsToPixelsX(left), twipsToPixelsY(top), twipsToPixelsX(width),
                 twipsToPixelsY(height), SWP_NOZORDER | SWP_NOACTIVATE);
}

void Control::click() {
    switch (kind()) {
    case ControlKind::Check: setValue(value() == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED); return;
    case ControlKind::Option:
        if (value()) raise(onClick);  // clicking a selected option clicks it again
        else setValue(1);
        return;
    default: raise(onClick); return;
    }
}

void Control::notify(WORD code) {
    switch (kind()) {
    case ControlKind::Text:
        if (code == EN_CHANGE) raise(onChange);
        if (code == EN_KILLFOCUS) raise(onLostFocus);
        return;
    case ControlKind::List:
        if (code == LBN_SELCHANGE) raise(onClick);
        if (code == LBN_DBLCLK) raise(onDblClick);
        return;
    case ControlKind::Combo:
    case ControlKind::ComboList:
        if (code == CBN_SELCHANGE) raise(onClick);
        if (code == CBN_EDITCHANGE) raise(onChange);
        return;
    default:
        if (code == BN_CLICKED) click();  // STN_CLICKED has the same code
        return;
    }
}

void Control::scrolled(WORD request, int thumb) {
    int v = value();
    switch (request) {
    case SB_LINEUP: --v; break;
    case SB_LINEDOWN: ++v; break;
    case SB_PAGEUP: v -= kPageStep; break;
    case SB_PAGEDOWN: v += kPageStep; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: v = thumb; break;
    case SB_TOP: v = min_; break;
    case SB_BOTTOM: v = max_; break;
    default: return;
    }
    setValue(v);
}

void ControlSet::create(HWND parent, const std::vector<ControlDesign>& designs, HFONT font) {
    controls_.clear();
    HINSTANCE instance = GetModuleHandleW(nullptr);
    int id = kFirstId;
    for (const ControlDesign& s : designs) {
        Creation how = creationOf(s.kind);
        int height = isList(s.kind) ? s.height * 8 : s.height;  // the drop-down's open height
        HWND h = CreateWindowExW(0, how.cls, s.caption ? s.caption : L"", how.style, twipsToPixelsX(s.left),
                                 twipsToPixelsY(s.top), twipsToPixelsX(s.width), twipsToPixelsY(height), parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id++)), instance, nullptr);
        // A control the system refused stays in the table without a window: it shows nothing,
        // and the handlers that address it go on.
        SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        auto c = std::make_unique<Control>(s, h);
        if (h) SetWindowSubclass(h, controlProc, kSubclassId, reinterpret_cast<DWORD_PTR>(c.get()));
        controls_[{s.name, s.index}] = std::move(c);
    }
    for (auto& [key, c] : controls_) {
        if (c->kind() != ControlKind::Option) continue;
        for (auto& [otherKey, other] : controls_) {
            if (otherKey.first == key.first) c->group_.push_back(other.get());
        }
    }
}

void ControlSet::destroy() {
    for (auto& [key, c] : controls_) RemoveWindowSubclass(c->hwnd(), controlProc, kSubclassId);
    controls_.clear();
}

Control* ControlSet::find(const std::wstring& name, int index) {
    auto it = controls_.find({name, index});
    return it == controls_.end() ? nullptr : it->second.get();
}

Control& ControlSet::operator()(const std::wstring& name, int index) {
    if (Control* c = find(name, index)) return *c;
    ++missing;
    inert_ = Control(kInert, nullptr);  // handlers one caller set on it never run for another
    return inert_;
}

long missingControls() { return missing; }

std::vector<Control*> ControlSet::all() {
    std::vector<Control*> list;
    for (auto& [key, c] : controls_) list.push_back(c.get());
    return list;
}

Control* ControlSet::find(HWND h) {
    if (!h) return nullptr;
    for (auto& [key, c] : controls_) {
        if (c->hwnd() == h) return c.get();
    }
    return nullptr;
}

bool ControlSet::route(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    switch (msg) {
    case WM_COMMAND:
        if (Control* c = find(reinterpret_cast<HWND>(lp))) {
            c->notify(HIWORD(wp));
            result = 0;
            return true;
        }
        return false;
    case WM_VSCROLL:
    case WM_HSCROLL:
        if (Control* c = find(reinterpret_cast<HWND>(lp))) {
            c->scrolled(LOWORD(wp), static_cast<short>(HIWORD(wp)));
            result = 0;
            return true;
        }
        return false;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC: {
        Control* c = find(reinterpret_cast<HWND>(lp));
        if (!c || !c->hasBackColour()) return false;
        SetBkColor(reinterpret_cast<HDC>(wp), screenColour(c->back_));
        result = reinterpret_cast<LRESULT>(c->backBrush_.get());
        return true;
    }
    }
    return false;
}

}  // namespace win
