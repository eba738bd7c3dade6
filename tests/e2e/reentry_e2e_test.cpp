// The program's windows stay whole while a box or question of theirs shows. For a box of each
// window, a re-entry a user can make meanwhile (the window's own close, a second click on the
// same button, the tray's window commands, the hub's close) leaves the program running (or ends
// it cleanly), the window whole, and one click doing one thing. The rows run in turn on one
// program; a row that ends it leaves the next row a fresh start.
#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <memory>

#include "plans/stage_layout.h"
#include "settings/settings_layout.h"
#include "shell/run_records.h"
#include "shell/settings_registry.h"
#include "tests/e2e/driver.h"
#include "tests/test_support.h"

using namespace std::chrono_literals;

namespace {

constexpr wchar_t kBoxClass[] = L"#32770";
constexpr wchar_t kMenuClass[] = L"#32768";
constexpr wchar_t kQuestionCaption[] = L"提示";
constexpr wchar_t kChooserCaption[] = L"导入文件名称";
constexpr wchar_t kHintCaption[] = L"录入提示";
constexpr wchar_t kLongName[] = L"每周例会发言人计时时钟";  // more than the advised ten characters
// 计时统计, past the often-used submenu of the saved clocks.
constexpr std::initializer_list<WPARAM> kStatisticsItem{VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN};

// The program under test with the windows a row works on.
class Session {
public:
    explicit Session(const std::wstring& folder) : p(folder) {}

    bool start() {
        if (!p.start()) return false;
        hub = p.waitWindowOfClass(L"Velmora.Frm_exit");
        clock = p.waitClockShown();
        return hub && clock;
    }

    // A box of the program with this caption once it shows its text.
    HWND box(const wchar_t* caption, const std::wstring& textStart) {
        HWND b = p.waitWindow(caption, kBoxClass);
        HWND other = b ? nullptr : p.window(win::kProductName, kBoxClass);
        EXPECT_TRUE(b) << "no box captioned " << testing::PrintToString(std::wstring(caption))
                       << (other ? " but " + testing::PrintToString(driver::shownBoxText(other)) : "");
        if (b) {
            EXPECT_EQ(driver::shownBoxText(b).substr(0, textStart.size()), textStart);
        }
        return b;
    }

    // Answers `b` with `button` and waits until the box has gone, its handler's loop ended.
    void answer(HWND b, const wchar_t* button) {
        ASSERT_TRUE(driver::pressButton(b, button));
        EXPECT_TRUE(driver::waitFor([&] { return !IsWindow(b); })) << "the box stays: a loop above it holds it";
    }

    HWND openSettings() {
        if (IsWindow(settings)) return settings;
        driver::chooseTrayItem(p, hub, driver::kSettingsKeys);
        settings = driver::waitSettingsDialog(p);
        return settings;
    }

    // The stage window, opened from the settings dialog unless it is open.
    HWND openStages() {
        if (IsWindow(stages)) return stages;
        if (!IsWindow(settings)) openSettings();
        HWND entry = nullptr;
        const auto layout = settings::settingsLayout();
        driver::waitFor([&] { return (entry = driver::layoutControl(settings, layout, L"Image1")) != nullptr; });
        driver::notify(settings, entry, STN_CLICKED);
        stages = p.waitWindow(L"阶段计时", L"Velmora.Frm_offtensetting");
        // Loaded once its lists are filled.
        driver::waitFor([&] { return SendMessageW(stageControl(L"List1"), LB_GETCOUNT, 0, 0) > 0; });
        return stages;
    }

    HWND stageControl(const wchar_t* name, int index = 0) const {
        static const auto layout = plans::stageLayout();
        return driver::layoutControl(stages, layout, name, index);
    }

    // Selects one row of a list of the stage window as a click does.
    void pickRow(const wchar_t* list, int row) {
        HWND l = stageControl(list);
        SendMessageW(l, LB_SETSEL, FALSE, -1);
        SendMessageW(l, LB_SETSEL, TRUE, row);
        SendMessageW(l, LB_SETCARETINDEX, row, FALSE);
        driver::notify(stages, l, LBN_SELCHANGE);
    }

