#pragma once
// The looks of the banner, the time-of-day window and the title window as the settings dialog
// keeps them in section Hotkey of the INI store. The size and colour indexes are held to sizes
// a window can take and to the palette, whatever the file says.
#include <windows.h>

#include <cstdint>
#include <string>

namespace displays {

struct TextStyle {
    std::wstring font;
    int16_t sizeIndex = 0;
    int16_t colourIndex = 0;

    int points() const;
    COLORREF colour() const;
};

// The time-of-day and title windows keep face, size and colour as one text "face\size\colour";
// anything but three parts there (a face name with a "\" in it) gives "Trebuchet ms\9\4".
TextStyle styleOf(const std::wstring& font, const std::wstring& select);
TextStyle readTimeStyle();
TextStyle readTitleStyle();

struct BannerLook {
    TextStyle text;
    bool transparent = false;  // only the text shows: the background is colour-keyed
    COLORREF back = 0;
};
BannerLook readBannerLook();

// A colour as the store keeps it: an RGB value, or a system colour (its index with the top bit set).
COLORREF storedColour(int32_t value);

}  // namespace displays
