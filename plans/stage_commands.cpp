// The commands of the stage window: moving and deleting saved clocks and stages, entering a
// stage, saving the settings dialog's clock under a name and applying a saved clock; and the
// rules of the editor fields.
#include <algorithm>
#include <limits>

#include "app/forms.h"
#include "clocks/time_glass.h"
#include "hub/Frm_exit.h"
#include "plans/Frm_offtensetting.h"
#include "plans/plans_texts.h"
#include "plans/stage_rows.h"
#include "plans/stage_store.h"
#include "settings/Settings.h"
#include "settings/settings_rules.h"
#include "shell/file_helpers.h"
#include "shell/meeting_db.h"
#include "win/auto_message.h"

namespace plans {
namespace {

constexpr wchar_t kList1[] = L"List1";
constexpr wchar_t kList2[] = L"List2";
constexpr unsigned kLongMs = 5000;

constexpr wchar_t kStagesSorted[] = L"阶段计时自动按开始时间排序";
constexpr wchar_t kPickRowToMove[] = L"请先选中要移动的数据行";
constexpr wchar_t kNoClocks[] = L"没有录入时钟名称";
constexpr wchar_t kOneRowOnly[] = L"上下移动请只选中一行数据";
constexpr unsigned kOneRowOnlyMs = 1500;
constexpr wchar_t kFirstRow[] = L"已经是第一行了";
constexpr wchar_t kLastRow[] = L"已经是最后一行了";
// Moving rows of a filtered list would give the hidden clocks no place.
constexpr wchar_t kMoveWhileSearching[] = L"查询时不能移动，请先取消查询";

constexpr wchar_t kPickRowsToDelete[] = L"请鼠标选中待删除行\r\r同时按下shift按钮可连续多选\r\r同时按下Ctrl按钮可间隔多选";

constexpr wchar_t kStartAfterEnd[] = L"开始时间应早于结束时间";
constexpr wchar_t kNoClockChosen[] = L"没有选择时钟名称，请选择";
constexpr unsigned kStageMessageMs = 1500;
constexpr wchar_t kOverlapCaption[] = L"时间重叠提示";
constexpr wchar_t kNameAdvice[] = L"建议时钟名称控制在10个字符以内";
constexpr double kNameAdviceScore = 10;
constexpr const wchar_t* kStageSaveFailed = shell::kMayNotWrite;
constexpr unsigned kStageSaveFailedMs = shell::kMayNotWriteMs;
constexpr wchar_t kPickClockByDoubleClick[] = L"请双击相应时钟名称进行录入";
constexpr wchar_t kEntryCaption[] = L"录入提示";
constexpr unsigned kHintMs = 2000;
constexpr COLORREF kEndBeforeStart = 0xFF;

constexpr wchar_t kNameMissing[] = L"没有填写名称，请添加";
constexpr unsigned kNameAdviceMs = 1200;
constexpr wchar_t kDateMissing[] = L"操作系统是精简版本，不支持本程序计时";
constexpr wchar_t kNameTaken[] = L"名称已录入，请保证名称是唯一的";
constexpr wchar_t kClockSaveFailed[] = L"受限制或操作系统是精简版本，不支持本功能";
constexpr unsigned kClockSaveFailedMs = 1000;

constexpr wchar_t kNoClockToLoad[] = L"没有待加载的时钟名称";
constexpr wchar_t kPickClockToLoad[] = L"请选择待加载时钟名称";
constexpr wchar_t kNoStages[] = L"没有录入数据";

bool isHour(int index) { return index == 1 || index == 3; }

// Typed TAB and LF (Ctrl+I, Ctrl+J) would break the row a name or title is shown in.
bool breaksRow(wchar_t c) { return c == L'\t' || c == L'\n'; }

// The focused row of a list a double click takes; nothing, after the box that says why, when
// the list is empty or no row is chosen.
std::optional<int> rowToLoad(const win::Control& list, const wchar_t* emptyMessage) {
    if (list.listCount() == 0) {
        win::autoMessage(emptyMessage, kShortMessageMs);
        return std::nullopt;
    }
    int row = list.listIndex();
    if (row < 0) win::autoMessage(kPickClockToLoad, kShortMessageMs);
    return row < 0 ? std::nullopt : std::optional<int>(row);
}

std::wstring inUseMessage(const std::wstring& name) {
    return L"时钟名称【" + name + L"】已被阶段计时调用\r\r删除对应阶段后才能删除";
}

// Today's stages changed: while no stage runs (waiting, or the day over) the clock takes them
// now, as "应用" does; a running stage takes them at its end.
void clockTakesStages() {
    if (shell::timingState().stagestate == shell::StageState::Covering) return;
    forms::time_glass().restartRun(shell::loadCurrentMeeting().fileBusy);
}

// The row above the topmost deleted one, the first row when that was deleted; -1 for none.
int rowAfterDelete(int topmost, int count) {
    if (topmost < 0 || count == 0) return -1;
    return std::min(std::max(topmost - 1, 0), count - 1);
}

}  // namespace

// --- Moving -------------------------------------------------------------------------------

void Frm_offtensetting::Cmd_up_Click() { moveClock(-1); }
void Frm_offtensetting::Cmd_down_Click() { moveClock(1); }

void Frm_offtensetting::moveClock(int step) {
    if (Text3 != kList1) {
        win::autoMessage(Text3 == kList2 ? kStagesSorted : kPickRowToMove, kShortMessageMs);
        return;
    }
    if (toldUnread(clocksRead_, listRetry_)) return;
    win::Control& list = Ctl(kList1);
    if (list.listCount() == 0) {
        win::autoMessage(kNoClocks, kShortMessageMs);
        return;
    }
    if (list.selectedRows().size() > 1) {
        win::autoMessage(kOneRowOnly, kOneRowOnlyMs);
        return;
    }
    int k = list.listIndex();
    if (k < 0) {
        win::autoMessage(kNoClocks, kShortMessageMs);
        return;
    }
    int to = k + step;
    if (to < 0 || to >= list.listCount()) {
        win::autoMessage(step < 0 ? kFirstRow : kLastRow, kShortMessageMs);
        list.setFocus();
        return;
    }
    if (!searchText().empty()) {
        win::autoMessage(kMoveWhileSearching, kShortMessageMs);
        return;
    }
    std::vector<int64_t> order = clockRows;
    std::swap(order[static_cast<size_t>(k)], order[static_cast<size_t>(to)]);
    // The list changes only once the whole new order is written.
    if (shell::Written w = saveclockorder(order); w != shell::Written::done) {
        tellRefused(w, kDeleteFailed, kShortMessageMs);
        return;
    }
    ListTable rows = Listdata(kList1);
    std::swap(rows[static_cast<size_t>(k)], rows[static_cast<size_t>(to)]);
    for (int row : {std::min(k, to), std::max(k, to)}) {
        const auto& r = rows[static_cast<size_t>(row)];
        list.removeItem(row);
        list.insertItem(row, clockRowText({row + 1, r[1], r[2], r[3]}, columnPad));
    }
    clockRows = order;
    forms::Frm_exit().change_clock_menu();
    list.setListIndex(to);
    list.setFocus();
}

// --- Deleting -----------------------------------------------------------------------------

void Frm_offtensetting::Cmd_del_Click() {
    if (!shell::meetDataExists()) return;
    if (Text3 != kList1 && Text3 != kList2) {
        win::autoMessage(kPickRowsToDelete, kLongMs);
        return;
    }
    if (toldUnread(Text3 == kList1 ? clocksRead_ : stagesRead_, listRetry_)) return;
    win::Control& list = Ctl(Text3);
    if (list.listCount() == 0) {
        win::autoMessage(kNothingToDelete, kShortMessageMs);
        return;
    }
    int answer = win::askMessage(kDeleteQuestion, kQuestionCaption, MB_YESNO | MB_ICONQUESTION);
    if (answer != IDYES || unloading()) return;  // a window asked to go deletes nothing
    std::vector<int> rows = list.selectedRows();
    if (Text3 == kList1) deleteClocks(rows);
    else deleteStages(rows);
    list.setFocus();
}

void Frm_offtensetting::deleteClocks(const std::vector<int>& rows) {
    win::Control& list = Ctl(kList1);
    std::vector<int64_t> chosen;
    for (int row : rows) chosen.push_back(clockRows[static_cast<size_t>(row)]);
    ClocksDeleted done{shell::Written::done, {}};
    if (!chosen.empty()) done = plans::deleteClocks(chosen);
    if (done.written != shell::Written::done) {
        tellRefused(done.written, kDeleteFailed, kShortMessageMs);
        return;
    }
    // From the last row up, as the rows were walked: the names kept and the topmost deleted row.
    std::vector<std::wstring> kept;
    int topmost = -1;
    for (auto it = rows.rbegin(); it != rows.rend(); ++it) {
        int64_t rowid = clockRows[static_cast<size_t>(*it)];
        if (std::find(done.inUse.begin(), done.inUse.end(), rowid) == done.inUse.end()) {
            topmost = *it;
        } else {
            kept.push_back(clockRowOf(list.item(*it), columnPad).value_or(ClockRow{}).clockname);
        }
    }
    fillClocks(searchText());
    list.setListIndex(rowAfterDelete(topmost, list.listCount()));
    if (topmost >= 0) forms::Frm_exit().change_clock_menu();
    resetClockEntry();
    for (const std::wstring& name : kept) win::autoMessage(inUseMessage(name), kLongMs);
}

void Frm_offtensetting::deleteStages(const std::vector<int>& rows) {
    std::vector<int64_t> gone;
    for (int row : rows) gone.push_back(stageRows[static_cast<size_t>(row)]);
    if (shell::Written w = gone.empty() ? shell::Written::done : plans::deleteStages(gone); w != shell::Written::done) {
        tellRefused(w, kDeleteFailed, kShortMessageMs);
        return;
    }
    if (!gone.empty()) clockTakesStages();
    fillStages(searchText());
    win::Control& list = Ctl(kList2);
    list.setListIndex(rowAfterDelete(rows.empty() ? -1 : rows.front(), list.listCount()));
}

// --- Entering a stage ---------------------------------------------------------------------

void Frm_offtensetting::Command1_Click() {
    auto field = [&](int i) { return Ctl(L"Text5", i).text(); };
    shell::TimeOfDay start = timeOfFields(field(1), field(2)).value_or(shell::TimeOfDay{});
    shell::TimeOfDay end = timeOfFields(field(3), field(4)).value_or(shell::TimeOfDay{});
    if (!(start < end)) {
        win::autoMessage(kStartAfterEnd, kStageMessageMs);
        return;
    }
    std::wstring name = Ctl(L"Text2", 2).text();
    if (name.empty()) {
        win::autoMessage(kNoClockChosen, kStageMessageMs);
        return;
    }
    auto stored = listStages({}, shell::Patience::save);
    if (!stored) {
        tellRefused(stored.why(), kStageSaveFailed, kStageSaveFailedMs);
        return;
    }
    // A row whose times do not read cannot overlap anything the clock would run.
    std::vector<Period> periods;
    for (const StoredStage& s : *stored) {
        auto from = shell::parseTimeOfDay(s.starttime), to = shell::parseTimeOfDay(s.endtime);
        if (from && to) periods.push_back({*from, *to});
    }
    std::wstring overlap = overlapMessage({start, end}, periods);
    if (!overlap.empty()) {
        win::autoMessage(overlap, kLongMs, MB_OK | MB_ICONQUESTION, kOverlapCaption);
        return;
    }
    // The click enters the stage even when the window is closed under the advice.
    std::wstring title = Ctl(L"Text2", 3).text();
    if (shell::checkChars(name) > kNameAdviceScore) win::autoMessage(kNameAdvice, kStageMessageMs);
    auto rowid = insertStage(start, end, name, title);
    if (!rowid) {
        tellRefused(rowid.why(), kStageSaveFailed, kStageSaveFailedMs);
        return;
    }
    clockTakesStages();
    if (unloading()) return;  // its list goes with it
    Ctl(kList2).addItem(stageRowText({hhmm(start), hhmm(end), name, title}, columnPad));
    stageRows.push_back(*rowid);
    Ctl(L"Text2", 3).setText(L"");
}

void Frm_offtensetting::wireStageFields() {
    for (int i = 1; i <= 4; ++i) {
        win::Control& box = Ctl(L"Text5", i);
        box.onKeyPress = [](wchar_t c) { return settings::keyPasses(c) ? c : L'\0'; };
        box.onPaste = [](const std::wstring& t) { return settings::pastedDigits(t); };
        box.onChange = [this, i] { Text5_Change(i); };
        box.onLostFocus = [this, i] {
            if (Ctl(L"Text5", i).text().empty()) Ctl(L"Text5", i).setText(L"0");
        };
        win::Control& spin = Ctl(L"VScrol5", i);
        spin.setRange(0, isHour(i) ? 23 : 59);
        spin.setValue(isHour(i) ? 8 : 59);
        spin.onChange = [this, i] {
            std::wstring text = timeFieldOfSpin(isHour(i), Ctl(L"VScrol5", i).value());
            if (Ctl(L"Text5", i).text() != text) Ctl(L"Text5", i).setText(text);
        };
    }
    win::Control& name = Ctl(L"Text2", 2);
    SendMessageW(name.hwnd(), EM_SETREADONLY, TRUE, 0);
    name.onClick = [this] { Text2_MouseDown(); };
    name.onChange = [this] { Ctl(L"Command1").setEnabled(!Ctl(L"Text2", 2).text().empty()); };
    name.onKeyPress = [](wchar_t c) { return c == L'\r' ? L'\0' : c; };
    win::Control& title = Ctl(L"Text2", 3);
    title.onKeyPress = [this](wchar_t c) {
        if (breaksRow(c)) return L'\0';
        if (c != L'\r') return c;
        Ctl(L"Command1").setFocus();
        return L'\0';
    };
    title.onPaste = [](const std::wstring& t) { return withoutRowBreaks(t); };
    Ctl(L"Command1").onClick = [this] { Command1_Click(); };
}

void Frm_offtensetting::Text5_Change(int index) {
    win::Control& box = Ctl(L"Text5", index);
    auto edit = timeFieldChanged(isHour(index), box.text());
    if (!edit) return;
    if (!edit->message.empty()) win::autoMessage(edit->message, 1000);
    if (box.text() != edit->text) {
        box.setText(edit->text);  // runs this again with the corrected text
        SendMessageW(box.hwnd(), EM_SETSEL, edit->text.size(), edit->text.size());
        return;
    }
    Ctl(L"VScrol5", index).setValue(edit->spin);
    auto field = [&](int i) { return Ctl(L"Text5", i).text(); };
    auto start = timeOfFields(field(1), field(2));
    auto end = timeOfFields(field(3), field(4));
    bool wrong = start && end && *end <= *start;
    for (int i = 3; i <= 4; ++i) Ctl(L"Text5", i).setBackColour(wrong ? kEndBeforeStart : settings::kWindowColour);
}

void Frm_offtensetting::Text2_MouseDown() {
    win::autoMessage(kPickClockByDoubleClick, kHintMs, MB_OK, kEntryCaption);
    if (unloading()) return;
    if (Ctl(kList1).listCount() > 0) Ctl(kList1).setSelected(0, true);
}

void Frm_offtensetting::List2_DblClick() {
    if (toldUnread(stagesRead_, listRetry_)) return;
    win::Control& list = Ctl(kList2);
    auto row = rowToLoad(list, kNoStages);
    if (!row || chosenTab_ != 1) return;
    auto stage = stageRowOf(list.item(*row), columnPad);
    auto start = stage ? shell::parseTimeOfDay(stage->start) : std::nullopt;
    auto end = stage ? shell::parseTimeOfDay(stage->end) : std::nullopt;
    if (!start || !end) return;
    const int32_t values[] = {start->seconds / 3600, start->seconds / 60 % 60, end->seconds / 3600, end->seconds / 60 % 60};
    for (int i = 1; i <= 4; ++i) Ctl(L"Text5", i).setText(std::to_wstring(values[i - 1]));
    Ctl(L"Text2", 2).setText(stage->clockname);
    Ctl(L"Text2", 3).setText(stage->title);
    list.setFocus();
}

// --- Saving the dialog's clock under a name -------------------------------------------------

void Frm_offtensetting::wireClockFields() {
    for (int i = 0; i <= 3; ++i) {
        win::Control& box = Ctl(L"Text1", i);
        box.onChange = [this] { Ctl(L"Cmd_save").setEnabled(!Ctl(L"Text1", 1).text().empty()); };
        box.onPaste = [](const std::wstring& t) { return withoutRowBreaks(t); };
        box.onKeyPress = [this, i](wchar_t c) {
            if (breaksRow(c)) return L'\0';
            if (c != L'\r') return c;
            if (i == 0) Ctl(L"Text1", 1).setFocus();
            if (i == 1) Ctl(L"Text1", 3).setFocus();
            if (i == 3 && Ctl(L"Cmd_save").enabled()) Ctl(L"Cmd_save").setFocus();
            return L'\0';
        };
    }
    Ctl(L"Text1", 0).onLostFocus = [this] { Text1_LostFocus(); };
    Ctl(L"Cmd_save").onClick = [this] { Cmd_save_Click(); };
}

void Frm_offtensetting::Text1_LostFocus() {
    win::Control& box = Ctl(L"Text1", 0);
    std::wstring number = clockNumberText(box.text()).value_or(nextClockNumber());
    if (number != box.text()) box.setText(number);
}

void Frm_offtensetting::Cmd_save_Click() {
    if (!shell::meetDataExists()) {
        win::autoMessage(kClockSaveFailed, kClockSaveFailedMs);
        return;
    }
    // Its number names a place among clocks the list could not show yet.
    if (listRetry_.armed()) {
        shell::tellFileHeld();
        return;
    }
    std::wstring name = Ctl(L"Text1", 1).text();
    if (name.empty()) {
        win::autoMessage(kNameMissing, kShortMessageMs);
        if (!unloading()) Ctl(L"Text1", 1).setFocus();
        return;
    }
    if (shell::checkChars(name) > kNameAdviceScore) win::autoMessage(kNameAdvice, kNameAdviceMs);
    if (Ctl(L"Text1", 2).text().empty()) {
        win::autoMessage(kDateMissing, kNameAdviceMs);
        return;
    }
    auto free = clockNameFree(name);
    if (!free) {
        tellRefused(free.why(), kReadFailed, kReadFailedMs);  // not known to be taken
        return;
    }
    if (!*free) {
        win::autoMessage(name + kNameTaken, kShortMessageMs);
        if (!unloading()) Ctl(L"Text1", 1).setFocus();
        return;
    }
    settings::Settings& dialog = forms::Settings();
    if (!dialog.loaded()) {
        win::autoMessage(kClockSaveFailed, kClockSaveFailedMs);
        return;
    }
    std::array<settings::AlarmField, 3> alarms;
    for (int k = 0; k < 3; ++k) alarms[k] = {dialog.Ctl(L"Text2", k + 4).text(), dialog.Ctl(L"Check2", k + 2).value() != 0};
    if (!settings::wholeOf(dialog.Ctl(L"Text2", 8).text())) {
        win::autoMessage(kClockSaveFailed, kClockSaveFailedMs);
        return;
    }
    auto problems = settings::alarmProblems(alarms);
    for (const auto& p : problems) win::askMessage(p, win::kProductName, MB_OK);
    if (!problems.empty()) return;
    // The number is a place in the list as shown; one that is no number puts the clock last.
    int64_t place = clockPlace(Ctl(L"Text1", 0).text()).value_or(std::numeric_limits<int64_t>::max());
    NewClock clock{place, name, Ctl(L"Text1", 2).text(), Ctl(L"Text1", 3).text(),
                   dialog.shownClock(shell::ClockSetting{})};
    if (shell::Written w = insertClock(clock); w != shell::Written::done) {
        tellRefused(w, kClockSaveFailed, kClockSaveFailedMs);
        return;
    }
    forms::Frm_exit().change_clock_menu();
    // Its controls stay until this handler returns; a window asked to go meanwhile is left as is.
    if (unloading()) return;
    fillClocks(searchText());
    Ctl(L"Text1", 1).setText(L"");
    Ctl(L"Text1", 3).setText(L"");
    resetClockEntry();
    Ctl(L"Text1", 1).setFocus();
}

// --- Applying a saved clock -----------------------------------------------------------------

void Frm_offtensetting::Cmd_load_Click() {
    if (!shell::meetDataExists() || toldUnread(clocksRead_, listRetry_)) return;
    win::Control& list = Ctl(kList1);
    auto row = rowToLoad(list, kNoClockToLoad);
    if (!row) return;
    std::wstring name = clockRowOf(list.item(*row), columnPad).value_or(ClockRow{}).clockname;
    if (chosenTab_ == 1) {
        Ctl(L"Text2", 2).setText(name);
        list.setFocus();
        return;
    }
    settings::Settings& dialog = forms::Settings();
    if (!dialog.loaded()) return;
    dialog.Ctl(L"Combo5").setListIndex(-1);
    dialog.Ctl(L"Check1", 3).setEnabled(true);
    shell::ClockSetting clock = dialog.shownClock(shell::ClockSetting{});
    shell::UniqueDatabase db = shell::openMeetData();
    if (!db || !shell::loadSavedClock(db.get(), name, clock)) {
        tellRefused(shell::whyFailed(db.get()), kReadFailed, kReadFailedMs);
        return;
    }
    dialog.showClock(clock);
    list.setFocus();
}

}  // namespace plans
