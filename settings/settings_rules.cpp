#include "settings/settings_rules.h"

#include <algorithm>
#include <cmath>
#include <cwctype>
#include <limits>

#include "shell/file_helpers.h"
#include "shell/hotkey_text.h"
#include "shell/text_number.h"

namespace settings {
namespace {

constexpr std::array<const wchar_t*, 3> kAlarmNames{L"报警1", L"报警2", L"报警3"};
constexpr wchar_t kSameTimes[] = L"提醒时间不能相同，请修改";
constexpr wchar_t kGapBetween[] = L"要比";
constexpr wchar_t kGapEnd[] = L"多10秒以上，请修改后再保存";
constexpr wchar_t kLastTooShort[] = L"提醒时长要超过3秒，请修改再保存";
constexpr int kMinGap = 10;
constexpr int kMinLastAlarm = 3;

constexpr wchar_t kTrebuchet[] = L"Trebuchet MS";
constexpr std::array<const wchar_t*, 7> kShippedFaces{L"Arial Black", L"Trebuchet MS", L"Arial", L"新宋体",
                                                      L"微软雅黑",    L"华文楷体",     L"黑体"};

// One numeric box: its range and what replaces a bad value.
struct NumberField {
    int min, max;
    int spinBase;
    const wchar_t* changeMessage;  // out of range while typing
    const wchar_t* changeReset;
    const wchar_t* leaveMessage;   // out of range when left; nullptr: not tested on leaving
    const wchar_t* leaveReset;     // a non-number when left; nullptr: the running threshold
};

constexpr wchar_t kAlarmRange[] = L"取值范围1-9999秒之间";
constexpr std::array<NumberField, 5> kFields{{
    {1, 9999, 10000, kAlarmRange, L"60", nullptr, nullptr},
    {1, 9999, 10000, kAlarmRange, L"60", nullptr, nullptr},
    {1, 9999, 10000, kAlarmRange, L"60", nullptr, nullptr},
    {0, 100, 100, L"取值范围0-100秒之间", L"30", L"取值范围0-100之间", L"0"},
    {3, 30, 30, L"取值范围3-30秒之间", L"3", L"取值范围3-30之间", L"3"},
}};

const NumberField& fieldAt(int field) {
    return kFields[static_cast<size_t>(std::clamp(field, kFirstNumberField, kLastNumberField) - kFirstNumberField)];
}

std::wstring twoDigits(int n) {
    n = std::clamp(n, 0, 99);
    return std::wstring{static_cast<wchar_t>(L'0' + n / 10), static_cast<wchar_t>(L'0' + n % 10)};
}

bool isDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

std::wstring_view withoutBlanks(std::wstring_view text) {
    while (!text.empty() && text.front() == L' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == L' ') text.remove_suffix(1);
    return text;
}

// A box's number: a minus sign before digits, or more digits than a whole number takes, reads
// as a number outside every range, so that it gets the range message and reset.
std::optional<long long> fieldNumberOf(std::wstring_view text) {
    if (auto n = wholeOf(text)) return n;
    text = withoutBlanks(text);
    bool negative = !text.empty() && text.front() == L'-';
    if (negative) text.remove_prefix(1);
    if (text.empty() || !std::all_of(text.begin(), text.end(), isDigit)) return std::nullopt;
    return negative ? -1 : std::numeric_limits<long long>::max();
}

}  // namespace

std::vector<std::wstring> alarmProblems(const std::array<AlarmField, 3>& alarms) {
    std::array<long long, 3> t{};
    for (size_t k = 0; k < 3; ++k) {
        auto n = wholeOf(alarms[k].text);
        if (!n) return {kAlarmRange};  // an empty field is outside its range too
        t[k] = *n;
    }
    constexpr std::array<std::pair<size_t, size_t>, 3> pairs{{{0, 1}, {0, 2}, {1, 2}}};
    for (auto [p, q] : pairs) {
        if (t[p] == t[q]) return {std::wstring(kAlarmNames[p]) + L"和" + kAlarmNames[q] + kSameTimes};
    }
    std::vector<size_t> on;
    for (size_t k = 0; k < 3; ++k) {
        if (alarms[k].enabled) on.push_back(k);
    }
    std::vector<std::wstring> problems;
    for (size_t i = 1; i < on.size(); ++i) {
        size_t p = on[i - 1], q = on[i];
        if (t[p] < t[q] + kMinGap) {
            problems.push_back(std::wstring(kAlarmNames[p]) + kGapBetween + L"\r\r" + kAlarmNames[q] + L"\r\r" + kGapEnd);
        }
    }
    if (on.size() >= 2 && t[on.back()] < kMinLastAlarm) {
        problems.push_back(std::wstring(kAlarmNames[on.back()]) + kLastTooShort);
    }
    return problems;
}

std::wstring fontselectOf(int sizeIndex, int colourIndex, int cornerIndex) {
    return L"1" + twoDigits(sizeIndex) + twoDigits(colourIndex) + twoDigits(cornerIndex);
}

std::optional<int> checkOfFlag(std::wstring_view flags, size_t pos) {
    if (pos == 0 || pos > flags.size() || !isDigit(flags[pos - 1])) return std::nullopt;
    return flags[pos - 1] == L'0' ? 0 : 1;
}

std::optional<int> checkOfOften(std::wstring_view often, size_t pos) {
    if (pos == 0 || pos > often.size()) return std::nullopt;
    wchar_t c = often[pos - 1];
    if (c < L'0' || c > L'2') return std::nullopt;
    return c - L'0';
}

std::optional<int> indexOfDigits(std::wstring_view flags, size_t from) {
    if (from + 2 > flags.size()) return std::nullopt;
    auto n = wholeOf(flags.substr(from, 2));
    if (!n) return std::nullopt;
    return static_cast<int>(*n);
}

int listIndexOr(std::optional<int> stored, int count, int fallback) {
    return stored && *stored >= 0 && *stored < count ? *stored : fallback;
}

std::vector<std::wstring> fontFaces(bool shippedFaces, const std::vector<std::wstring>& systemFaces) {
    std::vector<std::wstring> faces;
    if (shippedFaces) {
        faces.assign(kShippedFaces.begin(), kShippedFaces.end());
    } else {
        for (const auto& f : systemFaces) {
            if (f.find(L'@') == std::wstring::npos) faces.push_back(f);
        }
    }
    if (std::find(faces.begin(), faces.end(), kTrebuchet) == faces.end()) faces.push_back(kTrebuchet);
    return faces;
}

std::optional<long long> wholeOf(std::wstring_view text) {
    text = withoutBlanks(text);
    if (text.empty() || text.size() > 15 || !std::all_of(text.begin(), text.end(), isDigit)) return std::nullopt;
    long long n = 0;
    for (wchar_t c : text) n = n * 10 + (c - L'0');
    return n;
}

std::optional<FieldEdit> fieldChanged(int field, const std::wstring& text) {
    auto n = fieldNumberOf(text);
    if (!n) return std::nullopt;
    const NumberField& f = fieldAt(field);
    if (*n > f.max || *n < f.min) return FieldEdit{f.changeReset, f.changeMessage};
    return FieldEdit{std::to_wstring(*n), L""};
}

FieldEdit fieldLeft(int field, const std::wstring& text, int running) {
    const NumberField& f = fieldAt(field);
    auto n = fieldNumberOf(text);
    if (!n) return {f.leaveReset ? f.leaveReset : std::to_wstring(running), L""};
    if (f.leaveMessage && (*n > f.max || *n < f.min)) return {f.leaveReset, f.leaveMessage};
    return {text, L""};
}

int spinOf(int field, const std::wstring& text) {
    auto n = wholeOf(text);
    return fieldAt(field).spinBase - static_cast<int>(n.value_or(0));
}

std::wstring textOfSpin(int field, int spin) { return std::to_wstring(fieldAt(field).spinBase - spin); }

bool keyPasses(wchar_t c) { return isDigit(c) || c == L'\b' || c == L'\r'; }

std::wstring pastedDigits(std::wstring_view text) {
    std::wstring kept;
    std::copy_if(text.begin(), text.end(), std::back_inserter(kept), isDigit);
    return kept;
}

std::wstring hotkeyDownText(int key, int shift) {
    static constexpr std::array<const wchar_t*, 8> kWords{
        L"", L"", L"Ctrl+", L"Shift+Ctrl+", L"Alt+", L"Shift+Alt+", L"Ctrl+Alt+", L"Shift+Ctrl+Alt+"};
    return kWords[static_cast<size_t>(shift & 7)] + shell::keycodetext(static_cast<int16_t>(key));
}

std::wstring hotkeyUpText(const std::wstring& text) {
    if (text.empty() || text.back() == L'+') return kNoHotkey;
    return text;
}

bool soundNameAccepted(std::wstring_view name) {
    if (name.empty()) return true;
    std::wstring ext = shell::fileExtension(name);
    std::transform(ext.begin(), ext.end(), ext.begin(), [](wchar_t c) { return static_cast<wchar_t>(std::towlower(c)); });
    return ext == L"wav" || ext == L"mp3";
}

bool soundNameHasFolder(std::wstring_view name) { return name.find_first_of(L"\\/") != std::wstring_view::npos; }

int stageDialogLeft(int twipsPerPixel, int screenwidth, int dialogWidth) {
    constexpr int kStageWindowWidth = 6900, kShift = 1000, kLeftMost = 150;
    double x = (static_cast<double>(twipsPerPixel) * screenwidth - dialogWidth - kStageWindowWidth) / 2 - kShift;
    int left = shell::roundHalfEven(x);
    return left > 0 ? left : kLeftMost;
}

}  // namespace settings
