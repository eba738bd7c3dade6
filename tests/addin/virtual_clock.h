#pragma once
// Runs window timers on a time of its own: a show of minutes passes in milliseconds. Each
// enabled timer fires one interval after it was armed or last fired; a new interval restarts
// it, as SetTimer does. Timers due at the same moment fire in the order given.
#include <map>
#include <vector>

#include "win/timer.h"

namespace addin_test {

class VirtualClock {
public:
    explicit VirtualClock(std::vector<win::Timer*> timers) : timers_(std::move(timers)) {}

    unsigned now() const { return now_; }

    // Lets `ms` pass, firing what falls due.
    void run(unsigned ms) {
        unsigned end = now_ + ms;
        for (;;) {
            schedule();
            win::Timer* next = nullptr;
            for (win::Timer* t : timers_) {
                auto it = due_.find(t);
                if (it != due_.end() && (!next || it->second.at < due_[next].at)) next = t;
            }
            if (!next || due_[next].at > end) break;
            now_ = due_[next].at;
            due_[next].at = now_ + next->interval();
            next->fire();
        }
        now_ = end;
    }

private:
    struct Due {
        unsigned at;
        unsigned interval;
    };

    void schedule() {
        for (win::Timer* t : timers_) {
            auto it = due_.find(t);
            if (!t->enabled() || t->interval() == 0) {
                if (it != due_.end()) due_.erase(it);
            } else if (it == due_.end() || it->second.interval != t->interval()) {
                due_[t] = Due{now_ + t->interval(), t->interval()};
            }
        }
    }

    std::vector<win::Timer*> timers_;
    std::map<win::Timer*, Due> due_;
    unsigned now_ = 0;
};

}  // namespace addin_test
