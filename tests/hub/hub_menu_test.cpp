#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "app/forms.h"
#include "displays/Frm_process.h"
#include "hub/Frm_exit.h"
#include "plans/Frm_data_sum.h"
#include "plans/Frm_offtensetting.h"
#include "settings/Settings.h"
#include "shell/ini_store.h"
#include "shell/program_folder.h"
#include "shell/meeting_db.h"
#include "shell/run_records.h"
#include "shell/settings_registry.h"
#include "tests/db_holds.h"
#include "tests/test_support.h"
#include "win/handles.h"
#include "win/program_end.h"
#include "win/program_icon.h"
#include "win/program_icon_id.h"

using namespace hub;
using namespace shell;
using testing_support::Hold;
using testing_support::itemTexts;
using testing_support::pumpUntil;

namespace {

class HubMenu : public testing_support::HubTest {
protected:
    void SetUp() override {
        HubTest::SetUp();
        setMenuTracker([this](HWND owner, HMENU menu) { popups.push_back(owner); });
    }
    void TearDown() override {
        setMenuTracker(nullptr);
        HubTest::TearDown();
    }

    static Frm_exit& hub() { return forms::Frm_exit(); }

    std::vector<HWND> popups;  // owners of the menus that opened
};

}  // namespace

TEST_F(HubMenu, WithoutSavedClocksTheMenuLeavesOutTheClockSubmenu) {
    auto menu = hub().buildMenu();
    std::vector<std::wstring> expected{hub().menu_two1_caption, L"设置", L"计时统计", L"帮助", L"退出"};
    EXPECT_EQ(itemTexts(menu.get()), expected);
    std::vector<UINT> ids;
    for (int i = 0; i < GetMenuItemCount(menu.get()); ++i) ids.push_back(GetMenuItemID(menu.get(), i));
    EXPECT_EQ(ids, (std::vector<UINT>{101, 102, 200, 202, 203}));
}

TEST_F(HubMenu, AClockNameWithQuoteAndAmpersandShowsAsItIsAndItsItemStartsIt) {
    ClockSetting saved;
    applyFirstRunDefaults(saved);
    addClock(L"早会", saved, 1);
    saved.Time_one = 321;
    saved.tellShowtext = L"R&D 例会";
    addClock(L"Bob's R&D", saved, 2);
    hub().change_clock_menu();

    auto menu = hub().buildMenu();
    EXPECT_EQ(itemTexts(menu.get())[2], L"常用时钟");
    HMENU often = GetSubMenu(menu.get(), 2);
    ASSERT_NE(often, nullptr);
    EXPECT_EQ(itemTexts(often), (std::vector<std::wstring>{L"早会", L"Bob's R&&D"}));

    clock.setTimeOfDay(12, 0, 0);  // after the last stage of an empty day
    SendMessageW(hub().hwnd(), WM_COMMAND, GetMenuItemID(often, 1), 0);
    EXPECT_EQ(clockSetting().Time_one, 321);
    EXPECT_TRUE(messages.empty());
    menu = hub().buildMenu();
    often = GetSubMenu(menu.get(), 2);
    EXPECT_EQ(GetMenuState(often, 0, MF_BYPOSITION) & MF_CHECKED, 0u);
    EXPECT_EQ(GetMenuState(often, 1, MF_BYPOSITION) & MF_CHECKED, static_cast<UINT>(MF_CHECKED));
}

