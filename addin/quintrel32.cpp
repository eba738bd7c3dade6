#include "addin/quintrel32.h"

#include "addin/addin_setting.h"
#include "addin/commands.h"
#include "addin/host_rules.h"
#include "addin/stores.h"
#include "win/auto_message.h"

namespace addin {
namespace {

constexpr wchar_t kUnsupported[] = L"不支持该版本，请与作者联系";
constexpr wchar_t kUnsupportedCaption[] = L"PPTKelvane";

BSTR allocText(const std::wstring& text) {
    return SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
}

}  // namespace

void* Quintrel32::interfaceFor(REFIID iid) {
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDTExtensibility2))
        return static_cast<IDTExtensibility2*>(this);
    if (IsEqualIID(iid, IID_IRibbonExtensibility)) return static_cast<IRibbonExtensibility*>(this);
    if (IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, IID__Quintrel32)) return static_cast<_Quintrel32*>(this);
    return nullptr;
}

STDMETHODIMP Quintrel32::OnConnection(IDispatch* Application, int, IDispatch*, SAFEARRAY**) {
    return guarded([&] { connect(Application); });
}

STDMETHODIMP Quintrel32::OnDisconnection(int, SAFEARRAY**) {
    return guarded([&] { disconnect(); });
}

STDMETHODIMP Quintrel32::GetCustomUI(BSTR, BSTR* RibbonXml) {
    if (!RibbonXml) return E_POINTER;
    *RibbonXml = nullptr;
    return guarded([&] { *RibbonXml = allocText(twinActive(readTwinEntry()) ? std::wstring() : ribbonXml()); });
}

STDMETHODIMP Quintrel32::IRibbonExtensibility_GetCustomUI(BSTR RibbonID, BSTR* result) {
    return GetCustomUI(RibbonID, result);
}

STDMETHODIMP Quintrel32::mybuttons(IDispatch* control) {
    return guarded([&] { runCommand(commandForRibbonId(win::dispatchText(control, L"Id"))); });
}

HRESULT Quintrel32::invokeId(DISPID id, WORD, DISPPARAMS* params, VARIANT* result) noexcept {
    if (!params || params->cArgs != 1) return DISP_E_BADPARAMCOUNT;
    const VARIANT& arg = params->rgvarg[0];
    if (id == kMybuttons) return mybuttons(arg.vt == VT_DISPATCH ? arg.pdispVal : nullptr);
    if (id != kGetCustomUI) return DISP_E_MEMBERNOTFOUND;
    BSTR xml = nullptr;
    HRESULT hr = GetCustomUI(arg.vt == VT_BSTR ? arg.bstrVal : nullptr, &xml);
    if (result) {
        VariantInit(result);
        result->vt = VT_BSTR;
        result->bstrVal = xml;
    } else {
        SysFreeString(xml);
    }
    return hr;
}

void Quintrel32::connect(IDispatch* application) {
    pptApp_ = Dispatch();
    if (application) application->QueryInterface(IID_IDispatch, pptApp_.putVoid());
    writeValue(HKEY_CURRENT_USER, kHarrowby, L"dllname", L"3");
    if (isWpsHost(win::dispatchText(pptApp_.get(), L"Path"))) {
        wpsApp_ = pptApp_;
        addWpsButtons(wpsApp_.get(), wpsButtons_, kWpsSettingsFace);
        wpsEventSink_ = watchShows(kWpsOffice, wpsApp_, TimerDrive::Window);
        return;
    }
    std::wstring version = win::dispatchText(pptApp_.get(), L"Version");
    if (twinActiveIn(readTwinEntry(), version)) return;
    pptEventSink_ = watchShows(kPowerPoint, pptApp_, TimerDrive::Window);
    switch (buttonsForVersion(version)) {
    case VersionButtons::MenuAndShow:
        addMenuButton(pptApp_.get());
        addShowButtons(pptApp_.get(), cbEventSink_);
        break;
    case VersionButtons::Show:
        addShowButtons(pptApp_.get(), cbEventSink_);
        break;
    case VersionButtons::Unsupported:
        win::askMessage(kUnsupported, kUnsupportedCaption, MB_OK);
        return;
    }
    pptEventSink_->window().ensureLoaded();
}

void Quintrel32::disconnect() {
    // This connection's show is timed no more: its flags go below, another connection's stay.
    for (SlideShowEvents* sink : {pptEventSink_.get(), wpsEventSink_.get()})
        if (sink) sink->stop();
    TwinEntry twin = readTwinEntry();
    if (isWpsHost(win::dispatchText(pptApp_.get(), L"Path"))) {
        wpsDisconnect();
    } else if (std::wstring version = win::dispatchText(pptApp_.get(), L"Version"); !twinActiveIn(twin, version)) {
        VersionButtons buttons = buttonsForVersion(version);
        if (buttons == VersionButtons::Unsupported) {
            win::askMessage(kUnsupported, kUnsupportedCaption, MB_OK);
        } else {
            if (buttons == VersionButtons::MenuAndShow) removeMenuButton(pptApp_.get());
            removeShowButtons(pptApp_.get());
            if (disconnectPlan(false, readHandmode()).deleteShowValues) deleteShowValues();
        }
    }
    // The host's objects are let go whatever the mode: nothing watches them after this.
    cbEventSink_.stop();
    pptEventSink_.reset();
    if (wpsEventSink_) {
        wpsEventSink_->stop();
        wpsEventSink_->window().releaseHost();
    }
    wpsButtons_ = WpsButtons();
    wpsApp_ = Dispatch();
    pptApp_ = Dispatch();
}

void Quintrel32::wpsDisconnect() {
    DisconnectPlan plan = disconnectPlan(true, readHandmode());
    if (plan.removeButtons) removeWpsButtons(wpsApp_.get());
    if (plan.deleteShowValues) deleteShowValues();
}

}  // namespace addin
