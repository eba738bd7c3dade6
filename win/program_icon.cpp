#include "win/program_icon.h"

#include "win/handles.h"
#include "win/program_icon_id.h"

namespace win {
namespace {

UniqueIcon load(int sizeMetric) {
    int size = GetSystemMetrics(sizeMetric);
    HANDLE icon = LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(VELMORA_ICON_ID), IMAGE_ICON, size, size, 0);
    return UniqueIcon(static_cast<HICON>(icon));
}

}  // namespace

HICON programIcon(int sizeMetric) {
    static const UniqueIcon large = load(SM_CXICON);
    static const UniqueIcon small = load(SM_CXSMICON);
    return sizeMetric == SM_CXSMICON ? small.get() : large.get();
}

}  // namespace win
