#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <functional>
#include <fstream>
#include <sstream>

#include "app/forms.h"
#include "clocks/time_glass.h"
#include "clocks/time_glasstwo.h"
#include "displays/Frm_process.h"
#include "displays/Frm_time.h"
#include "displays/Frm_title.h"
#include "hub/Frm_exit.h"
#include "settings/Settings.h"
#include "settings/addin_repair.h"
#include "settings/choosers.h"
#include "shell/ini_store.h"
#include "shell/run_records.h"
#include "shell/settings_registry.h"
#include "tests/test_support.h"
#include "win/pump.h"
#include "win/text.h"
#include "win/twips.h"

using namespace shell;

namespace {

// Answers the file and colour choosers as a person would, and counts what was asked.
class PickingChoosers final : public settings::Choosers {
public:
    std::wstring file;
    std::optional<COLORREF> picked;
    std::vector<std::wstring> folders;
    std::vector<HWND> owners;         // of every chooser asked, files and colours
    std::function<void()> whileOpen;  // what the chooser's window does meanwhile
    std::wstring openFile(HWND owner, const std::wstring&, const std::wstring&, const std::wstring& folder) override {
        folders.push_back(folder);
        asked(owner);
        return file;
    }
    std::optional<COLORREF> colour(HWND owner) override {
        asked(owner);
        return picked;
    }

private:
    void asked(HWND owner) {
        owners.push_back(owner);
        if (whileOpen) whileOpen();
    }
};

bool isFree(UINT modifiers, UINT key) {
    win::UniqueWindow w(CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr));
    if (!RegisterHotKey(w.get(), 1, modifiers, key)) return false;
    UnregisterHotKey(w.get(), 1);
    return true;
}

