#pragma once
// The add-in's record of show timing settings, its two fillers, and the small services the
// connection, the commands and the slide-show handling share.
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

namespace addin {

struct AddinSetting {
    int32_t Time_all = 0;  // length of the whole show: seconds of its time of day
    int32_t Time_three = 0;
    std::wstring checkvalue;  // 26 "0"/"1" flags; position 1 switches timing on
    int16_t EndEvent = 0;
    std::wstring tellShowtittle;
    std::wstring tellShowtext;
};

// The library's one record; it starts empty and lives as long as the library.
AddinSetting& addinSetting();

// Fills the record from the Mirthwell values, or from INI section "Mirthwell" when the
// registry's checkvalue is too short to be real.
void loadSettings(AddinSetting& s);
void defaultSettings(AddinSetting& s);

// Whether flag `position` (1-based) of checkvalue is "1".
bool flagOn(const std::wstring& checkvalue, size_t position);
// Whether checkvalue switches timing on (its first flag is "1").
bool timingOn(const std::wstring& checkvalue);

// Seconds of the time of day in a date-time text ("0:02:35", "2026/12/9 0:02:35") or in a
// number of days; nothing when the text is neither.
std::optional<int32_t> timeToSeconds(const std::wstring& text);

// The text before its first CR, LF or NUL.
std::wstring cutAtLineEnd(std::wstring_view text);
// Frames a message for a message box: a blank line above, short texts widened.
std::wstring padMessage(const std::wstring& text);

// Whether INI section "file" key "flieall", a comma-separated list, holds exactly this name.
bool presentationListed(const std::wstring& name);

// Harrowby handmode as a number; missing, unreadable or beyond 16 bits gives 0.
int16_t readHandmode();
// Deletes Harrowby values that the shows of every connection share. All three leave them alone
// while a connection times a show (the caller lets go of its own first): another host's talk
// keeps its run flags.
void deleteRunValues(std::initializer_list<const wchar_t*> names);
// The flags of a running show: exitpptpd, exitpagepd and pptname.
void clearShowFlags();
// Everything a show leaves for the sibling programs (a disconnection's clean-up).
void deleteShowValues();

}  // namespace addin
