#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <optional>

#include "app/forms.h"
#include "hub/Frm_exit.h"
#include "shell/hotkey_text.h"
#include "shell/ini_store.h"
#include "tests/db_holds.h"
#include "tests/test_support.h"
#include "win/handles.h"
#include "win/program_end.h"

using namespace hub;
using namespace shell;

namespace {

constexpr UINT kCtrlAlt = MOD_CONTROL | MOD_ALT;

// A window of the test's own that holds key combinations, as another program would.
class OtherProgram {
public:
    OtherProgram()
        : window_(CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr)) {}
    OtherProgram(const OtherProgram&) = delete;
    OtherProgram& operator=(const OtherProgram&) = delete;
    ~OtherProgram() {
        for (int id = 1; id <= taken_; ++id) UnregisterHotKey(window_.get(), id);
    }

    bool take(UINT modifiers, UINT key) {
        if (!RegisterHotKey(window_.get(), taken_ + 1, modifiers, key)) return false;
        ++taken_;
        return true;
    }

private:
    win::UniqueWindow window_;
    int taken_ = 0;
};

bool isFree(UINT modifiers, UINT key) { return OtherProgram().take(modifiers, key); }

class Hotkeys : public testing_support::MeetDataTest {
protected:
    void SetUp() override {
        MeetDataTest::SetUp();
        hub().Form_Load();
        ASSERT_TRUE(hub().loaded());
        hub().Timer4.enabled(false);  // no start kick: these tests start no run
        hub().hotkey_del();
        messages.clear();
    }
    void TearDown() override {
        forms::resetAll();
        MeetDataTest::TearDown();
    }

    static Frm_exit& hub() { return forms::Frm_exit(); }
    // As the settings dialog's Apply and the saved-clock editor do after changing the store.
    static void reregister() {
        hub().hotkey_del();
        hub().Hotkey_set();
    }
    void saveThreeClocks() {
        for (int id : {1, 2, 3}) addClock(L"时钟" + std::to_wstring(id), shell::ClockSetting{}, id);
        hub().change_clock_menu();
    }
    // True when the hub held the identifier; it holds it no longer afterwards.
    static bool hubHeld(int id) { return UnregisterHotKey(hub().hwnd(), id); }
};

// The hub loaded while another program holds the meeting database: its submenu fills, and the
// often-used clocks' hotkeys follow it, once the file reads.
class HotkeysOverAHeldFile : public testing_support::MeetDataTest,
                             public testing::WithParamInterface<testing_support::Hold> {
protected:
    void SetUp() override {
        MeetDataTest::SetUp();
        iniWrite(kHotkeySection, L"hide", L"Ctrl+Alt+F5");
        iniWrite(kHotkeySection, L"often", L"10");
        for (int id : {1, 2, 3}) addClock(L"时钟" + std::to_wstring(id), shell::ClockSetting{}, id);
    }
    void TearDown() override {
        forms::resetAll();
        MeetDataTest::TearDown();
    }
    static Frm_exit& hub() { return forms::Frm_exit(); }
    void loadHub() {
        testing_support::LockedFile lock(path(), GetParam());
        hub().Form_Load();
        hub().Timer4.enabled(false);  // no start kick: these tests start no run
    }
    static bool submenuRead() {
        return testing_support::pumpUntil([] { return hub().menu_often.size() == 3; });
    }
    std::vector<std::wstring> shownTexts() const {
        std::vector<std::wstring> texts;
        for (const win::MessageShown& m : messages) texts.push_back(m.text);
        return texts;
    }
    int openBoxes = 0, mostOpen = 0;
};

INSTANTIATE_TEST_SUITE_P(Holds, HotkeysOverAHeldFile, testing::ValuesIn(testing_support::kWholeFileHolds),
                         testing_support::holdTestName);

}  // namespace

