#include "plans/Frm_data_sum.h"

#include <windowsx.h>

#include <algorithm>

#include "plans/export.h"
#include "plans/plans_texts.h"
#include "shell/meeting_db.h"
#include "shell/run_records.h"
#include "shell/settings_registry.h"
#include "win/auto_message.h"
#include "win/controls.h"
#include "win/twips.h"

namespace plans {
namespace {

constexpr wchar_t kCaption[] = L"计时统计";
constexpr wchar_t kNotice[] = L"\r\n计时统计未启用\r\n\r\n暂停计时数据记录统计\r\n";
constexpr wchar_t kSwitchText[] = L"计时统计";
constexpr wchar_t kDeleteText[] = L"删除";
constexpr wchar_t kExportText[] = L"导出";
constexpr wchar_t kCloseText[] = L"关闭";

constexpr wchar_t kNothingToExport[] = L"没有记录导出";
constexpr wchar_t kPickRows[] = L"请鼠标选中待删除的行\r\r同时按下shift按钮可连续多选\r\r同时按下Ctrl按钮可间隔多选";
constexpr unsigned kPickRowsMs = 5000;
constexpr wchar_t kRecordSwitch[] = L"Time_Record";

// Layout in twips: client area, then left, top, width, height of each control.
constexpr int kClientWidth = 7080, kClientHeight = 7530;
struct Place {
    int left, top, width, height;
};
constexpr Place kHeader{90, 100, 6885, 435};
constexpr Place kList{120, 525, 6850, 6360};
constexpr Place kNoticePlace{1360, 3020, 3975, 1215};
constexpr Place kSwitch{120, 7080, 1500, 300};
constexpr Place kDelete{3840, 7020, 850, 375};
constexpr Place kExport{4980, 7020, 850, 375};
constexpr Place kClose{6120, 7020, 850, 375};

enum ControlId { kListId = 1, kNoticeId, kSwitchId, kDeleteId, kExportId, kCloseId };

// The header spans the list with a small margin, and the list starts just under it.
Place headerOverList() { return {kList.left - 10, kHeader.top, kList.width + 35, kHeader.height}; }
Place listUnderHeader() { return {kList.left, kHeader.top + kHeader.height - 30, kList.width, kList.height}; }

RECT pixels(const Place& p) {
    int left = win::twipsToPixelsX(p.left), top = win::twipsToPixelsY(p.top);
    return {left, top, left + win::twipsToPixelsX(p.width), top + win::twipsToPixelsY(p.height)};
}

// The switch shows any stored value but 0 and 2 as on: the recorder records for any non-zero value.
int switchState(int32_t stored) {
    if (stored == 0) return BST_UNCHECKED;
    return stored == 2 ? BST_INDETERMINATE : BST_CHECKED;
}

int textWidth(HDC dc, const std::wstring& text) {
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size.cx;
}

// Fields apart by tabs: the list sets each at its column, whatever the fields before it hold.
std::wstring tabbed(const std::vector<std::wstring>& fields) {
    std::wstring row;
    for (size_t i = 0; i < fields.size(); ++i) row += (i ? L"\t" : L"") + fields[i];
    return row;
}

// A list box counts its tab stops in quarters of its font's average character width.
int averageCharWidth(HDC dc) {
    return (textWidth(dc, L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz") / 26 + 1) / 2;
}

}  // namespace

Frm_data_sum::Frm_data_sum()
    : DialogWindow(L"Velmora.Frm_data_sum", kCaption, kClientWidth, kClientHeight),
      listRetry_([this] { return readAgain(*this, [this] { return listRecords(); }); }) {
    addTimer(Timer1);
    addTimer(Timer2);
}

LRESULT Frm_data_sum::onMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_CREATE:
        Form_Load();
        return 0;
    case WM_COMMAND:
        if (HIWORD(wp) != BN_CLICKED) break;
        switch (LOWORD(wp)) {
        case kSwitchId: Check1_Click(); return 0;
        case kExportId: Command1_Click(); return 0;
        case kCloseId: Command2_Click(); return 0;
        case kDeleteId: Command3_Click(); return 0;
        }
        break;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd(), &ps);
        paintHeader(dc);
        EndPaint(hwnd(), &ps);
        return 0;
    }
    case WM_CTLCOLORSTATIC:
        // The notice is a read-only box and would be grey: it keeps the white of an entry box.
        if (reinterpret_cast<HWND>(lp) == Text1) return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
        break;
    }
    return DialogWindow::onMessage(msg, wp, lp);
}

