#include "clocks/face_text.h"

#include <cwchar>

namespace clocks {
namespace {

constexpr int32_t kLastSecondMs = 1000;

std::wstring twoDigits(int32_t n) {
    wchar_t text[16];
    std::swprintf(text, 16, L"%02d", static_cast<int>(n));
    return text;
}

}  // namespace

std::wstring displayText(shell::TimeOfDay t, shell::DisplayFormat format) {
    int32_t hours = t.seconds / 3600, minutes = t.seconds / 60 % 60, seconds = t.seconds % 60;
    switch (format) {
    case shell::DisplayFormat::Seconds: return std::to_wstring(t.seconds);
    case shell::DisplayFormat::MinutesSeconds: return twoDigits(hours * 60 + minutes) + L':' + twoDigits(seconds);
    case shell::DisplayFormat::HoursMinutesSeconds: break;
    }
    return twoDigits(hours) + L':' + twoDigits(minutes) + L':' + twoDigits(seconds);
}

std::wstring initialText(const std::wstring& optvalue, int32_t stageseconds, shell::TimeOfDay timeAll) {
    shell::DisplayFormat format = shell::displayFormatOf(optvalue);
    if (!shell::countsDown(optvalue)) return displayText({}, format);
    if (format == shell::DisplayFormat::Seconds) return std::to_wstring(stageseconds);
    return displayText(timeAll, format);
}

std::wstring unknownStageText(const std::wstring& optvalue) {
    std::wstring text = displayText({}, shell::displayFormatOf(optvalue));
    for (wchar_t& c : text) {
        if (c != L':') c = L'-';
    }
    return text;
}

bool textShows(int16_t blinkcount, int32_t remainingms) {
    return blinkcount % 2 == 0 || remainingms < kLastSecondMs;
}

}  // namespace clocks