std::string fileBytes(const std::wstring& path) {
    std::ifstream f(std::filesystem::path(path), std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

ClockSetting storedClock() {
    ClockSetting s;
    s.Time_one = 30;
    s.Time_two = 20;
    s.Time_three = 10;
    s.checkvalue = L"111101001111111111111";
    s.optvalue = L"100100100";
    s.tellShowtime = 5;
    s.tellsoundname = L"start.wav\\a1.wav\\a2.mp3\\a3.wav\\Stop.wav";
    s.tellprocesstext = L"你的汇报";
    s.tellShowtext = L"休息";
    s.clockFont = L"No Such Face";
    s.Fontselect = L"1060605";
    s.picturename = L"\\0";
    return s;
}

class SettingsDialog : public testing_support::HubTest {
protected:
    void SetUp() override {
        HubTest::SetUp();
        settings::setChoosers(&pick);
    }
    void TearDown() override {
        settings::setChoosers(nullptr);
        HubTest::TearDown();
    }

    static hub::Frm_exit& hub() { return forms::Frm_exit(); }
    static settings::Settings& dlg() { return forms::Settings(); }
    static win::Control& ctl(const wchar_t* name, int index = 0) { return dlg().Ctl(name, index); }
    void open() {
        hub().menu_two_Click(2);  // the tray menu's "设置"
        ASSERT_TRUE(dlg().loaded());
        messages.clear();
    }
    std::wstring ini() const { return folder + L"\\TimeData.db"; }

    PickingChoosers pick;
};

}  // namespace

TEST_F(SettingsDialog, LoadShowsWhatIsStoredWithTheEdgeCasesOfOldValues) {
    savesetting(storedClock());
    iniWrite(kHotkeySection, L"hide", L"  Ctrl+F5 ");
    iniWrite(kHotkeySection, L"add", L"12");
    open();

    EXPECT_EQ(dlg().caption(), L"设置");
    for (int k = 2; k <= 4; ++k) EXPECT_EQ(ctl(L"Check2", k).value(), 1);
    EXPECT_EQ(ctl(L"Check1", 0).value(), 1);
    EXPECT_EQ(ctl(L"Check1", 1).value(), 0);
    EXPECT_EQ(ctl(L"Check1", 2).value(), 1);
    EXPECT_EQ(ctl(L"Check1", 3).value(), 0);
    for (int i = 0; i <= 8; ++i) EXPECT_EQ(ctl(L"Check3", i).value(), 1) << i;
    for (int i = 1; i <= 4; ++i) EXPECT_EQ(ctl(L"Check4", i).value(), 1) << i;
    EXPECT_EQ(ctl(L"Option1", 0).value(), 1);
    EXPECT_EQ(ctl(L"Option2", 1).value(), 1);
    EXPECT_EQ(ctl(L"Option2", 2).value(), 0);
    EXPECT_EQ(ctl(L"Combo2").text(), L"40");
    EXPECT_EQ(ctl(L"Combo3").text(), L"浅绿");
    EXPECT_EQ(ctl(L"Combo4").text(), L"10");
    EXPECT_EQ(ctl(L"Combo1").text(), L"Trebuchet MS");  // the stored face is not in the list
    int trebuchets = 0;
    for (int i = 0; i < ctl(L"Combo1").listCount(); ++i) {
        trebuchets += ctl(L"Combo1").item(i) == L"Trebuchet MS";
        EXPECT_EQ(ctl(L"Combo1").item(i).find(L'@'), std::wstring::npos);
    }
    EXPECT_EQ(trebuchets, 1);  // no font folder: the system's faces
    EXPECT_EQ(ctl(L"Text1", 4).text(), L"");
    EXPECT_EQ(ctl(L"Text1", 4).backColour(), 0u);
    EXPECT_EQ(ctl(L"Text1", 2).text(), L"a2.mp3");
    EXPECT_EQ(ctl(L"Text2", 4).text(), L"30");
    EXPECT_EQ(ctl(L"VScrol1", 4).value(), 9970);  // the field's change moved its spin bar
    EXPECT_EQ(ctl(L"Text2", 7).text(), L"12");
    EXPECT_EQ(ctl(L"Text2", 8).text(), L"5");
    EXPECT_EQ(ctl(L"Text3", 0).text(), L"Ctrl+F5");
    EXPECT_EQ(ctl(L"Check5", 0).value(), 0);  // no key often
    EXPECT_EQ(ctl(L"Check5", 1).value(), 0);
    EXPECT_EQ(ctl(L"Combo5").listIndex(), -1);
    EXPECT_EQ(dlg().selectedTab(), 1);
    EXPECT_TRUE(ctl(L"Frame1").visible());
    EXPECT_FALSE(ctl(L"Text3", 0).visible());
    EXPECT_TRUE(messages.empty());
}

TEST_F(SettingsDialog, LaterOptionWinsAndTheShippedFacesListWhenTheFontFolderHasThem) {
    ClockSetting s = storedClock();
    s.optvalue = L"01001";
    s.clockFont = L"黑体";
    savesetting(s);
    CreateDirectoryW((folder + L"\\font").c_str(), nullptr);
    testing_support::writeFile(folder + L"\\font\\Arial Black.ttf", "x");
    iniWrite(kHotkeySection, L"often", L"01");
    open();
    EXPECT_EQ(ctl(L"Option1", 1).value(), 1);
    EXPECT_EQ(ctl(L"Option1", 0).value(), 0);
    EXPECT_EQ(ctl(L"Option2", 2).value(), 1);
    EXPECT_EQ(ctl(L"Combo1").listCount(), 7);
    EXPECT_EQ(ctl(L"Combo1").text(), L"黑体");
    EXPECT_EQ(ctl(L"Check5", 1).value(), 1);
}

TEST_F(SettingsDialog, ApplyStoresTheDialogRegistersHotkeysAndRestartsTheRun) {
    savesetting(storedClock());
    open();
    ctl(L"Text2", 4).setText(L"50");
    ctl(L"Check1", 1).click();      // "占位备用"
    ctl(L"Option1", 1).click();     // "正计时"
    ctl(L"Text3", 0).setText(L"Ctrl+Alt+F5");
    ctl(L"Check5", 1).click();      // Alt: Ctrl goes off
    ctl(L"Text2", 7).setText(L"15");
    ctl(L"Text4", 1).setText(L"茶歇");
    forms::time_glass().Timer1.enabled(true);
    ctl(L"Command1").click();

    EXPECT_TRUE(messages.empty());
    ClockSetting stored;
    readsetting(stored);
    EXPECT_EQ(stored.Time_one, 50);
    EXPECT_EQ(stored.checkvalue, L"111111001111111111111");
    EXPECT_EQ(stored.optvalue, L"01010");
    EXPECT_EQ(stored.Fontselect, L"1060605");
    EXPECT_EQ(stored.picturename, L"\\0");
    EXPECT_EQ(stored.tellsoundname, L"start.wav\\a1.wav\\a2.mp3\\a3.wav");
    EXPECT_EQ(stored.tellShowtext, L"茶歇");
    EXPECT_EQ(clockSetting().Time_one, 50);
    EXPECT_EQ(timingState().soundlist, stored.tellsoundname);
    EXPECT_NE(fileBytes(ini()).find("add=15\r\nhide=Ctrl+Alt+F5\r\noften=01\r\n"), std::string::npos) << fileBytes(ini());
    EXPECT_FALSE(isFree(MOD_CONTROL | MOD_ALT, VK_F5));
    EXPECT_FALSE(forms::time_glass().Timer1.enabled());
    EXPECT_TRUE(forms::time_glass().Timer5.enabled());
    EXPECT_TRUE(dlg().loaded());
    forms::time_glass().Timer5.enabled(false);
}

TEST_F(SettingsDialog, FailedChecksShowEveryBoxAndStoreNothing) {
    savesetting(storedClock());
    open();
    ctl(L"Text2", 4).setText(L"30");
    ctl(L"Text2", 5).setText(L"25");
    ctl(L"Text2", 6).setText(L"20");
    ctl(L"Text4", 1).setText(L"不该保存");
    ctl(L"Command1").click();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1].text, L"报警2要比\r\r报警3\r\r多10秒以上，请修改后再保存");
    EXPECT_EQ(messages[1].timeoutMs, 1300u);
    ClockSetting stored;
    readsetting(stored);
    EXPECT_EQ(stored.Time_two, 20);
    EXPECT_EQ(stored.tellShowtext, L"休息");
    EXPECT_FALSE(forms::time_glass().Timer5.enabled());
}

