#include "shell/flag_strings.h"

#include "shell/text_number.h"

namespace shell {
namespace {

int twoDigits(std::wstring_view text, size_t from) {
    if (text.size() < from + 2) return 0;
    return wholeNumberOf(text.substr(from, 2));
}

}  // namespace

bool flagOn(std::wstring_view flags, int pos) {
    return pos >= 1 && static_cast<size_t>(pos) <= flags.size() && flags[pos - 1] == L'1';
}

void setFlagOn(std::wstring& flags, int pos) {
    if (pos < 1) return;
    if (flags.size() < static_cast<size_t>(pos)) flags.resize(static_cast<size_t>(pos), L'0');
    flags[static_cast<size_t>(pos) - 1] = L'1';
}

bool countsDown(std::wstring_view optvalue) { return flagOn(optvalue, 1); }

DisplayFormat displayFormatOf(std::wstring_view optvalue) {
    DisplayFormat f = DisplayFormat::HoursMinutesSeconds;
    if (flagOn(optvalue, 3)) f = DisplayFormat::Seconds;
    if (flagOn(optvalue, 4)) f = DisplayFormat::MinutesSeconds;
    if (flagOn(optvalue, 5)) f = DisplayFormat::HoursMinutesSeconds;
    return f;
}

LookCode lookCodeOf(std::wstring_view fontselect) {
    constexpr int kMaxSize = 38, kMaxColour = 16, kMaxCorner = 10;
    bool digits = fontselect.size() == kDefaultFontselect.size() &&
                  fontselect.find_first_not_of(L"0123456789") == std::wstring_view::npos;
    LookCode look{twoDigits(fontselect, 1), twoDigits(fontselect, 3), twoDigits(fontselect, 5)};
    // A code the settings could not have written would give an unreadable face: the audience sees
    // the default look instead.
    if (!digits || look.sizeIndex > kMaxSize || look.colourIndex > kMaxColour || look.cornerIndex > kMaxCorner) {
        return lookCodeOf(kDefaultFontselect);
    }
    return look;
}

std::vector<std::wstring> splitAtBackslash(std::wstring_view text) {
    std::vector<std::wstring> parts;
    size_t start = 0;
    for (;;) {
        size_t slash = text.find(L'\\', start);
        parts.emplace_back(text.substr(start, slash - start));
        if (slash == std::wstring_view::npos) return parts;
        start = slash + 1;
    }
}

PictureField pictureFieldOf(std::wstring_view picturename) {
    auto parts = splitAtBackslash(picturename);
    PictureField field{parts[0], 0};
    if (parts.size() > 1) field.colour = wholeNumberOf(parts[1]);
    return field;
}

std::wstring soundNameOf(std::wstring_view tellsoundname, int reaction) {
    auto names = splitAtBackslash(tellsoundname);
    if (reaction < 0 || static_cast<size_t>(reaction) >= names.size()) return {};
    return names[reaction];
}

SizeColour sizeColourOf(std::wstring_view pair) {
    auto parts = splitAtBackslash(pair);
    SizeColour sc{wholeNumberOf(parts[0]), 0};
    if (parts.size() > 1) sc.colourIndex = wholeNumberOf(parts[1]);
    return sc;
}

}  // namespace shell