// With thousands of saved clocks a build of the submenu holds the clock's thread for seconds.
TEST_F(HubMenu, RightClicksWithoutAChangeShowTheOneSubmenuBuiltAtTheLastChange) {
    ClockSetting saved;
    applyFirstRunDefaults(saved);
    addClock(L"甲", saved, 1);
    addClock(L"乙", saved, 2);
    hub().change_clock_menu();
    const int builds = hub().oftenSubmenu().builds();
    struct Shown {
        HMENU often;
        std::vector<std::wstring> texts;
        UINT secondMarked;
    };
    std::vector<Shown> shown;
    setMenuTracker([&](HWND, HMENU menu) {
        HMENU often = GetSubMenu(menu, 2);
        shown.push_back({often, itemTexts(often), GetMenuState(often, 1, MF_BYPOSITION) & MF_CHECKED});
    });
    auto rightClick = [&] { SendMessageW(hub().hwnd(), cTray::kCallbackMessage, 1, WM_RBUTTONUP); };

    rightClick();
    clock.setTimeOfDay(12, 0, 0);  // after the last stage of an empty day
    hub().menu_often_Click(1);
    rightClick();
    rightClick();
    EXPECT_EQ(hub().oftenSubmenu().builds(), builds);
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_TRUE(IsMenu(shown[0].often));  // the popups are gone, the submenu they showed is not
    for (const Shown& s : shown) {
        EXPECT_EQ(s.often, shown[0].often);
        EXPECT_EQ(s.texts, (std::vector<std::wstring>{L"甲", L"乙"}));
    }
    EXPECT_EQ(shown[0].secondMarked, 0u);
    EXPECT_EQ(shown[2].secondMarked, static_cast<UINT>(MF_CHECKED));

    // A change builds it once more, the new clock in and no mark.
    addClock(L"丙", saved, 3);
    hub().change_clock_menu();
    rightClick();
    EXPECT_EQ(hub().oftenSubmenu().builds(), builds + 1);
    EXPECT_EQ(shown.back().texts, (std::vector<std::wstring>{L"甲", L"乙", L"丙"}));
    EXPECT_EQ(shown.back().secondMarked, 0u);
    EXPECT_TRUE(messages.empty());
}

TEST_F(HubMenu, ARightDoubleClickOnTheTraySuspendsStayOnTopWithoutOpeningTheMenu) {
    SendMessageW(hub().hwnd(), cTray::kCallbackMessage, 1, WM_RBUTTONDBLCLK);
    EXPECT_EQ(timingState().topmostpause, 200);
    EXPECT_TRUE(popups.empty());

    timingState().topmostpause = 0;
    SendMessageW(hub().hwnd(), cTray::kCallbackMessage, 1, WM_RBUTTONUP);
    EXPECT_EQ(timingState().topmostpause, 200);
    EXPECT_EQ(popups, (std::vector<HWND>{hub().hwnd()}));
    SendMessageW(hub().hwnd(), cTray::kCallbackMessage, 1, WM_LBUTTONUP);
    EXPECT_EQ(popups.size(), 1u);
}

TEST_F(HubMenu, OpeningOneAuxiliaryWindowClosesTheOther) {
    hub().menu_two_Click(2);
    EXPECT_TRUE(forms::Settings().loaded());
    EXPECT_EQ(timingState().openform, L"setting");

    hub().menu_other_Click(0);
    EXPECT_FALSE(forms::Settings().loaded());
    EXPECT_TRUE(forms::Frm_data_sum().loaded());
    EXPECT_EQ(timingState().openform, L"Frm_data_sum");

    hub().menu_two_Click(2);
    EXPECT_FALSE(forms::Frm_data_sum().loaded());
    EXPECT_TRUE(forms::Settings().loaded());
}

namespace {

// Runs once, inside the settings dialog's wait for its stage window.
std::function<void()> whileWaiting;
void CALLBACK runWhileWaiting(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    whileWaiting();
}

}  // namespace

// The settings dialog opens its stage window and waits for it inside the click handler of its
// stage icon: what closes the dialog meanwhile closes it, with its stage window, once that
// handler has returned; what shows it again leaves both open.
TEST_F(HubMenu, WhileTheSettingsDialogWaitsForItsStageWindowItsCloseWaitsForTheHandler) {
    settings::Settings& dialog = forms::Settings();
    plans::Frm_offtensetting& stages = forms::Frm_offtensetting();
    const struct {
        const char* name;
        std::function<void()> reenter;
        bool dialogStays, statisticsOpens;
    } cases[] = {
        {"the menu's 设置", [] { hub().menu_two_Click(2); }, true, false},
        {"the menu's 计时统计", [] { hub().menu_other_Click(0); }, false, true},
        {"the dialog's close", [&] { PostMessageW(dialog.hwnd(), WM_CLOSE, 0, 0); }, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        hub().menu_two_Click(2);
        ASSERT_TRUE(dialog.loaded());
        HWND shown = dialog.hwnd();
        whileWaiting = [&] {
            EXPECT_TRUE(stages.loaded());
            EXPECT_FALSE(IsWindowEnabled(shown));
            c.reenter();
            MSG m;
            while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
            EXPECT_TRUE(IsWindow(shown)) << "the dialog went under its handler";
            if (c.dialogStays) stages.Cmd_close_Click();
        };
        SetTimer(nullptr, 0, 0, runWhileWaiting);
        // Clicked through the dialog's own window procedure, as the user's click comes.
        HWND icon = dialog.Ctl(L"Image1").hwnd();
        SendMessageW(shown, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(icon), STN_CLICKED), reinterpret_cast<LPARAM>(icon));
        whileWaiting = nullptr;

        EXPECT_FALSE(stages.loaded());
        EXPECT_EQ(dialog.loaded(), c.dialogStays);
        EXPECT_EQ(IsWindow(shown) != FALSE, c.dialogStays);
        EXPECT_EQ(IsWindowEnabled(shown) != FALSE, c.dialogStays);
        EXPECT_EQ(forms::Frm_data_sum().loaded(), c.statisticsOpens);
        EXPECT_TRUE(messages.empty());
        forms::Frm_data_sum().unload();
        dialog.unload();
    }
}

