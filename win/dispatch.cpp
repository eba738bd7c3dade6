#include "win/dispatch.h"

namespace win {
namespace {

HRESULT invoke(IDispatch* object, const wchar_t* name, WORD flags, const std::vector<const VARIANT*>& args,
               VARIANT* result) {
    if (!object) return E_POINTER;
    DISPID id = 0;
    auto* names = const_cast<LPOLESTR>(name);
    HRESULT hr = object->GetIDsOfNames(IID_NULL, &names, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(hr)) return hr;
    // DISPPARAMS takes the arguments last first.
    std::vector<VARIANT> reversed;
    for (auto it = args.rbegin(); it != args.rend(); ++it) reversed.push_back(**it);
    DISPID putId = DISPID_PROPERTYPUT;
    DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    if (flags == DISPATCH_PROPERTYPUT) {
        params.rgdispidNamedArgs = &putId;
        params.cNamedArgs = 1;
    }
    return object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result, nullptr, nullptr);
}

std::vector<const VARIANT*> pointers(const Arguments& args) {
    std::vector<const VARIANT*> p;
    for (const Variant& a : args) p.push_back(a.get());
    return p;
}

}  // namespace

ComPtr<IDispatch> dispatchGet(IDispatch* object, const wchar_t* name, const Arguments& args) {
    Variant result;
    HRESULT hr = invoke(object, name, DISPATCH_PROPERTYGET | DISPATCH_METHOD, pointers(args), result.put());
    if (FAILED(hr) || result.get()->vt != VT_DISPATCH || !result.get()->pdispVal) return {};
    ComPtr<IDispatch> found(ComPtr<IDispatch>::adopt(result.get()->pdispVal));
    found->AddRef();  // the variant keeps its own reference until it is cleared
    return found;
}

HRESULT dispatchCall(IDispatch* object, const wchar_t* name, const Arguments& args) {
    Variant result;
    return invoke(object, name, DISPATCH_METHOD, pointers(args), result.put());
}

HRESULT dispatchPut(IDispatch* object, const wchar_t* name, const Variant& value) {
    return invoke(object, name, DISPATCH_PROPERTYPUT, {value.get()}, nullptr);
}

}  // namespace win
