#include "shell/time_rules.h"

#include <cstdio>

namespace shell {
namespace {

// Floor division for a positive divisor.
int32_t floorDiv(int32_t a, int32_t b) {
    int32_t q = a / b;
    return (a % b != 0 && a < 0) ? q - 1 : q;
}

}  // namespace

std::optional<TimeOfDay> secondtotime(int32_t seconds) {
    if (seconds < 0 || seconds >= 86400) return std::nullopt;
    return TimeOfDay{seconds};
}

std::wstring mstotext(int32_t ms) {
    int32_t h = floorDiv(ms, 3600000);
    int32_t r1 = ms % 3600000;
    int32_t m = floorDiv(r1, 60000);
    int32_t r2 = r1 % 60000;
    int32_t s = floorDiv(r2, 1000);
    int32_t t = ((r2 % 1000) - (r2 % 100)) / 100;
    return std::to_wstring(h) + L'\\' + std::to_wstring(m) + L'\\' + std::to_wstring(s) + L'\\' +
           std::to_wstring(t);
}

int32_t timetosecond(TimeOfDay t) { return t.seconds; }

std::wstring formatHms(TimeOfDay t) {
    wchar_t buf[16];
    swprintf(buf, 16, L"%02d:%02d:%02d", t.seconds / 3600, t.seconds / 60 % 60, t.seconds % 60);
    return buf;
}

std::optional<TimeOfDay> parseTimeOfDay(std::wstring_view text) {
    int parts[3] = {0, 0, 0};
    int count = 0;
    size_t i = 0;
    while (count < 3) {
        size_t start = i;
        int value = 0;
        while (i < text.size() && i - start < 2 && text[i] >= L'0' && text[i] <= L'9') {
            value = value * 10 + (text[i++] - L'0');
        }
        if (i == start) return std::nullopt;
        parts[count++] = value;
        if (i == text.size()) break;
        if (text[i++] != L':') return std::nullopt;
    }
    if (i != text.size() || count < 2) return std::nullopt;
    if (parts[0] > 23 || parts[1] > 59 || parts[2] > 59) return std::nullopt;
    return TimeOfDay{parts[0] * 3600 + parts[1] * 60 + parts[2]};
}

}  // namespace shell