TEST_F(SettingsDialog, TitleTargetStoresOnlyItsLookAndBringsTheTitleBack) {
    savesetting(storedClock());
    open();
    clockSetting().checkvalue = L"000000000000000000000";
    ctl(L"Combo5").setListIndex(0);  // "标题": no INI file, the defaults
    EXPECT_EQ(ctl(L"Combo1").text(), L"Trebuchet MS");
    EXPECT_EQ(ctl(L"Combo2").listIndex(), 9);
    EXPECT_EQ(ctl(L"Combo3").listIndex(), 4);
    EXPECT_EQ(ctl(L"Check1", 3).value(), 1);
    EXPECT_FALSE(ctl(L"Check1", 3).enabled());
    ctl(L"Combo2").setListIndex(12);
    ctl(L"Text2", 4).setText(L"20");  // equal to alarm 2: not checked in this mode
    forms::Frm_title().Timer3.enabled(false);
    ctl(L"Command1").click();
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(iniRead(kHotkeySection, L"titleselect", L""), L"12\\4");
    EXPECT_EQ(iniRead(kHotkeySection, L"titleFont", L""), L"Trebuchet MS");
    EXPECT_TRUE(forms::Frm_title().Timer3.enabled());
    EXPECT_EQ(clockSetting().checkvalue.substr(0, 4), L"0001");
    ClockSetting stored;
    readsetting(stored);
    EXPECT_EQ(stored.Time_one, 30);
    forms::Frm_title().Timer3.enabled(false);

    // Transparent: no picture controls. The clock target unticks it and brings its picture back.
    EXPECT_FALSE(ctl(L"Text1", 4).visible());
    EXPECT_FALSE(ctl(L"Combo4").visible());
    clockSetting().picturename = L"sky.jpg\\255";
    ctl(L"Combo5").setListIndex(3);
    EXPECT_EQ(ctl(L"Check1", 3).value(), 0);
    EXPECT_TRUE(ctl(L"Text1", 4).visible());
    EXPECT_EQ(ctl(L"Text1", 4).text(), L"sky.jpg");
    EXPECT_EQ(ctl(L"Text1", 4).backColour(), 255u);
}

TEST_F(SettingsDialog, KeysReachTheHotkeyBoxThroughItsOwnWindow) {
    open();
    HWND box = ctl(L"Text3", 0).hwnd();
    struct Press {
        std::vector<int> held;
        UINT down, up;
        int key;
        std::wstring text;
    };
    const Press presses[] = {
        {{VK_CONTROL, VK_MENU}, WM_SYSKEYDOWN, WM_SYSKEYUP, VK_F5, L"Ctrl+Alt+F5"},
        {{VK_SHIFT}, WM_KEYDOWN, WM_KEYUP, 'A', L"A"},
        {{VK_CONTROL}, WM_KEYDOWN, WM_KEYUP, VK_CONTROL, L"无"},
        {{}, WM_KEYDOWN, WM_KEYUP, VK_DELETE, L"无"},
    };
    for (const auto& p : presses) {
        BYTE state[256] = {};
        for (int k : p.held) state[k] = 0x80;
        SetKeyboardState(state);
        SendMessageW(box, p.down, static_cast<WPARAM>(p.key), 0);
        SendMessageW(box, p.up, static_cast<WPARAM>(p.key), 0);
        EXPECT_EQ(ctl(L"Text3", 0).text(), p.text);
    }
    BYTE none[256] = {};
    SetKeyboardState(none);
}

