// The appearance editor (font, size, colour and background of one display target at a time)
// and the sound boxes of the reminder grid. Chosen files are copied once into the program's
// folders; a file of the same name there stays as it is.
#include <optional>

#include "app/forms.h"
#include "displays/Frm_process.h"
#include "displays/Frm_time.h"
#include "displays/Frm_title.h"
#include "settings/Settings.h"
#include "settings/choosers.h"
#include "settings/settings_rules.h"
#include "shell/file_helpers.h"
#include "shell/flag_strings.h"
#include "shell/ini_store.h"
#include "shell/program_folder.h"
#include "shell/run_records.h"
#include "shell/text_number.h"
#include "win/auto_message.h"

namespace settings {
namespace {

constexpr wchar_t kChooseTitle[] = L"导入文件名称";
constexpr wchar_t kPictureFilter[] = L"图片文件(*.jpg),*.ico,*.bmp,*.gif)|*.jpg;*.ico;*.bmp;*.gif";
constexpr wchar_t kSoundFilter[] = L"声音文件(*.wav),*.mp3|*.wav;*.mp3";
constexpr wchar_t kNoPicture[] = L"没有加载图片";
constexpr wchar_t kWrongSound[] = L"仅支持wav和mp3格式文件";
constexpr wchar_t kSoundInFolder[] = L"声音文件名不能包含\\或/";
constexpr unsigned kSoundMessageMs = 1000;
constexpr wchar_t kNotCopied[] = L"无法复制到";
constexpr wchar_t kFolderWord[] = L"文件夹";
constexpr unsigned kNotCopiedMs = 1200;
// What a list shows when the stored index is beyond it: the readers' defaults ("9\4", "5").
constexpr int kDefaultLookSize = 9, kDefaultLookColour = 4, kDefaultBannerIndex = 5;

// Copies the chosen file into the program folder `folder` unless a file of its name is there
// already; the bare name either way. When the file cannot be put there the user is told and
// gets nothing, so that no box names a file the program will not find.
std::optional<std::wstring> copyIntoFolder(const std::wstring& chosen, const wchar_t* folder) {
    std::wstring dir = shell::inProgramFolder(folder);
    CreateDirectoryW(dir.c_str(), nullptr);
    std::wstring name = shell::fileNameOfPath(chosen);
    std::wstring target = dir + L"\\" + name;
    if (GetFileAttributesW(target.c_str()) != INVALID_FILE_ATTRIBUTES || CopyFileW(chosen.c_str(), target.c_str(), FALSE)) {
        return name;
    }
    win::autoMessage(name + kNotCopied + folder + kFolderWord, kNotCopiedMs);
    return std::nullopt;
}

}  // namespace

void Settings::Combo5_Click() {
    using shell::iniRead;
    using shell::kHotkeySection;
    win::Control& transparent = Ctl(L"Check1", 3);
    win::Control& background = Ctl(L"Text1", 4);
    int target = Ctl(L"Combo5").listIndex();
    if (target == TitleLook || target == TimeLook) {
        bool title = target == TitleLook;
        std::wstring face = shell::trimBlanks(iniRead(kHotkeySection, title ? L"titleFont" : L"timeFont", L"Trebuchet MS"));
        std::wstring pair = shell::trimBlanks(iniRead(kHotkeySection, title ? L"titleselect" : L"timeselect", L"9\\4"));
        shell::setFlagOn(shell::clockSetting().checkvalue, title ? shell::check::titleWindow : shell::check::timeWindow);
        (title ? forms::Frm_title().Timer3 : forms::Frm_time().Timer3).enabled(true);
        transparent.setValue(1);
        transparent.setEnabled(false);
        setFace(face);
        auto parts = shell::splitAtBackslash(pair);
        showListIndex(L"Combo2", shell::wholeNumberOf(parts[0]), kDefaultLookSize);
        if (parts.size() > 1) showListIndex(L"Combo3", shell::wholeNumberOf(parts[1]), kDefaultLookColour);
    } else if (target == BannerLook) {
        setFace(iniRead(kHotkeySection, L"processFont", L"Trebuchet ms"));
        showListIndex(L"Combo2", shell::wholeNumberOf(iniRead(kHotkeySection, L"processFontSize", L"5")), kDefaultBannerIndex);
        showListIndex(L"Combo3", shell::wholeNumberOf(iniRead(kHotkeySection, L"processColor", L"5")), kDefaultBannerIndex);
        transparent.setValue(shell::wholeNumberOf(iniRead(kHotkeySection, L"processvalue", L"0")));
        transparent.setEnabled(true);
        transparentClicked();
        background.setText(L"");
        background.setBackColour(static_cast<COLORREF>(
            shell::wholeNumberOf(iniRead(kHotkeySection, L"processBackColor", L"-2147483635"))));
        forms::Frm_process().Timer3.enabled(true);
        Ctl(L"Command3").setEnabled(false);
    } else if (target == ClockLook) {
        const shell::ClockSetting& c = shell::clockSetting();
        setFace(c.clockFont);
        shell::LookCode look = shell::lookCodeOf(c.Fontselect);
        Ctl(L"Combo2").setListIndex(look.sizeIndex);
        Ctl(L"Combo3").setListIndex(look.colourIndex);
        transparent.setValue(shell::flagOn(c.checkvalue, shell::check::transparent) ? 1 : 0);
        transparent.setEnabled(true);
        auto parts = shell::splitAtBackslash(c.picturename);
        background.setText(parts[0]);
        if (parts.size() > 1) background.setBackColour(static_cast<COLORREF>(shell::wholeNumberOf(parts[1])));
        Ctl(L"Command3").setEnabled(true);
        transparentClicked();
    }
}

void Settings::Command3_Click() {
    win::Control& background = Ctl(L"Text1", 4);
    std::wstring previous = background.text();
    background.setText(L"");  // cancelling removes the picture
    std::wstring chosen = chooseFile(kChooseTitle, kPictureFilter, shell::inProgramFolder(L"picture"));
    if (unloading()) return;  // a dialog that went under its chooser takes nothing
    if (chosen.empty()) {
        win::autoMessage(kNoPicture, 1200, MB_OK | MB_ICONQUESTION);
        return;
    }
    auto copied = copyIntoFolder(chosen, L"picture");
    if (!copied) {
        background.setText(previous);
        return;
    }
    background.setText(*copied);
    background.setBackColour(kWindowColour);
}

void Settings::Text1_Click(int index) {
    if (index == 4) {
        auto colour = chooseColour();
        if (!colour || unloading()) return;
        Ctl(L"Text1", 4).setText(L"");
        Ctl(L"Text1", 4).setBackColour(*colour);
        return;
    }
    // The chooser taking the focus is not the user leaving the box: its name is checked when
    // the user leaves it.
    choosingSound_ = true;
    std::wstring chosen = chooseFile(kChooseTitle, kSoundFilter, shell::inProgramFolder(L"sounds\\"));
    choosingSound_ = false;
    if (chosen.empty() || unloading()) return;
    if (auto copied = copyIntoFolder(chosen, L"sounds")) {
        Ctl(L"Text1", index).setText(*copied);
        soundNames_[index] = *copied;
    }
}

void Settings::Text1_LostFocus(int index) {
    if (index == 4 || choosingSound_) return;
    if (!keepSoundName(index)) return;
    win::Control& box = Ctl(L"Text1", index);
    if (!soundNameAccepted(box.text())) {
        win::autoMessage(kWrongSound, kSoundMessageMs);
        box.setText(L"");
    }
    soundNames_[index] = box.text();
}

// A name with a folder in it would split the stored sound list, every later sound moving one
// place: the box goes back to its last name. False when it did.
bool Settings::keepSoundName(int index) {
    win::Control& box = Ctl(L"Text1", index);
    if (!soundNameHasFolder(box.text())) return true;
    win::autoMessage(kSoundInFolder, kSoundMessageMs);
    box.setText(soundNames_[index]);
    return false;
}

}  // namespace settings
