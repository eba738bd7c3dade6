#pragma once
// Conversions between run lengths, stage times and display parts. A time of day is whole
// seconds since midnight; its date plays no role anywhere in the program.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace shell {

struct TimeOfDay {
    int32_t seconds = 0;  // 0 .. 86399
    friend bool operator==(TimeOfDay, TimeOfDay) = default;
    friend auto operator<=>(TimeOfDay, TimeOfDay) = default;
};

// Whole seconds to a time of day; nothing for a negative value or one of a day or more.
std::optional<TimeOfDay> secondtotime(int32_t seconds);

// Milliseconds to "h\m\s\t" (hours, minutes, seconds, tenths; plain decimals).
std::wstring mstotext(int32_t ms);

int32_t timetosecond(TimeOfDay t);

// The one stored form of a time of day: "hh:mm:ss".
std::wstring formatHms(TimeOfDay t);

// Reads "h:mm", "h:mm:ss" (one or two digits each); nothing for anything else.
std::optional<TimeOfDay> parseTimeOfDay(std::wstring_view text);

}  // namespace shell
