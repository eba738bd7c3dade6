#include "shell/text_number.h"

#include <cmath>
#include <cwchar>
#include <limits>

namespace shell {

double numberOf(std::wstring_view text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == L' ' || text[i] == L'\t')) ++i;
    std::wstring number;
    if (i < text.size() && (text[i] == L'-' || text[i] == L'+')) number += text[i++];
    bool digits = false, point = false;
    for (; i < text.size(); ++i) {
        wchar_t c = text[i];
        if (c >= L'0' && c <= L'9') {
            digits = true;
        } else if (c == L'.' && !point) {
            point = true;
        } else {
            break;
        }
        number += c;
    }
    return digits ? std::wcstod(number.c_str(), nullptr) : 0;
}

int32_t roundHalfEven(double x) {
    if (std::isnan(x)) return 0;
    double r = std::nearbyint(x);  // the default rounding mode rounds halves to even
    if (r <= std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
    if (r >= std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(r);
}

}  // namespace shell
