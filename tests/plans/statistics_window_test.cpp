// The statistics window on a real database: what it lists, how the switch shows and writes the
// recording, what delete removes, and what the export receives.
#include <gtest/gtest.h>

#include <windowsx.h>

#include <algorithm>

#include "plans/Frm_data_sum.h"
#include "plans/run_table.h"
#include "shell/run_records.h"
#include "shell/meeting_db.h"
#include "shell/settings_registry.h"
#include "shell/start_program.h"
#include "tests/db_holds.h"
#include "tests/test_support.h"
#include "win/handles.h"
#include "win/text.h"

namespace {

using std::wstring;

class StatisticsWindow : public testing_support::MeetDataTest {
protected:
    void TearDown() override {
        window.unload();
        MeetDataTest::TearDown();
    }

    void addRun(const wstring& id, const wstring& title) {
        ASSERT_TRUE(exec("INSERT INTO timesum VALUES (?1, '09:00:00', '09:20:00', '00:19:58', '00:00:02', ?2)",
                         {id, title}));
    }
    void addRuns(int n) {
        for (int i = 1; i <= n; ++i) addRun(std::to_wstring(i * 10), L"R" + std::to_wstring(i));
    }
    std::vector<wstring> rows() const {
        std::vector<wstring> texts;
        int n = ListBox_GetCount(window.List1);
        for (int i = 0; i < n; ++i) {
            wstring text(ListBox_GetTextLen(window.List1, i) + 1, L'\0');
            text.resize(ListBox_GetText(window.List1, i, text.data()));
            texts.push_back(text);
        }
        return texts;
    }
    // The fields of a row, cut at its tabs.
    std::vector<wstring> fields(const wstring& row) const {
        std::vector<wstring> parts;
        for (size_t from = 0;;) {
            size_t at = row.find(L'\t', from);
            parts.push_back(row.substr(from, at - from));
            if (at == wstring::npos) return parts;
            from = at + 1;
        }
    }
    // Where the drawn text of each row in view ends, in pixels from the list's left, as the list
    // paints itself.
    std::vector<int> inkEnds() const {
        RECT client{};
        GetClientRect(window.List1, &client);
        win::WindowDC screen(nullptr);
        win::UniqueMemDC memory(CreateCompatibleDC(screen.get()));
        win::UniqueBitmap picture(CreateCompatibleBitmap(screen.get(), client.right, client.bottom));
        win::SelectScope select(memory.get(), picture.get());
        SendMessageW(window.List1, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory.get()), PRF_CLIENT | PRF_ERASEBKGND);
        std::vector<int> ends;
        int top = ListBox_GetTopIndex(window.List1);
        for (int i = top; i < ListBox_GetCount(window.List1); ++i) {
            RECT item{};
            ListBox_GetItemRect(window.List1, i, &item);
            if (item.bottom > client.bottom) break;
            COLORREF paper = GetPixel(memory.get(), client.right - 1, item.top);
            int end = 0;
            for (int y = item.top; y < item.bottom; ++y) {
                for (int x = client.right - 1; x > end; --x) {
                    if (GetPixel(memory.get(), x, y) != paper) end = x;
                }
            }
            ends.push_back(end);
        }
        return ends;
    }
    std::vector<int> selected() const {
        std::vector<int> picked;
        for (int i = 0; i < ListBox_GetCount(window.List1); ++i) {
            if (ListBox_GetSel(window.List1, i) > 0) picked.push_back(i);
        }
        return picked;
    }
    size_t storedRuns() { return exec("SELECT ID FROM timesum")->size(); }
    void select(std::initializer_list<int> picked) {
        for (int i : picked) ListBox_SetSel(window.List1, TRUE, i);
    }

    plans::Frm_data_sum window;
};

