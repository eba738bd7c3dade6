// The stage window over a loaded settings dialog and a real database file: what it lists,
// what its commands write and what they refuse.
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/forms.h"
#include "hub/Frm_exit.h"
#include "plans/Frm_offtensetting.h"
#include "settings/Settings.h"
#include "shell/meeting_db.h"
#include "shell/start_program.h"
#include "tests/db_holds.h"
#include "tests/test_support.h"
#include "win/pump.h"
#include "win/text.h"

namespace {

using std::wstring;
using testing_support::Hold;

class StageWindow : public testing_support::HubTest {
protected:
    void SetUp() override {
        HubTest::SetUp();
        forms::Frm_exit().menu_two_Click(2);  // the tray menu's "设置"
        ASSERT_TRUE(forms::Settings().loaded());
    }

    void open() {
        w().Show();
        ASSERT_TRUE(w().loaded());
        messages.clear();
    }
    static plans::Frm_offtensetting& w() { return forms::Frm_offtensetting(); }
    static win::Control& ctl(const wchar_t* name, int index = 0) { return w().Ctl(name, index); }

    // Clocks the main clock can run.
    void clocks(std::initializer_list<std::pair<const wchar_t*, int>> named) {
        shell::ClockSetting c;
        shell::applyFirstRunDefaults(c);
        for (auto [name, id] : named) addClock(name, c, id);
    }
    std::vector<wstring> rows(const wchar_t* list) {
        std::vector<wstring> texts;
        for (int i = 0; i < ctl(list).listCount(); ++i) texts.push_back(ctl(list).item(i));
        return texts;
    }
    std::vector<wstring> names() {
        std::vector<wstring> n;
        for (const auto& r : w().Listdata(L"List1")) n.push_back(r[1]);
        return n;
    }
    // name:ID of every saved clock in ID order.
    std::vector<wstring> stored() {
        std::vector<wstring> out;
        auto table = exec("SELECT clockname, ID FROM clocksetting ORDER BY ID, rowid");
        for (const auto& r : *table) out.push_back(*r[0] + L":" + *r[1]);
        return out;
    }
    void click(const wchar_t* list, int row) { ctl(list).setListIndex(row); }
    void enterStage(int h1, int m1, int h2, int m2, const wstring& clock, const wstring& title) {
        const int values[] = {h1, m1, h2, m2};
        for (int i = 1; i <= 4; ++i) ctl(L"Text5", i).setText(std::to_wstring(values[i - 1]));
        ctl(L"Text2", 2).setText(clock);
        ctl(L"Text2", 3).setText(title);
        w().Command1_Click();
    }
    wstring lastMessage() { return messages.empty() ? L"" : messages.back().text; }
};

TEST_F(StageWindow, ListsClocksAtTheirPositionsAndStagesByStartTime) {
    clocks({{L"A", 3}, {L"B", 7}, {L"C", 9}});
    ASSERT_TRUE(exec("UPDATE clocksetting SET remark = 'r' WHERE clockname = 'B'"));
    addStage(L"10:00:00", L"11:00:00", L"A", L"");
    addStage(L"08:00:00", L"09:30:00", L"B", L"第一");
    open();
    const wstring& pad = w().columnPad;
    ASSERT_FALSE(pad.empty());
    EXPECT_EQ(rows(L"List1"), (std::vector<wstring>{L"001" + pad + L"A\t2026-12-03\t\t", L"002" + pad + L"B\t2026-12-03\t\tr",
                                                    L"003" + pad + L"C\t2026-12-03\t\t"}));
    EXPECT_EQ(rows(L"List2"), (std::vector<wstring>{L"08:00" + pad + L"09:30" + pad + L"B\t\t第一",
                                                    L"10:00" + pad + L"11:00" + pad + L"A\t\t"}));
    EXPECT_EQ(w().Listdata(L"List1")[1], (std::array<wstring, 4>{L"2", L"B", L"2026-12-03", L"r"}));
    EXPECT_EQ(w().Listdata(L"List2")[0], (std::array<wstring, 4>{L"08:00", L"09:30", L"B", L"第一"}));
    EXPECT_TRUE(w().Listdata(L"List3").empty());
    EXPECT_EQ(ctl(L"Text1", 0).text(), L"4");
    EXPECT_TRUE(messages.empty());
}

TEST_F(StageWindow, EnteredStagesAreStoredAsTimesOfDayAndRunByTheClock) {
    clocks({{L"A", 1}});
    open();
    w().Image1_Click(1);
    enterStage(9, 5, 10, 0, L"A", L"开场");
    enterStage(10, 0, 11, 30, L"A", L"");
    enterStage(13, 0, 14, 0, L"A", L"下午");
    EXPECT_TRUE(messages.empty()) << lastMessage();
    auto stages = exec("SELECT starttime, endtime, clockname, title FROM file_list ORDER BY starttime");
    ASSERT_EQ(stages->size(), 3u);
    EXPECT_EQ(*(*stages)[0][0], L"09:05:00");
    EXPECT_EQ(*(*stages)[1][1], L"11:30:00");
    EXPECT_EQ(*(*stages)[2][3], L"下午");
    EXPECT_EQ(ctl(L"Text2", 3).text(), L"");  // the title goes, the times and clock stay
    EXPECT_EQ(ctl(L"Text5", 1).text(), L"13");
    shell::ClockSetting setting;
    auto found = shell::lookupStage(shell::TimeOfDay{10 * 3600 + 15 * 60}, setting);
    EXPECT_EQ(found.state, shell::StageState::Covering);
    EXPECT_EQ(found.stageperiod, L"10:00:00\\11:30:00");
}

TEST_F(StageWindow, StageEntryRefusesWithItsBoxesAndKeepsWhatWasTyped) {
    clocks({{L"A", 1}});
    addStage(L"09:00:00", L"10:00:00", L"A", L"");
    open();
    clock.setTimeOfDay(23, 59, 30);
    w().Image1_Click(1);
    // A minute on from 23:59:30 wraps past midnight: the end stands before the start, in red.
    EXPECT_EQ(ctl(L"Text5", 1).text() + L":" + ctl(L"Text5", 2).text(), L"23:59");
    EXPECT_EQ(ctl(L"Text5", 3).text() + L":" + ctl(L"Text5", 4).text(), L"0:0");
    EXPECT_EQ(ctl(L"Text5", 3).backColour(), 0xFFu);
    EXPECT_EQ(ctl(L"VScrol5", 1).value(), 0);
    struct Case {
        int h1, m1, h2, m2;
        const wchar_t* clock;
        const wchar_t* message;
    } cases[] = {
        {9, 0, 9, 0, L"A", L"开始时间应早于结束时间"},
        {11, 0, 12, 0, L"", L"没有选择时钟名称，请选择"},
        {9, 30, 10, 30, L"A", L"开始时间【09:30】在录入09:00-10:00时间段"},
    };
    for (const Case& c : cases) {
        messages.clear();
        enterStage(c.h1, c.m1, c.h2, c.m2, c.clock, L"keep");
        ASSERT_FALSE(messages.empty());
        EXPECT_EQ(messages.back().text, c.message);
        EXPECT_EQ(ctl(L"Text2", 3).text(), L"keep");
    }
    EXPECT_EQ(exec("SELECT 1 FROM file_list")->size(), 1u);
    // The file gone: the save failure is reported and nothing typed is lost.
    ASSERT_TRUE(DeleteFileW(path().c_str()));
    messages.clear();
    enterStage(11, 0, 12, 0, L"A", L"keep");
    EXPECT_EQ(lastMessage(), L"受账户权限限制只能调用，保存数据需管理员权限");
    EXPECT_EQ(ctl(L"Text2", 3).text(), L"keep");
}

TEST_F(StageWindow, MovingAClockRenumbersTheTableAndTheTrayMenu) {
    clocks({{L"A", 1}, {L"B", 2}, {L"C", 3}});
    open();
    click(L"List1", 1);
    w().Cmd_up_Click();
    EXPECT_EQ(stored(), (std::vector<wstring>{L"B:1", L"A:2", L"C:3"}));
    EXPECT_EQ(names(), (std::vector<wstring>{L"B", L"A", L"C"}));
    EXPECT_EQ(w().Listdata(L"List1")[0][0], L"1");
    EXPECT_EQ(ctl(L"List1").selectedRows(), std::vector<int>{0});
    EXPECT_EQ(forms::Frm_exit().menu_often, (std::vector<wstring>{L"B", L"A", L"C"}));
    w().Cmd_up_Click();
    EXPECT_EQ(lastMessage(), L"已经是第一行了");
    click(L"List1", 2);
    w().Cmd_down_Click();
    EXPECT_EQ(lastMessage(), L"已经是最后一行了");
}

TEST_F(StageWindow, MovesAreRefusedWithTheirBoxes) {
    clocks({{L"A", 1}, {L"B", 2}});
    addStage(L"09:00:00", L"10:00:00", L"A", L"");
    open();
    w().Cmd_up_Click();
    EXPECT_EQ(lastMessage(), L"请先选中要移动的数据行");
    click(L"List2", 0);
    w().Cmd_down_Click();
    EXPECT_EQ(lastMessage(), L"阶段计时自动按开始时间排序");
    click(L"List1", 0);
    ctl(L"List1").setSelected(1, true);
    w().Cmd_down_Click();
    EXPECT_EQ(lastMessage(), L"上下移动请只选中一行数据");
    EXPECT_EQ(stored(), (std::vector<wstring>{L"A:1", L"B:2"}));
}

TEST_F(StageWindow, AMoveWhileSearchingLeavesEveryIdUniqueAndInItsPlace) {
    clocks({{L"甲1", 1}, {L"乙", 2}, {L"甲2", 3}});
    open();
    click(L"List1", 0);
    ctl(L"Check1").setValue(1);
    ctl(L"Text4").setText(L"甲");
    ASSERT_EQ(names(), (std::vector<wstring>{L"甲1", L"甲2"}));
    click(L"List1", 1);
    w().Cmd_up_Click();
    EXPECT_EQ(lastMessage(), L"查询时不能移动，请先取消查询");
    EXPECT_EQ(stored(), (std::vector<wstring>{L"甲1:1", L"乙:2", L"甲2:3"}));
    // A delete from the filtered list numbers the whole table again.
    messageAnswer = IDYES;
    w().Cmd_del_Click();
    EXPECT_EQ(stored(), (std::vector<wstring>{L"甲1:1", L"乙:2"}));
    EXPECT_EQ(names(), std::vector<wstring>{L"甲1"});
    ctl(L"Check1").setValue(0);
    EXPECT_EQ(names(), (std::vector<wstring>{L"甲1", L"乙"}));
    EXPECT_FALSE(ctl(L"Text4").visible());
}

TEST_F(StageWindow, AFailureInTheMiddleOfTheRenumberingLeavesEveryIdAsItWas) {
    clocks({{L"A", 1}, {L"B", 2}, {L"C", 3}});
    ASSERT_TRUE(exec("CREATE TRIGGER fail AFTER UPDATE OF ID ON clocksetting WHEN NEW.clockname = 'B' "
                     "BEGIN SELECT RAISE(ABORT, 'injected'); END"));
    open();
    click(L"List1", 1);
    w().Cmd_up_Click();
    EXPECT_EQ(lastMessage(), L"请使用最新版本的程序");
    EXPECT_EQ(stored(), (std::vector<wstring>{L"A:1", L"B:2", L"C:3"}));
    EXPECT_EQ(names(), (std::vector<wstring>{L"A", L"B", L"C"}));
    EXPECT_TRUE(forms::Frm_exit().menu_often.empty());  // not rebuilt: nothing was written
}

TEST_F(StageWindow, DeleteRefusesAClockAStageRunsAndClosesTheGaps) {
    clocks({{L"A", 1}, {L"B", 2}, {L"C", 3}});
    addStage(L"09:00:00", L"10:00:00", L"B", L"");
    open();
    w().Cmd_del_Click();
    EXPECT_EQ(lastMessage(), L"请鼠标选中待删除行\r\r同时按下shift按钮可连续多选\r\r同时按下Ctrl按钮可间隔多选");
    click(L"List1", 0);
    for (int i = 1; i <= 2; ++i) ctl(L"List1").setSelected(i, true);
    messageAnswer = IDNO;
    w().Cmd_del_Click();
    EXPECT_EQ(stored().size(), 3u);
    messageAnswer = IDYES;
    messages.clear();
    w().Cmd_del_Click();
    EXPECT_EQ(lastMessage(), L"时钟名称【B】已被阶段计时调用\r\r删除对应阶段后才能删除");
    EXPECT_EQ(stored(), std::vector<wstring>{L"B:1"});
    EXPECT_EQ(names(), std::vector<wstring>{L"B"});
    EXPECT_EQ(ctl(L"List1").selectedRows(), std::vector<int>{0});
    EXPECT_EQ(forms::Frm_exit().menu_often, std::vector<wstring>{L"B"});
    EXPECT_EQ(ctl(L"Text1", 0).text(), L"2");
    click(L"List2", 0);
    w().Cmd_del_Click();
    EXPECT_TRUE(exec("SELECT 1 FROM file_list")->empty());
    EXPECT_EQ(ctl(L"List2").listCount(), 0);
    // A clock whose use cannot be checked stays.
    ASSERT_TRUE(exec("DROP TABLE file_list"));
    click(L"List1", 0);
    w().Cmd_del_Click();
    EXPECT_EQ(lastMessage(), L"请使用最新版本的程序");
    EXPECT_EQ(stored(), std::vector<wstring>{L"B:1"});
}

// Another program holds the file while three saved clocks are deleted: none goes, the box says
// why, and the window waits no longer than a virus scanner's short hold would last; once the file
// is free the same delete takes all three.
TEST_F(StageWindow, ClocksDeletedWhileTheFileIsHeldAllStayUntilItIsFree) {
    clocks({{L"A", 1}, {L"B", 2}, {L"C", 3}, {L"D", 4}});
    open();
    click(L"List1", 0);
    for (int i = 1; i <= 2; ++i) ctl(L"List1").setSelected(i, true);
    messageAnswer = IDYES;
    for (Hold hold : {Hold::exclusive, Hold::shared, Hold::noSharing}) {
        SCOPED_TRACE(testing_support::holdName(hold));
        testing_support::CountedBusyWaits waits;
        testing_support::LockedFile lock(path(), hold);
        messages.clear();
        w().Cmd_del_Click();
        EXPECT_LE(waits.takeWaitedMs(), 600);
        lock.release();
        ASSERT_EQ(messages.size(), 2u);  // the question, then the refusal
        EXPECT_EQ(lastMessage(), L"MeetData.db 正被其他程序使用，数据未改动，请稍后再试");
        EXPECT_EQ(stored(), (std::vector<wstring>{L"A:1", L"B:2", L"C:3", L"D:4"}));
        EXPECT_EQ(names(), (std::vector<wstring>{L"A", L"B", L"C", L"D"}));
        EXPECT_EQ(ctl(L"List1").selectedRows(), (std::vector<int>{0, 1, 2}));
    }
    w().Cmd_del_Click();
    EXPECT_EQ(stored(), std::vector<wstring>{L"D:1"});
    EXPECT_EQ(forms::Frm_exit().menu_often, std::vector<wstring>{L"D"});
}

// Every command the file refuses says why, as what refused it, and changes nothing: neither the
// file nor the lists nor the dialog nor the tray menu. Another program's hold says the file is
// held; the user's rights, a folder that takes no journal, a full disk and a file that never
// opens each say their own. A read is refused only by what keeps the whole file from us.
TEST_F(StageWindow, EveryCommandTheFileRefusesSaysWhyAndChangesNothing) {
    clocks({{L"A", 1}, {L"B", 2}});
    addStage(L"09:00:00", L"10:00:00", L"A", L"早会");
    forms::Frm_exit().change_clock_menu();
    open();
    messageAnswer = IDYES;
    struct Case {
        const char* name;
        std::vector<Hold> holds;
        std::function<void()> act;
        bool reopens = false;
    };
    const std::vector<Hold> reads{Hold::exclusive, Hold::noSharing, Hold::neverOpens};
    const std::vector<Hold> writes{Hold::exclusive,   Hold::shared,   Hold::noSharing, Hold::readSharing,
                                   Hold::writeDenied, Hold::noJournal, Hold::diskFull, Hold::neverOpens};
    const Case cases[] = {
        {"stage entry", writes, [&] { w().Image1_Click(1); enterStage(11, 0, 12, 0, L"A", L"新"); }},
        {"clock save", writes,
         [&] { w().Image1_Click(0); ctl(L"Text1", 1).setText(L"新时钟"); w().Cmd_save_Click(); }},
        {"clock delete", writes, [&] { click(L"List1", 1); w().Cmd_del_Click(); }},
        {"stage delete", writes, [&] { click(L"List2", 0); w().Cmd_del_Click(); }},
        {"move up", writes, [&] { click(L"List1", 1); w().Cmd_up_Click(); }},
        {"move down", writes, [&] { click(L"List1", 0); w().Cmd_down_Click(); }},
        {"clock load", reads, [&] { w().Image1_Click(0); click(L"List1", 0); w().Cmd_load_Click(); }},
        {"export", reads, [&] { w().Text3 = L"List2"; w().out_Click(); }},
        {"search", reads, [&] { click(L"List1", 0); ctl(L"Check1").setValue(1); ctl(L"Text4").setText(L"B"); }},
        {"opening", reads, [&] { w().Cmd_close_Click(); w().Show(); }, true},
    };
    const wstring dialogAlarm = forms::Settings().Ctl(L"Text2", 4).text();
    const auto clocksBefore = rows(L"List1"), stagesBefore = rows(L"List2");
    for (const Case& c : cases) {
        for (Hold hold : c.holds) {
            SCOPED_TRACE(std::string(c.name) + ", " + testing_support::holdName(hold));
            testing_support::LockedFile lock(path(), hold);
            messages.clear();
            c.act();
            lock.release();
            std::vector<wstring> told;
            for (const auto& m : messages) {
                if (m.text != L"确定删除数据吗？") told.push_back(m.text);
            }
            EXPECT_EQ(told, std::vector<wstring>{testing_support::toldFor(hold)});
            EXPECT_EQ(stored(), (std::vector<wstring>{L"A:1", L"B:2"}));
            EXPECT_EQ(exec("SELECT title FROM file_list")->size(), 1u);
            EXPECT_EQ(forms::Settings().Ctl(L"Text2", 4).text(), dialogAlarm);
            EXPECT_EQ(forms::Frm_exit().menu_often, (std::vector<wstring>{L"A", L"B"}));
            if (c.reopens) continue;
            EXPECT_EQ(rows(L"List1"), clocksBefore);
            EXPECT_EQ(rows(L"List2"), stagesBefore);
        }
    }
}

class StageWindowOverAHeldFile : public StageWindow, public testing::WithParamInterface<Hold> {};
INSTANTIATE_TEST_SUITE_P(Holds, StageWindowOverAHeldFile, testing::ValuesIn(testing_support::kWholeFileHolds),
                         testing_support::holdTestName);

// Opened while another program takes the file for 700 ms of every second, the window fills its
// lists within a tick or so of the file reading, whatever the phase of the holds. Until then no
// command takes its empty lists for empty: each says the file is held. A new clock's number
// would name a place among clocks it cannot show, so the save is refused too, and no saved clock
// moves, in the table or in the tray menu its hotkeys follow.
TEST_P(StageWindowOverAHeldFile, UnderHoldsThatComeAndGoItsListsFillWithinATickOfTheFileReadingAndNoCommandTakesThemForEmpty) {
    using testing_support::kRhythmCycleMs, testing_support::kRhythmHeldMs;
    clocks({{L"A", 1}, {L"B", 2}});
    addStage(L"09:00:00", L"10:00:00", L"A", L"早会");
    forms::Frm_exit().change_clock_menu();
    const wstring held = L"MeetData.db 正被其他程序使用，数据未改动，请稍后再试";
    testing_support::HoldsThatComeAndGo holds(path(), GetParam(), kRhythmCycleMs, kRhythmHeldMs);
    ASSERT_TRUE(holds.firstTaken());
    const DWORD opened = GetTickCount();
    w().Show();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(lastMessage(), held);
    EXPECT_EQ(ctl(L"List1").listCount() + ctl(L"List2").listCount(), 0);
    ctl(L"Text1", 1).setText(L"新");
    const struct {
        const char* name;
        std::function<void()> act;
    } commands[] = {
        {"录入 of a clock", [&] { w().Cmd_save_Click(); }},
        {"上移", [&] { w().Text3 = L"List1"; w().Cmd_up_Click(); }},
        {"下移", [&] { w().Text3 = L"List1"; w().Cmd_down_Click(); }},
        {"删除 of clocks", [&] { w().Text3 = L"List1"; w().Cmd_del_Click(); }},
        {"删除 of stages", [&] { w().Text3 = L"List2"; w().Cmd_del_Click(); }},
        {"a double click on the clocks", [&] { w().Cmd_load_Click(); }},
        {"a double click on the stages", [&] { w().List2_DblClick(); }},
    };
    for (const auto& c : commands) {  // before the window has read the file again
        messages.clear();
        c.act();
        ASSERT_EQ(messages.size(), 1u) << c.name;
        EXPECT_EQ(lastMessage(), held) << c.name;
    }
    EXPECT_EQ(forms::Frm_exit().menu_often, (std::vector<wstring>{L"A", L"B"}));

    ASSERT_TRUE(testing_support::pumpUntil(
        [&] { return ctl(L"List1").listCount() == 2 && ctl(L"List2").listCount() == 1; }, 3 * kRhythmCycleMs));
    const DWORD filled = GetTickCount();
    const DWORD late = testing_support::afterFirstFreed(holds.stop(), opened, filled);
    EXPECT_LT(late, testing_support::kReadWithinMs) << "filled " << late << " ms after the file read";
    EXPECT_EQ(names(), (std::vector<wstring>{L"A", L"B"}));
    EXPECT_EQ(stored(), (std::vector<wstring>{L"A:1", L"B:2"}));
    EXPECT_EQ(ctl(L"Text1", 0).text(), L"3");
    messages.clear();
    w().Cmd_save_Click();
    EXPECT_TRUE(messages.empty()) << lastMessage();
    EXPECT_EQ(stored(), (std::vector<wstring>{L"A:1", L"B:2", L"新:3"}));
    EXPECT_EQ(forms::Frm_exit().menu_often, (std::vector<wstring>{L"A", L"B", L"新"}));
}

namespace {

// What a user does at the screen, a step at a time, in whatever loop of the program runs then:
// each tick of a thread timer tries the current step; a step starts with its act and is done
// once its test holds. A step not done within its time is named in `missed`, and the next one
// starts all the same.
class UserSteps {
public:
    struct Step {
        const char* name;
        std::function<void()> act;
        std::function<bool()> done;
        DWORD limitMs = 5000;
    };
    explicit UserSteps(std::vector<Step> steps) : steps_(std::move(steps)) {
        running = this;
        timer_ = SetTimer(nullptr, 0, 50, tick);
    }
    UserSteps(const UserSteps&) = delete;
    UserSteps& operator=(const UserSteps&) = delete;
    ~UserSteps() {
        KillTimer(nullptr, timer_);
        running = nullptr;
    }
    bool finished() const { return next_ == steps_.size(); }