class HubExit : public HubMenu {
protected:
    void SetUp() override {
        HubMenu::SetUp();
        forms::Frm_process().Form_Load();
        forms::Frm_process_two().Form_Load();
        win::setMessageSink([this](const win::MessageShown& m) {
            messages.push_back(m);
            pauseWhileAsked = timingState().topmostpause;
            return messageAnswer;
        });
    }

    int32_t pauseWhileAsked = -1;
};

TEST_F(HubExit, DecliningLeavesEveryWindowAndRestoresStayOnTop) {
    messageAnswer = IDNO;
    hub().menu_other_Click(3);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, L"确定退出吗？");
    EXPECT_EQ(messages[0].caption, L"提示");
    EXPECT_EQ(messages[0].style, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
    EXPECT_EQ(pauseWhileAsked, 2000);
    EXPECT_EQ(timingState().topmostpause, 0);
    EXPECT_TRUE(hub().loaded());
    EXPECT_TRUE(forms::Frm_process().loaded());
    EXPECT_TRUE(forms::Frm_process_two().loaded());
}

TEST_F(HubExit, ConfirmingUnloadsTheClocksTheBannersAndTheHub) {
    messageAnswer = IDYES;
    hub().menu_other_Click(3);
    EXPECT_FALSE(forms::Frm_process().loaded());
    EXPECT_FALSE(forms::Frm_process_two().loaded());
    EXPECT_FALSE(hub().loaded());
}

