#include "clocks/time_glass.h"

namespace clocks {

int32_t time_glass::remaintime(const std::wstring&) { return 0; }
void time_glass::buildStageLength() {}
void time_glass::Timer1_Timer() {}
void time_glass::Timer2_Timer() {}
void time_glass::Timer3_Timer() {}
void time_glass::Timer4_Timer() {}
void time_glass::Timer5_Timer() { Timer5.enabled(false); }

}  // namespace clocks
