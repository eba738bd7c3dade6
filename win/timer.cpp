#include "win/timer.h"

namespace win {

void Timer::enabled(bool on) {
    if (on == enabled_) return;
    enabled_ = on;
    if (on) arm();
    else disarm();
}

void Timer::interval(unsigned ms) {
    interval_ = ms;
    if (enabled_) arm();
}

void Timer::fire() {
    if (handler_) handler_();
}

void Timer::attach(HWND owner, UINT_PTR id) {
    owner_ = owner;
    id_ = id;
    if (enabled_) arm();
}

void Timer::detach() {
    disarm();
    owner_ = nullptr;
}

void Timer::arm() {
    // A zero interval never fires, as with the timers of the form designer.
    if (owner_ && interval_ > 0) SetTimer(owner_, id_, interval_, nullptr);
    else disarm();
}

void Timer::disarm() {
    if (owner_) KillTimer(owner_, id_);
}

}  // namespace win
