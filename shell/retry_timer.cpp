#include "shell/retry_timer.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace shell {
namespace {

constexpr UINT kRetryMs = 200;
constexpr UINT kLongerRetryMs = 1000;

// A thread timer tells only its id: the armed timers by id.
std::vector<RetryTimer*>& armedTimers() {
    static std::vector<RetryTimer*> timers;
    return timers;
}

}  // namespace

void RetryTimer::arm() { armIn(kRetryMs); }

void RetryTimer::armIn(UINT ms) {
    if (armed()) return;
    id_ = SetTimer(nullptr, 0, ms, &RetryTimer::onTick);
    if (armed()) armedTimers().push_back(this);
}

void RetryTimer::stop() {
    if (!armed()) return;
    KillTimer(nullptr, id_);
    id_ = 0;
    auto& timers = armedTimers();
    timers.erase(std::remove(timers.begin(), timers.end(), this), timers.end());
}

// The timer is off while its attempt runs: a box the attempt asks runs this thread's messages,
// and a tick there would ask again inside it. An attempt that arms the timer itself keeps it on.
// The next try keeps the rhythm, however long this one waited for the file.
void CALLBACK RetryTimer::onTick(HWND, UINT, UINT_PTR id, DWORD) {
    auto& timers = armedTimers();
    auto it = std::find_if(timers.begin(), timers.end(), [id](const RetryTimer* t) { return t->id_ == id; });
    if (it == timers.end()) return;
    RetryTimer* t = *it;
    const DWORD began = GetTickCount();
    t->stop();
    t->longer_ = false;
    if (t->attempt_()) return;
    UINT pace = std::exchange(t->longer_, false) ? kLongerRetryMs : kRetryMs;
    t->armIn(pace - (GetTickCount() - began) % pace);
}

}  // namespace shell
