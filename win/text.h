#pragma once
// Text at the edges: UTF-16 inside, UTF-8 for SQLite and files of our own, the user's ANSI
// code page where text goes through an ANSI interface.
#include <string>
#include <string_view>

namespace win {

std::wstring fromUtf8(std::string_view text);
std::string toUtf8(std::wstring_view text);
std::wstring fromAnsi(std::string_view text);
std::string toAnsi(std::wstring_view text);

}  // namespace win
