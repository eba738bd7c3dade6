#pragma once
// The packed texts of a clock's settings: switch flags, option flags, the look code, the
// picture field, the sound list and the size-and-colour pairs of the INI store.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace shell {

// True when character `pos` (from 1) of a flag string is "1"; a short string reads "0".
bool flagOn(std::wstring_view flags, int pos);
// Sets character `pos` (from 1) to "1", padding a short string with "0".
void setFlagOn(std::wstring& flags, int pos);

// checkvalue positions.
namespace check {
inline constexpr int alarm1 = 1;           // alarms 1..3 at 1..3
inline constexpr int titleWindow = 4;
inline constexpr int onlyWhileTimed = 5;
inline constexpr int timeWindow = 6;
inline constexpr int transparent = 7;
inline constexpr int blinkStart = 9;       // alarm k blinks at 9 + k
inline constexpr int textStart = 13;       // alarm k prompts at 13 + k
inline constexpr int keepAlarm3 = 17;
inline constexpr int soundStart = 18;      // alarm k sounds at 18 + k
}  // namespace check

bool countsDown(std::wstring_view optvalue);

enum class DisplayFormat { Seconds, MinutesSeconds, HoursMinutesSeconds };
// Starts from "hh:mm:ss"; positions 3, 4 and 5 are tested in this order, a later one winning.
DisplayFormat displayFormatOf(std::wstring_view optvalue);

// Fontselect: "1", size index (00-38), colour index (00-16), corner index (00-10), two digits
// each. Any other text reads as the default look.
inline constexpr std::wstring_view kDefaultFontselect = L"1060605";
struct LookCode {
    int sizeIndex = 0;
    int colourIndex = 0;
    int cornerIndex = 0;
    int cornerSize() const { return cornerIndex * 2; }
};
LookCode lookCodeOf(std::wstring_view fontselect);

// picturename: file name without folder, "\", background colour as a decimal.
struct PictureField {
    std::wstring file;  // empty: no picture
    int32_t colour = 0;
};
PictureField pictureFieldOf(std::wstring_view picturename);

// Splits at every "\".
std::vector<std::wstring> splitAtBackslash(std::wstring_view text);

// Sound name for a reaction: 0 at run start, k at alarm k; empty when the list is shorter.
std::wstring soundNameOf(std::wstring_view tellsoundname, int reaction);

// INI pairs such as "9\4": size index, colour index.
struct SizeColour {
    int sizeIndex = 0;
    int colourIndex = 0;
};
SizeColour sizeColourOf(std::wstring_view pair);

}  // namespace shell
