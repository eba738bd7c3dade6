#include "addin/button_watch.h"

#include <utility>

#include "addin/office_interfaces.h"

namespace addin {
namespace {

constexpr DISPID kClick = 1;

}  // namespace

ButtonWatch::ButtonWatch(Dispatch button, ClickHandler onClick) : button_(std::move(button)) {
    auto unpack = [onClick = std::move(onClick)](DISPID id, const DISPPARAMS& params) {
        if (id != kClick || params.cArgs != 2) return;
        const VARIANT& ctrl = params.rgvarg[1];
        const VARIANT& cancel = params.rgvarg[0];
        onClick(ctrl.vt == VT_DISPATCH ? ctrl.pdispVal : nullptr,
                cancel.vt == (VT_BOOL | VT_BYREF) ? cancel.pboolVal : nullptr);
    };
    watch_ = EventWatch(button_.get(), DIID_CommandBarButtonEvents, false, std::move(unpack));
}

void ButtonWatch::stop() {
    watch_.stop();
    button_ = {};
}

}  // namespace addin
