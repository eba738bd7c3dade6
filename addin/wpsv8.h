#pragma once
// The add-in object of WPS Presentation's own version 8 add-in model: its buttons, its
// slide-show events and Frm_tixing_V8.
#include "addin/com_object.h"
#include "addin/command_bars.h"
#include "addin/office_interfaces.h"
#include "addin/slide_show_events.h"

namespace addin {

class WPSV8 final : public IDTExtensibility2, RefCounted<WPSV8> {
public:
    // Tests drive the window's timers themselves.
    explicit WPSV8(TimerDrive drive = TimerDrive::Window) : drive_(drive) {}
    ADDIN_IUNKNOWN
    ADDIN_IDISPATCH((std::initializer_list<DispatchName>{}))

    STDMETHODIMP OnConnection(IDispatch* Application, int ConnectMode, IDispatch* AddInInst, SAFEARRAY** custom) override;
    STDMETHODIMP OnDisconnection(int RemoveMode, SAFEARRAY** custom) override;
    STDMETHODIMP OnAddInsUpdate(SAFEARRAY**) override { return S_OK; }
    STDMETHODIMP OnStartupComplete(SAFEARRAY** custom) override;
    STDMETHODIMP OnBeginShutdown(SAFEARRAY** custom) override;

    void* interfaceFor(REFIID iid);
    SlideShowEvents* events() { return wppApp_.get(); }

private:
    friend RefCounted<WPSV8>;
    HRESULT invokeId(DISPID, WORD, DISPPARAMS*, VARIANT*) noexcept { return DISP_E_MEMBERNOTFOUND; }

    TimerDrive drive_;
    WpsButtons buttons_;                        // button_right, button_menu
    HeldEvents wppApp_;   // the host with its events, and Frm_tixing_V8
};

}  // namespace addin