TEST_P(HotkeysOverAHeldFile, TheShowHideHotkeyIsRegisteredAtOnceAndTheClocksHotkeysOnceTheFileReads) {
    loadHub();
    EXPECT_TRUE(hub().menu_often.empty());
    EXPECT_FALSE(isFree(kCtrlAlt, VK_F5));
    EXPECT_EQ(hub().menu_two1_caption, L"隐藏        Ctrl+Alt+F5");
    ASSERT_TRUE(submenuRead());
    EXPECT_FALSE(isFree(kCtrlAlt, VK_F5));
    for (char digit : {'1', '2', '3'}) EXPECT_FALSE(isFree(MOD_CONTROL, digit)) << digit;
    EXPECT_TRUE(messages.empty());
}

// The box of a hotkey another program holds waits for its answer, and the program's messages run
// under it, the submenu's retry included: that retry asks no second box meanwhile.
TEST_P(HotkeysOverAHeldFile, AHotkeyHeldElsewhereAsksOneBoxAtATimeOnceTheFileReads) {
    OtherProgram other;
    ASSERT_TRUE(other.take(MOD_CONTROL, '2'));
    win::setMessageSink([this](const win::MessageShown& m) {
        messages.push_back(m);
        mostOpen = std::max(mostOpen, ++openBoxes);
        if (openBoxes == 1) testing_support::pumpUntil([this] { return openBoxes > 1; }, 2500);
        --openBoxes;
        return IDOK;
    });
    loadHub();
    EXPECT_TRUE(messages.empty());
    ASSERT_TRUE(submenuRead());
    EXPECT_EQ(mostOpen, 1);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, L"热键Ctrl+2被其它程序占有\r\r请更改热键\r\r或右键单击调用");
}

// The show/hide hotkey another program holds is said once for the start, whether its box is
// answered before the file reads or the file reads while it is open; the settings dialog's 应用
// registers it anew later and says it again.
TEST_F(HotkeysOverAHeldFile, AShowHideHotkeyHeldElsewhereIsSaidOnceForTheStart) {
    const std::wstring taken = L"热键Ctrl+Alt+F5被其它程序占有\r\r请更改热键或关闭其他程序以便设置\r\r也可右键单击时钟执行相应命令";
    OtherProgram other;
    ASSERT_TRUE(other.take(kCtrlAlt, VK_F5));
    for (bool readsUnderTheBox : {false, true}) {
        SCOPED_TRACE(readsUnderTheBox ? "the file reads while the box is open" : "the box answered first");
        forms::resetAll();
        win::cancelProgramEnd();  // the hub's going ended the program
        messages.clear();
        std::optional<testing_support::LockedFile> lock(std::in_place, path());
        win::setMessageSink([&](const win::MessageShown& m) {
            messages.push_back(m);
            if (readsUnderTheBox && lock) {
                lock.reset();
                EXPECT_TRUE(submenuRead());
            }
            return IDOK;
        });
        hub().Form_Load();
        hub().Timer4.enabled(false);  // no start kick: these tests start no run
        lock.reset();
        ASSERT_TRUE(submenuRead());
        EXPECT_EQ(shownTexts(), std::vector<std::wstring>{taken});
        for (char digit : {'1', '2', '3'}) EXPECT_FALSE(isFree(MOD_CONTROL, digit)) << digit;

        messages.clear();
        hub().hotkey_del();  // as 应用 does
        hub().Hotkey_set();
        EXPECT_EQ(shownTexts(), std::vector<std::wstring>{taken});
    }
}

TEST(HotkeyText, ModifierPartGivesItsFlags) {
    EXPECT_EQ(hotkeymodifiers(L"Ctrl+Alt+F5"), 3u);
    EXPECT_EQ(hotkeymodifiers(L"Alt+A"), 1u);
    EXPECT_EQ(hotkeymodifiers(L"Ctrl+1"), 2u);
    EXPECT_EQ(hotkeymodifiers(L"Shift+Alt+Z"), 5u);
    EXPECT_EQ(hotkeymodifiers(L"Shift+Ctrl+F12"), 6u);
    EXPECT_EQ(hotkeymodifiers(L"Shift+Ctrl+Alt+Num 9"), 7u);
}