TEST_F(SettingsDialog, NumericBoxesTakeDigitsOnlyTypedOrPasted) {
    open();
    HWND box = ctl(L"Text2", 5).hwnd();
    SendMessageW(box, EM_SETSEL, 0, -1);
    for (wchar_t c : std::wstring(L"4x5")) SendMessageW(box, WM_CHAR, c, 0);
    EXPECT_EQ(ctl(L"Text2", 5).text(), L"45");
    ASSERT_TRUE(OpenClipboard(box));
    EmptyClipboard();
    const wchar_t pasted[] = L"1a";
    HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE, sizeof pasted);
    memcpy(GlobalLock(data), pasted, sizeof pasted);
    GlobalUnlock(data);
    SetClipboardData(CF_UNICODETEXT, data);
    CloseClipboard();
    SendMessageW(box, WM_PASTE, 0, 0);
    EXPECT_EQ(ctl(L"Text2", 5).text(), L"451");
    ctl(L"Text2", 5).setText(L"10000");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, L"取值范围1-9999秒之间");
    EXPECT_EQ(ctl(L"Text2", 5).text(), L"60");
    ctl(L"VScrol1", 8).setValue(27);
    EXPECT_EQ(ctl(L"Text2", 8).text(), L"3");
}

TEST_F(SettingsDialog, SecondScreenSwitchPlacesTheClockAndTheBarsMoveIt) {
    open();
    const int w = screenShared().screenwidth * win::twipsPerPixelX();
    writeSettingNumber(L"clocklefttwo", w + 3000);
    ctl(L"Check1", 4).click();
    EXPECT_EQ(readSettingNumber(L"second_screen"), 1);
    EXPECT_EQ(ctl(L"HScroll1").value(), 150);
    EXPECT_TRUE(ctl(L"HScroll1").visible());
    EXPECT_EQ(forms::time_glasstwo().Left(), w + 3000);
    ctl(L"VScroll1").setValue(15);
    EXPECT_EQ(forms::time_glasstwo().Top(), 600);
    EXPECT_EQ(readWindowPosition(kClockSiteTwo).top, 600);
    ctl(L"Check1", 4).click();
    EXPECT_EQ(readSettingNumber(L"second_screen"), 0);
    EXPECT_FALSE(ctl(L"VScroll1").visible());
    EXPECT_LT(forms::time_glasstwo().Top(), 0);
}

TEST_F(SettingsDialog, OtherTabSelectsTheStoredTimeMethodAndAChoiceIsStoredAtOnce) {
    const std::pair<int, int> cases[] = {{2, 2}, {5, -1}};
    for (auto [stored, shown] : cases) {
        writeSettingNumber(L"clockmode", stored);
        open();
        ctl(L"Lab_Tab", 2).click();
        EXPECT_EQ(dlg().selectedTab(), 2);
        EXPECT_TRUE(ctl(L"Combo9").visible());
        EXPECT_FALSE(ctl(L"Frame1").visible());
        EXPECT_EQ(dlg().tabPicture(2), settings::TabPicture::Selected);
        EXPECT_EQ(ctl(L"Combo9").listIndex(), shown);
        dlg().Image2_MouseMove(1);
        EXPECT_EQ(dlg().tabPicture(1), settings::TabPicture::Hovered);
        dlg().Form_MouseMove();
        EXPECT_EQ(dlg().tabPicture(1), settings::TabPicture::Normal);
        ctl(L"Combo9").setListIndex(1);
        ctl(L"Command2").click();
        EXPECT_FALSE(dlg().loaded());
        EXPECT_EQ(readSettingNumber(L"clockmode"), 1);
    }
}

