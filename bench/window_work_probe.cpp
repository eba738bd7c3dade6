// Prints the window-work counters of a running Velmora started with the shared block named on
// the command line: paints, outline sets and raises so far, and the tick count they were read at.
#include <windows.h>

#include <cstdio>

#include "win/handles.h"
#include "win/window_work.h"

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return 2;
    win::UniqueFile mapping(OpenFileMappingW(FILE_MAP_READ, FALSE, argv[1]));
    if (!mapping) return 1;
    const void* view = MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, 0, sizeof(win::WindowWork));
    if (!view) return 1;
    win::WindowWork work = *static_cast<const win::WindowWork*>(view);
    UnmapViewOfFile(view);
    std::printf("%lu %ld %ld %ld\n", GetTickCount(), work.paints, work.regionSets, work.raises);
    return 0;
}
