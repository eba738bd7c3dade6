#include <gtest/gtest.h>

#include "clocks/alarm_rules.h"

using namespace clocks;

namespace {

constexpr wchar_t kAllOn[] = L"111101001111111111111";

TEST(AlarmKey, ThresholdOfTheRunLengthNeverFiresAndEqualThresholdsFireTheLowerLevel) {
    EXPECT_EQ(alarmLevelAt(30200, {30, 30, 20, 10}), 0);
    EXPECT_EQ(alarmLevelAt(20000, {60, 20, 20, 20}), 1);
}

TEST(AlarmKey, BlinkColumnOffPromptsWithoutBlinking) {
    EXPECT_EQ(alarmReaction(1, L"111101001011111111111"), (AlarmReaction{true, false, true, true, false}));
}

TEST(RiseFilter, RiseOfMoreThan400MsShowsTheLastAcceptedLess200) {
    EXPECT_EQ(riseFilter(10401, 10000), (Filtered{9800, false}));
    EXPECT_EQ(riseFilter(10400, 10000), (Filtered{10400, true}));
}

PromptSwitches switches(const wchar_t* checkvalue, bool covering = true, int16_t shown = 3) {
    return PromptSwitches{checkvalue, covering, shown, 10};
}

TEST(BlinkCountersTest, StartAndAlarmPromptsBlinkOnlyWhileAStageCovers) {
    BlinkCounters before{4, 5};
    EXPECT_EQ(countersForPrompt(0, before, switches(kAllOn)), (BlinkCounters{6, 6}));
    EXPECT_EQ(countersForPrompt(0, before, switches(kAllOn, false)), (BlinkCounters{0, 6}));
    EXPECT_EQ(countersForPrompt(2, before, switches(L"111101001101111111111")), (BlinkCounters{0, 6}));
}

TEST(BlinkCountersTest, AlarmThreePromptLastsItsThresholdWhenKeptOrLongerThanThePrompt) {
    BlinkCounters before{4, 5};
    EXPECT_EQ(countersForPrompt(3, before, switches(kAllOn)), (BlinkCounters{20, 20}));
    EXPECT_EQ(countersForPrompt(3, before, switches(L"111101001111111101111", true, 12)), (BlinkCounters{20, 20}));
    // Not kept, a short prompt, no blinking: only the prompt time.
    EXPECT_EQ(countersForPrompt(3, before, switches(L"111101001110111101111")), (BlinkCounters{4, 6}));
    // Kept without a stage: no blinking, yet the prompt lasts to the end.
    EXPECT_EQ(countersForPrompt(3, before, switches(kAllOn, false)), (BlinkCounters{4, 20}));
}

// Taken over in a dark phase (an odd count), a blink goes on from that phase, so the face is dark
// for one phase, not two; a prompt that does not blink leaves the count alone.
TEST(BlinkCountersTest, ABlinkTakenOverInADarkPhaseGoesOnFromIt) {
    BlinkCounters dark{5, 5};
    EXPECT_EQ(countersForPrompt(0, dark, switches(kAllOn)), (BlinkCounters{5, 6}));
    EXPECT_EQ(countersForPrompt(3, dark, switches(kAllOn)), (BlinkCounters{19, 20}));
    EXPECT_EQ(countersForPrompt(0, dark, switches(kAllOn, false)), (BlinkCounters{0, 6}));
    EXPECT_EQ(countersForPrompt(3, dark, switches(L"111101001110111101111")), (BlinkCounters{5, 6}));
}

TEST(BlinkCountersTest, DayOverLevelAndOversizedCountsLeaveTheCounters) {
    BlinkCounters before{5, 7};
    EXPECT_EQ(countersForPrompt(kDayOverLevel, before, switches(kAllOn)), before);
    EXPECT_EQ(countersForPrompt(1, before, switches(kAllOn, true, 20000)), before);
}

}  // namespace
