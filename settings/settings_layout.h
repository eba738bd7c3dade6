#pragma once
// The controls of the settings dialog, in creation (and Tab) order.
#include <initializer_list>
#include <vector>

#include "win/controls.h"

namespace settings {

inline constexpr wchar_t kRemindPage[] = L"remind";
inline constexpr wchar_t kOtherPage[] = L"other";

std::vector<win::ControlDesign> settingsLayout();

// Text boxes `box` first..last, each framed by the shape `shape` of the same index 15 twips
// outside it on the box's page; frames and shapes are moved to the end, behind the rest.
struct FramedBoxes {
    const wchar_t* shape;
    const wchar_t* box;
    int first, last;
};
void addTextFrames(std::vector<win::ControlDesign>& l, std::initializer_list<FramedBoxes> framed);

}  // namespace settings