TEST_F(StatisticsWindow, ListsEveryRecordAtItsPositionWithEmptyFieldsForMissingTimes) {
    addRun(L"7", L"第一 位");
    ASSERT_TRUE(exec("INSERT INTO timesum VALUES (9, '10:00:00', '10:05:00', NULL, NULL, NULL)"));
    addRun(L"30", L"last");
    window.Show();
    std::vector<wstring> texts = rows();
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(fields(texts[0]), (std::vector<wstring>{L"001", L"09:00:00", L"09:20:00", L"0:19:58", L"0:00:02",
                                                      L"第一 位"}));
    EXPECT_EQ(fields(texts[1]), (std::vector<wstring>{L"002", L"10:00:00", L"10:05:00", L"", L"", L""}));
    EXPECT_EQ(fields(texts[2])[0], L"003");
    EXPECT_TRUE(messages.empty());
    EXPECT_TRUE(IsWindowEnabled(window.Check1));
    EXPECT_GE(window.columngap.size(), 1u);
    EXPECT_LE(window.columngap.size(), 50u);
}

TEST_F(StatisticsWindow, EveryFieldStaysInItsColumnWhateverTheOthersHold) {
    // A thousand runs of the same title; the second without durations, the third with times
    // that are no times of day.
    ASSERT_TRUE(exec("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 1000) "
                     "INSERT INTO timesum SELECT i, '09:00:00', '09:20:00', '00:19:58', '00:00:02', 'T' FROM n"));
    ASSERT_TRUE(exec("UPDATE timesum SET out_time = NULL, pause_time = NULL WHERE ID = 2"));
    ASSERT_TRUE(exec("UPDATE timesum SET set_time = 'garbage', use_time = '25:00:00' WHERE ID = 3"));
    window.Show();
    std::vector<wstring> texts = rows();
    ASSERT_EQ(texts.size(), 1000u);
    EXPECT_EQ(fields(texts[1]), (std::vector<wstring>{L"002", L"09:00:00", L"09:20:00", L"", L"", L"T"}));
    EXPECT_EQ(fields(texts[2]), (std::vector<wstring>{L"003", L"garbage", L"25:00:00", L"0:19:58", L"0:00:02", L"T"}));
    plans::ExportTable table = plans::runExportTable(window.List2);
    EXPECT_EQ(std::get<wstring>(table[3][1]), L"garbage");
    EXPECT_EQ(std::get<wstring>(table[3][2]), L"25:00:00");

    // The titles end at one place in every row: at the top, and where the positions reach 1000.
    for (int top : {0, 995}) {
        ListBox_SetTopIndex(window.List1, top);
        std::vector<int> ends = inkEnds();
        ASSERT_GE(ends.size(), 5u);
        EXPECT_EQ(std::count(ends.begin(), ends.end(), ends[0]), static_cast<long>(ends.size())) << top;
    }
}

// Six-digit positions need a wider first column than the three digits of the first rows.
TEST_F(StatisticsWindow, FromRecord100000OnEveryFieldStaysUnderItsHeading) {
    ASSERT_TRUE(exec("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 100002) "
                     "INSERT INTO timesum SELECT i, '09:00:00', '09:20:00', '00:19:58', '00:00:02', 'T' FROM n"));
    window.Show();
    ASSERT_EQ(rows().size(), 100002u);
    std::vector<int> ends;
    for (int top : {0, 99995}) {
        ListBox_SetTopIndex(window.List1, top);
        for (int end : inkEnds()) ends.push_back(end);
    }
    ASSERT_GE(ends.size(), 10u);
    EXPECT_EQ(std::count(ends.begin(), ends.end(), ends[0]), static_cast<long>(ends.size()));
}

TEST_F(StatisticsWindow, SwitchShowsStoredValueAndNoticeFollowsIt) {
    struct Case {
        int32_t stored;
        int shown;
        bool notice;
    };
    for (Case c : {Case{0, BST_UNCHECKED, true}, Case{1, BST_CHECKED, false}, Case{2, BST_INDETERMINATE, false},
                   Case{7, BST_CHECKED, false}}) {
        shell::writeSettingNumber(L"Time_Record", c.stored);
        window.Show();
        EXPECT_EQ(Button_GetCheck(window.Check1), c.shown) << c.stored;
        EXPECT_EQ(IsWindowVisible(window.Text1) != FALSE, c.notice) << c.stored;
        EXPECT_TRUE(window.Timer1.enabled());
        EXPECT_TRUE(window.Timer2.enabled());
        window.unload();
    }
}