TEST_F(SettingsDialog, ChosenFilesAreCopiedOnceAndBadSoundNamesAreRefused) {
    open();
    std::wstring elsewhere = testing_support::makeTempFolder();
    testing_support::writeFile(elsewhere + L"\\Bell.MP3", "new");
    CreateDirectoryW((folder + L"\\sounds").c_str(), nullptr);
    testing_support::writeFile(folder + L"\\sounds\\Bell.MP3", "old");
    pick.file = elsewhere + L"\\Bell.MP3";
    ctl(L"Text1", 1).click();
    EXPECT_EQ(ctl(L"Text1", 1).text(), L"Bell.MP3");
    EXPECT_EQ(fileBytes(folder + L"\\sounds\\Bell.MP3"), "old");  // never replaced

    testing_support::writeFile(elsewhere + L"\\sky.jpg", "jpg");
    pick.file = elsewhere + L"\\sky.jpg";
    ctl(L"Command3").click();
    EXPECT_EQ(ctl(L"Text1", 4).text(), L"sky.jpg");
    EXPECT_EQ(ctl(L"Text1", 4).backColour(), 0x80000005u);
    EXPECT_EQ(fileBytes(folder + L"\\picture\\sky.jpg"), "jpg");
    pick.picked = RGB(1, 2, 3);
    ctl(L"Text1", 4).click();
    EXPECT_EQ(ctl(L"Text1", 4).text(), L"");
    EXPECT_EQ(ctl(L"Text1", 4).backColour(), RGB(1, 2, 3));
    pick.file.clear();
    ctl(L"Command3").click();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, L"没有加载图片");

    ctl(L"Text1", 2).setText(L"notes.txt");
    SendMessageW(dlg().hwnd(), WM_COMMAND, MAKEWPARAM(0, EN_KILLFOCUS), reinterpret_cast<LPARAM>(ctl(L"Text1", 2).hwnd()));
    EXPECT_EQ(messages.back().text, L"仅支持wav和mp3格式文件");
    EXPECT_EQ(ctl(L"Text1", 2).text(), L"");
    testing_support::removeTree(elsewhere);
}

TEST_F(SettingsDialog, TabMovesOnAndEscClosesThroughTheProgramsMessageHandling) {
    open();
    HWND first = ctl(L"Text2", 4).hwnd();
    SetFocus(first);
    ASSERT_EQ(GetFocus(), first);
    auto press = [](HWND target, WPARAM key) {
        MSG m{target, WM_KEYDOWN, key, 0};
        win::dispatch(m);
    };
    press(first, VK_TAB);
    EXPECT_NE(GetFocus(), first);
    EXPECT_TRUE(IsChild(dlg().hwnd(), GetFocus()));
    press(GetFocus(), VK_ESCAPE);
    EXPECT_FALSE(dlg().loaded());
}

TEST_F(SettingsDialog, FilesThatCannotBeCopiedLeaveTheBoxesAsTheyWereAndSaySo) {
    ClockSetting s = storedClock();
    s.picturename = L"old.jpg\\255";
    savesetting(s);
    open();
    std::wstring elsewhere = testing_support::makeTempFolder();
    testing_support::writeFile(elsewhere + L"\\Bell.wav", "wav");
    testing_support::writeFile(elsewhere + L"\\sky.jpg", "jpg");
    for (const wchar_t* inTheWay : {L"\\sounds", L"\\picture"}) testing_support::writeFile(folder + inTheWay, "a file");

    pick.file = elsewhere + L"\\Bell.wav";
    ctl(L"Text1", 1).click();
    pick.file = elsewhere + L"\\sky.jpg";
    ctl(L"Command3").click();

    EXPECT_EQ(ctl(L"Text1", 1).text(), L"a1.wav");
    EXPECT_EQ(ctl(L"Text1", 4).text(), L"old.jpg");
    EXPECT_EQ(ctl(L"Text1", 4).backColour(), 255u);
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_NE(messages[0].text.find(L"Bell.wav"), std::wstring::npos);
    EXPECT_NE(messages[1].text.find(L"sky.jpg"), std::wstring::npos);
    testing_support::removeTree(elsewhere);
}

TEST_F(SettingsDialog, OpeningTheChooserIsNotLeavingTheSoundBox) {
    open();
    win::Control& box = ctl(L"Text1", 1);
    box.setText(L"alarm.txt");
    SetFocus(box.hwnd());
    pick.whileOpen = [] {
        win::UniqueWindow chooser(CreateWindowExW(0, L"EDIT", L"", WS_POPUP | WS_VISIBLE, 0, 0, 9, 9, dlg().hwnd(),
                                                  nullptr, nullptr, nullptr));
        SetFocus(chooser.get());
        ASSERT_EQ(GetFocus(), chooser.get());
    };
    box.click();  // cancelled
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(box.text(), L"alarm.txt");

    SetFocus(box.hwnd());
    SetFocus(ctl(L"Text2", 4).hwnd());  // the user leaves the box
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, L"仅支持wav和mp3格式文件");
    EXPECT_EQ(box.text(), L"");
}

