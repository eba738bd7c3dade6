#pragma once
// The controls of the settings dialog, in creation (and Tab) order.
#include <vector>

#include "win/controls.h"

namespace settings {

inline constexpr wchar_t kRemindPage[] = L"remind";
inline constexpr wchar_t kOtherPage[] = L"other";

std::vector<win::ControlDesign> settingsLayout();

}  // namespace settings
