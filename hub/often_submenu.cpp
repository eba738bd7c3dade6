#include "hub/often_submenu.h"

namespace hub {
namespace {

// The menu takes "&" as the mark of a shortcut letter; a clock's name shows as it is.
std::wstring menuText(const std::wstring& name) {
    std::wstring text;
    for (wchar_t c : name) {
        text += c;
        if (c == L'&') text += L'&';
    }
    return text;
}

}  // namespace

void OftenSubmenu::rebuild(std::vector<std::wstring> names) {
    menu_.reset(CreatePopupMenu());
    names_ = std::move(names);
    appended_ = 0;
    checked_ = -1;
    ++builds_;
}

bool OftenSubmenu::appendSome(const std::function<bool()>& timeLeft) {
    if (!menu_) return true;  // nothing to fill
    do {
        if (complete()) break;
        AppendMenuW(menu_.get(), flagsOf(appended_), firstId_ + appended_, menuText(names_[appended_]).c_str());
        ++appended_;
    } while (timeLeft());
    return complete();
}

// By command: an item that failed to go in moves the positions of all after it.
void OftenSubmenu::check(int index) {
    for (int i : {checked_, index}) {
        if (i >= 0 && static_cast<size_t>(i) < appended_) {
            UINT mark = i == index ? MF_CHECKED : MF_UNCHECKED;
            CheckMenuItem(menu_.get(), firstId_ + static_cast<UINT>(i), MF_BYCOMMAND | mark);
        }
    }
    checked_ = index;
}

UINT OftenSubmenu::flagsOf(size_t index) const {
    return MF_STRING | (static_cast<int>(index) == checked_ ? MF_CHECKED : MF_UNCHECKED);
}

}  // namespace hub