// A double click queued on a chooser's box or button, the dialog closed while the chooser is open:
// one chooser, owned by the dialog, and what was picked in it is taken by no dialog.
TEST_F(SettingsDialog, AChooserIsTheDialogsBoxOneClickOneChooserNothingTakenOnceTheDialogWent) {
    std::wstring elsewhere = testing_support::makeTempFolder();
    testing_support::writeFile(elsewhere + L"\\Bell.wav", "wav");
    testing_support::writeFile(elsewhere + L"\\sky.jpg", "jpg");
    const std::vector<UINT> doubleClick{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP};
    struct Case {
        const char* name;
        const wchar_t* control;
        int index;
        std::vector<UINT> clicks;
        const wchar_t* copiedTo;  // where a file taken would be copied
    } cases[] = {
        {"a sound box", L"Text1", 0, doubleClick, L"\\sounds\\Bell.wav"},
        {"the background box's colour", L"Text1", 4, doubleClick, nullptr},
        {"the picture button", L"Command3", 0, {BM_CLICK, BM_CLICK}, L"\\picture\\sky.jpg"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        open();
        HWND dialog = dlg().hwnd();
        long missing = win::missingControls();
        pick.owners.clear();
        pick.file = elsewhere + (c.control == std::wstring(L"Command3") ? L"\\sky.jpg" : L"\\Bell.wav");
        pick.picked = RGB(1, 2, 3);
        pick.whileOpen = [&] {
            win::doEvents();  // the second click
            PostMessageW(dialog, WM_CLOSE, 0, 0);
            win::doEvents();
            EXPECT_TRUE(IsWindow(dialog)) << "the dialog went from under its chooser";
        };
        HWND target = ctl(c.control, c.index).hwnd();
        for (UINT msg : c.clicks) PostMessageW(target, msg, msg == WM_LBUTTONDOWN || msg == WM_LBUTTONDBLCLK ? MK_LBUTTON : 0, 0);
        win::doEvents();
        pick.whileOpen = nullptr;
        EXPECT_EQ(pick.owners, std::vector<HWND>{dialog});
        EXPECT_FALSE(dlg().loaded());
        EXPECT_FALSE(IsWindow(dialog));
        if (c.copiedTo) {
            EXPECT_EQ(GetFileAttributesW((folder + c.copiedTo).c_str()), INVALID_FILE_ATTRIBUTES) << "taken";
        }
        EXPECT_EQ(win::missingControls(), missing) << "a handler went on after its dialog had gone";
    }
    testing_support::removeTree(elsewhere);
}

TEST_F(SettingsDialog, NegativeStoredNumbersAreOutOfRangeAndNeverStoredBack) {
    ClockSetting s = storedClock();
    s.Time_three = -1;  // 0xFFFFFFFF in the registry
    savesetting(s);
    iniWrite(kHotkeySection, L"add", L"-5");
    hub().menu_two_Click(2);
    EXPECT_EQ(ctl(L"Text2", 6).text(), L"60");
    EXPECT_EQ(ctl(L"Text2", 7).text(), L"30");
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].text, L"取值范围1-9999秒之间");
    EXPECT_EQ(messages[1].text, L"取值范围0-100秒之间");

    ctl(L"Text2", 6).setText(L"10");
    ctl(L"Command1").click();
    EXPECT_EQ(iniRead(kHotkeySection, L"add", L""), L"30");
    forms::time_glass().Timer5.enabled(false);
}

TEST_F(SettingsDialog, ApplyWithAnUnwritableIniNamesWhatWasNotSavedAndShowsWhatIsStored) {
    savesetting(storedClock());
    iniWrite(kHotkeySection, L"hide", L"Ctrl+F5");
    iniWrite(kHotkeySection, L"add", L"12");
    open();
    ctl(L"Text3", 0).setText(L"Ctrl+Alt+A");
    ctl(L"Text2", 4).setText(L"50");
    {
        // Another program holds the file: it can be read, not replaced.
        win::UniqueFile held(CreateFileW(ini().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(held);
        ctl(L"Command1").click();
    }

    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].text.find(L"隐藏/显示"), std::wstring::npos);
    EXPECT_EQ(messages[0].text.find(L"副屏字号大"), std::wstring::npos);  // unchanged: nothing lost
    EXPECT_EQ(ctl(L"Text3", 0).text(), L"Ctrl+F5");
    EXPECT_EQ(iniRead(kHotkeySection, L"hide", L""), L"Ctrl+F5");
    EXPECT_FALSE(isFree(MOD_CONTROL, VK_F5));
    EXPECT_TRUE(isFree(MOD_CONTROL | MOD_ALT, 'A'));
    ClockSetting stored;
    readsetting(stored);
    EXPECT_EQ(stored.Time_one, 50);  // the registry took the rest
    forms::time_glass().Timer5.enabled(false);
}