// A window dropped or a run ended while another program held TimeData.db or MeetData.db waits
// for the file; whichever way the hub goes, what waited is written before the program ends.
TEST_F(HubExit, EveryWayTheHubGoesWritesAPositionAndARunThatWaitedForTheirFiles) {
    const struct {
        const char* way;
        std::function<void()> go;
    } ways[] = {
        {"the exit item", [] { hub().menu_other_Click(3); }},
        {"a close", [] { SendMessageW(hub().hwnd(), WM_CLOSE, 0, 0); }},
        {"the end of the session", [] { SendMessageW(hub().hwnd(), WM_ENDSESSION, TRUE, 0); }},
    };
    messageAnswer = IDYES;
    writeSettingNumber(L"Time_Record", 1);
    const std::wstring ini = inProgramFolder(kIniFileName);
    std::vector<Row> runs;
    int32_t left = 100;
    for (const auto& w : ways) {
        SCOPED_TRACE(w.way);
        if (!hub().loaded()) hub().Form_Load();
        left += 10;
        TimingState run{};
        run.set_time = L"09:00:00";
        run.use_time = L"10:00:00";
        run.filename = L"第" + std::to_wstring(left) + L"场";
        {
            win::UniqueFile heldIni(CreateFileW(ini.c_str(), GENERIC_READ, 0, nullptr, OPEN_ALWAYS, 0, nullptr));
            win::UniqueFile heldDb(CreateFileW(path().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
            ASSERT_TRUE(heldIni && heldDb);
            savetitlesite(left, 300);
            savetimerecord(run);
        }
        ASSERT_EQ(exec("SELECT filename FROM timesum ORDER BY ID"), runs);  // still waiting
        w.go();
        EXPECT_FALSE(hub().loaded());
        wchar_t text[32] = {};
        GetPrivateProfileStringW(L"clocksite", L"titleleft", L"", text, 32, ini.c_str());
        EXPECT_EQ(std::wstring(text), std::to_wstring(left));
        runs.push_back({run.filename});
        EXPECT_EQ(exec("SELECT filename FROM timesum ORDER BY ID"), runs);
    }
    EXPECT_EQ(messages.size(), 1u);  // the exit question; no record was lost
    // Held through the going, the position is lost, and the going's own box says so.
    for (const auto& w : ways) {
        SCOPED_TRACE(w.way);
        win::cancelProgramEnd();  // the session's end above ended the program
        hub().Form_Load();
        messages.clear();
        win::UniqueFile held(CreateFileW(ini.c_str(), GENERIC_READ, 0, nullptr, OPEN_ALWAYS, 0, nullptr));
        savetitlesite(left + 1, 300);
        w.go();
        ASSERT_FALSE(messages.empty());
        EXPECT_NE(messages.back().text.find(L"有窗口位置未能写入 TimeData.db"), std::wstring::npos);
    }
}

// The exit item while run records still cannot be written: the question names them, and why when
// the cause lasts, and says that they go. No keeps the program, the runs still waiting and written
// once the cause goes, and nothing is told again meanwhile; yes ends it, and no box repeats it.
TEST_F(HubExit, WithRunRecordsUnwrittenTheUserChoosesToKeepTheProgramOpenOrToLetThemGo) {
    const struct {
        Hold hold;
        int answer;
    } cases[] = {{Hold::noSharing, IDNO}, {Hold::writeDenied, IDNO}, {Hold::diskFull, IDYES}, {Hold::noSharing, IDYES}};
    writeSettingNumber(L"Time_Record", 1);
    TimingState run{};
    run.set_time = L"09:00:00";
    run.use_time = L"10:00:00";
    run.filename = L"董事会";
    for (const auto& c : cases) {
        SCOPED_TRACE(testing_support::holdName(c.hold));
        SCOPED_TRACE(c.answer == IDNO ? "no" : "yes");
        win::cancelProgramEnd();
        if (!hub().loaded()) hub().Form_Load();
        ASSERT_TRUE(exec("DELETE FROM timesum"));
        messages.clear();
        messageAnswer = c.answer;
        {
            testing_support::LockedFile lock(path(), c.hold);
            savetimerecord(run);
            hub().menu_other_Click(3);
            // Asked, the cause counts as told: the retries under it say nothing more.
            if (c.answer == IDNO) pumpUntil([] { return false; }, 1300);
        }
        ASSERT_FALSE(messages.empty());
        std::wstring cause = c.hold == Hold::noSharing ? L"" : std::wstring(L"\r\n") + testing_support::toldFor(c.hold);
        EXPECT_EQ(messages[0].text, L"有计时记录未能写入 MeetData.db" + cause + L"\r\n退出将丢失这些记录，确定退出吗？");
        EXPECT_EQ(messages[0].style, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2));
        EXPECT_EQ(hub().loaded(), c.answer == IDNO);
        bool written = pumpUntil([&] { return exec("SELECT filename FROM timesum")->size() == 1; }, 2600);
        EXPECT_EQ(written, c.answer == IDNO);
        EXPECT_EQ(messages.size(), 1u);
    }
}

// The shell forgets every icon when it restarts and then announces a new taskbar.
TEST_F(HubMenu, TheTrayIconComesBackWhenTheShellAnnouncesANewTaskbar) {
    NOTIFYICONDATAW icon{};
    icon.cbSize = sizeof icon;
    icon.hWnd = hub().hwnd();
    icon.uID = 1;
    auto iconShown = [&] {
        icon.uFlags = 0;
        return Shell_NotifyIconW(NIM_MODIFY, &icon) != FALSE;
    };
    ASSERT_TRUE(iconShown());
    ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &icon));
    ASSERT_FALSE(iconShown());

    std::vector<NOTIFYICONDATAW> added;
    setTrayNotifier([&](DWORD message, const NOTIFYICONDATAW& data) {
        if (message == NIM_ADD) added.push_back(data);
        return Shell_NotifyIconW(message, const_cast<NOTIFYICONDATAW*>(&data));
    });
    SendMessageW(hub().hwnd(), RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    setTrayNotifier(nullptr);
    EXPECT_TRUE(iconShown());
    ASSERT_EQ(added.size(), 1u);
    EXPECT_EQ(added[0].hIcon, win::programIcon(SM_CXSMICON));  // no icon.ico in the picture folder
    EXPECT_STREQ(added[0].szTip, win::kProductName);
    EXPECT_EQ(added[0].uCallbackMessage, cTray::kCallbackMessage);
}