    std::vector<std::string> missed;

private:
    static void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD) {
        UserSteps* s = running;
        if (!s || s->busy_ || s->finished()) return;
        s->busy_ = true;
        Step& step = s->steps_[s->next_];
        if (!s->started_) {
            s->started_ = true;
            s->since_ = GetTickCount();
            if (step.act) step.act();
        }
        bool late = GetTickCount() - s->since_ > step.limitMs;
        if (step.done() || late) {
            if (late) s->missed.push_back(step.name);
            ++s->next_;
            s->started_ = false;
        }
        s->busy_ = false;
    }

    static inline UserSteps* running = nullptr;
    std::vector<Step> steps_;
    size_t next_ = 0;
    bool started_ = false, busy_ = false;
    DWORD since_ = 0;
    UINT_PTR timer_ = 0;
};

}  // namespace

// Two clicks on the settings dialog's "阶段计时" while another program holds the file: the stage
// window opens once, its load says the file is held, and the dialog takes no click while that
// box shows. The window then works as any other: "录入" refuses with the held file's box, the
// lists fill once the file reads, "录入" saves and "关闭" closes it.
TEST_F(StageWindow, TwoClicksOnItsButtonUnderAHeldFileOpenOneWindowThatReadsSavesAndCloses) {
    using Input = std::pair<UINT, WPARAM>;
    const Input down{WM_LBUTTONDOWN, MK_LBUTTON}, up{WM_LBUTTONUP, 0}, again{WM_LBUTTONDBLCLK, MK_LBUTTON};
    const struct {
        const char* name;
        std::vector<Input> input;
    } cases[] = {
        {"two clicks", {down, up, down, up}},
        {"a double click", {down, up, again, up}},
    };
    const wstring held = L"MeetData.db 正被其他程序使用，数据未改动，请稍后再试";
    clocks({{L"A", 1}});
    addStage(L"09:00:00", L"10:00:00", L"A", L"早会");
    settings::Settings& dialog = forms::Settings();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(exec("DELETE FROM clocksetting WHERE clockname = '新'"));
        // A box shows until its time is up, running the program's messages meanwhile.
        int boxesOpen = 0, heldBoxes = 0;
        DWORD boxUntil = 0;
        win::setMessageSink([&](const win::MessageShown& m) {
            heldBoxes += m.text == held;
            boxUntil = GetTickCount() + m.timeoutMs;
            ++boxesOpen;
            win::doEvents();
            --boxesOpen;
            return IDOK;
        });
        testing_support::LockedFile lock(path());
        HWND shown = nullptr;
        auto click = [&](const wchar_t* button) { PostMessageW(ctl(button).hwnd(), BM_CLICK, 0, 0); };
        UserSteps user({
            {"the box of the opening goes",
             [&] { shown = w().hwnd(); },
             [&] { return boxesOpen == 0 || GetTickCount() > boxUntil; }},
            {"录入 before the file reads says it is held",
             [&] {
                 ctl(L"Text1", 1).setText(L"新");
                 click(L"Cmd_save");
             },
             [&] { return heldBoxes == 2; }},
            {"the file is let go", [&] { lock.release(); }, [] { return true; }},
            {"the lists fill", nullptr,
             [&] { return ctl(L"List1").listCount() == 1 && ctl(L"List2").listCount() == 1; }},
            {"录入 saves", [&] { click(L"Cmd_save"); },
             [&] { return !exec("SELECT 1 FROM clocksetting WHERE clockname = '新'")->empty(); }},
            {"关闭 closes", [&] { click(L"Cmd_close"); }, [&] { return !IsWindow(shown); }},
            {"the title bar closes what is left", [&] { PostMessageW(shown, WM_CLOSE, 0, 0); },
             [&] { return !IsWindow(shown); }},
        });
        HWND button = dialog.Ctl(L"Label30").hwnd();
        for (auto [msg, wp] : c.input) PostMessageW(button, msg, wp, MAKELPARAM(5, 5));
        ASSERT_TRUE(testing_support::pumpUntil([&] { return user.finished(); }, 60000));
        EXPECT_EQ(user.missed, std::vector<std::string>{});
        EXPECT_EQ(heldBoxes, 2);
        EXPECT_FALSE(w().loaded());
        EXPECT_TRUE(IsWindowEnabled(dialog.hwnd()));
    }
}