// A list that cannot show its stored index shows the first run's look, so Apply stores a look the
// user saw: never a clock with lists left empty (10 points, black, square corners).
TEST_F(SettingsDialog, LookListsThatCannotShowTheStoredIndexShowTheFirstRunsAndApplyStoresThat) {
    struct Case {
        const wchar_t* fontselect;  // nothing: the value is missing
        const wchar_t *size, *colour, *corner;
        const wchar_t* applied;
    };
    const Case cases[] = {
        {nullptr, L"40", L"浅绿", L"10", L"1060605"},
        {L"", L"40", L"浅绿", L"10", L"1060605"},
        {L"1391711", L"40", L"浅绿", L"10", L"1060605"},  // each one past its list
        {L"1011705", L"15", L"浅绿", L"10", L"1010605"},  // only the colour
        {L"1ab0203", L"40", L"紫红", L"6", L"1060203"},   // only the size, not digits
        {L"10201", L"20", L"深红", L"10", L"1020105"},     // too short for a corner
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fontselect ? c.fontselect : L"missing");
        ClockSetting s = storedClock();
        if (c.fontselect) s.Fontselect = c.fontselect;
        savesetting(s);
        if (!c.fontselect) regDeleteValue(HKEY_CURRENT_USER, kSettingsKey, L"Fontselect");
        open();
        EXPECT_EQ(ctl(L"Combo2").text(), c.size);
        EXPECT_EQ(ctl(L"Combo3").text(), c.colour);
        EXPECT_EQ(ctl(L"Combo4").text(), c.corner);
        ctl(L"Command1").click();
        EXPECT_TRUE(messages.empty());
        ClockSetting stored;
        readsetting(stored);
        EXPECT_EQ(stored.Fontselect, c.applied);
        forms::time_glass().Timer5.enabled(false);
        ctl(L"Command2").click();
    }

    // The looks of the floating windows: the readers' defaults.
    iniWrite(kHotkeySection, L"titleselect", L"99\\40");
    iniWrite(kHotkeySection, L"processFontSize", L"77");
    open();
    ctl(L"Combo5").setListIndex(0);
    EXPECT_EQ(ctl(L"Combo2").text(), L"55");
    EXPECT_EQ(ctl(L"Combo3").text(), L"黄色");
    ctl(L"Combo5").setListIndex(2);
    EXPECT_EQ(ctl(L"Combo2").text(), L"35");
    for (auto* w : {&forms::Frm_title().Timer3, &forms::Frm_process().Timer3}) w->enabled(false);
}

// The stored sound list joins its names with "\": a name with a folder would move every later
// sound one place. Refused with a box, typed or applied with Enter, and the box keeps its name.
TEST_F(SettingsDialog, ASoundNameWithAFolderIsRefusedAndTheBoxKeepsItsName) {
    savesetting(storedClock());
    open();
    auto leave = [](int box) {
        SendMessageW(dlg().hwnd(), WM_COMMAND, MAKEWPARAM(0, EN_KILLFOCUS), reinterpret_cast<LPARAM>(ctl(L"Text1", box).hwnd()));
    };
    ctl(L"Text1", 1).setText(L"bell.wav");
    leave(1);
    for (const wchar_t* typed : {L"x\\y.wav", L"sub/y.mp3", L"x\\"}) {
        SCOPED_TRACE(typed);
        messages.clear();
        ctl(L"Text1", 1).setText(typed);
        leave(1);
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0].text, L"声音文件名不能包含\\或/");
        EXPECT_EQ(messages[0].timeoutMs, 1000u);
        EXPECT_EQ(ctl(L"Text1", 1).text(), L"bell.wav");
    }

    messages.clear();
    ctl(L"Text1", 2).setText(L"x\\y.wav");
    ctl(L"Command1").click();  // as Enter: the box is not left
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(ctl(L"Text1", 2).text(), L"a2.mp3");
    ClockSetting stored;
    readsetting(stored);
    EXPECT_EQ(stored.tellsoundname, L"start.wav\\bell.wav\\a2.mp3\\a3.wav");
    forms::time_glass().Timer5.enabled(false);
}

