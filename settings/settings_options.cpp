// Controls that act at once, without Apply: the transparent background, the second screen
// and the bars that move its clock, the often-used-clock modifiers and the time method.
#include "app/forms.h"
#include "clocks/time_glasstwo.h"
#include "hub/clock_layout.h"
#include "settings/Settings.h"
#include "settings/settings_rules.h"
#include "shell/flag_strings.h"
#include "shell/ini_store.h"
#include "shell/run_records.h"
#include "shell/settings_registry.h"
#include "shell/text_number.h"
#include "win/twips.h"

namespace settings {
namespace {

constexpr int kBarStepX = 20, kBarStepY = 40;  // twips per scroll step
constexpr int kBarSpareX = 50, kBarSpareY = 100;

// The primary screen in twips.
int screenW() { return shell::screenShared().screenwidth * win::twipsPerPixelX(); }
int screenH() { return shell::screenShared().screenheight * win::twipsPerPixelY(); }

void parkSecondClock() {
    clocks::time_glasstwo& two = forms::time_glasstwo();
    two.setTop(-screenH() - 15000);
    two.setLeft(-screenW() - 5000);
}

}  // namespace

void Settings::Check1_Click(int index) {
    if (index == 3) transparentClicked();
    if (index == 4) secondScreenClicked();
}

void Settings::transparentClicked() {
    bool pictureShown = Ctl(L"Check1", 3).value() == 0;
    for (auto [name, index] : {std::pair{L"Label1", 17}, {L"Shape1", 4}, {L"Text1", 4}, {L"Command3", 0}, {L"Label1", 18}, {L"Combo4", 0}}) {
        Ctl(name, index).setVisible(pictureShown);
    }
    win::Control& background = Ctl(L"Text1", 4);
    background.setText(L"");
    if (!pictureShown) return;
    auto parts = shell::splitAtBackslash(shell::clockSetting().picturename);
    if (Ctl(L"Combo5").listIndex() != BannerLook) background.setText(parts[0]);
    if (parts.size() > 1) background.setBackColour(static_cast<COLORREF>(shell::wholeNumberOf(parts[1])));
}

void Settings::secondScreenClicked() {
    int on = Ctl(L"Check1", 4).value();
    int x = shell::readSettingNumber(L"clocklefttwo");
    int y = shell::readSettingNumber(L"clocktoptwo");
    shell::writeSettingNumber(L"second_screen", on);
    win::Control& across = Ctl(L"HScroll1");
    win::Control& down = Ctl(L"VScroll1");
    if (on == 1) {
        const int w = screenW(), h = screenH();
        if (x > w) x -= w;  // a position saved on the second monitor becomes relative to it
        if (y > h) y -= h;
        x = std::max(x, 0);
        y = std::max(y, 0);
        across.setRange(0, w / kBarStepX + kBarSpareX);
        down.setRange(0, h / kBarStepY + kBarSpareY);
        across.setValue(x / kBarStepX);
        down.setValue(y / kBarStepY);
        clocks::time_glasstwo& two = forms::time_glasstwo();
        two.setLeft(w + x);
        two.setTop(y);
    } else {
        hub::clockrefresh();
        parkSecondClock();
    }
    across.setVisible(on == 1);
    down.setVisible(on == 1);
}

void Settings::VScroll1_Change() {
    int top = Ctl(L"VScroll1").value() * kBarStepY;
    forms::time_glasstwo().setTop(top);
    shell::saveclocksitetwo(Ctl(L"HScroll1").value() * kBarStepX, top);
}

void Settings::HScroll1_Change() {
    if (Ctl(L"Check1", 4).value() != 1) return parkSecondClock();
    int left = Ctl(L"HScroll1").value() * kBarStepX;
    forms::time_glasstwo().setLeft(screenW() + left);
    shell::saveclocksitetwo(left, Ctl(L"VScroll1").value() * kBarStepY);
}

void Settings::Check5_Click(int index) {
    if (Ctl(L"Check5", index).value() == 1) Ctl(L"Check5", 1 - index).setValue(0);
}

void Settings::Combo9_Click() {
    int method = Ctl(L"Combo9").listIndex();
    if (method >= 0) shell::writeSettingNumber(L"clockmode", method);
}

void Settings::fillTimeMethods() {
    win::Control& methods = Ctl(L"Combo9");
    methods.clear();
    for (const wchar_t* m : {L"方法1", L"方法2", L"方法3"}) methods.addItem(m);
    methods.setListIndex(shell::readSettingNumber(L"clockmode"));  // outside 0..2: no selection
}

}  // namespace settings
