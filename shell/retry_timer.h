#pragma once
// What another program's hold on one of our files stopped is tried again from a timer of this
// thread, once a second, so that the windows and the clock never wait for the file.
#include <windows.h>

#include <functional>

namespace shell {

class RetryTimer {
public:
    // `attempt` returns true once nothing is left to do; the timer then stops. No attempt runs
    // inside another.
    explicit RetryTimer(std::function<bool()> attempt) : attempt_(std::move(attempt)) {}
    RetryTimer(const RetryTimer&) = delete;
    RetryTimer& operator=(const RetryTimer&) = delete;
    ~RetryTimer() { stop(); }

    // Starts the tries unless they run already.
    void arm();
    bool armed() const { return id_ != 0; }
    void stop();

private:
    static void CALLBACK onTick(HWND, UINT, UINT_PTR id, DWORD);

    std::function<bool()> attempt_;
    UINT_PTR id_ = 0;
};

}  // namespace shell