TEST_F(StatisticsWindow, SwitchWritesTheRecordingAndTheNoticeLeavesAfterItsTimer) {
    shell::writeSettingNumber(L"Time_Record", 1);
    window.Show();
    window.Timer1.fire();
    EXPECT_FALSE(window.Timer1.enabled());

    window.Check1_Click();
    EXPECT_EQ(shell::readSettingNumber(L"Time_Record"), 0);
    EXPECT_TRUE(IsWindowVisible(window.Text1));
    EXPECT_TRUE(window.Timer1.enabled());
    EXPECT_EQ(window.Timer1.interval(), 3000u);
    window.Timer1.fire();
    EXPECT_FALSE(IsWindowVisible(window.Text1));

    window.Check1_Click();
    EXPECT_EQ(shell::readSettingNumber(L"Time_Record"), 1);
    EXPECT_EQ(Button_GetCheck(window.Check1), BST_CHECKED);
    EXPECT_FALSE(IsWindowVisible(window.Text1));
}

TEST_F(StatisticsWindow, WithoutDatabaseTheListIsEmptyTheSwitchOffAndDeleteDoesNothing) {
    DeleteFileW(path().c_str());
    window.Show();
    EXPECT_TRUE(rows().empty());
    EXPECT_FALSE(IsWindowEnabled(window.Check1));
    window.Command3_Click();
    EXPECT_TRUE(messages.empty());
    window.Command1_Click();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, L"没有记录导出");
    EXPECT_EQ(messages[0].timeoutMs, 800u);
}

class StatisticsOverAHeldFile : public StatisticsWindow, public testing::WithParamInterface<testing_support::Hold> {};
INSTANTIATE_TEST_SUITE_P(Holds, StatisticsOverAHeldFile, testing::ValuesIn(testing_support::kWholeFileHolds),
                         testing_support::holdTestName);

// Opened while another program takes the file for 700 ms of every second, with the recording on:
// the switch shows it on, and the box says the file is held. Until the records are read, delete
// and export say so too, not that there are none. A run that ends meanwhile waits to be written;
// the list, read within a tick or so of the file reading, holds it with the others. Opened after
// a hold, before the run that waited is written, the list holds that one too. Held again, a
// delete says so and takes nothing.
TEST_P(StatisticsOverAHeldFile, UnderHoldsThatComeAndGoTheSwitchShowsTheRecordingAndTheListEveryFinishedRun) {
    using testing_support::kRhythmCycleMs, testing_support::kRhythmHeldMs;
    const wstring held = L"MeetData.db 正被其他程序使用，数据未改动，请稍后再试";
    addRuns(2);
    shell::writeSettingNumber(L"Time_Record", 1);
    auto runEnds = [](const wchar_t* title) {
        shell::TimingState t;
        t.set_time = L"10:00:00";
        t.use_time = L"10:05:00";
        t.out_time = 300000;
        t.filename = title;
        shell::savetimerecord(t);
    };
    auto titles = [&] {
        std::vector<wstring> shown;
        for (const wstring& row : rows()) shown.push_back(fields(row)[5]);
        return shown;
    };
    {
        testing_support::HoldsThatComeAndGo holds(path(), GetParam(), kRhythmCycleMs, kRhythmHeldMs);
        ASSERT_TRUE(holds.firstTaken());
        const DWORD opened = GetTickCount();
        window.Show();
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0].text, held);
        EXPECT_TRUE(rows().empty());
        EXPECT_TRUE(IsWindowEnabled(window.Check1));
        EXPECT_EQ(Button_GetCheck(window.Check1), BST_CHECKED);
        EXPECT_FALSE(IsWindowVisible(window.Text1));
        for (auto command : {&plans::Frm_data_sum::Command3_Click, &plans::Frm_data_sum::Command1_Click}) {
            messages.clear();
            (window.*command)();
            ASSERT_EQ(messages.size(), 1u);
            EXPECT_EQ(messages[0].text, held);
        }
        runEnds(L"R3");
        ASSERT_TRUE(testing_support::pumpUntil([&] { return !rows().empty(); }, 3 * kRhythmCycleMs));
        const DWORD late = testing_support::afterFirstFreed(holds.stop(), opened, GetTickCount());
        EXPECT_LT(late, testing_support::kReadWithinMs) << "listed " << late << " ms after the file read";
        EXPECT_EQ(titles(), (std::vector<wstring>{L"R1", L"R2", L"R3"}));
    }
    window.unload();
    {
        testing_support::LockedFile lock(path(), GetParam());
        runEnds(L"R4");
    }
    window.Show();  // before the run that waited had its own next try
    EXPECT_EQ(titles(), (std::vector<wstring>{L"R1", L"R2", L"R3", L"R4"}));

    select({0});
    messageAnswer = IDYES;
    messages.clear();
    testing_support::LockedFile again(path(), GetParam());
    window.Command3_Click();
    again.release();
    ASSERT_EQ(messages.size(), 2u);  // the question, then the refusal
    EXPECT_EQ(messages[1].text, held);
    EXPECT_EQ(storedRuns(), 4u);
    EXPECT_EQ(rows().size(), 4u);
}

