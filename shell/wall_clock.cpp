#include "shell/wall_clock.h"

namespace shell {
namespace {

class SystemClock final : public WallClock {
public:
    uint32_t tickCount() override { return GetTickCount(); }
    SYSTEMTIME localTime() override {
        SYSTEMTIME t{};
        GetLocalTime(&t);
        return t;
    }
};

SystemClock systemClock;
WallClock* installed = nullptr;

}  // namespace

WallClock& wallClock() { return installed ? *installed : systemClock; }

void setWallClock(WallClock* clock) { installed = clock; }

TimeOfDay timeOfDayNow() { return timeOfDayOf(wallClock().localTime()); }

TimeOfDay timeOfDayOf(const SYSTEMTIME& t) { return TimeOfDay{t.wHour * 3600 + t.wMinute * 60 + t.wSecond}; }

uint32_t dayOf(const SYSTEMTIME& t) { return (t.wYear * 100u + t.wMonth) * 100u + t.wDay; }

}  // namespace shell
