#include "clocks/time_glasstwo.h"

#include "shell/run_records.h"
#include "win/floating.h"
#include "win/twips.h"

namespace clocks {

time_glasstwo::time_glasstwo() {
    for (win::Timer* t : {&Timer1, &Timer2, &Timer3, &Timer5}) addTimer(*t);
}

void time_glasstwo::Form_Load() {
    const auto& screen = shell::screenShared();
    int w = win::pixelsToTwipsX(screen.screenwidth), h = win::pixelsToTwipsY(screen.screenheight);
    // Parked until the second-screen option places it.
    create({L"Velmora.time_glasstwo"}, win::floatingLayout(-w - 5000, -h - 15000, 2250, 750));
    ShowWindow(hwnd(), SW_SHOWNOACTIVATE);
}

void time_glasstwo::ShowStatue(const std::wstring&, int) {}

void time_glasstwo::Timer1_Timer() {}
void time_glasstwo::Timer2_Timer() {}
void time_glasstwo::Timer3_Timer() {}
void time_glasstwo::Timer5_Timer() { Timer5.enabled(false); }

}  // namespace clocks
