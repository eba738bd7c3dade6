#include "displays/Frm_process.h"

#include "shell/look.h"
#include "shell/run_records.h"
#include "win/floating.h"
#include "win/twips.h"

namespace displays {

Frm_process::Frm_process(bool secondScreen) : secondScreen_(secondScreen) {
    for (win::Timer* t : {&Timer1, &Timer2, &Timer3, &Timer4}) addTimer(*t);
}

void Frm_process::Form_Load() {
    create({secondScreen_ ? L"Velmora.Frm_process_two" : L"Velmora.Frm_process"},
           win::floatingLayout(0, -6000, 6000, 900));
    park(5000);
    ShowWindow(hwnd(), SW_SHOWNOACTIVATE);
}

int Frm_process::centredLeft() const {
    int w = win::pixelsToTwipsX(shell::screenShared().screenwidth);
    return (secondScreen_ ? w : 0) + (w - Width()) / 2;
}

void Frm_process::park(int gap) { Move(centredLeft(), -Height() - gap); }

void Frm_process::Timer1_Timer() {}
void Frm_process::Timer2_Timer() {}
void Frm_process::Timer3_Timer() { Timer3.enabled(false); }
void Frm_process::Timer4_Timer() { shell::keepOnTop(hwnd()); }

}  // namespace displays
