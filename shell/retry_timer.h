#pragma once
// What another program's hold on one of our files stopped is tried again from a timer of this
// thread, so that the windows and the clock never wait for the file. The tries come on the main
// clock's 200-ms tick, as its own lookup of a held file does: a hold that comes and goes with a
// rhythm of its own (say 700 ms of every second) leaves spells free that such a try meets, where
// a try once a second can fall into the held part every time.
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
    // Asked by an attempt refused for a cause that lasts until the user acts (no right to the
    // file, a full disk): the next try comes a second later, not on the 200-ms rhythm.
    void waitLonger() { longer_ = true; }

private:
    void armIn(UINT ms);
    static void CALLBACK onTick(HWND, UINT, UINT_PTR id, DWORD);

    std::function<bool()> attempt_;
    UINT_PTR id_ = 0;
    bool longer_ = false;
};

}  // namespace shell
