// The exports through which COM and regsvr32 reach the library.
#include <windows.h>

#include <olectl.h>

#include <new>

#include "addin/com_object.h"
#include "addin/quintrel32.h"
#include "addin/registration.h"
#include "addin/wpsv8.h"
#include "addin/wpsv9.h"
#include "win/window.h"

namespace {

HMODULE thisLibrary = nullptr;

}  // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        thisLibrary = instance;
        DisableThreadLibraryCalls(instance);
        // The statically linked C++ runtime leaves a heap block of about 19 KB and a TLS slot
        // behind at every unload; a host that unloads and reloads us would grow, then fail
        // when the slots run out. Once loaded, the library stays until the host ends.
        HMODULE pinned = nullptr;
        GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_PIN | GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                           reinterpret_cast<LPCWSTR>(&DllMain), &pinned);
    }
    return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    addin::ClassFactory::Create create = nullptr;
    if (IsEqualCLSID(clsid, addin::CLSID_Quintrel32)) create = addin::createObject<addin::Quintrel32>;
    else if (IsEqualCLSID(clsid, addin::CLSID_WPSV8)) create = addin::createObject<addin::WPSV8>;
    else if (IsEqualCLSID(clsid, addin::CLSID_WPSV9)) create = addin::createObject<addin::WPSV9>;
    else return CLASS_E_CLASSNOTAVAILABLE;
    auto* factory = new (std::nothrow) addin::ClassFactory(create);
    if (!factory) return E_OUTOFMEMORY;
    HRESULT hr = factory->QueryInterface(iid, out);
    factory->Release();
    return hr;
}

// A window disconnected under its own box lives until its handler has returned.
STDAPI DllCanUnloadNow() { return addin::liveObjects() == 0 && win::heldForHandlers() == 0 ? S_OK : S_FALSE; }

STDAPI DllRegisterServer() {
    try {
        return addin::registerLibrary(thisLibrary);
    } catch (...) {
        return SELFREG_E_CLASS;
    }
}

STDAPI DllUnregisterServer() { return addin::unregisterLibrary(); }

}  // extern "C"
