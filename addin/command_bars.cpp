#include "addin/command_bars.h"

#include "addin/addin_setting.h"
#include "addin/commands.h"
#include "addin/siblings.h"
#include "win/pump.h"

namespace addin {
namespace {

constexpr long kButtonControl = 1;
constexpr long kLastBarIndex = 95;  // bars are looked for among these indexes only
constexpr wchar_t kSlideShowBar[] = L"Slide Show";
constexpr wchar_t kMenuBar[] = L"Menu Bar";
constexpr wchar_t kSlideShowMenu[] = L"幻灯片放映(&D)";
constexpr wchar_t kButtonTag[] = L"time_check";
constexpr long kIconAndCaption = 3;
constexpr long kWpsSettingsFace = 734;
constexpr long kMenuSettingsFace = 33;

Dispatch commandBar(IDispatch* app, const Variant& index) {
    return getObject(getObject(app, L"CommandBars").get(), L"Item", {index});
}

template <typename Visit>
void forEachBarIndex(IDispatch* app, Visit visit) {
    for (long i = 1; i <= kLastBarIndex; ++i) {
        if (Dispatch bar = commandBar(app, i)) visit(bar.get());
    }
}

void deleteControl(IDispatch* holder, const wchar_t* caption) {
    Dispatch control = getObject(getObject(holder, L"Controls").get(), L"Item", {caption});
    callMethod(control.get(), L"Delete");
}

// Adds a plain button to the controls of a bar or menu.
Dispatch addButton(IDispatch* holder, bool first, const Variant& temporary) {
    Dispatch controls = getObject(holder, L"Controls");
    auto added = callMethod(controls.get(), L"Add",
                            {kButtonControl, Variant::missing(), Variant::missing(),
                             first ? Variant(1L) : Variant::missing(), temporary});
    return added ? added->object() : Dispatch();
}

// Adds a show-clock button first on every bar named "Slide Show"; returns the last one.
template <typename Dress>
Dispatch addToSlideShowBars(IDispatch* app, Dress dress) {
    Dispatch last;
    forEachBarIndex(app, [&](IDispatch* bar) {
        if (getText(bar, L"Name") != kSlideShowBar) return;
        Dispatch button = addButton(bar, true, Variant::boolean(false));
        if (!button) return;
        putProperty(button.get(), L"Caption", kShowClockCaption);
        dress(button.get());
        putProperty(button.get(), L"Visible", Variant::boolean(true));
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
        putProperty(button, L"Parameter", L"showtime");
        putProperty(button, L"Tag", kButtonTag);
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
    Dispatch menu = getObject(getObject(commandBar(app, kMenuBar).get(), L"Controls").get(), L"Item", {kSlideShowMenu});
    Dispatch item = addButton(menu.get(), false, Variant::boolean(true));
    if (!item) return;
    putProperty(item.get(), L"Caption", kSettingsCaption);
    putProperty(item.get(), L"Parameter", L"clock_setting");
    putProperty(item.get(), L"Tag", kButtonTag);
    putProperty(item.get(), L"FaceId", kMenuSettingsFace);
    putProperty(item.get(), L"BeginGroup", Variant::boolean(true));
}

void removeMenuButton(IDispatch* app) {
    deleteControl(commandBar(app, kMenuBar).get(), kSettingsCaption);
    Dispatch menu = getObject(getObject(commandBar(app, L"menu bar").get(), L"Controls").get(), L"Item", {kSlideShowMenu});
    deleteControl(menu.get(), kSettingsCaption);
}

void addWpsButtons(IDispatch* app, WpsButtons& buttons) {
    removeWpsButtons(app);
    removeWpsButtons(app);
    Dispatch last = addToSlideShowBars(app, [](IDispatch* button) { putProperty(button, L"Style", kIconAndCaption); });
    if (last) buttons.button_right = ButtonWatch(last, button_right_Click);
    if (Dispatch menu = addButton(commandBar(app, kMenuBar).get(), false, Variant::missing())) {
        putProperty(menu.get(), L"Caption", kSettingsCaption);
        putProperty(menu.get(), L"FaceId", kWpsSettingsFace);
        putProperty(menu.get(), L"Visible", Variant::boolean(true));
        putProperty(menu.get(), L"BeginGroup", Variant::boolean(true));
        buttons.button_menu = ButtonWatch(menu, button_menu_Click);
    }
    startProgram(besideLibrary(kClockProgram));
}

void removeWpsButtons(IDispatch* app) {
    removeFromAllBars(app);
    deleteControl(commandBar(app, kMenuBar).get(), kSettingsCaption);
    clearShowFlags();
}

void Button_Click(IDispatch* ctrl, VARIANT_BOOL* cancelDefault) {
    runCommand(commandForParameter(getText(ctrl, L"Parameter")));
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