void Frm_data_sum::Form_Load() {
    listRetry_.stop();  // what an earlier opening waited for is read here
    List2.clear();
    listed_ = false;
    makeControls();
    sizeColumnGap(0);
    Timer1.enabled(true);
    Timer2.enabled(true);
    if (!shell::meetDataExists()) return;
    shell::Written listed = listRecords();
    // The recording is the registry's, not the file's: while the records wait for a file that
    // another program holds (or the user may not read), the switch shows it as it is.
    if (listed != shell::Written::failed) showSwitch();
    if (listed == shell::Written::fileBusy) listRetry_.arm();
    if (listed != shell::Written::done) tellRefused(listed, kReadFailed, kReadFailedMs);
}

void Frm_data_sum::makeControls() {
    font_ = win::messageFont();
    auto make = [&](const wchar_t* cls, const wchar_t* text, DWORD style, const Place& at, int id) {
        RECT r = pixels(at);
        HWND w = CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, r.left, r.top, r.right - r.left,
                                 r.bottom - r.top, hwnd(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                 GetModuleHandleW(nullptr), nullptr);
        SendMessageW(w, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
        return w;
    };
    List1 = make(L"LISTBOX", L"",
                 WS_BORDER | WS_VSCROLL | WS_TABSTOP | WS_CLIPSIBLINGS | LBS_EXTENDEDSEL | LBS_NOINTEGRALHEIGHT |
                     LBS_NOTIFY | LBS_USETABSTOPS,
                 listUnderHeader(), kListId);
    Check1 = make(L"BUTTON", kSwitchText, WS_TABSTOP | WS_DISABLED | BS_3STATE, kSwitch, kSwitchId);
    Command3 = make(L"BUTTON", kDeleteText, WS_TABSTOP | BS_PUSHBUTTON, kDelete, kDeleteId);
    Command1 = make(L"BUTTON", kExportText, WS_TABSTOP | BS_PUSHBUTTON, kExport, kExportId);
    Command2 = make(L"BUTTON", kCloseText, WS_TABSTOP | BS_PUSHBUTTON, kClose, kCloseId);
    Text1 = make(L"EDIT", kNotice, WS_BORDER | ES_MULTILINE | ES_READONLY | ES_CENTER, kNoticePlace, kNoticeId);
    SetWindowPos(Text1, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);  // over the list
}

// The columns: where the fields of the sample row fall with the gap sized for the list, its
// position as wide as the widest the list shows (`lastPosition`, from record 1000 on). The
// header titles and the list's tab stops take the same places.
void Frm_data_sum::sizeColumnGap(int lastPosition) {
    win::WindowDC dc(List1);
    win::SelectScope font(dc.get(), font_.get());
    RECT list{};
    GetClientRect(List1, &list);
    auto width = [&](const std::wstring& t) { return textWidth(dc.get(), t); };
    std::vector<std::wstring> sample(std::begin(kGapSample), std::end(kGapSample));
    sample[0] = std::max(sample[0], positionText(lastPosition), [&](const std::wstring& a, const std::wstring& b) {
        return width(a) < width(b);
    });
    columngap.assign(columnGapLength(width, list.right, sample, kRunGapShare), L' ');
    const int average = averageCharWidth(dc.get());
    std::vector<int> stops;  // dialog units
    headerOffsets_ = {0};
    std::wstring before = sample[0] + columngap;
    for (size_t i = 1; i < sample.size(); ++i) {
        stops.push_back(MulDiv(textWidth(dc.get(), before), 4, average));
        headerOffsets_.push_back(MulDiv(stops.back(), average, 4));
        before += sample[i] + columngap;
    }
    SendMessageW(List1, LB_SETTABSTOPS, stops.size(), reinterpret_cast<LPARAM>(stops.data()));
}

// Every record the program has finished: the runs still waiting to be written go first. A hold
// let go between that write and the read would leave them out of the list for good: they are
// written then, and the list read again.
shell::Written Frm_data_sum::listRecords() {
    bool waiting = shell::flushRunRecords() != shell::Written::done;
    auto runs = listRuns();
    if (runs && waiting && shell::flushRunRecords() == shell::Written::done) runs = listRuns();
    if (!runs) return runs.why();
    listed_ = true;
    sizeColumnGap(static_cast<int>(runs->size()));
    int position = 0;
    for (RunRecord& run : *runs) {
        ListedRun listed{++position, std::move(run)};
        std::wstring row = tabbed(runRowFields(listed.record, listed.position));
        SendMessageW(List1, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row.c_str()));
        List2.push_back(std::move(listed));
    }
    return shell::Written::done;
}

