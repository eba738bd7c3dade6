#pragma once
// The three interchangeable time sources a run is measured with: the system tick count (mode 0),
// milliseconds since midnight (mode 1) and the time of day in whole seconds (mode 2).
#include <cstdint>
#include <optional>

#include "shell/time_rules.h"

namespace clocks {

// One look at the wall clock, in the unit of every source.
struct ClockReading {
    uint32_t tick = 0;          // milliseconds since the system started; wraps
    int32_t msOfDay = 0;        // milliseconds since midnight
    int32_t secondsOfDay = 0;   // whole seconds since midnight
};

ClockReading readClock();

// The reading as it was when `second` of the day began. A run is measured from the start of the
// second its length was taken in, so that it counts as its stage does, whatever the moment of
// its start within that second. `second` is the reading's or one just before it (within a
// minute, midnight between them too); any other gives the start of the reading's own second.
ClockReading startOfSecond(ClockReading now, int32_t second);

// Where a run started, for each source.
struct RunStartReading {
    uint32_t starttick = 0;     // modes 0 and 1
    int32_t secondsOfDay = 0;   // mode 2
};

struct Elapsed {
    int32_t ms = 0;
    bool failed = false;  // the source gave no usable value; ms is then 0
    friend bool operator==(const Elapsed&, const Elapsed&) = default;
};

// Elapsed milliseconds of the run plus the `carried` milliseconds. The tick count is compared
// modulo 2^32, so a counter that wraps during the run goes on counting; the time-of-day sources
// add a day when midnight lies between start and now. An unknown mode measures 0.
Elapsed elapsedSince(int mode, RunStartReading start, ClockReading now, int32_t carried);

// The start reading a mode measures from; nothing for an unknown mode.
std::optional<uint32_t> startTickFor(int mode, ClockReading now);

// The source to store for the next program start after `mode` failed; nothing when none is left.
std::optional<int16_t> fallbackMode(int mode);

// Milliseconds the shared run has lasted by the chosen source (mode 2 measures from `runstart`).
// A failing source is replaced by the next one for the next program start; this run goes on.
int32_t elapsedOfRun(shell::TimeOfDay runstart);

}  // namespace clocks
