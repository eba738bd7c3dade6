// Apply ("应用"): either the look of one floating window, or the whole clock after its alarm
// times pass their checks, followed by a fresh timing run.
#include <algorithm>
#include <array>

#include "app/forms.h"
#include "clocks/time_glass.h"
#include "displays/Frm_process.h"
#include "displays/Frm_time.h"
#include "displays/Frm_title.h"
#include "hub/Frm_exit.h"
#include "settings/Settings.h"
#include "settings/settings_rules.h"
#include "shell/flag_strings.h"
#include "shell/ini_store.h"
#include "shell/meeting_db.h"
#include "shell/program_folder.h"
#include "shell/settings_registry.h"
#include "shell/sound.h"
#include "win/auto_message.h"
#include "win/pump.h"

namespace settings {
namespace {

constexpr unsigned kApplyMessageMs = 1300;
constexpr size_t kStoppedSounds = 5;
constexpr wchar_t kNotSaved[] = L"TimeData.db无法写入，以下设置没有保存：";
constexpr unsigned kNotSavedMs = 3000;

// The keys of TimeData.db that Apply writes, with the captions that name them to the user.
struct IniKey {
    const wchar_t* key;
    const wchar_t* caption;
    std::wstring IniKeyValues::*value;
};
constexpr IniKey kIniKeys[] = {{L"add", L"副屏字号大", &IniKeyValues::add},
                               {L"hide", L"隐藏/显示", &IniKeyValues::hide},
                               {L"often", L"常用时钟", &IniKeyValues::often}};
// The looks of the floating windows, by target.
constexpr const wchar_t* kLookCaptions[] = {L"标题外观", L"系统时间外观", L"提示文本外观"};

std::wstring digit(int v) { return std::to_wstring(v); }

std::wstring colourText(COLORREF c) { return std::to_wstring(static_cast<int32_t>(c)); }

// Stops every sound of the list in effect, then the wave sound of the process.
void stopSoundList(const std::wstring& list) {
    std::wstring folder = shell::inProgramFolder(L"sounds\\");
    if (list.size() > 3) {
        auto names = shell::splitAtBackslash(list);
        for (size_t i = 0; i < std::min(names.size(), kStoppedSounds); ++i) shell::stopmusic(folder + names[i]);
    }
    shell::stopmusic(folder);
}

}  // namespace

void Settings::Command1_Click() {
    int target = Ctl(L"Combo5").listIndex();
    if (target >= TitleLook && target <= BannerLook) applyWindowLook(target);
    else applyClock();
}

void Settings::applyWindowLook(int target) {
    std::wstring face = Ctl(L"Combo1").text();
    std::wstring size = digit(Ctl(L"Combo2").listIndex());
    std::wstring colour = digit(Ctl(L"Combo3").listIndex());
    std::wstring& flags = shell::clockSetting().checkvalue;
    shell::IniEntries keys;
    // The window restarts on its timer, after the keys below are written.
    if (target == TitleLook) {
        keys = {{L"titleFont", face}, {L"titleselect", size + L"\\" + colour}};
        forms::Frm_title().Timer3.enabled(true);
        shell::setFlagOn(flags, shell::check::titleWindow);
    } else if (target == TimeLook) {
        keys = {{L"timeFont", face}, {L"timeselect", size + L"\\" + colour}};
        shell::setFlagOn(flags, shell::check::timeWindow);
        forms::Frm_time().Timer3.enabled(true);
    } else {
        keys = {{L"processFont", face},
                {L"processFontSize", size},
                {L"processColor", colour},
                {L"processvalue", digit(Ctl(L"Check1", 3).value())},
                {L"processBackColor", colourText(Ctl(L"Text1", 4).backColour())}};
        forms::Frm_process().Timer3.enabled(true);
    }
    // One replace: the window never reads half a look.
    if (!shell::iniWriteKeys(shell::kHotkeySection, keys)) win::autoMessage(kNotSaved + std::wstring(kLookCaptions[target]), kNotSavedMs);
}

void Settings::applyClock() {
    // Enter applies without leaving the sound box being typed into.
    for (int i = 0; i < kSoundBoxes; ++i) keepSoundName(i);
    std::array<AlarmField, 3> alarms;
    for (int k = 0; k < 3; ++k) alarms[k] = {Ctl(L"Text2", k + 4).text(), Ctl(L"Check2", k + 2).value() != 0};
    auto problems = alarmProblems(alarms);
    for (const auto& p : problems) win::autoMessage(p, kApplyMessageMs);
    if (!problems.empty()) return;

    // While another program holds the meeting database the stage cannot be known afresh: a
    // running one goes on as it is, and what the dialog shows is stored for the next start; with
    // none running the clock looks the stages up once the file reads.
    bool held = shell::loadCurrentMeeting().fileBusy;
    shell::ClockSetting& c = shell::clockSetting();
    shell::TimingState& t = shell::timingState();
    shell::ClockSetting shown = shownClock(c);
    if (t.stagestate != shell::StageState::Waiting) shown.tellShowtext = c.tellShowtext;
    if (!held) {
        stopSoundList(t.soundlist);
        c = shown;
        t.soundlist = c.tellsoundname;
    }

    shell::ClockSetting stored = shown;
    stored.tellShowtext = Ctl(L"Text4", 1).text();  // the dialog's title is always stored
    shell::savesetting(stored);
    win::doEvents();
    if (!loaded()) return;  // closed while the queued messages ran

    storeIniKeys();
    hub::Frm_exit& hub = forms::Frm_exit();
    hub.hotkey_del();
    hub.Hotkey_set();
    if (held && t.stagestate == shell::StageState::Covering) return;
    hub.Timer4.enabled(false);
    forms::time_glass().restartRun(held);
}

// All keys in one replace. When it fails one box names every key the file does not hold as
// the dialog shows it (a value the loading reset included), and the boxes go back, without a
// range box, to what is in effect, so none shows a setting that is not.
void Settings::storeIniKeys() {
    const IniKeyValues wanted{Ctl(L"Text2", 7).text(), Ctl(L"Text3", 0).text(),
                              digit(Ctl(L"Check5", 0).value()) + digit(Ctl(L"Check5", 1).value())};
    shell::IniEntries entries;
    for (const IniKey& k : kIniKeys) entries.emplace_back(k.key, wanted.*k.value);
    if (shell::iniWriteKeys(shell::kHotkeySection, entries)) return;
    IniKeyValues stored = storedIniKeys();
    std::wstring lost;
    for (const IniKey& k : kIniKeys) {
        if (stored.*k.value != wanted.*k.value) lost += (lost.empty() ? L"" : L"、") + std::wstring(k.caption);
    }
    stored.add = std::to_wstring(shell::readHotkeyAdd());
    showIniKeys(stored);
    if (!lost.empty()) win::autoMessage(kNotSaved + lost, kNotSavedMs);
}

shell::ClockSetting Settings::shownClock(shell::ClockSetting base) {
    base.Time_one = static_cast<int32_t>(wholeOf(Ctl(L"Text2", 4).text()).value_or(0));
    base.Time_two = static_cast<int32_t>(wholeOf(Ctl(L"Text2", 5).text()).value_or(0));
    base.Time_three = static_cast<int32_t>(wholeOf(Ctl(L"Text2", 6).text()).value_or(0));
    std::wstring flags;
    for (int k = 2; k <= 4; ++k) flags += digit(Ctl(L"Check2", k).value());
    for (int i = 0; i <= 3; ++i) flags += digit(Ctl(L"Check1", i).value());
    flags += L"0";
    for (int i = 0; i <= 8; ++i) flags += digit(Ctl(L"Check3", i).value());
    for (int i = 1; i <= 4; ++i) flags += digit(Ctl(L"Check4", i).value());
    base.checkvalue = flags;
    base.optvalue.clear();
    for (auto [name, index] : {std::pair{L"Option1", 0}, {L"Option1", 1}, {L"Option2", 0}, {L"Option2", 1}, {L"Option2", 2}}) {
        base.optvalue += digit(Ctl(name, index).value());
    }
    if (auto shown = wholeOf(Ctl(L"Text2", 8).text())) base.tellShowtime = static_cast<int16_t>(std::min(*shown, 32767LL));
    base.tellsoundname = Ctl(L"Text1", 0).text();
    for (int i = 1; i <= 3; ++i) base.tellsoundname += L"\\" + Ctl(L"Text1", i).text();
    base.tellprocesstext = Ctl(L"Text4", 2).text();
    base.tellShowtext = Ctl(L"Text4", 1).text();
    base.clockFont = Ctl(L"Combo1").text();
    base.Fontselect = fontselectOf(Ctl(L"Combo2").listIndex(), Ctl(L"Combo3").listIndex(), Ctl(L"Combo4").listIndex());
    base.picturename = Ctl(L"Text1", 4).text() + L"\\" + colourText(Ctl(L"Text1", 4).backColour());
    return base;
}

}  // namespace settings
