#pragma once
// Watches the click event of one host command-bar button. The host raises the click of a
// watched button for every control carrying the same Tag. The watch ends with its owner.
#include <windows.h>
#include <ocidl.h>

#include <functional>

#include "win/dispatch.h"

namespace addin {

using win::Dispatch;

// Ctrl is the clicked control; CancelDefault may be set to keep the host's own action from running.
using ClickHandler = std::function<void(IDispatch* ctrl, VARIANT_BOOL* cancelDefault)>;

class ButtonWatch {
public:
    ButtonWatch() = default;
    ButtonWatch(Dispatch button, ClickHandler onClick);
    ButtonWatch(ButtonWatch&& other) noexcept;
    ButtonWatch& operator=(ButtonWatch&& other) noexcept;
    ~ButtonWatch() { stop(); }

    IDispatch* Button() const { return button_.get(); }
    void stop();

private:
    Dispatch button_;
    win::ComPtr<IConnectionPoint> point_;
    DWORD cookie_ = 0;
};

}  // namespace addin
