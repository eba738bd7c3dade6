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

std::optional<std::wstring> Variant::text() const {
    Variant converted;
    if (FAILED(VariantChangeType(converted.get(), const_cast<VARIANT*>(&v_), 0, VT_BSTR))) return std::nullopt;
    BSTR b = converted.get()->bstrVal;
    return std::wstring(b ? b : L"", b ? SysStringLen(b) : 0);
}

std::optional<long> Variant::number() const {
    Variant converted;
    if (FAILED(VariantChangeType(converted.get(), const_cast<VARIANT*>(&v_), 0, VT_I4))) return std::nullopt;
    return converted.get()->lVal;
}

ComPtr<IDispatch> Variant::object() const {
    ComPtr<IDispatch> d;
    if ((v_.vt == VT_DISPATCH || v_.vt == VT_UNKNOWN) && v_.punkVal) v_.punkVal->QueryInterface(IID_IDispatch, d.putVoid());
    return d;
}

std::optional<Variant> dispatchValue(IDispatch* object, const wchar_t* name, const Arguments& args) {
    Variant result;
    if (FAILED(invoke(object, name, DISPATCH_PROPERTYGET | DISPATCH_METHOD, pointers(args), result.put())))
        return std::nullopt;
    return result;
}

ComPtr<IDispatch> dispatchGet(IDispatch* object, const wchar_t* name, const Arguments& args) {
    auto result = dispatchValue(object, name, args);
    return result ? result->object() : ComPtr<IDispatch>();
}

std::wstring dispatchText(IDispatch* object, const wchar_t* name) {
    auto result = dispatchValue(object, name);
    return result ? result->text().value_or(L"") : std::wstring();
}

HRESULT dispatchCall(IDispatch* object, const wchar_t* name, const Arguments& args) {
    Variant result;
    return invoke(object, name, DISPATCH_METHOD, pointers(args), result.put());
}

HRESULT dispatchPut(IDispatch* object, const wchar_t* name, const Variant& value) {
    return invoke(object, name, DISPATCH_PROPERTYPUT, {value.get()}, nullptr);
}

}  // namespace win