    HWND openStatistics() {
        if (IsWindow(statistics)) return statistics;
        driver::chooseTrayItem(p, hub, kStatisticsItem);
        statistics = p.waitWindow(L"计时统计", L"Velmora.Frm_data_sum");
        return statistics;
    }

    HWND statisticsList() const { return FindWindowExW(statistics, nullptr, L"ListBox", nullptr); }

    // Two clicks on a button, the second queued before the first has done anything.
    static void doubleClick(HWND button) {
        for (int i = 0; i < 2; ++i) PostMessageW(button, BM_CLICK, 0, 0);
    }
    // A double click of the mouse on an edit, queued as the mouse queues it.
    static void doubleClickEdit(HWND edit) {
        for (UINT msg : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}) {
            PostMessageW(edit, msg, msg == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(5, 5));
        }
    }

    // "程序修复" on the tab "其它", `meanwhile` done under its notice, the notice answered: the
    // repair's closing box, once it shows.
    HWND repairWith(const std::function<void()>& meanwhile) {
        HWND otherTab = driver::findChild(settings, L"Static", L"其它");
        EXPECT_TRUE(otherTab);
        driver::notify(settings, otherTab, STN_CLICKED);
        EXPECT_TRUE(driver::pressButton(settings, L"程序修复"));
        HWND notice = box(win::kProductName, L"接下来将注册控件");
        if (!notice) return nullptr;
        meanwhile();
        answer(notice, L"确定");
        return p.waitWindow(win::kProductName, kBoxClass, 30s);
    }

    driver::Program p;
    HWND hub = nullptr, clock = nullptr;
    HWND settings = nullptr, stages = nullptr, statistics = nullptr;
};

using ReentryFixture = testing_support::MeetDataTest;

class WindowsUnderTheirBoxes : public ReentryFixture {
protected:
    void SetUp() override {
        ReentryFixture::SetUp();
        shell::ClockSetting c;
        shell::applyFirstRunDefaults(c);
        addClock(L"Alpha", c, 1);
        addClock(kLongName, c, 2);
        for (const wchar_t* at : {L"00:00", L"00:01", L"00:02"}) {
            addStage(std::wstring(at) + L":00", std::wstring(at) + L":30", L"Alpha", L"早会");
        }
        for (int id = 1; id <= 3; ++id) {
            ASSERT_TRUE(exec("INSERT INTO timesum VALUES (?1, '09:00:00', '09:20:00', '00:19:58', '00:00:02', 'T')",
                             {std::to_wstring(id)}));
        }
        CopyFileW(testing_support::besideTestPrograms(L"registration_stand_in.exe").c_str(),
                  (folder + L"\\regsvr32.exe").c_str(), FALSE);
        testing_support::writeFile(folder + L"\\registration.ms", "0");
        driver::installProgram(folder);
    }
    void TearDown() override {
        testing_support::deleteUserKey(L"Software\\Microsoft\\Office");
        ReentryFixture::TearDown();
    }

    size_t rows(const char* table) { return exec((std::string("SELECT 1 FROM ") + table).c_str())->size(); }
};

struct Reentry {
    const char* name;
    bool endsTheProgram;
    std::function<void(Session&)> run;
};

void closeHubWithARightClickBehind(Session& s, const std::function<void()>& close) {
    close();
    PostMessageW(s.clock, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 5));
    PostMessageW(s.clock, WM_RBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_TRUE(s.p.waitExit(10s)) << "the program lives on";
}