TEST(HotkeyText, UnknownOrMissingModifierPartGivesNoFlags) {
    EXPECT_EQ(hotkeymodifiers(L"无"), 0u);
    EXPECT_EQ(hotkeymodifiers(L"F5"), 0u);
    EXPECT_EQ(hotkeymodifiers(L""), 0u);
    EXPECT_EQ(hotkeymodifiers(L"Alt+Ctrl+F5"), 0u);  // the dialog always writes Ctrl before Alt
    EXPECT_EQ(hotkeymodifiers(L"ctrl+F5"), 0u);
}

TEST(HotkeyText, KeyNameGivesItsCode) {
    EXPECT_EQ(hotkeykeycode(L"Ctrl+Alt+F5"), 116u);
    EXPECT_EQ(hotkeykeycode(L"Ctrl+1"), 49u);
    EXPECT_EQ(hotkeykeycode(L"Alt+A"), 65u);
    EXPECT_EQ(hotkeykeycode(L"Shift+Num 0"), 96u);
    EXPECT_EQ(hotkeykeycode(L"Ctrl+F12"), 123u);
    EXPECT_EQ(hotkeykeycode(L"Z"), 90u);
}

TEST(HotkeyText, NoneOrUnknownKeyGivesNoCode) {
    EXPECT_EQ(hotkeykeycode(L"无"), 0u);
    EXPECT_EQ(hotkeykeycode(L""), 0u);
    EXPECT_EQ(hotkeykeycode(L"Ctrl+"), 0u);
    EXPECT_EQ(hotkeykeycode(L"Ctrl+F13"), 0u);
    EXPECT_EQ(hotkeykeycode(L"Ctrl+a"), 0u);
    EXPECT_EQ(hotkeykeycode(L"Ctrl+Esc"), 0u);
    EXPECT_EQ(hotkeykeycode(L"Ctrl+Num 10"), 0u);
}

TEST(HotkeyText, KeyCodesAreSpelledAsTheSettingsDialogShowsThem) {
    EXPECT_EQ(keycodetext(48), L"0");
    EXPECT_EQ(keycodetext(57), L"9");
    EXPECT_EQ(keycodetext(65), L"A");
    EXPECT_EQ(keycodetext(90), L"Z");
    EXPECT_EQ(keycodetext(96), L"Num 0");
    EXPECT_EQ(keycodetext(105), L"Num 9");
    EXPECT_EQ(keycodetext(112), L"F1");
    EXPECT_EQ(keycodetext(123), L"F12");
    for (int16_t other : {-1, 0, 13, 47, 58, 64, 91, 95, 106, 111, 124, 255}) {
        EXPECT_EQ(keycodetext(other), L"") << other;
    }
}

TEST(HotkeyText, EverySpelledKeyReadsBackAsItsCode) {
    for (int16_t code = 0; code < 256; ++code) {
        std::wstring name = keycodetext(code);
        if (!name.empty()) {
            EXPECT_EQ(hotkeykeycode(L"Shift+Ctrl+" + name), static_cast<uint32_t>(code)) << name;
        }
    }
}

TEST(HotkeyText, OftenDigitsSwitchAndChooseTheModifier) {
    EXPECT_FALSE(oftenHotkeysOn(L"00"));
    EXPECT_FALSE(oftenHotkeysOn(L""));
    EXPECT_TRUE(oftenHotkeysOn(L"10"));
    EXPECT_TRUE(oftenHotkeysOn(L"01"));
    EXPECT_TRUE(oftenHotkeysOn(L"11"));
    EXPECT_TRUE(oftenHotkeysOn(L"x1"));
    EXPECT_TRUE(oftenHotkeysOn(L"2"));

    EXPECT_EQ(oftenHotkeyPrefix(L"10"), L"Ctrl+");
    EXPECT_EQ(oftenHotkeyPrefix(L"01"), L"Alt+");
    EXPECT_EQ(oftenHotkeyPrefix(L"11"), L"Alt+");  // Alt wins
    EXPECT_EQ(oftenHotkeyPrefix(L"00"), L"Ctrl+");
    EXPECT_EQ(oftenHotkeyPrefix(L"20"), L"Ctrl+");
}

