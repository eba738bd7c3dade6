#include "addin/wpsv8.h"

#include "addin/addin_setting.h"
#include "addin/stores.h"

namespace addin {

void* WPSV8::interfaceFor(REFIID iid) {
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, IID_IDTExtensibility2))
        return static_cast<IDTExtensibility2*>(this);
    return nullptr;
}

STDMETHODIMP WPSV8::OnConnection(IDispatch* Application, int, IDispatch*, SAFEARRAY**) {
    return guarded([&] {
        auto app = win::Dispatch::share(Application);
        wppApp_ = watchShows(kWpsV8, app, drive_);
        writeValue(HKEY_CURRENT_USER, kHarrowby, L"dllname", L"3");
        addWpsButtons(app.get(), buttons_, kWpsV8SettingsFace);
    });
}

STDMETHODIMP WPSV8::OnDisconnection(int, SAFEARRAY**) {
    return guarded([&] {
        if (wppApp_) wppApp_->stop();
        // Hand mode 1 keeps the show's values for the clock program; the buttons always stay.
        if (readHandmode() != 1) deleteShowValues();
        buttons_ = WpsButtons();
    });
}

STDMETHODIMP WPSV8::OnStartupComplete(SAFEARRAY**) {
    return reported([&] {
        if (wppApp_) wppApp_->window().ensureLoaded();
    });
}

STDMETHODIMP WPSV8::OnBeginShutdown(SAFEARRAY**) {
    return reported([&] {
        if (wppApp_) wppApp_->window().unloadForm();
    });
}

}  // namespace addin