// A cause that refuses the file is told as what it is, at the opening or at a delete, and no
// record goes. A file that never opens lists nothing and is not tried again in silence; the
// switch, the registry's, shows as set there too, as it does over a file that keeps only writes
// out, whose records are listed.
TEST_F(StatisticsWindow, ACauseAtTheOpeningOrADeleteIsToldAsWhatItIs) {
    using testing_support::Hold;
    addRuns(2);
    shell::writeSettingNumber(L"Time_Record", 1);
    messageAnswer = IDYES;
    for (Hold cause : {Hold::readSharing, Hold::writeDenied, Hold::noJournal, Hold::diskFull, Hold::neverOpens}) {
        SCOPED_TRACE(testing_support::holdName(cause));
        messages.clear();
        testing_support::LockedFile lock(path(), cause);
        window.Show();
        if (cause == Hold::neverOpens) {
            ASSERT_EQ(messages.size(), 1u);
            EXPECT_EQ(messages[0].text, testing_support::toldFor(cause));
            EXPECT_TRUE(rows().empty());
            EXPECT_TRUE(IsWindowEnabled(window.Check1));
            EXPECT_EQ(Button_GetCheck(window.Check1), BST_CHECKED);
            testing_support::pumpUntil([] { return false; }, 1500);
            EXPECT_EQ(messages.size(), 1u);
        } else {
            EXPECT_TRUE(messages.empty());
            EXPECT_EQ(rows().size(), 2u);
            EXPECT_EQ(Button_GetCheck(window.Check1), BST_CHECKED);
            select({0});
            window.Command3_Click();
            ASSERT_EQ(messages.size(), 2u);  // the question, then the refusal
            EXPECT_EQ(messages[1].text, testing_support::toldFor(cause));
            EXPECT_EQ(rows().size(), 2u);
        }
        lock.release();
        EXPECT_EQ(storedRuns(), 2u);
        window.unload();
    }
}

TEST_F(StatisticsWindow, DeleteRemovesTheSelectedRecordsAndSelectsTheRowAboveThem) {
    addRuns(7);
    window.Show();
    select({2, 5});
    messageAnswer = IDYES;
    window.Command3_Click();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, L"确定删除数据吗？");
    EXPECT_EQ(messages[0].style, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
    auto left = exec("SELECT filename FROM timesum ORDER BY ID");
    ASSERT_EQ(left->size(), 5u);
    EXPECT_EQ((*left)[2][0], L"R4");
    std::vector<wstring> positions;
    for (const wstring& row : rows()) positions.push_back(fields(row)[0]);
    // Positions are not renumbered until the window opens again.
    EXPECT_EQ(positions, (std::vector<wstring>{L"001", L"002", L"004", L"005", L"007"}));
    EXPECT_EQ(selected(), std::vector<int>{1});
    EXPECT_EQ(GetFocus(), window.Command3);

    select({0, 1, 2, 3, 4});
    window.Command3_Click();
    EXPECT_EQ(storedRuns(), 0u);
    EXPECT_TRUE(rows().empty());
}