// A window's look goes to TimeData.db in one replace; when the file cannot be written the user
// is told, as for the hotkey keys.
TEST_F(SettingsDialog, AWindowLookThatCannotBeWrittenIsReported) {
    const std::pair<int, const wchar_t*> targets[] = {{0, L"标题外观"}, {1, L"系统时间外观"}, {2, L"提示文本外观"}};
    iniWrite(kHotkeySection, L"add", L"12");
    open();
    for (auto [target, caption] : targets) {
        SCOPED_TRACE(caption);
        const std::string before = fileBytes(ini());
        ctl(L"Combo5").setListIndex(target);
        ctl(L"Combo2").setListIndex(12);
        messages.clear();
        {
            win::UniqueFile held(CreateFileW(ini().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
            ASSERT_TRUE(held);
            ctl(L"Command1").click();
        }
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0].text, std::wstring(L"TimeData.db无法写入，以下设置没有保存：") + caption);
        EXPECT_EQ(fileBytes(ini()), before);
    }
    for (auto* w : {&forms::Frm_title().Timer3, &forms::Frm_time().Timer3, &forms::Frm_process().Timer3}) w->enabled(false);
}

// A value the loading reset (its range box shown then) was not saved either: one box names it
// with the rest, and the box shows what is in effect without a second range box.
TEST_F(SettingsDialog, AnUnwritableIniNamesAResetValueInOneBoxAndShowsNoSecondRangeBox) {
    savesetting(storedClock());
    iniWrite(kHotkeySection, L"add", L"-5");
    open();  // "取值范围0-100秒之间", the box reset to 30
    ASSERT_EQ(ctl(L"Text2", 7).text(), L"30");
    ctl(L"Text3", 0).setText(L"Ctrl+Alt+A");
    {
        win::UniqueFile held(CreateFileW(ini().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(held);
        ctl(L"Command1").click();
    }
    ASSERT_EQ(messages.size(), 1u) << (messages.empty() ? "" : win::toUtf8(messages.back().text));
    EXPECT_EQ(messages[0].text, L"TimeData.db无法写入，以下设置没有保存：副屏字号大、隐藏/显示");
    EXPECT_EQ(ctl(L"Text2", 7).text(), L"0");  // what the second screen uses now
    EXPECT_EQ(iniRead(kHotkeySection, L"add", L""), L"-5");
    forms::time_glass().Timer5.enabled(false);
}

// The repair's own steps are tested apart; here the dialog's button: settings gone, the notice
// waited for, the closing box shown long.
TEST_F(SettingsDialog, RepairButtonDeletesTheSettingsAndReportsTheRepair) {
    // A Windows folder of the test's own with the system files in place: what Wine's folders hold
    // differs between a 32-bit and a 64-bit prefix, and the steps are not what is tested here.
    class Quiet final : public settings::RepairSystem {
    public:
        explicit Quiet(std::wstring windows) : windows_(std::move(windows)) {}
        std::wstring windowsFolder() override { return windows_; }
        std::wstring systemFolder() override { return windows_ + L"\\system32"; }
        bool runCommand(const std::wstring&) override { return true; }
        bool scriptWrite(const std::wstring&, const shell::RegValue&) override { return true; }
        bool scriptDelete(const std::wstring&) override { return true; }

    private:
        std::wstring windows_;
    } quiet(folder + L"\\windows");
    CreateDirectoryW(quiet.windowsFolder().c_str(), nullptr);
    CreateDirectoryW(quiet.systemFolder().c_str(), nullptr);
    for (const wchar_t* name : {L"scrrun.dll", L"user32.dll"}) testing_support::writeFile(quiet.systemFolder() + L"\\" + name, "x");
    settings::setRepairSystem(&quiet);
    savesetting(storedClock());
    open();
    ctl(L"Command5").click();
    settings::setRepairSystem(nullptr);
    EXPECT_FALSE(regReadValue(HKEY_CURRENT_USER, kSettingsKey, L"Time_one"));
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].text, settings::kRepairNotice);
    EXPECT_EQ(messages[0].timeoutMs, 0u);
    EXPECT_EQ(messages[1].text.substr(0, 4), L"修复成功");
    EXPECT_EQ(messages[1].timeoutMs, 8000u);
}
