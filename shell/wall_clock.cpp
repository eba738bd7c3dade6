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

TimeOfDay timeOfDayNow() {
    SYSTEMTIME t = wallClock().localTime();
    return TimeOfDay{t.wHour * 3600 + t.wMinute * 60 + t.wSecond};
}

}  // namespace shell
