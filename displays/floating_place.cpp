#include "displays/floating_place.h"

namespace displays {
namespace {

constexpr int32_t kBannerTop = 200;
constexpr int32_t kSecondBannerLower = 1500;
constexpr int32_t kParkBelowTop = 5000;

// A saved coordinate is kept when it lies in 1..limit; 0 and anything outside count as unset.
int32_t savedOr(int32_t saved, int32_t limit, int32_t fallback) {
    return saved >= 1 && saved <= limit ? saved : fallback;
}

}  // namespace

WindowPosition bannerPosition(WindowPosition saved, TwipsSize window, ScreenTwips screen, bool secondScreen) {
    int32_t freeWidth = screen.width - window.width;
    WindowPosition p{savedOr(saved.left, freeWidth, freeWidth / 2),
                     savedOr(saved.top, screen.height - window.height + kHangBelowBottom, kBannerTop)};
    if (secondScreen) return {p.left + screen.width, p.top + kSecondBannerLower};
    return p;
}

WindowPosition timePosition(WindowPosition saved, TwipsSize window, ScreenTwips screen) {
    int32_t right = screen.width - window.width, bottom = screen.height - window.height;
    return {savedOr(saved.left, right, right), savedOr(saved.top, bottom, bottom)};
}

WindowPosition titlePosition(WindowPosition saved, TwipsSize window, ScreenTwips screen) {
    return {savedOr(saved.left, screen.width - window.width, 0), savedOr(saved.top, screen.height - window.height, 0)};
}

WindowPosition offScreen(TwipsSize window, ScreenTwips screen) {
    return {-screen.width - window.width, -screen.height - kParkBelowTop};
}

}  // namespace displays
