#pragma once
// Lets the window messages already queued (timer ticks included) run before the caller goes on.

namespace win {

void doEvents();

}  // namespace win
