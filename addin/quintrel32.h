#pragma once
// The add-in object the host creates: connection, disconnection, ribbon and its callback.
#include "addin/com_object.h"
#include "addin/command_bars.h"
#include "addin/office_interfaces.h"
#include "addin/slide_show_events.h"

namespace addin {

// {92DBDA8B-4D39-44F4-A8F4-5160C9B6091C}: the class's own interface, reached late-bound.
inline constexpr IID IID__Quintrel32 = {0x92DBDA8B, 0x4D39, 0x44F4, {0xA8, 0xF4, 0x51, 0x60, 0xC9, 0xB6, 0x09, 0x1C}};

struct _Quintrel32 : IDispatch {
    virtual HRESULT STDMETHODCALLTYPE IRibbonExtensibility_GetCustomUI(BSTR RibbonID, BSTR* result) = 0;
    virtual HRESULT STDMETHODCALLTYPE mybuttons(IDispatch* control) = 0;
};

class Quintrel32 final : public IDTExtensibility2, public IRibbonExtensibility, public _Quintrel32,
                         RefCounted<Quintrel32> {
public:
    ADDIN_IUNKNOWN
    static constexpr DISPID kGetCustomUI = 1;
    static constexpr DISPID kMybuttons = 2;
    ADDIN_IDISPATCH((std::initializer_list<DispatchName>{{L"IRibbonExtensibility_GetCustomUI", kGetCustomUI},
                                                         {L"mybuttons", kMybuttons}}))

    STDMETHODIMP OnConnection(IDispatch* Application, int ConnectMode, IDispatch* AddInInst, SAFEARRAY** custom) override;
    STDMETHODIMP OnDisconnection(int RemoveMode, SAFEARRAY** custom) override;
    STDMETHODIMP OnAddInsUpdate(SAFEARRAY**) override { return S_OK; }
    STDMETHODIMP OnStartupComplete(SAFEARRAY**) override { return S_OK; }
    STDMETHODIMP OnBeginShutdown(SAFEARRAY**) override { return S_OK; }
    STDMETHODIMP GetCustomUI(BSTR RibbonID, BSTR* RibbonXml) override;
    STDMETHODIMP IRibbonExtensibility_GetCustomUI(BSTR RibbonID, BSTR* result) override;
    STDMETHODIMP mybuttons(IDispatch* control) override;

    void* interfaceFor(REFIID iid);

private:
    friend RefCounted<Quintrel32>;
    HRESULT invokeId(DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result) noexcept;

    void connect(IDispatch* application);
    void disconnect();
    void wpsDisconnect();

    Dispatch pptApp_;  // the host, set at every connection
    Dispatch wpsApp_;  // the host again, in WPS mode
    ButtonWatch cbEventSink_;
    WpsButtons wpsButtons_;
    HeldEvents pptEventSink_;  // AutoPPT with Frm_tixing
    HeldEvents wpsEventSink_;  // WPSV9 with Frm_tixing_V9, kept to the end
};

}  // namespace addin
