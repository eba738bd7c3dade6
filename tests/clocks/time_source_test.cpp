#include <gtest/gtest.h>

#include <limits>
#include <optional>

#include "app/forms.h"
#include "clocks/time_glass.h"
#include "clocks/time_source.h"
#include "shell/settings_registry.h"
#include "tests/test_support.h"

using namespace clocks;

namespace {

TEST(TimeSource, TickCountBehindTheRunStartFailsAndAnUnknownModeMeasuresNothing) {
    EXPECT_EQ(elapsedSince(0, {5000, 0}, {4999, 0, 0}, 0), (Elapsed{0, true}));
    EXPECT_EQ(elapsedSince(3, {0, 0}, {9000, 9000, 9}, 100), (Elapsed{0, false}));
    EXPECT_FALSE(startTickFor(3, {9000, 9000, 9}));
}

// A run is measured from the start of the second its length was taken in, that second being the
// reading's or one a moment before it, midnight between them too; a second long past is no run's.
TEST(TimeSource, ARunIsMeasuredFromTheStartOfTheSecondItsLengthWasTakenIn) {
    struct Case {
        const char* what;
        ClockReading now;
        int32_t second;
        ClockReading start;
    } cases[] = {
        {"the same second", {50700, 32400700, 32400}, 32400, {50000, 32400000, 32400}},
        {"the second before", {50700, 32401700, 32401}, 32400, {49000, 32400000, 32400}},
        {"the second before midnight", {200, 300, 0}, 86399, {200u - 1300u, 86399000, 86399}},
        {"no run's second", {50700, 32400700, 32400}, 0, {50000, 32400000, 32400}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ClockReading start = startOfSecond(c.now, c.second);
        EXPECT_EQ(start.tick, c.start.tick);
        EXPECT_EQ(start.msOfDay, c.start.msOfDay);
        EXPECT_EQ(start.secondsOfDay, c.start.secondsOfDay);
    }
}

class Remaintime : public testing_support::ProgramTest {
protected:
    void TearDown() override {
        forms::resetAll();
        shell::timingState() = {};
        ProgramTest::TearDown();
    }
    // A run started at tick 1000 and 09:00:00, with `carried` milliseconds before it.
    int32_t measure(int16_t mode, int32_t carried) {
        shell::TimingState& t = shell::timingState();
        t.clockmode = mode;
        t.starttick = 1000;
        t.out_time = carried;
        forms::time_glass().runstart = shell::TimeOfDay{9 * 3600};
        return forms::time_glass().remaintime(L"Timer1");
    }
    std::optional<shell::RegValue> storedMode() {
        return shell::regReadValue(HKEY_CURRENT_USER, shell::kSettingsKey, L"clockmode");
    }
};

TEST_F(Remaintime, FailingSourceIsStoredAsTheNextOneForTheNextStart) {
    clock.tick = 999;
    EXPECT_EQ(measure(0, 0), 0);
    EXPECT_EQ(storedMode(), shell::RegValue(1));
}

TEST_F(Remaintime, LastSourceIsNeverAdvanced) {
    clock.setTimeOfDay(9, 0, 1);
    EXPECT_EQ(measure(2, std::numeric_limits<int32_t>::max()), 0);
    EXPECT_FALSE(storedMode());
}

}  // namespace
