#include "addin/show_mark.h"

namespace addin {
namespace {

constexpr wchar_t kMarkName[] = L"Quintrel32.ShowTimed";

}  // namespace

void ShowMark::hold() {
    if (!handle_) handle_.reset(CreateEventW(nullptr, TRUE, FALSE, kMarkName));
}

bool showTimed() { return static_cast<bool>(win::UniqueFile(OpenEventW(SYNCHRONIZE, FALSE, kMarkName))); }

}  // namespace addin
