#pragma once
// Where every control of the stage window stands: client twips, and the editor panel
// ("clocks" or "stages") it belongs to.
#include <vector>

#include "win/controls.h"

namespace plans {

inline constexpr wchar_t kClockPanel[] = L"clocks";
inline constexpr wchar_t kStagePanel[] = L"stages";
inline constexpr int kStageClientWidth = 6840, kStageClientHeight = 7560;

std::vector<win::ControlSpec> stageLayout();

}  // namespace plans
