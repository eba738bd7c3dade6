#pragma once
// The program's going: once it has begun, no click, key or command opens a menu, a window or a
// box; only the report the going itself asks for may still show.
#include <windows.h>

namespace win {

bool programEnding();
void beginProgramEnd();
// The session end was called off: the program goes on as before.
void cancelProgramEnd();

// While one lives on this thread, a box of the going's own (what could not be saved) shows.
class EndingReport {
public:
    EndingReport();
    ~EndingReport();
    EndingReport(const EndingReport&) = delete;
    EndingReport& operator=(const EndingReport&) = delete;
};

// True when a box may show now: the program is not ending, or the going asks for it.
bool boxesShow();

// TrackPopupMenu, except once the program ends: then no menu opens and 0 is returned.
UINT popupMenu(HMENU menu, UINT flags, int x, int y, HWND owner);

}  // namespace win
