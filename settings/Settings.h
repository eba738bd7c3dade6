#pragma once
// The settings dialog "设置": every setting of the clock, its hotkeys and its time source.
#include "win/dialog_window.h"

namespace settings {

class Settings : public win::DialogWindow {
public:
    Settings() : DialogWindow(L"Velmora.Settings", L"设置", 7095, 7545) {}
};

}  // namespace settings
