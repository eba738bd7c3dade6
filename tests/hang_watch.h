#pragma once
// Every test program watches its tests: one that runs past its limit (a nested loop that never
// returns, a wait that is never met) is named and the program ends with a failure, rather than
// waiting out the limit of the whole program, which names nothing.

namespace testing_support {

// Call once, before RUN_ALL_TESTS.
void watchForHangs();

}  // namespace testing_support