namespace {

// The icon's colour image as 32-bit pixels, top row first; empty when there is none.
std::vector<uint32_t> iconPixels(HICON icon) {
    ICONINFO info{};
    if (!icon || !GetIconInfo(icon, &info)) return {};
    win::UniqueBitmap colour(info.hbmColor), mask(info.hbmMask);
    BITMAP bm{};
    if (!colour || !GetObjectW(colour.get(), sizeof bm, &bm)) return {};
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), bm.bmWidth, -bm.bmHeight, 1, 32, BI_RGB};
    std::vector<uint32_t> pixels(static_cast<size_t>(bm.bmWidth) * bm.bmHeight);
    win::WindowDC screen(nullptr);
    int rows = GetDIBits(screen.get(), colour.get(), 0, bm.bmHeight, pixels.data(), &bi, DIB_RGB_COLORS);
    return rows == bm.bmHeight ? pixels : std::vector<uint32_t>{};
}

// A 16 x 16 icon file of one opaque colour (0xRRGGBB).
std::string solidIconFile(uint32_t rgb) {
    std::string bytes;
    auto put = [&](uint32_t v, int n) {
        for (int i = 0; i < n; ++i, v >>= 8) bytes += static_cast<char>(v & 0xFF);
    };
    constexpr uint32_t side = 16, imageBytes = 40 + side * side * 4 + side * 4;
    put(0, 2), put(1, 2), put(1, 2);                                      // one icon
    put(side, 1), put(side, 1), put(0, 2), put(1, 2), put(32, 2), put(imageBytes, 4), put(22, 4);
    put(40, 4), put(side, 4), put(2 * side, 4), put(1, 2), put(32, 2);  // its bitmap, colour and mask
    for (int i = 0; i < 6; ++i) put(0, 4);
    for (uint32_t i = 0; i < side * side; ++i) put(0xFF000000 | rgb, 4);
    for (uint32_t i = 0; i < side; ++i) put(0, 4);  // the mask: every pixel shows
    return bytes;
}

class HubTrayIcon : public HubMenu {
protected:
    // Loads the hub again, as the program starts it, and returns the icon it gave the tray.
    HICON trayIconAtLoad() {
        hub().Form_QueryUnload();
        hub().unload();
        HICON shown = nullptr;
        setTrayNotifier([&](DWORD message, const NOTIFYICONDATAW& data) {
            if (data.uFlags & NIF_ICON) shown = data.hIcon;
            return TRUE;
        });
        hub().Form_Load();
        hub().Timer4.enabled(false);
        setTrayNotifier(nullptr);
        return shown;
    }
};

}  // namespace

TEST_F(HubTrayIcon, TheTrayAndTheDialogsShowTheProgramsOwnIconAndIconIcoReplacesItInTheTray) {
    // The program's own icon, read from the resources this program was built with.
    win::UniqueIcon own(static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(VELMORA_ICON_ID), IMAGE_ICON, 16, 16, 0)));
    std::vector<uint32_t> ownPixels = iconPixels(own.get());
    ASSERT_FALSE(ownPixels.empty());

    std::vector<uint32_t> shown = iconPixels(trayIconAtLoad());
    EXPECT_EQ(shown, ownPixels);
    EXPECT_NE(shown, iconPixels(LoadIconW(nullptr, IDI_APPLICATION)));
    // A window with a caption shows it too.
    hub().menu_two_Click(2);
    ASSERT_TRUE(forms::Settings().loaded());
    EXPECT_EQ(iconPixels(reinterpret_cast<HICON>(GetClassLongPtrW(forms::Settings().hwnd(), GCLP_HICONSM))), ownPixels);

    CreateDirectoryW((folder + L"\\picture").c_str(), nullptr);
    testing_support::writeFile(folder + L"\\picture\\icon.ico", solidIconFile(0xC02020));
    shown = iconPixels(trayIconAtLoad());
    ASSERT_FALSE(shown.empty());
    for (uint32_t pixel : shown) ASSERT_EQ(pixel & 0xFFFFFF, 0xC02020u);
}
