#include "plans/Frm_offtensetting.h"

#include "app/forms.h"
#include "plans/plans_texts.h"
#include "plans/run_table.h"
#include "plans/stage_layout.h"
#include "plans/stage_rows.h"
#include "plans/stage_store.h"
#include "settings/Settings.h"
#include "shell/help.h"
#include "shell/meeting_db.h"
#include "shell/wall_clock.h"
#include "win/auto_message.h"
#include "win/program_end.h"
#include "win/twips.h"

namespace plans {
namespace {

constexpr wchar_t kHelpTopic[] = L"2.2、阶段计时.htm";
constexpr wchar_t kPickListFirst[] = L"请先选中【时钟名称/阶段计时】文件列表";
constexpr wchar_t kSearchCaption[] = L"查询提示";
constexpr wchar_t kNothingToExport[] = L"没有记录可导出";
constexpr wchar_t kList1[] = L"List1";
constexpr wchar_t kList2[] = L"List2";
constexpr UINT kExportItem = 100;  // apart from IDOK and IDCANCEL of the dialog keys
// The leading number and its pad take this share of the list's width.
constexpr float kPadShare = 630.0f / 6615.0f;
constexpr int kBesideGap = 130;  // twips between the settings dialog and this window

std::wstring today() {
    SYSTEMTIME t = shell::wallClock().localTime();
    wchar_t text[16];
    swprintf(text, 16, L"%04u-%02u-%02u", t.wYear, t.wMonth, t.wDay);
    return text;
}

ExportTable clockExportTable(const std::vector<SavedClock>& clocks) {
    ExportTable table{{std::wstring(L"序号"), std::wstring(L"时钟名称"), std::wstring(L"报警1"), std::wstring(L"报警2"),
                       std::wstring(L"报警3"), std::wstring(L"备注")}};
    for (const SavedClock& c : clocks) {
        table.push_back({static_cast<double>(c.ID), c.clockname, static_cast<double>(c.alarms[0]),
                         static_cast<double>(c.alarms[1]), static_cast<double>(c.alarms[2]), c.remark});
    }
    return table;
}

ExportTable stageExportTable(const std::vector<StoredStage>& stages) {
    ExportTable table{{std::wstring(L"开始"), std::wstring(L"结束"), std::wstring(L"时钟名称"), std::wstring(L"标题")}};
    for (const StoredStage& s : stages) {
        table.push_back({s.starttime, s.endtime, s.clockname, s.title});
    }
    return table;
}

}  // namespace

Frm_offtensetting::Frm_offtensetting()
    : TabbedDialog(L"Velmora.Frm_offtensetting", L"阶段计时", kStageClientWidth, kStageClientHeight),
      listRetry_([this] { return readAgain(*this, [this] { return fillBothLists(); }); }) {}

bool Frm_offtensetting::dialogCommand(WORD id) {
    if (id != kExportItem) return false;
    out_Click();
    return true;
}

void Frm_offtensetting::Form_Load() {
    listRetry_.stop();  // what an earlier opening waited for is read here
    createControls(stageLayout());
    clocksRead_ = stagesRead_ = false;
    Text3.clear();
    Label7 = -1;
    chosenTab_ = 0;
    wireHandlers();
    placeBesideSettings();
    sizeColumnPad();
    setTabStops();
    Ctl(L"Text4").setVisible(false);
    Ctl(L"Shape4").setVisible(false);
    Ctl(L"Cmd_save").setEnabled(false);
    Ctl(L"Command1").setEnabled(false);
    showPage(kClockPanel);
    showBothLists();
}

void Frm_offtensetting::wireHandlers() {
    for (int i = 0; i <= 1; ++i) {
        for (const wchar_t* name : {L"Image1", L"Label6"}) {
            win::Control& tab = Ctl(name, i);
            tab.onClick = [this, i] { Image1_Click(i); };
            tab.onMouseMove = [this, i] { hoverTab(i); };
        }
    }
    win::Control& list1 = Ctl(kList1);
    list1.onClick = [this] { List1_Click(); };
    list1.onDblClick = [this] { Cmd_load_Click(); };
    win::Control& list2 = Ctl(kList2);
    list2.onClick = [this] { List2_Click(); };
    list2.onDblClick = [this] { List2_DblClick(); };
    for (const wchar_t* name : {kList1, kList2}) {
        Ctl(name).onRightDown = [this, name] {
            Text3 = name;
            win::UniqueMenu menu(CreatePopupMenu());
            AppendMenuW(menu.get(), MF_STRING, kExportItem, L"导出");
            POINT at{};
            GetCursorPos(&at);
            win::popupMenu(menu.get(), TPM_LEFTALIGN | TPM_RIGHTBUTTON, at.x, at.y, hwnd());
        };
    }
    Ctl(L"Check1").onClick = [this] { Check1_Click(); };
    Ctl(L"Text4").onChange = [this] { Text4_Change(); };
    Ctl(L"Cmd_up").onClick = [this] { Cmd_up_Click(); };
    Ctl(L"Cmd_down").onClick = [this] { Cmd_down_Click(); };
    Ctl(L"Cmd_del").onClick = [this] { Cmd_del_Click(); };
    Ctl(L"Cmd_close").onClick = [this] { Cmd_close_Click(); };
    Ctl(L"Cmd_load").onClick = [this] { Cmd_load_Click(); };
    Ctl(L"Lab_help").onClick = [this] { shell::showHelp(hwnd(), kHelpTopic); };
    wireStageFields();
    wireClockFields();
}

void Frm_offtensetting::placeBesideSettings() {
    settings::Settings& dialog = forms::Settings();
    if (!dialog.loaded()) return;
    Move(dialog.Left() + dialog.Width() + kBesideGap, dialog.Top());
}

void Frm_offtensetting::sizeColumnPad() {
    HWND list = Ctl(kList1).hwnd();
    win::WindowDC dc(list);
    win::SelectScope font(dc.get(), font_.get());
    RECT client{};
    GetClientRect(list, &client);
    auto width = [&](const std::wstring& t) {
        SIZE size{};
        GetTextExtentPoint32W(dc.get(), t.c_str(), static_cast<int>(t.size()), &size);
        return static_cast<int>(size.cx);
    };
    columnPad.assign(columnGapLength(width, client.right, {L"001", L""}, kPadShare), L' ');
}

void Frm_offtensetting::setTabStops() {
    win::WindowDC screen(nullptr);
    screenDpi = GetDeviceCaps(screen.get(), LOGPIXELSX);
    std::array<int, 3> stops = listTabStops(screenDpi);
    for (const wchar_t* name : {kList1, kList2}) {
        SendMessageW(Ctl(name).hwnd(), LB_SETTABSTOPS, stops.size(), reinterpret_cast<LPARAM>(stops.data()));
    }
}

shell::Written Frm_offtensetting::fillClocks(const std::wstring& search) {
    auto clocks = listClocks(search);
    if (!clocks) return clocks.why();
    std::vector<std::wstring> texts;
    clockRows.clear();
    int position = 0;
    for (const SavedClock& c : *clocks) {
        texts.push_back(clockRowText({++position, c.clockname, c.setdate, c.remark}, columnPad));
        clockRows.push_back(c.rowid);
    }
    Ctl(kList1).setItems(texts);
    clocksRead_ = true;
    return shell::Written::done;
}

shell::Written Frm_offtensetting::fillStages(const std::wstring& search) {
    auto stages = listStages(search);
    if (!stages) return stages.why();
    std::vector<std::wstring> texts;
    stageRows.clear();
    for (const StoredStage& s : *stages) {
        StageRow row{shownStageTime(s.starttime), shownStageTime(s.endtime), s.clockname, s.title};
        texts.push_back(stageRowText(row, columnPad));
        stageRows.push_back(s.rowid);
    }
    Ctl(kList2).setItems(texts);
    stagesRead_ = true;
    return shell::Written::done;
}

// Both lists in full and the entry line's defaults.
shell::Written Frm_offtensetting::fillBothLists() {
    shell::Written listed = fillClocks(L"");
    resetClockEntry();
    if (listed == shell::Written::done) listed = fillStages(L"");
    return listed;
}

// A file gone or unreadable is told, not shown as empty lists; one that another program holds is
// read again shortly.
void Frm_offtensetting::showBothLists() {
    shell::Written listed = fillBothLists();
    if (listed == shell::Written::fileBusy) listRetry_.arm();
    if (listed != shell::Written::done) tellRefused(listed, kReadFailed, kReadFailedMs);
}

// The number proposed for the next clock follows the whole table, not a filtered list.
std::wstring Frm_offtensetting::nextClockNumber() {
    auto all = listClocks();
    size_t count = all ? all->size() : static_cast<size_t>(Ctl(kList1).listCount());
    return std::to_wstring(count + 1);
}

void Frm_offtensetting::resetClockEntry() {
    Ctl(L"Text1", 0).setText(nextClockNumber());
    Ctl(L"Text1", 2).setText(today());
}

ListTable Frm_offtensetting::Listdata(const std::wstring& listname) {
    ListTable table;
    if (listname != kList1 && listname != kList2) return table;
    win::Control& list = Ctl(listname);
    for (int i = 0; i < list.listCount(); ++i) {
        std::wstring text = list.item(i);
        if (listname == kList1) {
            ClockRow r = clockRowOf(text, columnPad).value_or(ClockRow{});
            table.push_back({std::to_wstring(r.ID), r.clockname, r.setdate, r.remark});
        } else {
            StageRow r = stageRowOf(text, columnPad).value_or(StageRow{});
            table.push_back({r.start, r.end, r.clockname, r.title});
        }
    }
    return table;
}

void Frm_offtensetting::Image1_Click(int index) {
    chosenTab_ = index;
    for (int i = 0; i <= 1; ++i) {
        bool chosen = i == index;
        Ctl(L"Image1", i).moveTo(kTabLefts[i], chosen ? kChosenTabTop : kTabTop, kTabWidth,
                                 chosen ? kChosenTabHeight : kTabHeight);
    }
    repaintTabs();
    if (Text3 == kList1 || Text3 == kList2) {
        win::Control& list = Ctl(Text3);
        for (int row : list.selectedRows()) list.setSelected(row, false);
    }
    showPage(index == 0 ? kClockPanel : kStagePanel);
    if (index == 0) {
        Ctl(L"Text1", 0).setText(nextClockNumber());
        Ctl(L"Text1", 1).setFocus();
    } else {
        int32_t now = shell::timetosecond(shell::timeOfDayNow());
        int32_t later = (now + 60) % 86400;
        Ctl(L"Text5", 1).setText(std::to_wstring(now / 3600));
        Ctl(L"Text5", 2).setText(std::to_wstring(now / 60 % 60));
        Ctl(L"Text5", 3).setText(std::to_wstring(later / 3600));
        Ctl(L"Text5", 4).setText(std::to_wstring(later / 60 % 60));
        Ctl(L"Text2", 2).setText(L"");
        Ctl(L"Text2", 3).setText(L"");
    }
    Text3.clear();
}

void Frm_offtensetting::hoverTab(int index) {
    if (index == hoveredTab_) return;
    hoveredTab_ = index;
    repaintTabs();
}

void Frm_offtensetting::repaintTabs() {
    for (int i = 0; i <= 1; ++i) {
        for (const wchar_t* name : {L"Image1", L"Label6"}) InvalidateRect(Ctl(name, i).hwnd(), nullptr, TRUE);
    }
}

void Frm_offtensetting::paintPicture(const DRAWITEMSTRUCT& d) {
    win::Control* c = controls_.find(d.hwndItem);
    if (!c) return;
    bool tab = c->name() == L"Image1" || c->name() == L"Label6";
    win::TabPicture p = win::TabPicture::Normal;
    if (tab && c->index() == chosenTab_) p = win::TabPicture::Selected;
    else if (tab && c->index() == hoveredTab_) p = win::TabPicture::Hovered;
    if (c->name() == L"Label6") return win::paintTabCaption(d, p, font_.get(), c->text());
    if (tab) return win::paintTabPicture(d, p);
    win::fillPicture(d, p);
    RECT r = d.rcItem;
    DrawEdge(d.hDC, &r, EDGE_ETCHED, BF_RECT);
}

void Frm_offtensetting::clickList(const wchar_t* name, const wchar_t* other) {
    win::Control& otherList = Ctl(other);
    if (Text3 == other && Label7 + 1 <= otherList.listCount()) {
        for (int row : otherList.selectedRows()) otherList.setSelected(row, false);
    }
    Text3 = name;
    Label7 = Ctl(name).listIndex();
}

void Frm_offtensetting::List1_Click() { clickList(kList1, kList2); }
void Frm_offtensetting::List2_Click() { clickList(kList2, kList1); }

std::wstring Frm_offtensetting::searchText() {
    return Ctl(L"Check1").value() ? Ctl(L"Text4").text() : std::wstring();
}

void Frm_offtensetting::Check1_Click() {
    bool on = Ctl(L"Check1").value() != 0;
    if (!on) Ctl(L"Text4").setText(L"");
    Ctl(L"Text4").setVisible(on);
    Ctl(L"Shape4").setVisible(on);
    if (on) return;
    showBothLists();
}

void Frm_offtensetting::Text4_Change() {
    if (!Ctl(L"Check1").value()) return;
    std::wstring text = Ctl(L"Text4").text();
    if (Text3.empty()) {
        if (text.empty()) return;
        win::autoMessage(kPickListFirst, kReadFailedMs, MB_OK | MB_ICONQUESTION, kSearchCaption);
        Ctl(L"Text4").setText(L"");
        return;
    }
    if (!shell::meetDataExists()) return;
    shell::Written listed = Text3 == kList1 ? fillClocks(text) : fillStages(text);
    if (listed != shell::Written::done) tellRefused(listed, kReadFailed, kReadFailedMs);
}

void Frm_offtensetting::Cmd_close_Click() { unload(); }

// Read afresh from the table, never from the row texts.
void Frm_offtensetting::out_Click() {
    ExportTable table;
    if (Text3 == kList1) {
        auto clocks = listClocks();
        if (!clocks) {
            tellRefused(clocks.why(), kReadFailed, kReadFailedMs);
            return;
        }
        table = clockExportTable(*clocks);
    } else if (Text3 == kList2) {
        auto stages = listStages();
        if (!stages) {
            tellRefused(stages.why(), kReadFailed, kReadFailedMs);
            return;
        }
        table = stageExportTable(*stages);
    } else {
        return;
    }
    if (table.size() < 2) {
        win::autoMessage(kNothingToExport, kShortMessageMs);
        return;
    }
    export_to_excel(kExportSheet, table, ExportWindow::StageTiming);
}

}  // namespace plans
