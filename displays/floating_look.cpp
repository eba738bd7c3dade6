#include "displays/floating_look.h"

#include <algorithm>

#include "shell/flag_strings.h"
#include "shell/ini_store.h"
#include "shell/look.h"
#include "shell/text_number.h"

namespace displays {
namespace {

constexpr wchar_t kDefaultFont[] = L"Trebuchet ms";
constexpr wchar_t kDefaultSelect[] = L"9\\4";
constexpr wchar_t kDefaultBannerSize[] = L"5";
constexpr wchar_t kDefaultBannerColour[] = L"5";
constexpr wchar_t kHighlightColour[] = L"-2147483635";  // the system's highlight colour
constexpr int16_t kLargestSizeIndex = 38;  // 200 points
constexpr int16_t kLastColourIndex = static_cast<int16_t>(shell::kPaletteSize - 1);
constexpr int32_t kTransparentOn = 1;
constexpr uint32_t kSystemColourBit = 0x80000000u;
constexpr uint32_t kSystemColourIndexMask = 0xFFu;
constexpr uint32_t kRgbMask = 0xFFFFFFu;

int16_t sizeIndexOf(const std::wstring& text) {
    return static_cast<int16_t>(std::clamp<int32_t>(shell::wholeNumberOf(text), 0, kLargestSizeIndex));
}

int16_t colourIndexOf(const std::wstring& text) {
    return static_cast<int16_t>(std::clamp<int32_t>(shell::wholeNumberOf(text), 0, kLastColourIndex));
}

std::wstring trimmed(const std::wstring& text) {
    size_t first = text.find_first_not_of(L' ');
    if (first == std::wstring::npos) return {};
    return text.substr(first, text.find_last_not_of(L' ') - first + 1);
}

std::wstring hotkey(const wchar_t* key, const wchar_t* fallback) {
    return shell::iniRead(shell::kHotkeySection, key, fallback);
}

TextStyle readStyle(const wchar_t* fontKey, const wchar_t* selectKey) {
    return styleOf(hotkey(fontKey, kDefaultFont), trimmed(hotkey(selectKey, kDefaultSelect)));
}

}  // namespace

int TextStyle::points() const { return shell::fontSizeOf(sizeIndex).value_or(0); }

COLORREF TextStyle::colour() const { return shell::colorOfIndex(colourIndex); }

TextStyle styleOf(const std::wstring& font, const std::wstring& select) {
    auto parts = shell::splitAtBackslash(font + L'\\' + select);
    if (parts.size() != 3) parts = shell::splitAtBackslash(std::wstring(kDefaultFont) + L'\\' + kDefaultSelect);
    return {parts[0], sizeIndexOf(parts[1]), colourIndexOf(parts[2])};
}

TextStyle readTimeStyle() { return readStyle(L"timeFont", L"timeselect"); }

TextStyle readTitleStyle() { return readStyle(L"titleFont", L"titleselect"); }

BannerLook readBannerLook() {
    BannerLook look;
    look.text.font = hotkey(L"processFont", kDefaultFont);
    look.text.sizeIndex = sizeIndexOf(hotkey(L"processFontSize", kDefaultBannerSize));
    look.text.colourIndex = colourIndexOf(hotkey(L"processColor", kDefaultBannerColour));
    look.transparent = shell::wholeNumberOf(hotkey(L"processvalue", L"0")) == kTransparentOn;
    look.back = storedColour(shell::wholeNumberOf(hotkey(L"processBackColor", kHighlightColour)));
    return look;
}

COLORREF storedColour(int32_t value) {
    auto bits = static_cast<uint32_t>(value);
    if (bits & kSystemColourBit) return GetSysColor(static_cast<int>(bits & kSystemColourIndexMask));
    return bits & kRgbMask;
}

}  // namespace displays
