#include "faces/face_look.h"

#include <algorithm>
#include <array>
#include <utility>

#include "shell/flag_strings.h"

namespace faces {
namespace {

constexpr int32_t kMaxPictureWidth = 600;   // pixels
constexpr int32_t kMaxPictureHeight = 450;
constexpr int32_t kFaceHeightAllowance = 20;
constexpr COLORREF kKeyStep = 10;

// Text colours with a key of their own; every other colour's key is the text colour a step up.
constexpr std::array<std::pair<COLORREF, COLORREF>, 7> kKeyExceptions{{
    {RGB(0, 0, 0), RGB(0, 0, 64)},
    {RGB(255, 0, 255), RGB(250, 113, 113)},
    {RGB(255, 0, 0), RGB(250, 0, 50)},
    {RGB(255, 255, 0), RGB(250, 250, 50)},
    {RGB(0, 128, 0), RGB(0, 64, 0)},
    {RGB(0, 0, 128), RGB(0, 0, 192)},
    {RGB(255, 255, 255), RGB(250, 250, 250)},
}};

}  // namespace

COLORREF keyColourOf(COLORREF text) {
    for (const auto& [colour, key] : kKeyExceptions) {
        if (colour == text) return key;
    }
    return text + kKeyStep;
}

bool opaqueBackground(std::wstring_view checkvalue) {
    return checkvalue.size() >= shell::check::transparent && checkvalue[shell::check::transparent - 1] == L'0';
}

shell::PictureSize cappedPictureSize(shell::PictureSize size) {
    return {std::min(size.width, kMaxPictureWidth), std::min(size.height, kMaxPictureHeight)};
}

TwipsSize faceBoxOf(TwipsSize text, int32_t widthAllowance) {
    return {text.width + widthAllowance, text.height + kFaceHeightAllowance};
}

TwipsSize windowAround(TwipsSize face, std::optional<shell::PictureSize> picture) {
    if (!picture) return face;
    return {std::max(face.width, picture->width * kTwipsPerPicturePixel),
            std::max(face.height, picture->height * kTwipsPerPicturePixel)};
}

shell::WindowPosition dropOnScreen(shell::WindowPosition dropped, TwipsSize window, shell::ScreenTwips screen,
                                   int32_t belowBottom) {
    // The far edge wins over the near one when the window is larger than the screen.
    auto inside = [](int32_t at, int32_t limit) { return std::min(std::max(at, 0), limit); };
    return {inside(dropped.left, screen.width - window.width),
            inside(dropped.top, screen.height - window.height + belowBottom)};
}

}  // namespace faces