void Frm_data_sum::showSwitch() {
    int state = switchState(shell::readSettingNumber(kRecordSwitch));
    Button_SetCheck(Check1, state);
    EnableWindow(Check1, TRUE);
    ShowWindow(Text1, state == BST_UNCHECKED ? SW_SHOW : SW_HIDE);
}

void Frm_data_sum::paintHeader(HDC dc) {
    RECT header = pixels(headerOverList());
    FillRect(dc, &header, GetSysColorBrush(COLOR_BTNFACE));
    DrawEdge(dc, &header, EDGE_ETCHED, BF_RECT);
    win::SelectScope font(dc, font_.get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    RECT list = pixels(listUnderHeader());
    for (size_t i = 0; i < headerOffsets_.size(); ++i) {
        RECT cell{list.left + 2 + headerOffsets_[i], header.top, header.right, header.bottom};
        DrawTextW(dc, kRunHeaders[i], -1, &cell, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
}

void Frm_data_sum::Check1_Click() {
    if (!IsWindowEnabled(Check1)) return;
    int state = Button_GetCheck(Check1) == BST_UNCHECKED ? BST_CHECKED : BST_UNCHECKED;
    Button_SetCheck(Check1, state);
    shell::writeSettingNumber(kRecordSwitch, state);
    ShowWindow(Text1, state == BST_UNCHECKED ? SW_SHOW : SW_HIDE);
    Timer1.enabled(true);
}

void Frm_data_sum::Command1_Click() {
    if (toldUnread(listed_, listRetry_)) return;
    if (List2.empty()) {
        win::autoMessage(kNothingToExport, kShortMessageMs);
        return;
    }
    export_to_excel(kExportSheet, runExportTable(List2), ExportWindow::Statistics);
}

void Frm_data_sum::Command2_Click() { unload(); }

void Frm_data_sum::Command3_Click() {
    if (!shell::meetDataExists() || toldUnread(listed_, listRetry_)) return;
    if (List2.empty()) {
        win::autoMessage(kNothingToDelete, kShortMessageMs);
        return;
    }
    if (win::selectedRows(List1).empty()) {
        win::autoMessage(kPickRows, kPickRowsMs);
        return;
    }
    int answer = win::askMessage(kDeleteQuestion, kQuestionCaption, MB_YESNO | MB_ICONQUESTION);
    if (unloading()) return;  // a window asked to go deletes nothing
    if (answer != IDYES) {
        SetFocus(List1);
        return;
    }
    // The rows chosen when the answer came, as the stage window takes them.
    std::vector<int> rows = win::selectedRows(List1);
    if (rows.empty()) return;
    std::vector<int64_t> rowids;
    for (int row : rows) rowids.push_back(List2[static_cast<size_t>(row)].record.rowid);
    // All or nothing: the list goes on showing what the table holds.
    if (shell::Written w = deleteRuns(rowids); w != shell::Written::done) {
        tellRefused(w, kDeleteFailed, kShortMessageMs);
        return;
    }
    std::sort(rows.rbegin(), rows.rend());
    for (int row : rows) {
        SendMessageW(List1, LB_DELETESTRING, row, 0);
        List2.erase(List2.begin() + row);
    }
    if (!List2.empty()) {
        int topmost = rows.back();
        SendMessageW(List1, LB_SETSEL, FALSE, -1);
        SendMessageW(List1, LB_SETSEL, TRUE, topmost == 0 ? 0 : topmost - 1);
    }
    SetFocus(List1);
    SetFocus(Command3);
}

void Frm_data_sum::Timer1_Timer() {
    Timer1.enabled(false);
    ShowWindow(Text1, SW_HIDE);
}

void Frm_data_sum::Timer2_Timer() { shell::timingState().topmostpause = 200; }

}  // namespace plans
