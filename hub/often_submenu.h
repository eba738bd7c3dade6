#pragma once
// The submenu "常用时钟", kept from one change of the saved clocks to the next so that opening
// the menu builds nothing. Under Wine each appended item copies the menu's whole item array:
// 10,000 clocks take seconds to append, so they go in a slice at a time between the clock's
// ticks, and a menu opened meanwhile shows the clocks appended so far.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "win/handles.h"

namespace hub {

class OftenSubmenu {
public:
    // Item i starts command `firstId` + i.
    explicit OftenSubmenu(UINT firstId) : firstId_(firstId) {}

    // Starts over with an empty submenu for these names, none checked.
    void rebuild(std::vector<std::wstring> names);
    // Appends the next items while `timeLeft` says so, one at least; true once all are in (or
    // when there is no submenu to fill).
    bool appendSome(const std::function<bool()>& timeLeft);
    bool complete() const { return appended_ == names_.size(); }
    // Checks item `index` alone; an item not appended yet gets its mark when it is.
    void check(int index);

    // The submenu; it stays this object's own, whatever menu shows it.
    HMENU handle() const { return menu_.get(); }
    // How many submenus were begun: one per change of the saved clocks.
    int builds() const { return builds_; }

private:
    UINT flagsOf(size_t index) const;

    UINT firstId_;
    win::UniqueMenu menu_;
    std::vector<std::wstring> names_;
    size_t appended_ = 0;
    int checked_ = -1;
    int builds_ = 0;
};

}  // namespace hub
