#pragma once
// The look every floating window shares: font sizes, the colour palette, staying on top,
// and the frame drawn round a control.
#include <windows.h>

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace shell {

// Points for a size index: (index + 2) * 5; nothing when that leaves the 16-bit range.
std::optional<int16_t> fontSizeOf(int16_t index);

struct PaletteColour {
    std::wstring_view name;  // as the settings dialog lists it
    COLORREF value;
};
inline constexpr size_t kPaletteSize = 17;

// The fixed colours in index order; a list position is a colour index.
const std::array<PaletteColour, kPaletteSize>& palette();

// The palette's colour for an index; black for an index outside it.
COLORREF colorOfIndex(int16_t index);

// Raises the window to the topmost band without moving or activating it, unless the stay-on-top
// pause counter is still running; then the call only counts the pause down by 10. A window
// already above every other program's windows is left where it is.
void keepOnTop(HWND window);

struct TwipsRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t width = 0;
    int32_t height = 0;
    friend bool operator==(const TwipsRect&, const TwipsRect&) = default;
};

// The frame round a control: 15 twips wider on every side.
TwipsRect frameControl(const TwipsRect& control);

}  // namespace shell
