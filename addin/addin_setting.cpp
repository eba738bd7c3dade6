#include "addin/addin_setting.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "addin/show_mark.h"
#include "addin/stores.h"

namespace addin {
namespace {

constexpr wchar_t kDefaultTimeAll[] = L"0:02:35";
constexpr int32_t kDefaultSeconds = 155;
constexpr DWORD kSecondsPerDay = 86400;
constexpr wchar_t kDefaultCheckvalue[] = L"11110000011011101111111110";
constexpr wchar_t kDefaultCaption[] = L"Kelvane";
constexpr wchar_t kDefaultMessage[] = L"时间到!";
constexpr size_t kShortestRegistryCheckvalue = 20;

std::wstring trimSpaces(const std::wstring& text) {
    size_t first = text.find_first_not_of(L' ');
    if (first == std::wstring::npos) return {};
    return text.substr(first, text.find_last_not_of(L' ') - first + 1);
}

// Each field keeps its old value when the text given for it does not convert.
template <typename Int>
void setNumber(Int& field, const std::wstring& text) {
    if (auto n = integerFromText<Int>(text)) field = *n;
}

// The show length: the time of day of a date-time text, or the seconds of a number stored as a
// number. A length that reads as neither is the built-in one: keeping whatever the record held
// (0 in a fresh library) would end the show as soon as it begins.
int32_t showLength(std::optional<DWORD> number, const std::wstring& text) {
    if (number) return *number < kSecondsPerDay ? static_cast<int32_t>(*number) : kDefaultSeconds;
    return timeToSeconds(text).value_or(kDefaultSeconds);
}

void loadFromRegistry(AddinSetting& s) {
    auto read = [](const wchar_t* name) { return cutAtLineEnd(readText(kMirthwell, name).value_or(L"")); };
    s.Time_all = showLength(readDword(kMirthwell, L"Time_all"), read(L"Time_all"));
    setNumber(s.Time_three, read(L"Time_three"));
    s.checkvalue = read(L"checkvalue");
    setNumber(s.EndEvent, read(L"EndEvent"));
    s.tellShowtittle = read(L"tellShowtittle");
    s.tellShowtext = read(L"tellShowtext");
}

void loadFromIni(AddinSetting& s) {
    auto read = [](const wchar_t* key, const wchar_t* fallback) {
        return trimSpaces(iniRead(L"Mirthwell", key, fallback));
    };
    s.Time_all = showLength(std::nullopt, read(L"Time_all", kDefaultTimeAll));
    setNumber(s.Time_three, read(L"Time_three", L"5"));
    s.checkvalue = read(L"checkvalue", kDefaultCheckvalue);
    setNumber(s.EndEvent, read(L"EndEvent", L"1"));
    s.tellShowtittle = read(L"tellShowtittle", kDefaultCaption);
    s.tellShowtext = read(L"tellShowtext", kDefaultMessage);
}

// "h:mm[:ss]" as seconds, hours below 24.
std::optional<int32_t> clockTime(const std::wstring& text) {
    std::vector<int> parts;
    size_t start = 0;
    for (;;) {
        size_t end = text.find(L':', start);
        std::wstring piece = text.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start);
        if (piece.empty() || piece.size() > 2 || piece.find_first_not_of(L"0123456789") != std::wstring::npos)
            return std::nullopt;
        parts.push_back(std::stoi(piece));
        if (end == std::wstring::npos) break;
        start = end + 1;
    }
    parts.resize(std::max<size_t>(parts.size(), 3), 0);
    if (parts.size() > 3 || parts[0] > 23 || parts[1] > 59 || parts[2] > 59) return std::nullopt;
    return parts[0] * 3600 + parts[1] * 60 + parts[2];
}

}  // namespace

AddinSetting& addinSetting() {
    static AddinSetting record;
    return record;
}

void loadSettings(AddinSetting& s) {
    loadFromRegistry(s);
    if (s.checkvalue.size() < kShortestRegistryCheckvalue) loadFromIni(s);
    s.tellShowtext = padMessage(s.tellShowtext);
}

void defaultSettings(AddinSetting& s) {
    s.Time_all = kDefaultSeconds;
    s.Time_three = 5;
    s.checkvalue = kDefaultCheckvalue;
    s.EndEvent = 0;
    s.tellShowtittle = kDefaultCaption;
    s.tellShowtext = kDefaultMessage;
}

bool flagOn(const std::wstring& checkvalue, size_t position) {
    return position >= 1 && checkvalue.size() >= position && checkvalue[position - 1] == L'1';
}

bool timingOn(const std::wstring& checkvalue) { return flagOn(checkvalue, 1); }

std::optional<int32_t> timeToSeconds(const std::wstring& text) {
    std::wstring t = trimSpaces(text);
    if (t.find(L':') == std::wstring::npos) {
        wchar_t* end = nullptr;
        double days = std::wcstod(t.c_str(), &end);
        if (t.empty() || *end != L'\0' || !std::isfinite(days)) return std::nullopt;
        double fraction = std::fabs(days - std::trunc(days));
        return static_cast<int32_t>(std::lround(fraction * 86400)) % 86400;
    }
    size_t space = t.find_last_of(L' ');  // a date in front of the time is ignored
    return clockTime(space == std::wstring::npos ? t : t.substr(space + 1));
}

std::wstring cutAtLineEnd(std::wstring_view text) {
    return std::wstring(text.substr(0, text.find_first_of(std::wstring_view(L"\r\n\0", 3))));
}

std::wstring padMessage(const std::wstring& text) {
    std::wstring framed = text.size() > 5 ? text : L"  " + text + L"  ";
    return L"  \r  " + framed + L"    ";
}

bool presentationListed(const std::wstring& name) {
    std::wstring list = trimSpaces(iniRead(L"file", L"flieall", L""));
    for (size_t start = 0; !list.empty() && start <= list.size();) {
        size_t comma = std::min(list.find(L',', start), list.size());
        if (list.compare(start, comma - start, name) == 0) return true;
        start = comma + 1;
    }
    return false;
}

int16_t readHandmode() {
    return integerFromText<int16_t>(readText(kHarrowby, L"handmode").value_or(L"")).value_or(0);
}

void deleteRunValues(std::initializer_list<const wchar_t*> names) {
    if (showTimed()) return;
    for (const wchar_t* name : names) deleteValue(kHarrowby, name);
}

void deleteShowValues() {
    deleteRunValues({L"clockopen", L"exitpptpd", L"exitpagepd", L"pptname", L"timershow", L"timerpause", L"time"});
}

// Leftovers of a show that ended are no leftovers while another host's show goes on (a second
// host starting up or closing, a finished show's clean-up).
void clearShowFlags() { deleteRunValues({L"exitpptpd", L"exitpagepd", L"pptname"}); }

}  // namespace addin