TEST_F(WindowsUnderTheirBoxes, ReentriesLeaveTheProgramAndTheWindowWhole) {
    // Once its settings are deleted, a repair runs to its end and says so, whatever became of the
    // dialog under its notice.
    auto repairsWhileTheDialogGoes = [&](Session& s, const std::function<void()>& away) {
        ASSERT_TRUE(s.openSettings());
        DeleteFileW((folder + L"\\registrations.log").c_str());
        shell::writeSettingNumber(L"Time_one", 60);
        HWND result = s.repairWith(away);
        ASSERT_TRUE(result) << "the repair was neither done nor told";
        std::wstring text = driver::shownBoxText(result);
        EXPECT_TRUE(text.starts_with(L"修复成功") || text.starts_with(L"程序修复没有完成")) << testing::PrintToString(text);
        EXPECT_NE(testing_support::readFile(folder + L"\\registrations.log").find("start"), std::string::npos)
            << "nothing was registered";
        EXPECT_FALSE(shell::regReadValue(HKEY_CURRENT_USER, shell::kSettingsKey, L"Time_one")) << "the settings stayed";
        s.answer(result, L"确定");
        EXPECT_TRUE(driver::waitFor([&] { return !IsWindow(s.settings); }));
    };
    const Reentry table[] = {
        {"stage window: the refusal to delete a clock in use, and the window's close", false,
         [&](Session& s) {
             ASSERT_TRUE(s.openStages());
             s.pickRow(L"List1", 0);
             PostMessageW(s.stageControl(L"Cmd_del"), BM_CLICK, 0, 0);
             s.answer(s.box(kQuestionCaption, L"确定删除数据吗？"), L"是");
             HWND refusal = s.box(win::kProductName, L"时钟名称【Alpha】已被阶段计时调用");
             PostMessageW(s.stages, WM_CLOSE, 0, 0);
             s.answer(refusal, L"确定");
             EXPECT_TRUE(driver::waitFor([&] { return !IsWindow(s.stages); }));
             EXPECT_EQ(rows("clocksetting WHERE clockname = 'Alpha'"), 1u);
             EXPECT_TRUE(driver::waitFor([&] { return IsWindowEnabled(s.settings) != FALSE; }));
         }},
        {"stage window: a double click on 删除", false,
         [&](Session& s) {
             ASSERT_TRUE(s.openStages());
             size_t before = rows("file_list");
             s.pickRow(L"List2", 1);
             Session::doubleClick(s.stageControl(L"Cmd_del"));
             s.answer(s.box(kQuestionCaption, L"确定删除数据吗？"), L"是");
             auto listed = [&] { return static_cast<size_t>(SendMessageW(s.stageControl(L"List2"), LB_GETCOUNT, 0, 0)); };
             EXPECT_TRUE(driver::waitFor([&] { return listed() == before - 1; }));
             EXPECT_FALSE(s.p.window(kQuestionCaption, kBoxClass)) << "a second question";
             EXPECT_EQ(rows("file_list"), before - 1);
             EXPECT_EQ(rows("file_list WHERE starttime = '00:01:00'"), 0u);
         }},
        {"stage window: the advice on a long clock name as a stage is entered, and the window's close", false,
         [&](Session& s) {
             ASSERT_TRUE(s.openStages());
             // The stage tab, once its click has emptied the title.
             HWND title = s.stageControl(L"Text2", 3);
             SendMessageW(title, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"-"));
             driver::notify(s.stages, s.stageControl(L"Label6", 1), STN_CLICKED);
             ASSERT_TRUE(driver::waitFor([&] { return driver::controlText(title).empty(); }));
             const wchar_t* fields[] = {L"1", L"0", L"1", L"10"};
             for (int i = 1; i <= 4; ++i) {
                 SendMessageW(s.stageControl(L"Text5", i), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(fields[i - 1]));
             }
             SendMessageW(s.stageControl(L"Text2", 2), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(kLongName));
             PostMessageW(s.stageControl(L"Command1"), BM_CLICK, 0, 0);
             HWND advice = s.box(win::kProductName, L"建议时钟名称控制在10个字符以内");
             PostMessageW(s.stages, WM_CLOSE, 0, 0);
             if (IsWindow(advice)) driver::pressButton(advice, L"确定");
             EXPECT_TRUE(driver::waitFor([&] { return !IsWindow(s.stages); }));
             EXPECT_EQ(rows("file_list WHERE starttime = '01:00:00'"), 1u) << "one click, one stage";
         }},
        {"statistics: a double click on 删除", false,
         [&](Session& s) {
             ASSERT_TRUE(s.openStatistics());
             HWND list = s.statisticsList();
             ASSERT_TRUE(driver::waitFor([&] { return SendMessageW(list, LB_GETCOUNT, 0, 0) == 3; }));
             SendMessageW(list, LB_SETSEL, TRUE, 1);
             Session::doubleClick(driver::findChild(s.statistics, L"Button", L"删除"));
             s.answer(s.box(kQuestionCaption, L"确定删除数据吗？"), L"是");
             EXPECT_TRUE(driver::waitFor([&] { return SendMessageW(list, LB_GETCOUNT, 0, 0) == 2; }));
             EXPECT_FALSE(s.p.window(kQuestionCaption, kBoxClass)) << "a second question";
             EXPECT_EQ(rows("timesum"), 2u);
             EXPECT_EQ(rows("timesum WHERE ID = 2"), 0u);
         }},
        {"statistics: the delete question, and the tray's 设置", false,
         [&](Session& s) {
             ASSERT_TRUE(s.openStatistics());
             size_t before = rows("timesum");
             HWND list = s.statisticsList();
             SendMessageW(list, LB_SETSEL, TRUE, 0);
             PostMessageW(driver::findChild(s.statistics, L"Button", L"删除"), BM_CLICK, 0, 0);
             HWND question = s.box(kQuestionCaption, L"确定删除数据吗？");
             ASSERT_TRUE(s.openSettings());
             s.answer(question, L"是");
             EXPECT_TRUE(driver::waitFor([&] { return !IsWindow(s.statistics); }));
             EXPECT_EQ(rows("timesum"), before) << "a window that went deleted its row";
             EXPECT_TRUE(IsWindowVisible(s.settings));
         }},
        {"settings dialog: the repair's notice, and the dialog's close", false,
         [&](Session& s) { repairsWhileTheDialogGoes(s, [&] { PostMessageW(s.settings, WM_CLOSE, 0, 0); }); }},
        {"settings dialog: the repair's notice, and the tray's 计时统计", false,
         [&](Session& s) { repairsWhileTheDialogGoes(s, [&] { EXPECT_TRUE(s.openStatistics()); }); }},
        {"settings dialog: a double click on a sound box, and the dialog's close under its chooser", false,
         [&](Session& s) {
             ASSERT_TRUE(s.openSettings());
             std::wstring elsewhere = testing_support::makeTempFolder();
             testing_support::writeFile(elsewhere + L"\\Bell.wav", "wav");
             HWND soundBox = nullptr;
             ASSERT_TRUE(driver::waitFor([&] {
                 return (soundBox = driver::layoutControl(s.settings, settings::settingsLayout(), L"Text1", 0)) != nullptr;
             }));
             Session::doubleClickEdit(soundBox);
             HWND chooser = s.p.waitWindow(kChooserCaption, kBoxClass);
             ASSERT_TRUE(chooser);
             EXPECT_EQ(GetWindow(chooser, GW_OWNER), s.settings);
             EXPECT_FALSE(IsWindowEnabled(s.settings)) << "the dialog takes input under its chooser";
             PostMessageW(s.settings, WM_CLOSE, 0, 0);
             // The file name is typed into the edit of the chooser's name box.
             HWND name = nullptr;
             driver::waitFor([&] {
                 HWND box = FindWindowExW(GetDlgItem(chooser, 0x47c), nullptr, L"ComboBox", nullptr);
                 return (name = FindWindowExW(box, nullptr, L"Edit", nullptr)) != nullptr;
             });
             ASSERT_TRUE(name);
             std::wstring picked = elsewhere + L"\\Bell.wav";
             SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(picked.c_str()));
             PostMessageW(chooser, WM_COMMAND, IDOK, 0);
             EXPECT_TRUE(driver::waitFor([&] { return !IsWindow(s.settings); }));
             EXPECT_FALSE(s.p.window(kChooserCaption, kBoxClass)) << "a second chooser";
             EXPECT_EQ(GetFileAttributesW((folder + L"\\sounds\\Bell.wav").c_str()), INVALID_FILE_ATTRIBUTES)
                 << "a dialog that went took the file";
             testing_support::removeTree(elsewhere);
         }},
        {"stage window: a double click on the stage's clock name, and the window's close under its hint", false,
         [&](Session& s) {
             ASSERT_TRUE(s.openStages());
             Session::doubleClickEdit(s.stageControl(L"Text2", 2));
             HWND hint = s.box(kHintCaption, L"请双击相应时钟名称进行录入");
             ASSERT_TRUE(hint);
             EXPECT_EQ(GetWindow(hint, GW_OWNER), s.stages);
             PostMessageW(s.stages, WM_CLOSE, 0, 0);
             if (IsWindow(hint)) driver::pressButton(hint, L"确定");
             EXPECT_TRUE(driver::waitFor([&] { return !IsWindow(s.stages); }));
             EXPECT_FALSE(s.p.window(kHintCaption, kBoxClass)) << "a second hint";
             EXPECT_TRUE(driver::waitFor([&] { return IsWindowEnabled(s.settings) != FALSE; }));
         }},
        {"stage window: the lists' 导出 menu, and the window's close", false,
         [&](Session& s) {
             ASSERT_TRUE(s.openStages());
             PostMessageW(s.stageControl(L"List1"), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 5));
             HWND menu = nullptr;
             ASSERT_TRUE(driver::waitFor([&] { return (menu = s.p.window(L"", kMenuClass)) && IsWindowVisible(menu); }));
             SendMessageTimeoutW(s.stages, WM_CLOSE, 0, 0, SMTO_NORMAL, 10000, nullptr);
             EXPECT_TRUE(IsWindow(s.stages)) << "the window went from under its menu";
             driver::pressKeys(menu, {VK_ESCAPE});
             EXPECT_TRUE(driver::waitFor([&] { return !IsWindow(s.stages); }));
             EXPECT_TRUE(driver::waitFor([&] { return IsWindowEnabled(s.settings) != FALSE; }));
         }},
        {"hub: the exit question, and the tray's 退出 again", false,
         [&](Session& s) {
             ASSERT_TRUE(driver::chooseTrayItem(s.p, s.hub, driver::kExitKeys));
             HWND question = s.box(kQuestionCaption, L"确定退出吗？");
             driver::openTrayMenu(s.p, s.hub, false);
             s.answer(question, L"否");
             HWND menu = s.p.window(L"", kMenuClass);
             EXPECT_FALSE(menu && IsWindowVisible(menu)) << "a menu opened under the question";
         }},
        {"hub: its close with a right click on the clock queued behind it", true,
         [&](Session& s) { closeHubWithARightClickBehind(s, [&] { PostMessageW(s.hub, WM_CLOSE, 0, 0); }); }},
        {"hub: the session's end with a right click on the clock queued behind it", true,
         [&](Session& s) {
             closeHubWithARightClickBehind(s, [&] {
                 DWORD_PTR agreed = 0;
                 SendMessageTimeoutW(s.hub, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_NORMAL, 5000, &agreed);
                 PostMessageW(s.hub, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
             });
         }},
    };
    std::unique_ptr<Session> session;
    for (const Reentry& row : table) {
        SCOPED_TRACE(row.name);
        if (!session) {
            session = std::make_unique<Session>(folder);
            ASSERT_TRUE(session->start());
        }
        row.run(*session);
        // A program that went is started afresh for the next row.
        if (row.endsTheProgram || !session->p.running()) {
            EXPECT_TRUE(row.endsTheProgram) << "the program has gone";
            session.reset();
            continue;
        }
        EXPECT_FALSE(session->p.window(win::kProductName, kBoxClass)) << "a box is left";
    }
}

}  // namespace
