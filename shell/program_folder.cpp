#include "shell/program_folder.h"

#include <windows.h>

namespace shell {
namespace {

std::wstring folderOfModule() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return {};
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        path.resize(path.size() * 2);
    }
    auto slash = path.find_last_of(L'\\');
    path.resize(slash == std::wstring::npos ? 0 : slash);
    // A drive root keeps its "\", as the system reports it ("C:\").
    if (path.size() == 2 && path[1] == L':') path += L'\\';
    return path;
}

std::wstring& folder() {
    static std::wstring f = folderOfModule();
    return f;
}

}  // namespace

const std::wstring& programFolder() { return folder(); }

void setProgramFolder(std::wstring f) { folder() = std::move(f); }

std::wstring inProgramFolder(std::wstring_view name) {
    std::wstring path = folder();
    if (path.empty() || path.back() != L'\\') path += L'\\';
    path += name;
    return path;
}

}  // namespace shell
