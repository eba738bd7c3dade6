#include "addin/button_watch.h"

#include <ocidl.h>

#include <utility>

#include "addin/com_object.h"
#include "addin/office_interfaces.h"

namespace addin {
namespace {

constexpr DISPID kClick = 1;

// The event sink the host calls on a click.
class ClickSink final : public IDispatch, RefCounted<ClickSink> {
public:
    explicit ClickSink(ClickHandler onClick) : onClick_(std::move(onClick)) {}
    ADDIN_IUNKNOWN
    ADDIN_IDISPATCH((std::initializer_list<DispatchName>{{L"Click", kClick}}))

    void* interfaceFor(REFIID iid) {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, DIID_CommandBarButtonEvents))
            return static_cast<IDispatch*>(this);
        return nullptr;
    }

private:
    friend RefCounted<ClickSink>;

    HRESULT invokeId(DISPID id, WORD, DISPPARAMS* params, VARIANT*) noexcept {
        if (id != kClick) return DISP_E_MEMBERNOTFOUND;
        if (!params || params->cArgs != 2) return DISP_E_BADPARAMCOUNT;
        const VARIANT& ctrl = params->rgvarg[1];
        const VARIANT& cancel = params->rgvarg[0];
        IDispatch* control = ctrl.vt == VT_DISPATCH ? ctrl.pdispVal : nullptr;
        VARIANT_BOOL* cancelDefault = cancel.vt == (VT_BOOL | VT_BYREF) ? cancel.pboolVal : nullptr;
        try {
            onClick_(control, cancelDefault);
        } catch (...) {
        }
        return S_OK;
    }

    ClickHandler onClick_;
};

}  // namespace

ButtonWatch::ButtonWatch(Dispatch button, ClickHandler onClick) : button_(std::move(button)) {
    win::ComPtr<IConnectionPointContainer> container;
    if (!button_ || FAILED(button_->QueryInterface(IID_IConnectionPointContainer, container.putVoid()))) return;
    if (FAILED(container->FindConnectionPoint(DIID_CommandBarButtonEvents, point_.put()))) return;
    auto sink = win::ComPtr<IDispatch>::adopt(new ClickSink(std::move(onClick)));
    if (FAILED(point_->Advise(sink.get(), &cookie_))) point_ = {};
}

ButtonWatch::ButtonWatch(ButtonWatch&& other) noexcept
    : button_(std::move(other.button_)), point_(std::move(other.point_)), cookie_(std::exchange(other.cookie_, 0)) {}

ButtonWatch& ButtonWatch::operator=(ButtonWatch&& other) noexcept {
    if (this != &other) {
        stop();
        button_ = std::move(other.button_);
        point_ = std::move(other.point_);
        cookie_ = std::exchange(other.cookie_, 0);
    }
    return *this;
}

void ButtonWatch::stop() {
    if (point_ && cookie_) point_->Unadvise(cookie_);
    point_ = {};
    cookie_ = 0;
    button_ = {};
}

}  // namespace addin
