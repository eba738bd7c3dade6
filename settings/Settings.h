#pragma once
// The settings dialog "设置": every setting of the clock, its hotkeys and its time source.
// Its controls carry the names and indexes its neighbours use (Ctl(L"Check1", 4)).
#include <array>
#include <optional>
#include <string>

#include "shell/run_records.h"
#include "win/controls.h"
#include "win/handles.h"
#include "win/tabbed_dialog.h"
#include "win/timer.h"

namespace settings {

using win::TabPicture;

// The keys add, hide and often of TimeData.db, as their boxes show them.
struct IniKeyValues {
    std::wstring add, hide, often;
};

class Settings : public win::TabbedDialog {
public:
    Settings();

    win::Timer Timer1{1000, [this] { Timer1_Timer(); }};  // keeps the floating windows below

    // Tabs: the selected tab and the picture each tab shows now.
    int selectedTab() const { return selectedTab_; }
    TabPicture tabPicture(int tab) const { return tabPictures_[tab == 2 ? 1 : 0]; }

    // A clock as the controls show it, over `base` for what they do not show; and a clock's
    // values shown in the controls (each raising its handler), as the stage window loads one.
    shell::ClockSetting shownClock(shell::ClockSetting base);
    void showClock(const shell::ClockSetting& s);

    // Handlers the neighbours and tests reach.
    void Command1_Click();  // Apply
    void Command2_Click();  // close
    void Command5_Click();  // program repair
    void Image2_Click(int index);
    void Image2_MouseMove(int index);
    void Form_MouseMove() override;
    void Lab_help_Click();
    void Image1_Click();

private:
    void Form_Load() override;  // runs as the window is created: every showing loads afresh
    void closeDialog() override { Command2_Click(); }
    bool dialogCommand(WORD id) override;  // Enter applies
    void createControls();
    void wireHandlers();
    void loadControls();
    static IniKeyValues storedIniKeys();
    void showIniKeys(const IniKeyValues& keys);
    void loadIniKeys() { showIniKeys(storedIniKeys()); }
    void fillLists();
    void frameTabs();
    void showPage(const wchar_t* page);
    void repaintTab(int index);
    void paintPicture(const DRAWITEMSTRUCT& d) override;
    void Timer1_Timer();
    class WaitScope;

    // Apply (settings_apply.cpp).
    void applyWindowLook(int target);
    void applyClock();
    void storeIniKeys();

    // Immediate options (settings_options.cpp).
    void Check1_Click(int index);
    void transparentClicked();
    void secondScreenClicked();
    void VScroll1_Change();
    void HScroll1_Change();
    void Check5_Click(int index);
    void Combo9_Click();
    void fillTimeMethods();

    // Appearance editor and sounds (settings_look.cpp).
    void Combo5_Click();
    void Command3_Click();
    void Text1_Click(int index);
    void Text1_LostFocus(int index);
    bool keepSoundName(int index);
    void setFace(const std::wstring& face);
    // A size, colour or corner list shows the stored position, or `fallback` when it has none such.
    void showListIndex(const wchar_t* list, std::optional<int> stored, int fallback);

    // Numeric fields and hotkey capture (settings_fields.cpp).
    void Text2_Change(int index);
    void Text2_LostFocus(int index);
    void VScrol1_Change(int index);
    void Text3_KeyDown(int key, int shift);
    void Text3_KeyUp();

    win::UniqueFont tabFont_;
    int selectedTab_ = 1;
    bool choosingSound_ = false;  // a sound box's file chooser is open
    static constexpr int kSoundBoxes = 4;
    std::array<std::wstring, kSoundBoxes> soundNames_;  // each sound box's last name taken
    TabPicture tabPictures_[2]{TabPicture::Selected, TabPicture::Normal};
};

}  // namespace settings
