#include "shell/look.h"

#include <limits>
#include <vector>

#include "shell/run_records.h"
#include "win/window_work.h"

namespace shell {
namespace {

constexpr int32_t kFrameMargin = 15;  // twips
constexpr int32_t kPauseStep = 10;

constexpr std::array<PaletteColour, kPaletteSize> kPalette{{
    {L"黑色", RGB(0, 0, 0)},
    {L"深红", RGB(128, 0, 0)},
    {L"紫红", RGB(255, 0, 255)},
    {L"红色", RGB(255, 0, 0)},
    {L"黄色", RGB(255, 255, 0)},
    {L"橄榄色", RGB(128, 128, 0)},
    {L"浅绿", RGB(0, 255, 0)},
    {L"绿色", RGB(0, 128, 0)},
    {L"绿蓝", RGB(0, 128, 128)},
    {L"浅蓝", RGB(0, 0, 255)},
    {L"深蓝", RGB(0, 0, 128)},
    {L"天蓝", RGB(192, 192, 255)},
    {L"兰色", RGB(0, 255, 255)},
    {L"紫色", RGB(128, 0, 128)},
    {L"灰色", RGB(128, 128, 128)},
    {L"银白", RGB(192, 192, 192)},
    {L"白色", RGB(255, 255, 255)},
}};

BOOL CALLBACK collectWindow(HWND window, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

// Topmost, and no visible window of another program above it; our own windows do not count.
// The order is read in one trip to the window system: stepping through it costs a trip for every
// window, and EnumWindows asks after every other program's window, even below ours; this runs
// several times a second.
bool aboveOtherPrograms(HWND window) {
    if (!(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST)) return false;
    std::vector<HWND> order;  // top first
    EnumDesktopWindows(nullptr, collectWindow, reinterpret_cast<LPARAM>(&order));
    DWORD self = GetCurrentProcessId();
    for (HWND above : order) {
        if (above == window) return true;
        DWORD owner = 0;
        GetWindowThreadProcessId(above, &owner);
        if (owner != self && IsWindowVisible(above)) return false;
    }
    return true;
}

}  // namespace

std::optional<int16_t> fontSizeOf(int16_t index) {
    int32_t points = (index + 2) * 5;
    if (points < std::numeric_limits<int16_t>::min() || points > std::numeric_limits<int16_t>::max()) {
        return std::nullopt;
    }
    return static_cast<int16_t>(points);
}

const std::array<PaletteColour, kPaletteSize>& palette() { return kPalette; }

COLORREF colorOfIndex(int16_t index) {
    if (index < 0 || index >= static_cast<int16_t>(kPaletteSize)) return RGB(0, 0, 0);
    return kPalette[index].value;
}

// Never activates: the keyboard stays with whatever program the speaker types in.
void keepOnTop(HWND window) {
    int32_t& pause = timingState().topmostpause;
    if (pause >= 1) {
        pause -= kPauseStep;
        return;
    }
    if (aboveOtherPrograms(window)) return;
    ++win::windowWork().raises;
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

TwipsRect frameControl(const TwipsRect& control) {
    return {control.left - kFrameMargin, control.top - kFrameMargin, control.width + 2 * kFrameMargin,
            control.height + 2 * kFrameMargin};
}

}  // namespace shell
