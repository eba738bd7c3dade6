#pragma once
// Child controls addressed by name and index, as a dialog's handlers and its neighbours
// address them ("Check1", 4). A value set from code raises the same handler that a user's
// edit raises, so a load that fills the controls runs their handlers as a person would.
#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "win/handles.h"

namespace win {

enum class ControlKind { Label, Button, Check, Option, Text, Combo, ComboList, List, VScroll, HScroll, Frame, Shape, Picture };

// One control as the dialog lays it out: client position and size in twips.
struct ControlDesign {
    const wchar_t* name;
    int index;
    ControlKind kind;
    const wchar_t* caption;
    int left, top, width, height;
    const wchar_t* page = nullptr;  // the page the control belongs to; nullptr: always shown
};

class Control {
public:
    Control(ControlDesign design, HWND hwnd) : design_(design), hwnd_(hwnd) {}

    std::wstring name() const { return design_.name; }
    int index() const { return design_.index; }
    ControlKind kind() const { return design_.kind; }
    const wchar_t* page() const { return design_.page; }
    HWND hwnd() const { return hwnd_; }

    // Check box 0, 1 or 2 (greyed); option 1 selected, 0 not; scroll bar its position.
    // Setting a different value raises Click (check box, option) or Change (scroll bar).
    int value() const;
    void setValue(int v);
    // Edit text (raises Change), a combo's edit text, a label's or button's caption.
    std::wstring text() const;
    void setText(const std::wstring& t);

    // Lists. Setting the index raises Click; an index outside the list leaves the
    // selection and returns false. For a drop-down list, setText selects the equal item and
    // returns false when there is none. A list of several selectable rows (List) has as its
    // index the row with the focus, -1 while no row is selected; setting it selects that row alone.
    int listIndex() const;
    bool setListIndex(int i);
    bool selectItem(const std::wstring& t);
    void addItem(const std::wstring& t);
    // Rows of a List in place of all it held, drawn once at the end, not once a row.
    void setItems(const std::vector<std::wstring>& rows);
    void clear();
    int listCount() const;
    std::wstring item(int i) const;
    // Rows of a List.
    void insertItem(int i, const std::wstring& t);
    void removeItem(int i);
    bool selected(int i) const;
    void setSelected(int i, bool on);
    std::vector<int> selectedRows() const;

    // Scroll range; the value is clamped into it.
    void setRange(int min, int max);
    int min() const { return min_; }
    int max() const { return max_; }

    COLORREF backColour() const { return back_; }
    void setBackColour(COLORREF c);
    bool hasBackColour() const { return hasBack_; }

    bool visible() const { return IsWindowVisible(hwnd_) != FALSE; }
    void setVisible(bool on) { ShowWindow(hwnd_, on ? SW_SHOWNA : SW_HIDE); }
    bool enabled() const { return IsWindowEnabled(hwnd_) != FALSE; }
    void setEnabled(bool on) { EnableWindow(hwnd_, on); }
    void setFocus() {
        if (hwnd_) SetFocus(hwnd_);  // focus on no window would take it from the whole program
    }
    void moveTo(int left, int top, int width, int height);  // twips
    int top() const { return design_.top; }
    int height() const { return design_.height; }

    // The user's actions.
    void click();  // a press of the mouse: buttons, labels, check boxes, options, edits

    // Handlers.
    std::function<void()> onClick;
    std::function<void()> onDblClick;
    std::function<void()> onRightDown;
    std::function<void()> onChange;
    std::function<void()> onLostFocus;
    std::function<void()> onMouseMove;
    // A typed character: returns the character to let through, 0 to drop it.
    std::function<wchar_t(wchar_t)> onKeyPress;
    // Key down and up with the modifier state (1 Shift, 2 Ctrl, 4 Alt).
    std::function<void(int key, int shift)> onKeyDown;
    std::function<void(int key, int shift)> onKeyUp;
    // Text the user pastes: returns what is inserted in its place.
    std::function<std::wstring(const std::wstring&)> onPaste;

    // Notifications from the parent's WM_COMMAND and scroll messages.
    void notify(WORD code);
    void scrolled(WORD request, int thumb);

private:
    friend class ControlSet;
    void raise(const std::function<void()>& handler) const {
        if (handler) handler();
    }

    ControlDesign design_;
    HWND hwnd_;
    int min_ = 0, max_ = 32767;
    COLORREF back_ = 0;
    bool hasBack_ = false;
    UniqueBrush backBrush_;
    std::vector<Control*> group_;  // options of the same name, this one included
};

// The controls of one window: created from a table, found by name and index, and fed with
// the window's messages. The child windows die with their parent.
class ControlSet {
public:
    void create(HWND parent, const std::vector<ControlDesign>& designs, HFONT font);
    void destroy();

    Control* find(const std::wstring& name, int index = 0);
    Control* find(HWND h);
    // A control of the table. A name the table does not hold (a misspelling, or a window that
    // has gone) gives a control without a window and without handlers, which does nothing; tests
    // catch the lookup through missingControls().
    Control& operator()(const std::wstring& name, int index = 0);
    std::vector<Control*> all();

    // Routes a window message to the control it concerns; true when handled (result set).
    bool route(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);

private:
    std::map<std::pair<std::wstring, int>, std::unique_ptr<Control>> controls_;
    Control inert_{kInert, nullptr};
    static constexpr ControlDesign kInert{L"", 0, ControlKind::Frame, nullptr, 0, 0, 0, 0};
};

// How many lookups of this process named a control that was not there.
long missingControls();

// The selected rows of a list box of several selectable rows, in ascending order.
std::vector<int> selectedRows(HWND list);

// Modifier state as key handlers take it: 1 Shift, 2 Ctrl, 4 Alt.
int shiftState();

// A stored colour as the screen shows it: values with the high bit set name a system colour.
COLORREF screenColour(COLORREF stored);

}  // namespace win
