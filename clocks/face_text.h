#pragma once
// What the clock face reads: a time in the display format of the clock's options, and whether
// the text shows at all while the face blinks.
#include <cstdint>
#include <string>

#include "shell/flag_strings.h"
#include "shell/time_rules.h"

namespace clocks {

// "3725" (whole seconds), "62:05" (the minutes run past 59) or "01:02:05".
std::wstring displayText(shell::TimeOfDay t, shell::DisplayFormat format);

// The text a face is built with before its run is counted: the run length when the clock counts
// down (in seconds the stage's own count, which may exceed a day), zero when it counts up.
std::wstring initialText(const std::wstring& optvalue, int32_t stageseconds, shell::TimeOfDay timeAll);

// The text of a face whose stage is not known yet (another program has held the meeting database
// since the start): the display format's shape in dashes, which nobody reads as a time.
std::wstring unknownStageText(const std::wstring& optvalue);

// An odd blink count darkens the face, except in the last second of the run.
bool textShows(int16_t blinkcount, int32_t remainingms);

}  // namespace clocks
