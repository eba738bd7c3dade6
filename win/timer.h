#pragma once
// A window timer as a member: interval, enabled, and the handler it calls. Enabling arms
// SetTimer on the owner window, disabling kills it; tests call fire() without waiting.
#include <windows.h>

#include <functional>

namespace win {

class Timer {
public:
    using Handler = std::function<void()>;

    Timer(unsigned intervalMs, Handler handler) : interval_(intervalMs), handler_(std::move(handler)) {}
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;
    ~Timer() { disarm(); }

    bool enabled() const { return enabled_; }
    void enabled(bool on);
    unsigned interval() const { return interval_; }
    // A new interval takes effect at once on a running timer, as a restart.
    void interval(unsigned ms);

    // Runs the handler now, as if the interval had passed.
    void fire();

    // Binds the timer to its window; an enabled timer starts running there.
    void attach(HWND owner, UINT_PTR id);
    void detach();
    UINT_PTR id() const { return id_; }

private:
    void arm();
    void disarm();

    unsigned interval_;
    Handler handler_;
    bool enabled_ = false;
    HWND owner_ = nullptr;
    UINT_PTR id_ = 0;
};

}  // namespace win
