// The dialog's controls get their design values and handlers; the numeric fields, their
// spin bars and the hotkey box.
#include "settings/Settings.h"
#include "settings/settings_rules.h"
#include "shell/run_records.h"
#include "win/auto_message.h"

namespace settings {
namespace {

constexpr unsigned kFieldMessageMs = 1000;

struct SpinRange {
    int field, min, max;
};
constexpr SpinRange kSpinRanges[] = {{4, 1, 9999}, {5, 1, 9999}, {6, 1, 9999}, {7, 0, 100}, {8, 0, 27}};

void caretToEnd(win::Control& c) {
    auto n = static_cast<WPARAM>(c.text().size());
    SendMessageW(c.hwnd(), EM_SETSEL, n, static_cast<LPARAM>(n));
}

void setTextIfOther(win::Control& c, const std::wstring& t) {
    if (c.text() != t) c.setText(t);
}

}  // namespace

void Settings::wireHandlers() {
    // Design values, set before any handler is attached.
    Ctl(L"Check1", 0).setValue(1);
    Ctl(L"Check5", 0).setValue(1);
    Ctl(L"Option1", 0).setValue(1);
    Ctl(L"Option2", 2).setValue(1);
    Ctl(L"Text1", 4).setBackColour(kWindowColour);
    for (auto [field, min, max] : kSpinRanges) Ctl(L"VScrol1", field).setRange(min, max);
    for (const wchar_t* bar : {L"HScroll1", L"VScroll1"}) Ctl(bar).setVisible(false);
    for (auto [name, index] : {std::pair{L"Text3", 0}, std::pair{L"Text1", 4}}) {
        SendMessageW(Ctl(name, index).hwnd(), EM_SETREADONLY, TRUE, 0);
    }

    for (int i = 1; i <= 2; ++i) {
        for (const wchar_t* name : {L"Image2", L"Lab_Tab"}) {
            Ctl(name, i).onClick = [this, i] { Image2_Click(i); };
            Ctl(name, i).onMouseMove = [this, i] { Image2_MouseMove(i); };
        }
    }
    Ctl(L"Label30").onClick = Ctl(L"Image1").onClick = [this] { Image1_Click(); };
    Ctl(L"Lab_help").onClick = [this] { Lab_help_Click(); };
    Ctl(L"Command1").onClick = [this] { Command1_Click(); };
    Ctl(L"Command2").onClick = [this] { Command2_Click(); };
    Ctl(L"Command3").onClick = [this] { Command3_Click(); };
    Ctl(L"Command5").onClick = [this] { Command5_Click(); };
    for (int i = 0; i <= 4; ++i) Ctl(L"Check1", i).onClick = [this, i] { Check1_Click(i); };
    for (int i = 0; i <= 1; ++i) Ctl(L"Check5", i).onClick = [this, i] { Check5_Click(i); };
    Ctl(L"Combo5").onClick = [this] { Combo5_Click(); };
    Ctl(L"Combo9").onClick = [this] { Combo9_Click(); };
    Ctl(L"VScroll1").onChange = [this] { VScroll1_Change(); };
    Ctl(L"HScroll1").onChange = [this] { HScroll1_Change(); };
    for (int i = kFirstNumberField; i <= kLastNumberField; ++i) {
        win::Control& box = Ctl(L"Text2", i);
        box.onKeyPress = [](wchar_t c) { return keyPasses(c) ? c : L'\0'; };
        box.onPaste = [](const std::wstring& t) { return pastedDigits(t); };
        box.onChange = [this, i] { Text2_Change(i); };
        box.onLostFocus = [this, i] { Text2_LostFocus(i); };
        Ctl(L"VScrol1", i).onChange = [this, i] { VScrol1_Change(i); };
    }
    Ctl(L"Text3", 0).onKeyDown = [this](int key, int shift) { Text3_KeyDown(key, shift); };
    Ctl(L"Text3", 0).onKeyUp = [this](int, int) { Text3_KeyUp(); };
    for (int i = 0; i <= 4; ++i) {
        Ctl(L"Text1", i).onClick = [this, i] { Text1_Click(i); };
        Ctl(L"Text1", i).onLostFocus = [this, i] { Text1_LostFocus(i); };
    }
}

void Settings::Text2_Change(int index) {
    win::Control& box = Ctl(L"Text2", index);
    auto edit = fieldChanged(index, box.text());
    if (!edit) return;
    if (!edit->message.empty()) win::autoMessage(edit->message, kFieldMessageMs);
    setTextIfOther(box, edit->text);
    if (!edit->message.empty()) caretToEnd(box);
    Ctl(L"VScrol1", index).setValue(spinOf(index, box.text()));
}

void Settings::Text2_LostFocus(int index) {
    const shell::ClockSetting& running = shell::clockSetting();
    const int thresholds[] = {running.Time_one, running.Time_two, running.Time_three};
    int threshold = index >= 4 && index <= 6 ? thresholds[index - 4] : 0;
    win::Control& box = Ctl(L"Text2", index);
    FieldEdit edit = fieldLeft(index, box.text(), threshold);
    if (!edit.message.empty()) win::autoMessage(edit.message, kFieldMessageMs);
    setTextIfOther(box, edit.text);
}

void Settings::VScrol1_Change(int index) {
    setTextIfOther(Ctl(L"Text2", index), textOfSpin(index, Ctl(L"VScrol1", index).value()));
}

void Settings::Text3_KeyDown(int key, int shift) {
    win::Control& box = Ctl(L"Text3", 0);
    box.setText(hotkeyDownText(key, shift));
    caretToEnd(box);
}

void Settings::Text3_KeyUp() {
    win::Control& box = Ctl(L"Text3", 0);
    box.setText(hotkeyUpText(box.text()));
    caretToEnd(box);
}

}  // namespace settings
