// The dialog fills its controls from what is stored (never from the running clock), so it
// always shows the stored state. Every value set here raises its control's handler.
#include <algorithm>

#include "settings/Settings.h"
#include "settings/settings_rules.h"
#include "shell/file_helpers.h"
#include "shell/flag_strings.h"
#include "shell/ini_store.h"
#include "shell/look.h"
#include "shell/program_folder.h"
#include "shell/settings_registry.h"
#include "shell/text_number.h"

namespace settings {
namespace {

constexpr int kSizeItems = 39, kCornerItems = 11;
constexpr wchar_t kTrebuchet[] = L"Trebuchet MS";
constexpr const wchar_t* kTargets[] = {L"标题", L"系统时间", L"提示文本", L"时钟"};

int CALLBACK collectFace(const LOGFONTW* f, const TEXTMETRICW*, DWORD, LPARAM list) {
    auto& faces = *reinterpret_cast<std::vector<std::wstring>*>(list);
    if (std::find(faces.begin(), faces.end(), f->lfFaceName) == faces.end()) faces.emplace_back(f->lfFaceName);
    return 1;
}

std::vector<std::wstring> systemFaces() {
    std::vector<std::wstring> faces;
    win::WindowDC screen(nullptr);
    LOGFONTW all{};
    all.lfCharSet = DEFAULT_CHARSET;
    EnumFontFamiliesExW(screen.get(), &all, collectFace, reinterpret_cast<LPARAM>(&faces), 0);
    return faces;
}

bool fileExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void setCheck(win::Control& box, std::optional<int> state) {
    if (state) box.setValue(*state);
}

}  // namespace

void Settings::setFace(const std::wstring& face) {
    if (!Ctl(L"Combo1").selectItem(face)) Ctl(L"Combo1").selectItem(kTrebuchet);
}

void Settings::showListIndex(const wchar_t* list, std::optional<int> stored, int fallback) {
    win::Control& c = Ctl(list);
    c.setListIndex(listIndexOr(stored, c.listCount(), fallback));
}

void Settings::loadControls() {
    shell::ClockSetting s;
    shell::readsetting(s);
    fillLists();
    showClock(s);
    Ctl(L"Check1", 4).setValue(shell::readSecondScreen());

    Ctl(L"Text2", 8).setText(std::to_wstring(s.tellShowtime));
    loadIniKeys();

    win::Control& targets = Ctl(L"Combo5");
    targets.clear();
    for (const wchar_t* t : kTargets) targets.addItem(t);
}

IniKeyValues Settings::storedIniKeys() {
    using shell::kHotkeySection;
    return {std::to_wstring(shell::wholeNumberOf(shell::iniRead(kHotkeySection, L"add", L"0"))),
            shell::trimBlanks(shell::iniRead(kHotkeySection, L"hide", kNoHotkey)),
            shell::trimBlanks(shell::iniRead(kHotkeySection, L"often", L"00"))};
}

void Settings::showIniKeys(const IniKeyValues& keys) {
    Ctl(L"Text2", 7).setText(keys.add);
    Ctl(L"Text3", 0).setText(keys.hide);
    setCheck(Ctl(L"Check5", 0), checkOfOften(keys.often, 1));
    setCheck(Ctl(L"Check5", 1), checkOfOften(keys.often, 2));
}

void Settings::fillLists() {
    win::Control& faces = Ctl(L"Combo1");
    faces.clear();
    bool shipped = fileExists(shell::inProgramFolder(L"font\\Arial Black.ttf"));
    for (const auto& f : fontFaces(shipped, shipped ? std::vector<std::wstring>{} : systemFaces())) faces.addItem(f);
    win::Control& sizes = Ctl(L"Combo2");
    sizes.clear();
    for (int i = 0; i < kSizeItems; ++i) sizes.addItem(std::to_wstring((i + 2) * 5));
    win::Control& colours = Ctl(L"Combo3");
    colours.clear();
    for (const auto& c : shell::palette()) colours.addItem(std::wstring(c.name));
    win::Control& corners = Ctl(L"Combo4");
    corners.clear();
    for (int i = 0; i < kCornerItems; ++i) corners.addItem(std::to_wstring(i * 2));
}

void Settings::showClock(const shell::ClockSetting& s) {
    const int32_t times[] = {s.Time_one, s.Time_two, s.Time_three};
    for (int k = 0; k < 3; ++k) Ctl(L"Text2", k + 4).setText(std::to_wstring(times[k]));

    const std::wstring& flags = s.checkvalue;
    for (int k = 2; k <= 4; ++k) setCheck(Ctl(L"Check2", k), checkOfFlag(flags, static_cast<size_t>(k - 1)));
    for (int i = 0; i <= 3; ++i) setCheck(Ctl(L"Check1", i), checkOfFlag(flags, static_cast<size_t>(i + 4)));
    for (int i = 0; i <= 8; ++i) setCheck(Ctl(L"Check3", i), checkOfFlag(flags, static_cast<size_t>(i + 9)));
    for (int i = 1; i <= 4; ++i) setCheck(Ctl(L"Check4", i), checkOfFlag(flags, static_cast<size_t>(i + 17)));

    // Each option in turn: of two "1" in one group the later wins.
    const std::pair<const wchar_t*, int> options[] = {
        {L"Option1", 0}, {L"Option1", 1}, {L"Option2", 0}, {L"Option2", 1}, {L"Option2", 2}};
    for (size_t p = 0; p < std::size(options); ++p) {
        setCheck(Ctl(options[p].first, options[p].second), checkOfFlag(s.optvalue, p + 1));
    }

    setFace(s.clockFont);
    // A list that cannot show its stored index (missing, or beyond the list) shows the first
    // run's, so that Apply stores a look the user saw, never one of lists without a selection.
    const shell::LookCode firstRun = shell::lookCodeOf(shell::kDefaultFontselect);
    showListIndex(L"Combo2", indexOfDigits(s.Fontselect, 1), firstRun.sizeIndex);
    showListIndex(L"Combo3", indexOfDigits(s.Fontselect, 3), firstRun.colourIndex);
    showListIndex(L"Combo4", indexOfDigits(s.Fontselect, 5), firstRun.cornerIndex);

    auto picture = shell::splitAtBackslash(s.picturename);
    win::Control& background = Ctl(L"Text1", 4);
    background.setText(picture[0]);
    if (picture.size() > 1) background.setBackColour(static_cast<COLORREF>(shell::wholeNumberOf(picture[1])));
    auto sounds = shell::splitAtBackslash(s.tellsoundname);
    for (size_t i = 0; i < std::min<size_t>(sounds.size(), 4); ++i) Ctl(L"Text1", static_cast<int>(i)).setText(sounds[i]);
    for (int i = 0; i < kSoundBoxes; ++i) soundNames_[i] = Ctl(L"Text1", i).text();
    Ctl(L"Text4", 1).setText(s.tellShowtext);
    Ctl(L"Text4", 2).setText(s.tellprocesstext);
}

}  // namespace settings
