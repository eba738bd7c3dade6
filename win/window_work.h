#pragma once
// How often the windows went to the window system for work that shows on screen: paints,
// outline (region) sets and raises. Counting is a plain increment, cheap enough to stay in the
// shipped program. A benchmark started the program with VELMORA_WINDOW_WORK naming a shared
// block; the counters then live in that block, where the benchmark reads them from outside.
#include <windows.h>

namespace win {

struct WindowWork {
    LONG paints = 0;
    LONG regionSets = 0;
    LONG raises = 0;
};

// The environment variable that names the shared block.
inline constexpr wchar_t kWindowWorkVariable[] = L"VELMORA_WINDOW_WORK";

WindowWork& windowWork();

}  // namespace win