TEST_F(Hotkeys, ShowHideHotkeyIsRegisteredAndNamedInTheMenu) {
    iniWrite(kHotkeySection, L"hide", L"Ctrl+Alt+F5");
    reregister();
    EXPECT_FALSE(isFree(kCtrlAlt, VK_F5));
    EXPECT_EQ(hub().menu_two1_caption, L"隐藏        Ctrl+Alt+F5");
    EXPECT_TRUE(messages.empty());
    EXPECT_TRUE(hubHeld(1));
}

TEST_F(Hotkeys, MenuItemKeepsItsShowOrHideWord) {
    hub().menu_two1_caption = L"显示        Ctrl+Alt+F5";
    iniWrite(kHotkeySection, L"hide", L"Alt+F6");
    reregister();
    EXPECT_EQ(hub().menu_two1_caption, L"显示        Alt+F6");
}

TEST_F(Hotkeys, NoneRegistersNothing) {
    reregister();  // no TimeData.db
    EXPECT_FALSE(hubHeld(1));
    EXPECT_EQ(hub().menu_two1_caption, L"隐藏        ");

    iniWrite(kHotkeySection, L"hide", L"无");
    reregister();
    EXPECT_FALSE(hubHeld(1));
    EXPECT_EQ(hub().menu_two1_caption, L"隐藏        ");

    iniWrite(kHotkeySection, L"hide", L"Ctrl+Esc");
    reregister();
    EXPECT_FALSE(hubHeld(1));
    EXPECT_TRUE(messages.empty());
}

TEST_F(Hotkeys, CombinationHeldElsewhereIsReported) {
    OtherProgram other;
    ASSERT_TRUE(other.take(kCtrlAlt, VK_F5));
    iniWrite(kHotkeySection, L"hide", L"Ctrl+Alt+F5");
    reregister();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text,
              L"热键Ctrl+Alt+F5被其它程序占有\r\r请更改热键或关闭其他程序以便设置\r\r也可右键单击时钟执行相应命令");
    EXPECT_EQ(messages[0].caption, L"Kelvane");
    EXPECT_EQ(messages[0].style, static_cast<UINT>(MB_OK));
    EXPECT_EQ(messages[0].timeoutMs, 0u);
    EXPECT_EQ(hub().menu_two1_caption, L"隐藏        Ctrl+Alt+F5");
}

TEST_F(Hotkeys, OftenHotkeyHeldElsewhereIsReportedAndTheOthersStay) {
    OtherProgram other;
    ASSERT_TRUE(other.take(MOD_CONTROL, '1'));
    iniWrite(kHotkeySection, L"hide", L"Ctrl+Alt+F5");
    iniWrite(kHotkeySection, L"often", L"10");
    reregister();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, L"热键Ctrl+1被其它程序占有\r\r请更改热键\r\r或右键单击调用");
    EXPECT_EQ(messages[0].caption, L"Kelvane");
    EXPECT_EQ(messages[0].style, static_cast<UINT>(MB_OK));
    EXPECT_FALSE(isFree(kCtrlAlt, VK_F5));
}

TEST_F(Hotkeys, OftenTenBindsCtrlWithTheDigits) {
    iniWrite(kHotkeySection, L"often", L"10");
    reregister();
    int count = hub().oftenItemCount();
    for (int i = 1; i <= count; ++i) {
        EXPECT_FALSE(isFree(MOD_CONTROL, '0' + i)) << i;
        EXPECT_TRUE(isFree(MOD_ALT, '0' + i)) << i;
    }
    if (count < kMaxOftenHotkeys) {
        EXPECT_TRUE(isFree(MOD_CONTROL, '0' + count + 1));
    }
    EXPECT_TRUE(messages.empty());
}

