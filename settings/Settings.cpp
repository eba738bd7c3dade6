#include "settings/Settings.h"

#include "app/forms.h"
#include "plans/Frm_offtensetting.h"
#include "settings/addin_repair.h"
#include "settings/settings_layout.h"
#include "settings/settings_rules.h"
#include "shell/help.h"
#include "shell/run_records.h"
#include "shell/settings_registry.h"
#include "win/auto_message.h"
#include "win/program_end.h"
#include "win/pump.h"
#include "win/twips.h"

namespace settings {
namespace {

constexpr wchar_t kHelpTopic[] = L"2.1、设置.htm";
constexpr unsigned kRepairMessageMs = 8000;

// Tab image geometry: a selected tab stands taller.
constexpr int kTabTop = 45, kTabHeight = 375;
constexpr int kSelectedTabTop = 20, kSelectedTabHeight = 400;
constexpr int kTabLefts[2] = {240, 1190};
constexpr int kTabWidth = 960;

}  // namespace

Settings::Settings() : TabbedDialog(L"Velmora.Settings", L"设置", 7095, 7545) { addTimer(Timer1); }

bool Settings::dialogCommand(WORD id) {
    if (id != IDOK) return false;
    Command1_Click();
    return true;
}

void Settings::Form_Load() {
    createControls();
    wireHandlers();
    loadControls();
    frameTabs();
    Timer1.enabled(true);
}

void Settings::createControls() {
    ControlDialog::createControls(settingsLayout());
    LOGFONTW lf{};
    GetObjectW(font_.get(), sizeof lf, &lf);
    lf.lfWeight = FW_BOLD;
    tabFont_.reset(CreateFontIndirectW(&lf));
}

// Tab 1 selected, its page shown.
void Settings::frameTabs() {
    for (int i = 1; i <= 2; ++i) {
        tabPictures_[i - 1] = TabPicture::Normal;
        Ctl(L"Image2", i).moveTo(kTabLefts[i - 1], kTabTop, kTabWidth, kTabHeight);
    }
    selectedTab_ = 1;
    tabPictures_[0] = TabPicture::Selected;
    Ctl(L"Image2", 1).moveTo(kTabLefts[0], kSelectedTabTop, kTabWidth, kSelectedTabHeight);
    showPage(kRemindPage);
}

void Settings::showPage(const wchar_t* page) {
    ControlDialog::showPage(page);
    for (int i = 1; i <= 2; ++i) repaintTab(i);
}

void Settings::repaintTab(int index) {
    for (const wchar_t* name : {L"Image2", L"Lab_Tab"}) InvalidateRect(Ctl(name, index).hwnd(), nullptr, TRUE);
}

void Settings::Image2_Click(int index) {
    frameTabs();
    if (index != 2) return;
    tabPictures_[0] = TabPicture::Normal;
    tabPictures_[1] = TabPicture::Selected;
    selectedTab_ = 2;
    Ctl(L"Image2", 1).moveTo(kTabLefts[0], kTabTop, kTabWidth, kTabHeight);
    Ctl(L"Image2", 2).moveTo(kTabLefts[1], kSelectedTabTop, kTabWidth, kSelectedTabHeight);
    showPage(kOtherPage);
    fillTimeMethods();
}

void Settings::Image2_MouseMove(int index) {
    Form_MouseMove();
    if (tabPictures_[index - 1] == TabPicture::Selected) return;
    tabPictures_[index - 1] = TabPicture::Hovered;
    repaintTab(index);
}

void Settings::Form_MouseMove() {
    for (int i = 1; i <= 2; ++i) {
        if (tabPictures_[i - 1] != TabPicture::Hovered) continue;
        tabPictures_[i - 1] = TabPicture::Normal;
        repaintTab(i);
    }
}

void Settings::paintPicture(const DRAWITEMSTRUCT& d) {
    win::Control* c = controls_.find(d.hwndItem);
    if (!c) return;
    RECT r = d.rcItem;
    if (c->name() == L"Image1") {  // the stage icon: a small clock
        win::UniqueBrush face(CreateSolidBrush(RGB(70, 120, 190)));
        win::SelectScope brush(d.hDC, face.get());
        Ellipse(d.hDC, r.left + 2, r.top + 2, r.right - 2, r.bottom - 2);
        MoveToEx(d.hDC, (r.left + r.right) / 2, (r.top + r.bottom) / 2, nullptr);
        LineTo(d.hDC, (r.left + r.right) / 2, r.top + 5);
        return;
    }
    TabPicture p = tabPicture(c->index());
    if (c->name() == L"Image2") return win::paintTabPicture(d, p);
    win::paintTabCaption(d, p, tabFont_.get(), c->text());
}

void Settings::Timer1_Timer() { shell::timingState().topmostpause = 200; }

void Settings::Lab_help_Click() { shell::showHelp(hwnd(), kHelpTopic); }

// While a handler waits with the message loop running, the dialog takes no input.
class Settings::WaitScope {
public:
    explicit WaitScope(Settings& dialog) : dialog_(dialog) { EnableWindow(dialog_.hwnd(), FALSE); }
    ~WaitScope() { EnableWindow(dialog_.hwnd(), TRUE); }
    WaitScope(const WaitScope&) = delete;
    WaitScope& operator=(const WaitScope&) = delete;

private:
    Settings& dialog_;
};

void Settings::Command2_Click() { unload(); }

// Every stored setting goes first; the next read gives the first-run defaults. From there the
// repair runs to its end and says how it went, whether or not the dialog is still there: only the
// program's going stops it.
void Settings::Command5_Click() {
    shell::delsetting();
    win::askMessage(kRepairNotice, win::kProductName, MB_OK);
    if (win::programEnding()) return;
    std::vector<std::wstring> failed;
    {
        WaitScope wait(*this);  // the clock runs on while the registrations are waited for
        failed = repairAddins();
    }
    win::autoMessage(repairMessage(failed), kRepairMessageMs);
}

// The stage window opens modal: this dialog waits, disabled, until that window is gone, or
// until this dialog is asked to go, which takes its stage window with it. It is disabled before it
// moves: the second click of a double click lands on the moved dialog, near its "关闭".
void Settings::Image1_Click() {
    auto& stages = forms::Frm_offtensetting();
    MSG m{};
    {
        WaitScope wait(*this);
        setLeft(stageDialogLeft(win::twipsPerPixelX(), shell::screenShared().screenwidth, Width()));
        stages.Show();
        while (stages.loaded() && !unloading() && GetMessageW(&m, nullptr, 0, 0) > 0) win::dispatch(m);
    }
    if (m.message == WM_QUIT) PostQuitMessage(static_cast<int>(m.wParam));
    if (unloading()) {
        stages.unload();
        return;
    }
    SetForegroundWindow(hwnd());
}

}  // namespace settings
