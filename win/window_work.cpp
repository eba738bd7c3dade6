#include "win/window_work.h"

#include <string>

#include "win/handles.h"

namespace win {
namespace {

struct SharedBlock {
    UniqueFile mapping;
    void* view = nullptr;
    ~SharedBlock() {
        if (view) UnmapViewOfFile(view);
    }
};

// The block named by the environment, or nothing when there is none (the usual case).
WindowWork* sharedWork(SharedBlock& block) {
    wchar_t name[MAX_PATH];
    DWORD length = GetEnvironmentVariableW(kWindowWorkVariable, name, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    block.mapping.reset(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(WindowWork), name));
    if (!block.mapping) return nullptr;
    block.view = MapViewOfFile(block.mapping.get(), FILE_MAP_WRITE, 0, 0, sizeof(WindowWork));
    return static_cast<WindowWork*>(block.view);
}

}  // namespace

WindowWork& windowWork() {
    static WindowWork own;
    static SharedBlock block;
    static WindowWork* shared = sharedWork(block);
    return shared ? *shared : own;
}

}  // namespace win