TEST_F(StatisticsWindow, DeleteAsksFirstAndNeedsASelection) {
    addRuns(3);
    window.Show();
    window.Command3_Click();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, L"请鼠标选中待删除的行\r\r同时按下shift按钮可连续多选\r\r同时按下Ctrl按钮可间隔多选");
    EXPECT_EQ(messages[0].timeoutMs, 5000u);

    select({0});
    messageAnswer = IDNO;
    window.Command3_Click();
    EXPECT_EQ(storedRuns(), 3u);
    EXPECT_EQ(rows().size(), 3u);
    EXPECT_EQ(GetFocus(), window.List1);
}

TEST_F(StatisticsWindow, DeleteThatFailsMidwayRemovesNothing) {
    addRuns(7);
    // The second record of the selection cannot be deleted.
    ASSERT_TRUE(exec("CREATE TRIGGER keep BEFORE DELETE ON timesum WHEN old.ID = 60 BEGIN SELECT RAISE(ABORT, 'kept'); END"));
    window.Show();
    select({2, 5});
    messageAnswer = IDYES;
    window.Command3_Click();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1].text, L"请使用最新版本的程序");
    EXPECT_EQ(storedRuns(), 7u);
    EXPECT_EQ(rows().size(), 7u);
}

TEST_F(StatisticsWindow, DeleteTakesTheRowsWhateverTheirIdHoldsAndFailsWhereOneIsGone) {
    // Made by another tool: an ID column without a type, holding nothing, numbers and a text.
    ASSERT_TRUE(exec("DROP TABLE timesum"));
    ASSERT_TRUE(exec("CREATE TABLE timesum (ID, set_time, use_time, out_time, pause_time, filename)"));
    ASSERT_TRUE(exec("INSERT INTO timesum VALUES (NULL, '09:00:00', '09:20:00', NULL, NULL, 'none'), "
                     "(3, '09:00:00', '09:20:00', NULL, NULL, 'three'), (5, '09:00:00', '09:20:00', NULL, NULL, "
                     "'five'), ('x', '09:00:00', '09:20:00', NULL, NULL, 'text')"));
    window.Show();
    ASSERT_EQ(rows().size(), 4u);
    messageAnswer = IDYES;

    // The third row is deleted behind the window's back: deleting it with the fourth deletes
    // neither, and says so.
    ASSERT_TRUE(exec("DELETE FROM timesum WHERE filename = 'five'"));
    select({2, 3});
    window.Command3_Click();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1].text, L"请使用最新版本的程序");
    EXPECT_EQ(storedRuns(), 3u);
    EXPECT_EQ(rows().size(), 4u);

    messages.clear();
    ListBox_SetSel(window.List1, FALSE, -1);
    select({0, 1, 3});
    window.Command3_Click();
    EXPECT_EQ(messages.size(), 1u);  // the question alone
    EXPECT_EQ(storedRuns(), 0u);
    EXPECT_EQ(rows().size(), 1u);
}

TEST_F(StatisticsWindow, ExportTakesTheRecordsNotTheRowTextsSoBlanksInTitlesStay) {
    addRun(L"4", L"Q 1, 总结");
    addRun(L"8", L"B");
    window.Show();
    std::vector<wstring> started;
    shell::setProgramStartSink([&](const wstring&, const wstring& command, int) {
        started.push_back(command);
        return true;
    });
    window.Command1_Click();
    shell::setProgramStartSink(nullptr);
    EXPECT_EQ(started.size(), 1u);
    EXPECT_EQ(testing_support::readFile(folder + L"\\sheet1.csv"),
              win::toAnsi(L"序号,开始时间,结束时间,计时时间,空闲时间,标题\r\n"
                          L"1,09:00:00,09:20:00,0:19:58,0:00:02,\"Q 1, 总结\"\r\n"
                          L"2,09:00:00,09:20:00,0:19:58,0:00:02,B\r\n\r\n"));
}

}  // namespace
