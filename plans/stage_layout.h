#pragma once
// Where every control of the stage window stands: client twips, and the editor panel
// ("clocks" or "stages") it belongs to.
#include <vector>

#include "win/controls.h"

namespace plans {

inline constexpr wchar_t kClockPanel[] = L"clocks";
inline constexpr wchar_t kStagePanel[] = L"stages";
inline constexpr int kStageClientWidth = 6840, kStageClientHeight = 7560;
// The two tab pictures side by side; the chosen one stands taller.
inline constexpr int kTabLefts[2] = {120, 1370};
inline constexpr int kTabWidth = 1250;
inline constexpr int kTabTop = 85, kTabHeight = 375;
inline constexpr int kChosenTabTop = 60, kChosenTabHeight = 400;

std::vector<win::ControlDesign> stageLayout();

}  // namespace plans
