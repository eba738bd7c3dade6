// The entry point of the test programs that need nothing before their tests.
#include <gtest/gtest.h>

#include "tests/hang_watch.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    testing_support::watchForHangs();
    return RUN_ALL_TESTS();
}
