#pragma once
// The add-in's buttons on the host's command bars and in its ribbon, and their clicks.
#include <string>

#include "addin/button_watch.h"

namespace addin {

inline constexpr wchar_t kShowClockCaption[] = L"显示Kelvane";
inline constexpr wchar_t kSettingsCaption[] = L"时钟设置";

// PowerPoint: a show-clock button first on every "Slide Show" bar, watched through the last
// one; then the clock program starts. Leftovers of earlier connections go first.
void addShowButtons(IDispatch* app, ButtonWatch& cbEventSink);
void removeShowButtons(IDispatch* app);
// PowerPoint 10.0 and 11.0: a temporary settings item in the menu "幻灯片放映(&D)".
void addMenuButton(IDispatch* app);
void removeMenuButton(IDispatch* app);

// WPS: show-clock buttons as in PowerPoint and a settings button on the "Menu Bar".
struct WpsButtons {
    ButtonWatch button_right;
    ButtonWatch button_menu;
};
// The settings button's icon: the Office add-in in WPS, and WPS's own version 8 add-in.
inline constexpr int kWpsSettingsFace = 734;
inline constexpr int kWpsV8SettingsFace = 46;
void addWpsButtons(IDispatch* app, WpsButtons& buttons, int settingsFace);
void removeWpsButtons(IDispatch* app);

// The click of any control tagged "time_check": its Parameter names the command.
void Button_Click(IDispatch* ctrl, VARIANT_BOOL* cancelDefault);

std::wstring ribbonXml();

}  // namespace addin