// A real double click on "阶段计时", pressed where the dialog's "关闭" comes to lie once the dialog
// moves aside for the stage window: the first click opens the window, and the second lands on a
// dialog that waits for that window, so it closes nothing.
TEST_F(StageWindow, ARealDoubleClickOnItsLabelOpensTheWindowOnceAndTheDialogStays) {
    clocks({{L"A", 1}});
    addStage(L"09:00:00", L"10:00:00", L"A", L"早会");
    settings::Settings& dialog = forms::Settings();
    auto click = [] {
        INPUT press[2]{};
        press[0].type = press[1].type = INPUT_MOUSE;
        press[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
        press[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
        SendInput(2, press, sizeof(INPUT));
    };
    for (bool held : {false, true}) {
        SCOPED_TRACE(held ? "file held" : "file free");
        dialog.unload();  // opened afresh, where it first shows
        forms::Frm_exit().menu_two_Click(2);
        std::optional<testing_support::LockedFile> lock;
        if (held) lock.emplace(path());
        RECT label{};
        GetWindowRect(dialog.Ctl(L"Label30").hwnd(), &label);
        const POINT at{label.right - 4, (label.top + label.bottom) / 2};
        SetCursorPos(at.x, at.y);
        HWND shown = nullptr;
        DWORD secondAt = 0;
        RECT closeButton{};
        UserSteps user({
            {"the first click opens the window", click, [&] { return (shown = w().hwnd()) != nullptr; }},
            {"the second click is pressed",
             [&] {
                 click();
                 secondAt = GetTickCount();
             },
             [&] { return GetTickCount() - secondAt > 500; }},
            {"the window is still there", [&] { GetWindowRect(dialog.Ctl(L"Command2").hwnd(), &closeButton); },
             [&] { return IsWindow(shown) != FALSE; }},
            {"关闭 closes it", [&] { PostMessageW(w().Ctl(L"Cmd_close").hwnd(), BM_CLICK, 0, 0); },
             [&] { return !IsWindow(shown); }},
        });
        ASSERT_TRUE(testing_support::pumpUntil([&] { return user.finished(); }, 20000));
        EXPECT_EQ(user.missed, std::vector<std::string>{});
        EXPECT_TRUE(PtInRect(&closeButton, at)) << "the second press must fall on the moved dialog's 关闭";
        EXPECT_TRUE(dialog.loaded());
        EXPECT_TRUE(IsWindowEnabled(dialog.hwnd()));
    }
}

// Another program (or a second window) deleted a row the list still shows.
TEST_F(StageWindow, ADeleteThatFindsARowGoneAlreadyDeletesNothingAndTheListKeepsItsRows) {
    clocks({{L"A", 1}, {L"B", 2}, {L"C", 3}});
    addStage(L"09:00:00", L"10:00:00", L"A", L"一");
    addStage(L"10:00:00", L"11:00:00", L"A", L"二");
    open();
    const auto shownClocks = rows(L"List1");
    const auto shownStages = rows(L"List2");
    ASSERT_TRUE(exec("DELETE FROM clocksetting WHERE clockname = 'B'"));
    ASSERT_TRUE(exec("DELETE FROM file_list WHERE title = '二'"));
    messageAnswer = IDYES;
    struct Case {
        const wchar_t* list;
        const char* left;  // what the table must still hold
        size_t rows;
    };
    for (Case c : {Case{L"List1", "SELECT clockname, ID FROM clocksetting ORDER BY ID", 2},
                   Case{L"List2", "SELECT title FROM file_list", 1}}) {
        click(c.list, 0);
        for (int i = 1; i < ctl(c.list).listCount(); ++i) ctl(c.list).setSelected(i, true);
        messages.clear();
        w().Cmd_del_Click();
        EXPECT_EQ(lastMessage(), L"请使用最新版本的程序") << c.list;
        EXPECT_EQ(exec(c.left)->size(), c.rows) << c.list;
    }
    EXPECT_EQ(stored(), (std::vector<wstring>{L"A:1", L"C:3"}));  // not numbered again either
    EXPECT_EQ(rows(L"List1"), shownClocks);
    EXPECT_EQ(rows(L"List2"), shownStages);
}

TEST_F(StageWindow, SearchMatchesQuotesAndPercentSignsLiterally) {
    clocks({{L"50%完成", 1}, {L"500", 2}, {L"O'Neil", 3}});
    addStage(L"09:00:00", L"10:00:00", L"500", L"it's");
    addStage(L"10:00:00", L"11:00:00", L"500", L"its");
    open();
    ctl(L"Check1").setValue(1);
    ctl(L"Text4").setText(L"x");
    EXPECT_EQ(lastMessage(), L"请先选中【时钟名称/阶段计时】文件列表");
    EXPECT_EQ(ctl(L"Text4").text(), L"");
    click(L"List1", 0);
    ctl(L"Text4").setText(L"0%");
    EXPECT_EQ(names(), std::vector<wstring>{L"50%完成"});
    ctl(L"Text4").setText(L"'");
    EXPECT_EQ(names(), std::vector<wstring>{L"O'Neil"});
    click(L"List2", 0);
    ctl(L"Text4").setText(L"'s");
    ASSERT_EQ(ctl(L"List2").listCount(), 1);
    EXPECT_EQ(w().Listdata(L"List2")[0][3], L"it's");
}

TEST_F(StageWindow, SavingANamedClockStoresTheDialogsShownSettings) {
    clocks({{L"A", 1}});
    open();
    settings::Settings& dialog = forms::Settings();
    dialog.Ctl(L"Text2", 4).setText(L"45");
    dialog.Ctl(L"Text4", 2).setText(L"提示语");
    shell::ClockSetting shown = dialog.shownClock(shell::ClockSetting{});
    ctl(L"Text1", 1).setText(L"新时钟");
    SendMessageW(ctl(L"Text1", 1).hwnd(), WM_CHAR, L'\t', 0);  // never part of a name
    ctl(L"Text1", 3).setText(L"备注");
    ctl(L"Text1", 0).setText(L"-4");
    SendMessageW(ctl(L"Text1", 0).hwnd(), WM_KILLFOCUS, 0, 0);
    EXPECT_EQ(ctl(L"Text1", 0).text(), L"2");
    ASSERT_TRUE(ctl(L"Cmd_save").enabled());
    w().Cmd_save_Click();
    EXPECT_TRUE(messages.empty()) << lastMessage();
    auto row = exec("SELECT * FROM clocksetting WHERE clockname = '新时钟'");
    ASSERT_EQ(row->size(), 1u);
    const auto& r = (*row)[0];
    std::vector<wstring> expected{L"2", L"新时钟", ctl(L"Text1", 2).text(), L"备注", L"12:00:00", L"45",
                                  std::to_wstring(shown.Time_two), std::to_wstring(shown.Time_three),
                                  shown.checkvalue, shown.optvalue, std::to_wstring(shown.tellShowtime),
                                  shown.tellsoundname, L"提示语", shown.tellShowtext, shown.clockFont,
                                  shown.Fontselect, shown.picturename, L"0", L"0", L"0", L"0"};
    ASSERT_EQ(r.size(), expected.size());
    for (size_t i = 0; i < r.size(); ++i) EXPECT_EQ(r[i].value_or(L"NULL"), expected[i]) << "column " << i;
    EXPECT_EQ(shown.checkvalue.size(), 21u);
    EXPECT_EQ(names(), (std::vector<wstring>{L"A", L"新时钟"}));
    EXPECT_EQ(ctl(L"Text1", 0).text(), L"3");
    EXPECT_EQ(ctl(L"Text1", 1).text(), L"");
    EXPECT_EQ(forms::Frm_exit().menu_often, (std::vector<wstring>{L"A", L"新时钟"}));
    // The same name again, and the file gone: refused, nothing typed lost.
    ctl(L"Text1", 1).setText(L"a");
    w().Cmd_save_Click();
    EXPECT_EQ(lastMessage(), L"a名称已录入，请保证名称是唯一的");
    ASSERT_TRUE(DeleteFileW(path().c_str()));
    w().Cmd_save_Click();
    EXPECT_EQ(lastMessage(), L"受限制或操作系统是精简版本，不支持本功能");
    EXPECT_EQ(ctl(L"Text1", 1).text(), L"a");
}

// A table carried over or edited by hand: IDs with gaps, names missing.
TEST_F(StageWindow, ANewClockTakesThePlaceItsNumberNamesInTheListAsShown) {
    clocks({{L"A", 3}, {L"B", 7}, {L"C", 9}, {L"D", 10}, {L"E", 11}, {L"F", 12}, {L"G", 13}});
    ASSERT_TRUE(exec("UPDATE clocksetting SET clockname = NULL WHERE clockname IN ('B', 'E')"));
    open();
    EXPECT_EQ(names(), (std::vector<wstring>{L"A", L"", L"C", L"D", L"", L"F", L"G"}));
    EXPECT_EQ(ctl(L"Text1", 0).text(), L"8");
    auto save = [&](const wchar_t* number, const wchar_t* name) {
        ctl(L"Text1", 0).setText(number);
        ctl(L"Text1", 1).setText(name);
        w().Cmd_save_Click();
        EXPECT_TRUE(messages.empty()) << lastMessage();
    };
    save(L"8", L"H");
    save(L"2", L"新");
    // Left as typed (the field is not left): 0 and below come before the first place, a text
    // that is no number after the last.
    save(L"0", L"零");
    save(L"-3", L"负");
    save(L"x", L"末");
    const std::vector<wstring> expected{L"负", L"零", L"A", L"新", L"", L"C", L"D", L"", L"F", L"G", L"H", L"末"};
    EXPECT_EQ(names(), expected);
    auto table = exec("SELECT ifnull(clockname, ''), ID FROM clocksetting ORDER BY ID");
    ASSERT_EQ(table->size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(*(*table)[i][0] + L":" + *(*table)[i][1], expected[i] + L":" + std::to_wstring(i + 1));
    }
    EXPECT_EQ(forms::Frm_exit().menu_often, expected);
}

// A stages table made by another tool, without the shipped constraints: times without leading
// zeros read as the times they say, everywhere in the window, and the list follows those times,
// not the texts; rows whose times do not read come first, as stored, and can be deleted.
TEST_F(StageWindow, StagesListByTheTimesTheySayAndThoseThatDoNotReadAreListedDeletableAndLeftOutOfTheOverlapCheck) {
    clocks({{L"A", 1}});
    ASSERT_TRUE(exec("DROP TABLE file_list"));
    ASSERT_TRUE(exec("CREATE TABLE file_list (starttime, endtime, clockname, title)"));
    ASSERT_TRUE(exec("INSERT INTO file_list VALUES ('23:00:00', '23:30:00', 'A', 'late'), (NULL, '08:00:00', 'A', 'n'), "
                     "('', '08:00:00', 'A', 'e'), ('8:5:0', '8:30:0', 'A', 'short'), ('abc', '08:00:00', 'A', 'a'), "
                     "('07:00:00', '25:61:00', 'A', 'x'), ('09:00:00', '10:00:00', 'A', 'good')"));
    open();
    EXPECT_TRUE(messages.empty()) << lastMessage();
    const plans::ListTable shown = w().Listdata(L"List2");
    EXPECT_EQ(shown, (plans::ListTable{{L"", L"08:00", L"A", L"n"},
                                       {L"", L"08:00", L"A", L"e"},
                                       {L"abc", L"08:00", L"A", L"a"},
                                       {L"07:00", L"25:61:00", L"A", L"x"},
                                       {L"08:05", L"08:30", L"A", L"short"},
                                       {L"09:00", L"10:00", L"A", L"good"},
                                       {L"23:00", L"23:30", L"A", L"late"}}));
    w().Image1_Click(1);
    enterStage(9, 30, 10, 30, L"A", L"");
    EXPECT_EQ(lastMessage(), L"开始时间【09:30】在录入09:00-10:00时间段");
    enterStage(8, 0, 8, 10, L"A", L"");
    EXPECT_EQ(lastMessage(), L"结束时间【08:10】在录入08:05-08:30时间段");
    messages.clear();
    enterStage(10, 0, 11, 0, L"A", L"");
    EXPECT_TRUE(messages.empty()) << lastMessage();
    click(L"List2", 2);
    messageAnswer = IDYES;
    w().Cmd_del_Click();
    EXPECT_TRUE(exec("SELECT 1 FROM file_list WHERE starttime = 'abc'")->empty());
    EXPECT_EQ(exec("SELECT 1 FROM file_list")->size(), 7u);
}

// A failure to read is told as such: no empty list shown silently, no name called taken.
TEST_F(StageWindow, AFileItCannotReadIsToldAndNothingTypedIsLost) {
    ASSERT_TRUE(exec("DROP TABLE clocksetting"));
    open();
    ctl(L"Text1", 1).setText(L"新");
    w().Cmd_save_Click();
    EXPECT_EQ(messages.size(), 1u);
    EXPECT_EQ(lastMessage(), L"操作系统是精简版本，不支持本功能");
    EXPECT_EQ(ctl(L"Text1", 1).text(), L"新");
    w().Cmd_close_Click();
    ASSERT_TRUE(DeleteFileW(path().c_str()));
    messages.clear();
    w().Show();
    EXPECT_EQ(lastMessage(), L"操作系统是精简版本，不支持本功能");
    EXPECT_EQ(ctl(L"List1").listCount() + ctl(L"List2").listCount(), 0);
}

namespace {

// Counts the list-box messages sent on this thread while it lives.
class SentListMessages {
public:
    SentListMessages() : hook_(SetWindowsHookExW(WH_CALLWNDPROC, count, nullptr, GetCurrentThreadId())) {
        resets = adds = selects = 0;
    }
    SentListMessages(const SentListMessages&) = delete;
    SentListMessages& operator=(const SentListMessages&) = delete;
    ~SentListMessages() { UnhookWindowsHookEx(hook_); }

    static inline int resets = 0, adds = 0, selects = 0;

private:
    static LRESULT CALLBACK count(int code, WPARAM wp, LPARAM lp) {
        if (code == HC_ACTION) {
            UINT msg = reinterpret_cast<const CWPSTRUCT*>(lp)->message;
            resets += msg == LB_RESETCONTENT;
            adds += msg == LB_ADDSTRING;
            selects += msg == LB_SETSEL;
        }
        return CallNextHookEx(nullptr, code, wp, lp);
    }
    HHOOK hook_;
};

// Counts the ticks of this thread's thread timers (a window's retry of a held file among them)
// taken from the queue while it lives.
class ThreadTimerTicks {
public:
    ThreadTimerTicks() : hook_(SetWindowsHookExW(WH_GETMESSAGE, count, nullptr, GetCurrentThreadId())) { taken = 0; }
    ThreadTimerTicks(const ThreadTimerTicks&) = delete;
    ThreadTimerTicks& operator=(const ThreadTimerTicks&) = delete;
    ~ThreadTimerTicks() { UnhookWindowsHookEx(hook_); }

    static inline int taken = 0;

private:
    static LRESULT CALLBACK count(int code, WPARAM wp, LPARAM lp) {
        const auto* m = reinterpret_cast<const MSG*>(lp);
        if (code == HC_ACTION && wp == PM_REMOVE && m->message == WM_TIMER && !m->hwnd) ++taken;
        return CallNextHookEx(nullptr, code, wp, lp);
    }
    HHOOK hook_;
};

}  // namespace

// A table kept for years: each list is filled once, and its rows go straight into the list box
// (a message a row is a round trip to the window server under Wine, seconds for 10,000 rows
// during which the clock's thread answers nothing). `make bench` gives the time.
TEST_F(StageWindow, OpensOnTenThousandClocksAndStagesFillingEachListOnceWithoutAMessageARow) {
    ASSERT_TRUE(exec("WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM n WHERE x < 10000) "
                     "INSERT INTO clocksetting (ID, clockname) SELECT x, 'c' || x FROM n"));
    ASSERT_TRUE(exec("WITH RECURSIVE n(x) AS (SELECT 0 UNION ALL SELECT x + 1 FROM n WHERE x < 9999) "
                     "INSERT INTO file_list SELECT printf('%02d:%02d:00', x / 60 % 24, x % 60), "
                     "printf('%02d:%02d:30', x / 60 % 24, x % 60), 'c1', '' FROM n"));
    SentListMessages sent;
    open();
    EXPECT_EQ(ctl(L"List1").listCount(), 10000);
    EXPECT_EQ(ctl(L"List2").listCount(), 10000);
    EXPECT_EQ(SentListMessages::resets, 2);
    EXPECT_EQ(SentListMessages::adds, 0);
}

// The hint on the stage's clock name, once answered, picks the first saved clock to double-click;
// a window closed under it goes as it is, its list left alone.
TEST_F(StageWindow, TheClockNameHintPicksTheFirstClockUnlessTheWindowWasClosedUnderIt) {
    clocks({{L"A", 1}, {L"B", 2}});
    for (bool closedUnderIt : {false, true}) {
        SCOPED_TRACE(closedUnderIt ? "closed under the hint" : "answered");
        open();
        w().Image1_Click(1);
        win::setMessageSink([&](const win::MessageShown& m) {
            messages.push_back(m);
            if (closedUnderIt) SendMessageW(w().hwnd(), WM_CLOSE, 0, 0);
            return IDOK;
        });
        SentListMessages sent;
        for (UINT msg : {WM_LBUTTONDOWN, WM_LBUTTONUP}) SendMessageW(ctl(L"Text2", 2).hwnd(), msg, 0, MAKELPARAM(5, 5));
        EXPECT_EQ(lastMessage(), L"请双击相应时钟名称进行录入");
        EXPECT_EQ(SentListMessages::selects, closedUnderIt ? 0 : 1);
        EXPECT_EQ(w().loaded(), !closedUnderIt);
        if (!closedUnderIt) {
            EXPECT_EQ(ctl(L"List1").selectedRows(), std::vector<int>{0});
        }
    }
}

// The lists a held file kept from the window are read again only while none of its handlers
// runs: a read under the delete question would put the rows back unchosen, and the answer would
// delete nothing.
TEST_F(StageWindow, ADeleteConfirmedWhileTheListsWaitToBeReadAgainDeletesTheRowsChosen) {
    clocks({{L"A", 1}, {L"B", 2}, {L"C", 3}});
    open();
    ctl(L"Check1").setValue(1);
    {
        // Switching the search off reads both lists again: the hold leaves them as they were.
        testing_support::LockedFile lock(path());
        ctl(L"Check1").setValue(0);
    }
    ASSERT_EQ(lastMessage(), L"MeetData.db 正被其他程序使用，数据未改动，请稍后再试");
    ASSERT_EQ(names(), (std::vector<wstring>{L"A", L"B", L"C"}));
    click(L"List1", 0);
    ctl(L"List1").setSelected(1, true);
    ThreadTimerTicks ticks;
    win::setMessageSink([&](const win::MessageShown& m) {
        messages.push_back(m);
        int before = ThreadTimerTicks::taken;
        EXPECT_TRUE(testing_support::pumpUntil([&] { return ThreadTimerTicks::taken > before; }))
            << "the window's retry had no tick under the question";
        return IDYES;
    });
    SendMessageW(ctl(L"Cmd_del").hwnd(), BM_CLICK, 0, 0);
    EXPECT_EQ(lastMessage(), L"确定删除数据吗？");
    EXPECT_EQ(stored(), std::vector<wstring>{L"C:1"});
    EXPECT_EQ(names(), std::vector<wstring>{L"C"});
}

TEST_F(StageWindow, SavingRefusesWithTheBoxesOfTheNameTheDateAndTheAlarms) {
    open();
    settings::Settings& dialog = forms::Settings();
    struct Case {
        const wchar_t* name;
        const wchar_t* date;
        const wchar_t* alarms[3];
        bool alarm2On;
        std::vector<wstring> boxes;
    } cases[] = {
        {L"", L"2026-12-09", {L"30", L"20", L"10"}, true, {L"没有填写名称，请添加"}},
        {L"N", L"", {L"30", L"20", L"10"}, true, {L"操作系统是精简版本，不支持本程序计时"}},
        {L"N", L"2026-12-09", {L"30", L"10", L"10"}, false, {L"报警2和报警3提醒时间不能相同，请修改"}},
        {L"N", L"2026-12-09", {L"25", L"20", L"10"}, true, {L"报警1要比\r\r报警2\r\r多10秒以上，请修改后再保存"}},
        {L"abcdefghijklmnopqrstu", L"2026-12-09", {L"30", L"20", L"2"}, true,
         {L"建议时钟名称控制在10个字符以内", L"报警3提醒时长要超过3秒，请修改再保存"}},
    };
    for (const Case& c : cases) {
        ctl(L"Text1", 1).setText(c.name);
        ctl(L"Text1", 2).setText(c.date);
        for (int k = 0; k < 3; ++k) dialog.Ctl(L"Text2", k + 4).setText(c.alarms[k]);
        dialog.Ctl(L"Check2", 3).setValue(c.alarm2On ? 1 : 0);
        messages.clear();
        w().Cmd_save_Click();
        std::vector<wstring> shown;
        for (const auto& m : messages) shown.push_back(m.text);
        EXPECT_EQ(shown, c.boxes) << c.name;
        EXPECT_EQ(ctl(L"Text1", 1).text(), c.name);
    }
    EXPECT_TRUE(exec("SELECT 1 FROM clocksetting")->empty());
}

TEST_F(StageWindow, ApplyingASavedClockFillsTheDialogOrTheStageEditor) {
    shell::ClockSetting c;
    c.Time_one = 50;
    c.Time_two = 30;
    c.Time_three = 10;
    c.checkvalue = L"111101001111111111111";
    c.optvalue = L"10010";
    c.tellsoundname = L"s.wav\\a.wav\\b.wav\\c.wav";
    c.tellprocesstext = L"p";
    c.tellShowtext = L"t";
    c.clockFont = L"Trebuchet MS";
    c.Fontselect = L"1060605";
    c.picturename = L"\\0";
    addClock(L"A", c, 1);
    open();
    w().Cmd_load_Click();
    EXPECT_EQ(lastMessage(), L"请选择待加载时钟名称");
    click(L"List1", 0);
    w().Cmd_load_Click();
    settings::Settings& dialog = forms::Settings();
    EXPECT_EQ(dialog.Ctl(L"Text2", 4).text(), L"50");
    EXPECT_EQ(dialog.Ctl(L"Check1", 1).value(), 0);
    EXPECT_EQ(dialog.Ctl(L"Check1", 2).value(), 1);
    EXPECT_EQ(dialog.Ctl(L"Option2", 1).value(), 1);
    EXPECT_EQ(dialog.Ctl(L"Combo3").listIndex(), 6);
    EXPECT_EQ(dialog.Ctl(L"Text4", 2).text(), L"p");
    w().Image1_Click(1);
    click(L"List1", 0);
    w().Cmd_load_Click();
    EXPECT_EQ(ctl(L"Text2", 2).text(), L"A");
    EXPECT_TRUE(ctl(L"Command1").enabled());
}

TEST_F(StageWindow, ExportReadsTheActiveListsRecordsAfresh) {
    clocks({{L"A", 1}});
    addStage(L"09:00:00", L"10:00:00", L"A", L"早, 会");
    open();
    std::vector<wstring> started;
    shell::setProgramStartSink([&](const wstring&, const wstring& command, int) {
        started.push_back(command);
        return true;
    });
    w().Text3 = L"List2";
    w().out_Click();
    EXPECT_EQ(testing_support::readFile(folder + L"\\sheet1.csv"),
              win::toAnsi(L"开始,结束,时钟名称,标题\r\n09:00:00,10:00:00,A,\"早, 会\"\r\n\r\n"));
    w().Text3 = L"List1";
    w().out_Click();
    EXPECT_EQ(testing_support::readFile(folder + L"\\sheet1.csv"),
              win::toAnsi(L"序号,时钟名称,报警1,报警2,报警3,备注\r\n1,A,30,20,10,\r\n\r\n"));
    EXPECT_EQ(started.size(), 2u);
    ASSERT_TRUE(exec("DELETE FROM clocksetting"));
    messages.clear();
    w().out_Click();
    shell::setProgramStartSink(nullptr);
    EXPECT_EQ(lastMessage(), L"没有记录可导出");
}

}  // namespace
