#pragma once
// Numbers kept as text: a text that is not a number reads as 0, and a number is read as
// far as it goes ("12abc" is 12), with blanks before it skipped.
#include <cstdint>
#include <string>
#include <string_view>

namespace shell {

double numberOf(std::wstring_view text);

// The whole number nearest to x, halves to the even one, clamped to the 32-bit range.
int32_t roundHalfEven(double x);

inline int32_t wholeNumberOf(std::wstring_view text) { return roundHalfEven(numberOf(text)); }

}  // namespace shell