TEST_F(Hotkeys, OftenElevenBindsAlt) {
    iniWrite(kHotkeySection, L"often", L"11");
    reregister();
    EXPECT_FALSE(isFree(MOD_ALT, '1'));
    EXPECT_TRUE(isFree(MOD_CONTROL, '1'));
    EXPECT_TRUE(hubHeld(2));
}

TEST_F(Hotkeys, OftenOffBindsNoDigit) {
    iniWrite(kHotkeySection, L"often", L"00");
    reregister();
    EXPECT_TRUE(isFree(MOD_CONTROL, '1'));
    EXPECT_TRUE(isFree(MOD_ALT, '1'));
    EXPECT_FALSE(hubHeld(2));
}

TEST_F(Hotkeys, ReregisteringKeepsTheHotkeysWithoutComplaint) {
    iniWrite(kHotkeySection, L"hide", L"Ctrl+Alt+F5");
    iniWrite(kHotkeySection, L"often", L"01");
    reregister();
    reregister();
    EXPECT_TRUE(messages.empty());
    EXPECT_FALSE(isFree(kCtrlAlt, VK_F5));
    EXPECT_FALSE(isFree(MOD_ALT, '1'));
}

// The settings dialog writes the store first and re-registers after: switching the
// often-used hotkeys off must still free the ones registered before.
TEST_F(Hotkeys, DeletingFreesWhatWasRegisteredWhateverTheStoreSaysNow) {
    iniWrite(kHotkeySection, L"hide", L"Ctrl+Alt+F5");
    iniWrite(kHotkeySection, L"often", L"10");
    reregister();
    ASSERT_FALSE(isFree(MOD_CONTROL, '1'));
    ASSERT_FALSE(isFree(kCtrlAlt, VK_F5));

    iniWrite(kHotkeySection, L"often", L"00");
    iniWrite(kHotkeySection, L"hide", L"无");
    hub().hotkey_del();
    EXPECT_TRUE(isFree(MOD_CONTROL, '1'));
    EXPECT_TRUE(isFree(kCtrlAlt, VK_F5));
}

TEST_F(Hotkeys, UnloadingTheHubFreesItsHotkeys) {
    iniWrite(kHotkeySection, L"hide", L"Ctrl+Alt+F5");
    iniWrite(kHotkeySection, L"often", L"10");
    reregister();
    hub().unload();
    EXPECT_TRUE(isFree(MOD_CONTROL, '1'));
    EXPECT_TRUE(isFree(kCtrlAlt, VK_F5));
}

TEST_F(Hotkeys, HotkeyOutsideTheBoundIdentifiersDoesNothing) {
    saveThreeClocks();
    const std::wstring caption = hub().menu_two1_caption;
    for (WPARAM id : {WPARAM{0}, static_cast<WPARAM>(hub().oftenItemCount() + 2), WPARAM{kMaxOftenHotkeys + 2}}) {
        EXPECT_EQ(SendMessageW(hub().hwnd(), WM_HOTKEY, id, MAKELPARAM(MOD_CONTROL, '5')), 0) << id;
    }
    EXPECT_TRUE(testing_support::checkedItems(hub().oftenSubmenu().handle()).empty());
    EXPECT_EQ(hub().menu_two1_caption, caption);
    EXPECT_TRUE(messages.empty());
}

TEST_F(Hotkeys, HotkeyOfTheSecondSavedClockStartsIt) {
    saveThreeClocks();
    SendMessageW(hub().hwnd(), WM_HOTKEY, 3, MAKELPARAM(MOD_CONTROL, '2'));
    EXPECT_EQ(testing_support::checkedItems(hub().oftenSubmenu().handle()), std::vector<int>{1});
}
