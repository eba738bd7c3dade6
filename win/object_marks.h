#pragma once
// Leak probes for GDI and USER objects. GetGuiResources only answers 0 under Wine, so instead
// we look at the handle a newly created object gets: freed handle slots are handed out again,
// so the number stays flat while nothing leaks and grows by one slot for every object leaked.
#include <windows.h>

#include <cstdint>

namespace win {

// Handles name their slot in the low 16 bits.
inline uint32_t handleSlot(const void* h) { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(h) & 0xFFFF); }

inline uint32_t gdiObjectMark() {
    HBRUSH probe = CreateSolidBrush(0);
    uint32_t mark = handleSlot(probe);
    DeleteObject(probe);
    return mark;
}

inline uint32_t userObjectMark() {
    HMENU probe = CreateMenu();
    uint32_t mark = handleSlot(probe);
    DestroyMenu(probe);
    return mark;
}

}  // namespace win
