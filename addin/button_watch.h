#pragma once
// Watches the click event of one host command-bar button. The host raises the click of a
// watched button for every control carrying the same Tag. The watch ends with its owner.
#include <windows.h>
#include <ocidl.h>

#include <functional>

#include "addin/event_watch.h"
#include "win/dispatch.h"

namespace addin {

using win::Dispatch;

// Ctrl is the clicked control; CancelDefault may be set to keep the host's own action from running.
using ClickHandler = std::function<void(IDispatch* ctrl, VARIANT_BOOL* cancelDefault)>;

class ButtonWatch {
public:
    ButtonWatch() = default;
    ButtonWatch(Dispatch button, ClickHandler onClick);

    IDispatch* Button() const { return button_.get(); }
    void stop();

private:
    Dispatch button_;
    EventWatch watch_;
};

}  // namespace addin
