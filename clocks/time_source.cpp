#include "clocks/time_source.h"

#include <limits>

#include "shell/run_records.h"
#include "shell/settings_registry.h"
#include "shell/wall_clock.h"

namespace clocks {
namespace {

constexpr int64_t kDayMs = 86400000;
constexpr int64_t kRecentSecondMs = 60000;  // a run's start follows the taking of its length by moments
constexpr int kLastMode = 2;

std::optional<int32_t> asInt32(int64_t value) {
    if (value < std::numeric_limits<int32_t>::min() || value > std::numeric_limits<int32_t>::max()) {
        return std::nullopt;
    }
    return static_cast<int32_t>(value);
}

// Milliseconds of the source since the run started, before the carried time is added.
std::optional<int64_t> sinceStart(int mode, RunStartReading start, ClockReading now) {
    switch (mode) {
    case 0: {
        uint32_t ticks = now.tick - start.starttick;
        // Beyond the signed range the counter ran backwards, or the run is weeks old.
        if (ticks > static_cast<uint32_t>(std::numeric_limits<int32_t>::max())) return std::nullopt;
        return ticks;
    }
    case 1: return int64_t{now.msOfDay} - start.starttick;
    case 2: return (int64_t{now.secondsOfDay} - start.secondsOfDay) * 1000;
    default: return 0;
    }
}

}  // namespace

ClockReading readClock() {
    shell::WallClock& clock = shell::wallClock();
    SYSTEMTIME t = clock.localTime();
    int32_t seconds = (t.wHour * 60 + t.wMinute) * 60 + t.wSecond;
    return ClockReading{clock.tickCount(), seconds * 1000 + t.wMilliseconds, seconds};
}

ClockReading startOfSecond(ClockReading now, int32_t second) {
    int64_t since = now.msOfDay - int64_t{second} * 1000;
    if (since < 0) since += kDayMs;  // midnight passed since
    if (since >= kRecentSecondMs) since = now.msOfDay % 1000;
    auto at = static_cast<int32_t>((now.msOfDay - since + kDayMs) % kDayMs);
    return ClockReading{now.tick - static_cast<uint32_t>(since), at, at / 1000};
}

Elapsed elapsedSince(int mode, RunStartReading start, ClockReading now, int32_t carried) {
    if (mode < 0 || mode > kLastMode) return {};
    std::optional<int64_t> ms = sinceStart(mode, start, now);
    if (!ms) return Elapsed{0, true};
    int64_t total = *ms + carried;
    if (mode != 0 && total < 0) total += kDayMs;  // midnight passed since the start
    std::optional<int32_t> result = asInt32(total);
    return result ? Elapsed{*result, false} : Elapsed{0, true};
}

std::optional<uint32_t> startTickFor(int mode, ClockReading now) {
    switch (mode) {
    case 0: return now.tick;
    case 1: return static_cast<uint32_t>(now.msOfDay);
    case 2: return static_cast<uint32_t>(now.secondsOfDay) * 1000;
    default: return std::nullopt;
    }
}

std::optional<int16_t> fallbackMode(int mode) {
    if (mode < 0 || mode >= kLastMode) return std::nullopt;
    return static_cast<int16_t>(mode + 1);
}

int32_t elapsedOfRun(shell::TimeOfDay runstart) {
    const shell::TimingState& t = shell::timingState();
    Elapsed e = elapsedSince(t.clockmode, {t.starttick, runstart.seconds}, readClock(), t.out_time);
    if (e.failed) {
        if (auto next = fallbackMode(t.clockmode)) shell::writeSettingNumber(L"clockmode", *next);
    }
    return e.ms;
}

}  // namespace clocks
