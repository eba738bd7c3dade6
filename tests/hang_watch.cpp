#include "tests/hang_watch.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>

#include "win/handles.h"

namespace testing_support {
namespace {

// Four times the slowest test (a repair that waits out its limit twice), and short enough that a
// hang in the last test of the slowest program is still named before its program's limit.
constexpr DWORD kTestLimitMs = 120000;

// On a thread of the pool: the test's own thread may be stuck anywhere. Written past the C
// runtime's buffers, whose lock that thread may hold.
void CALLBACK ranPastLimit(void* test, BOOLEAN) {
    const auto& info = *static_cast<const testing::TestInfo*>(test);
    std::string text = std::string("\n[  HANGS   ] ") + info.test_suite_name() + "." + info.name() + " ran past " +
                       std::to_string(kTestLimitMs / 1000) + " s: the test program ends here\n";
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    TerminateProcess(GetCurrentProcess(), 1);
}

// Waits for a callback under way, so that the test it names is still there.
void deleteTimer(HANDLE timer) { DeleteTimerQueueTimer(nullptr, timer, INVALID_HANDLE_VALUE); }
using UniqueQueueTimer = win::Unique<win::NullTraits<HANDLE, deleteTimer>>;

class HangWatch final : public testing::EmptyTestEventListener {
public:
    void OnTestStart(const testing::TestInfo& test) override {
        CreateTimerQueueTimer(limit_.put(), nullptr, ranPastLimit, const_cast<testing::TestInfo*>(&test),
                              kTestLimitMs, 0, WT_EXECUTEONLYONCE);
    }
    void OnTestEnd(const testing::TestInfo&) override { limit_.reset(); }

private:
    UniqueQueueTimer limit_;
};

}  // namespace

// The listeners own what they are given, to the end of the program.
void watchForHangs() { testing::UnitTest::GetInstance()->listeners().Append(std::make_unique<HangWatch>().release()); }

}  // namespace testing_support
