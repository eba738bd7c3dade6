#include "win/program_end.h"

#include <atomic>

namespace win {
namespace {

std::atomic<bool> ending{false};
thread_local int reports = 0;

}  // namespace

bool programEnding() { return ending; }
void beginProgramEnd() { ending = true; }
void cancelProgramEnd() { ending = false; }

EndingReport::EndingReport() { ++reports; }
EndingReport::~EndingReport() { --reports; }

bool boxesShow() { return !ending || reports > 0; }

UINT popupMenu(HMENU menu, UINT flags, int x, int y, HWND owner) {
    if (ending) return 0;
    return static_cast<UINT>(TrackPopupMenu(menu, flags, x, y, 0, owner, nullptr));
}

}  // namespace win
