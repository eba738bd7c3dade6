#include "plans/stage_rows.h"

#include <algorithm>
#include <cmath>
#include <cwchar>

namespace plans {
namespace {

constexpr wchar_t kTab = L'\t';
constexpr wchar_t kHourRange[] = L"取值范围0-23之间";
constexpr wchar_t kMinuteRange[] = L"取值范围0-59之间";

std::vector<std::wstring_view> splitAt(std::wstring_view text, std::wstring_view sep, size_t most) {
    std::vector<std::wstring_view> parts;
    while (parts.size() + 1 < most) {
        size_t at = text.find(sep);
        if (at == std::wstring_view::npos) break;
        parts.push_back(text.substr(0, at));
        text.remove_prefix(at + sep.size());
    }
    parts.push_back(text);
    return parts;
}

bool allDigits(std::wstring_view text) {
    if (text.empty()) return false;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9') return false;
    }
    return true;
}

std::optional<int> numberOfField(std::wstring_view text) {
    if (!allDigits(text) || text.size() > 6) return std::nullopt;
    return std::stoi(std::wstring(text));
}

int topOfRange(bool hour) { return hour ? 23 : 59; }

}  // namespace

std::wstring clockRowText(const ClockRow& row, const std::wstring& pad) {
    wchar_t number[16];
    std::swprintf(number, 16, L"%03d", row.ID);
    return number + pad + row.clockname + kTab + row.setdate + kTab + kTab + row.remark;
}

std::wstring stageRowText(const StageRow& row, const std::wstring& pad) {
    return row.start + pad + row.end + pad + row.clockname + kTab + kTab + row.title;
}

std::optional<ClockRow> clockRowOf(std::wstring_view text, std::wstring_view pad) {
    auto parts = splitAt(text, L"\t", 4);
    if (parts.size() != 4 || pad.empty()) return std::nullopt;
    auto lead = splitAt(parts[0], pad, 2);
    auto number = lead.size() == 2 ? numberOfField(lead[0]) : std::nullopt;
    if (!number) return std::nullopt;
    return ClockRow{*number, std::wstring(lead[1]), std::wstring(parts[1]), std::wstring(parts[3])};
}

std::optional<StageRow> stageRowOf(std::wstring_view text, std::wstring_view pad) {
    auto parts = splitAt(text, L"\t", 3);
    if (parts.size() != 3 || pad.empty()) return std::nullopt;
    auto lead = splitAt(parts[0], pad, 3);
    if (lead.size() != 3) return std::nullopt;
    return StageRow{std::wstring(lead[0]), std::wstring(lead[1]), std::wstring(lead[2]), std::wstring(parts[2])};
}

std::wstring hhmm(shell::TimeOfDay t) { return shell::formatHms(t).substr(0, 5); }

std::wstring shownStageTime(const std::wstring& stored) {
    auto t = shell::parseTimeOfDay(stored);
    return t ? hhmm(*t) : stored;
}

std::array<int, 3> listTabStops(int dpi) {
    if ((dpi >= 80 && dpi <= 100) || (dpi >= 131 && dpi <= 150)) return {145, 180, 230};
    if (dpi >= 101 && dpi <= 130) return {140, 175, 216};
    return {0, 0, 0};
}

namespace {

// The number the whole text spells, blanks around it allowed.
std::optional<double> typedNumber(std::wstring_view text) {
    std::wstring copy(text);
    wchar_t* end = nullptr;
    double n = std::wcstod(copy.c_str(), &end);
    while (end && *end == L' ') ++end;
    bool number = end != copy.c_str() && end && *end == L'\0' && copy.find_first_not_of(L' ') != std::wstring::npos;
    if (!number || std::isnan(n)) return std::nullopt;
    return n;
}

}  // namespace

std::optional<std::wstring> clockNumberText(std::wstring_view text) {
    auto n = typedNumber(text);
    if (!n || *n < 0 || *n > 999999) return std::nullopt;
    return std::to_wstring(static_cast<long>(std::floor(*n)));
}

std::optional<int64_t> clockPlace(std::wstring_view text) {
    // Far past either end of any list, and inside what the cast takes.
    constexpr double kFarthest = 1e15;
    auto n = typedNumber(text);
    if (!n) return std::nullopt;
    return static_cast<int64_t>(std::floor(std::clamp(*n, -kFarthest, kFarthest)));
}

std::wstring withoutRowBreaks(std::wstring_view text) {
    std::wstring kept;
    for (wchar_t c : text) {
        if (c != L'\t' && c != L'\r' && c != L'\n') kept += c;
    }
    return kept;
}

std::wstring overlapMessage(Period entered, const std::vector<Period>& stored) {
    auto [start, end] = entered;
    const std::wstring now = hhmm(start) + L"-" + hhmm(end);
    for (const Period& p : stored) {
        const std::wstring there = hhmm(p.start) + L"-" + hhmm(p.end);
        if (p.start < start && start < p.end) return L"开始时间【" + hhmm(start) + L"】在录入" + there + L"时间段";
        if (p.start < end && end < p.end) return L"结束时间【" + hhmm(end) + L"】在录入" + there + L"时间段";
    }
    for (const Period& p : stored) {
        if (start < p.start && p.start < end) return L"开始时间【" + hhmm(p.start) + L"】在本次" + now + L"时间段";
        if (start < p.end && p.end < end) return L"结束时间【" + hhmm(p.end) + L"】在本次" + now + L"时间段";
        if (p.start == start && p.end == end) return L"【" + now + L"】时间段已录入";
    }
    return {};
}

std::optional<TimeFieldEdit> timeFieldChanged(bool hour, std::wstring_view text) {
    if (text.empty()) return std::nullopt;
    auto n = numberOfField(text);
    if (!n || *n > topOfRange(hour)) return TimeFieldEdit{L"0", hour ? kHourRange : kMinuteRange, topOfRange(hour)};
    return TimeFieldEdit{std::to_wstring(*n), L"", topOfRange(hour) - *n};
}

std::wstring timeFieldOfSpin(bool hour, int spin) { return std::to_wstring(topOfRange(hour) - spin); }

std::optional<shell::TimeOfDay> timeOfFields(std::wstring_view hour, std::wstring_view minute) {
    auto h = numberOfField(hour);
    auto m = numberOfField(minute);
    if (!h || !m || *h > 23 || *m > 59) return std::nullopt;
    return shell::TimeOfDay{*h * 3600 + *m * 60};
}

}  // namespace plans
