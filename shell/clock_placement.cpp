#include "shell/clock_placement.h"

#include "shell/run_records.h"
#include "win/twips.h"

namespace shell {
namespace {

constexpr int32_t kParkDistance = 5000;
constexpr int32_t kRightMargin = 100;

int32_t insideOr(int32_t value, int32_t limit, int32_t fallback) {
    return value > 0 && value < limit ? value : fallback;
}

// Takes whole screens off an offset beyond one screen (an offset of exactly one screen stays).
// A screen of no size leaves the offset as it is instead of never finishing.
int32_t reducedBy(int32_t offset, int32_t screen) {
    if (screen <= 0 || offset <= screen) return offset;
    return (offset - 1) % screen + 1;
}

int32_t offsetOnSecondScreen(int32_t saved, int32_t screen) {
    int32_t offset = reducedBy(saved, screen);
    return offset < 0 ? 0 : offset;
}

}  // namespace

ScreenTwips screenTwips() {
    const ScreenShared& s = screenShared();
    return {win::pixelsToTwipsX(s.screenwidth), win::pixelsToTwipsY(s.screenheight)};
}

WindowPosition parkedPosition(int32_t width, int32_t height) {
    return {-width - kParkDistance, -height - kParkDistance};
}

WindowPosition mainClockPosition(WindowPosition saved, ScreenTwips screen, int32_t faceWidth, int32_t height) {
    int32_t maxX = screen.width - faceWidth - kRightMargin;
    return {insideOr(saved.left, maxX, maxX), insideOr(saved.top, screen.height - height, 0)};
}

WindowPosition secondClockPosition(WindowPosition saved, ScreenTwips screen, int32_t height) {
    int32_t left = offsetOnSecondScreen(saved.left, screen.width);
    int32_t top = offsetOnSecondScreen(saved.top, screen.height);
    return {screen.width + left, insideOr(top, screen.height - height, 0)};
}

}  // namespace shell
