#pragma once
// The window "阶段计时" that edits the saved clocks and the day's stages.
#include "win/dialog_window.h"

namespace plans {

class Frm_offtensetting : public win::DialogWindow {
public:
    Frm_offtensetting() : DialogWindow(L"Velmora.Frm_offtensetting", L"阶段计时", 9000, 6500) {}
};

}  // namespace plans
