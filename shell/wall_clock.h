#pragma once
// The one seam through which the program learns the time: the tick count and the local
// date and time. The program uses the system's; tests install a clock they drive.
#include <windows.h>

#include <cstdint>

#include "shell/time_rules.h"

namespace shell {

class WallClock {
public:
    virtual ~WallClock() = default;
    virtual uint32_t tickCount() = 0;     // milliseconds since the system started; wraps
    virtual SYSTEMTIME localTime() = 0;   // local date and time, with milliseconds
    // Waits before something is tried again; a test's clock can see the moment and act in it.
    virtual void pause(uint32_t ms) { Sleep(ms); }
};

WallClock& wallClock();
// Installs a clock (nullptr: the system's again). The caller keeps it alive while installed.
void setWallClock(WallClock* clock);

// The local time of day, whole seconds.
TimeOfDay timeOfDayNow();
TimeOfDay timeOfDayOf(const SYSTEMTIME& t);

// The date of `t` as one number (yyyymmdd): equal numbers, same day.
uint32_t dayOf(const SYSTEMTIME& t);

}  // namespace shell
