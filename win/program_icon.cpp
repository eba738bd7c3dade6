#include "win/program_icon.h"

#include "win/handles.h"

namespace win {
namespace {

constexpr wchar_t kIconName[] = L"VELMORA";  // the name app/Velmora.rc.in gives it

UniqueIcon load(int sizeMetric) {
    int size = GetSystemMetrics(sizeMetric);
    return UniqueIcon(static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), kIconName, IMAGE_ICON, size, size, 0)));
}

}  // namespace

HICON programIcon(int sizeMetric) {
    static const UniqueIcon large = load(SM_CXICON);
    static const UniqueIcon small = load(SM_CXSMICON);
    return sizeMetric == SM_CXSMICON ? small.get() : large.get();
}

}  // namespace win
