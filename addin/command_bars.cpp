#include "addin/command_bars.h"

#include "addin/addin_setting.h"
#include "addin/commands.h"
#include "addin/siblings.h"
#include "win/pump.h"

namespace addin {
namespace {

using win::arguments;
using win::dispatchCall;
using win::dispatchGet;
using win::dispatchPut;
using win::dispatchText;
using win::Variant;

constexpr int kButtonControl = 1;
constexpr int kLastBarIndex = 95;  // bars are looked for among these indexes only
constexpr wchar_t kSlideShowBar[] = L"Slide Show";
constexpr wchar_t kMenuBar[] = L"Menu Bar";
constexpr wchar_t kSlideShowMenu[] = L"幻灯片放映(&D)";
constexpr wchar_t kButtonTag[] = L"time_check";
constexpr int kIconAndCaption = 3;
constexpr int kMenuSettingsFace = 33;

Dispatch commandBar(IDispatch* app, const Variant& index) {
    return dispatchGet(dispatchGet(app, L"CommandBars").get(), L"Item", arguments(index));
}

template <typename Visit>
void forEachBarIndex(IDispatch* app, Visit visit) {
    for (int i = 1; i <= kLastBarIndex; ++i) {
        if (Dispatch bar = commandBar(app, Variant(i))) visit(bar.get());
    }
}

void deleteControl(IDispatch* holder, const wchar_t* caption) {
    Dispatch control = dispatchGet(dispatchGet(holder, L"Controls").get(), L"Item", arguments(Variant(caption)));
    dispatchCall(control.get(), L"Delete");
}

// Adds a plain button to the controls of a bar or menu.
Dispatch addButton(IDispatch* holder, bool first, const Variant& temporary) {
    Dispatch controls = dispatchGet(holder, L"Controls");
    return dispatchGet(controls.get(), L"Add",
                       arguments(Variant(kButtonControl), Variant::missing(), Variant::missing(),
                                 first ? Variant(1) : Variant::missing(), temporary));
}

// Adds a show-clock button first on every bar named "Slide Show"; returns the last one.
template <typename Dress>
Dispatch addToSlideShowBars(IDispatch* app, Dress dress) {
    Dispatch last;
    forEachBarIndex(app, [&](IDispatch* bar) {
        if (dispatchText(bar, L"Name") != kSlideShowBar) return;
        Dispatch button = addButton(bar, true, Variant(false));
        if (!button) return;
        dispatchPut(button.get(), L"Caption", Variant(kShowClockCaption));
        dress(button.get());
        dispatchPut(button.get(), L"Visible", Variant(true));
        last = button;
    });
    return last;
}

void removeFromAllBars(IDispatch* app) {
    forEachBarIndex(app, [](IDispatch* bar) { deleteControl(bar, kShowClockCaption); });
}

void button_right_Click(IDispatch*, VARIANT_BOOL*) { showClock(); }
void button_menu_Click(IDispatch*, VARIANT_BOOL*) { openSettingsProgram(); }

}  // namespace

void addShowButtons(IDispatch* app, ButtonWatch& cbEventSink) {
    removeShowButtons(app);
    removeShowButtons(app);
    Dispatch last = addToSlideShowBars(app, [](IDispatch* button) {
        dispatchPut(button, L"Parameter", Variant(L"showtime"));
        dispatchPut(button, L"Tag", Variant(kButtonTag));
    });
    cbEventSink = ButtonWatch(last, Button_Click);
    startProgram(besideLibrary(kClockProgram));
}

void removeShowButtons(IDispatch* app) {
    removeFromAllBars(app);
    clearShowFlags();
}

void addMenuButton(IDispatch* app) {
    removeMenuButton(app);
    Dispatch menu = dispatchGet(dispatchGet(commandBar(app, Variant(kMenuBar)).get(), L"Controls").get(), L"Item",
                                arguments(Variant(kSlideShowMenu)));
    Dispatch item = addButton(menu.get(), false, Variant(true));
    if (!item) return;
    dispatchPut(item.get(), L"Caption", Variant(kSettingsCaption));
    dispatchPut(item.get(), L"Parameter", Variant(L"clock_setting"));
    dispatchPut(item.get(), L"Tag", Variant(kButtonTag));
    dispatchPut(item.get(), L"FaceId", Variant(kMenuSettingsFace));
    dispatchPut(item.get(), L"BeginGroup", Variant(true));
}

void removeMenuButton(IDispatch* app) {
    deleteControl(commandBar(app, Variant(kMenuBar)).get(), kSettingsCaption);
    Dispatch menu = dispatchGet(dispatchGet(commandBar(app, Variant(L"menu bar")).get(), L"Controls").get(), L"Item",
                                arguments(Variant(kSlideShowMenu)));
    deleteControl(menu.get(), kSettingsCaption);
}

void addWpsButtons(IDispatch* app, WpsButtons& buttons, int settingsFace) {
    removeWpsButtons(app);
    removeWpsButtons(app);
    Dispatch last = addToSlideShowBars(app, [](IDispatch* button) { dispatchPut(button, L"Style", Variant(kIconAndCaption)); });
    if (last) buttons.button_right = ButtonWatch(last, button_right_Click);
    if (Dispatch menu = addButton(commandBar(app, Variant(kMenuBar)).get(), false, Variant::missing())) {
        dispatchPut(menu.get(), L"Caption", Variant(kSettingsCaption));
        dispatchPut(menu.get(), L"FaceId", Variant(settingsFace));
        dispatchPut(menu.get(), L"Visible", Variant(true));
        dispatchPut(menu.get(), L"BeginGroup", Variant(true));
        buttons.button_menu = ButtonWatch(menu, button_menu_Click);
    }
    startProgram(besideLibrary(kClockProgram));
}

void removeWpsButtons(IDispatch* app) {
    removeFromAllBars(app);
    deleteControl(commandBar(app, Variant(kMenuBar)).get(), kSettingsCaption);
    clearShowFlags();
}

void Button_Click(IDispatch* ctrl, VARIANT_BOOL* cancelDefault) {
    runCommand(commandForParameter(dispatchText(ctrl, L"Parameter")));
    if (cancelDefault) *cancelDefault = VARIANT_TRUE;
    win::doEvents();
}

std::wstring ribbonXml() {
    return L"<customUI xmlns=\"http://schemas.microsoft.com/office/2006/01/customui\">"
           L"<ribbon >"
           L"<tabs>"
           L"<tab idMso=\"TabSlideShow\">"
           L"<group id=\"SampleGroup1\" label=\"Kelvane\">"
           L"<button id=\"Button4\" label=\"时钟设置\" size=\"large\" imageMso=\"StartAfterPrevious\" onAction=\"mybuttons\"/>"
           L"</group >"
           L"</tab>"
           L"</tabs>"
           L"</ribbon>"
           L"</customUI>";
}

}  // namespace addin
