#include <gtest/gtest.h>
#include <windows.h>

#include <initializer_list>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "shell/tray.h"

using namespace shell;

TEST(TrayTextField, ALongTextIsCutOneShortOfTheFieldSoItKeepsItsNul) {
    wchar_t field[8];
    std::fill(std::begin(field), std::end(field), L'x');
    fillTextField(field, std::size(field), L"0123456789");
    EXPECT_EQ(std::wstring(field, std::size(field)), std::wstring(L"0123456\0", 8));
    fillTextField(field, std::size(field), L"ab");
    EXPECT_EQ(std::wstring(field, std::size(field)), std::wstring(L"ab\0\0\0\0\0\0", 8));
}

TEST(TrayNotifications, ButtonUpsAndDoubleClicksRaiseOneEventEachAndButtonDownsNone) {
    cTray tray;
    std::vector<std::pair<int, bool>> clicks;
    std::vector<bool> balloons;
    tray.MouseClick = [&](int button, bool dbClick) { clicks.emplace_back(button, dbClick); };
    tray.TrayMsgBoxClick = [&](bool closeClick) { balloons.push_back(closeClick); };
    for (UINT message : std::initializer_list<UINT>{
             WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP, WM_RBUTTONDOWN, WM_RBUTTONUP,
             WM_RBUTTONDBLCLK, WM_MBUTTONDOWN, WM_MBUTTONUP, WM_MBUTTONDBLCLK, WM_USER + 2, WM_USER + 4, WM_USER + 5}) {
        tray.onNotify(message);
    }
    std::vector<std::pair<int, bool>> expected{{1, false}, {1, true}, {1, false}, {2, false},
                                               {2, true},  {4, false}, {4, true}};
    EXPECT_EQ(clicks, expected);
    EXPECT_EQ(balloons, (std::vector<bool>{true, false}));  // closed by its time-out, clicked
}

class TrayRecords : public ::testing::Test {
protected:
    void SetUp() override {
        setTrayNotifier([this](DWORD message, const NOTIFYICONDATAW& data) {
            sent.emplace_back(message, data);
            return TRUE;
        });
    }
    void TearDown() override { setTrayNotifier(nullptr); }

    std::vector<std::pair<DWORD, NOTIFYICONDATAW>> sent;
};

TEST_F(TrayRecords, ABalloonKeepsTheIconAndTipAndShowsItsIconOnlyWithATitle) {
    HICON icon = LoadIconW(nullptr, IDI_APPLICATION);
    {
        cTray tray;
        tray.AddTrayIcon(GetDesktopWindow());
        tray.SetTrayIcon(icon);
        tray.SetTrayTip(L"Kelvane");
        tray.SetTrayMsgbox(L"  提示  ", NIIF_INFO, L"", 2000);
        tray.SetTrayMsgbox(L"  提示  ", NIIF_INFO, L"Kelvane", 2000);
        tray.DelTrayIcon();
    }
    std::vector<DWORD> calls;
    for (const auto& [message, data] : sent) calls.push_back(message);
    // The icon is removed once, not again when the tray object goes.
    EXPECT_EQ(calls, (std::vector<DWORD>{NIM_ADD, NIM_MODIFY, NIM_MODIFY, NIM_MODIFY, NIM_MODIFY, NIM_DELETE}));
    ASSERT_EQ(sent.size(), 6u);
    const NOTIFYICONDATAW& untitled = sent[3].second;
    EXPECT_EQ(untitled.uFlags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_INFO));
    EXPECT_EQ(untitled.hIcon, icon);
    EXPECT_STREQ(untitled.szTip, L"Kelvane");
    EXPECT_STREQ(untitled.szInfo, L"  提示  ");
    EXPECT_EQ(untitled.dwInfoFlags, 0u);
    EXPECT_EQ(sent[4].second.dwInfoFlags, static_cast<DWORD>(NIIF_INFO));
}

TEST_F(TrayRecords, ANewTaskbarBringsBackOnlyAnIconThatIsShown) {
    cTray tray;
    tray.RestoreTrayIcon();  // not added yet
    tray.AddTrayIcon(GetDesktopWindow());
    tray.RestoreTrayIcon();
    tray.DelTrayIcon();
    tray.RestoreTrayIcon();  // removed by the program
    std::vector<DWORD> calls;
    for (const auto& [message, data] : sent) calls.push_back(message);
    EXPECT_EQ(calls, (std::vector<DWORD>{NIM_ADD, NIM_ADD, NIM_DELETE}));
}
