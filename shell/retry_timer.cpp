#include "shell/retry_timer.h"

#include <algorithm>
#include <vector>

namespace shell {
namespace {

constexpr UINT kRetryMs = 1000;

// A thread timer tells only its id: the armed timers by id.
std::vector<RetryTimer*>& armedTimers() {
    static std::vector<RetryTimer*> timers;
    return timers;
}

}  // namespace

void RetryTimer::arm() {
    if (armed()) return;
    id_ = SetTimer(nullptr, 0, kRetryMs, &RetryTimer::onTick);
    if (armed()) armedTimers().push_back(this);
}

void RetryTimer::stop() {
    if (!armed()) return;
    KillTimer(nullptr, id_);
    id_ = 0;
    auto& timers = armedTimers();
    timers.erase(std::remove(timers.begin(), timers.end(), this), timers.end());
}

void CALLBACK RetryTimer::onTick(HWND, UINT, UINT_PTR id, DWORD) {
    for (RetryTimer* t : armedTimers()) {
        if (t->id_ != id) continue;
        if (t->attempt_()) t->stop();
        return;
    }
}

}  // namespace shell
