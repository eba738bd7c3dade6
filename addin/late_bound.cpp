#include "addin/late_bound.h"

#include <iterator>
#include <vector>

namespace addin {
namespace {

std::optional<Variant> invokeByName(IDispatch* object, const wchar_t* name, WORD flags,
                                    std::initializer_list<Variant> args) {
    if (!object) return std::nullopt;
    DISPID id = DISPID_UNKNOWN;
    auto* member = const_cast<LPOLESTR>(name);
    if (FAILED(object->GetIDsOfNames(IID_NULL, &member, 1, LOCALE_USER_DEFAULT, &id))) return std::nullopt;
    std::vector<VARIANT> raw;  // automation takes the arguments last first
    for (auto it = std::rbegin(args); it != std::rend(args); ++it) raw.push_back(it->raw());
    DISPPARAMS params{raw.data(), nullptr, static_cast<UINT>(raw.size()), 0};
    DISPID putId = DISPID_PROPERTYPUT;
    if (flags & DISPATCH_PROPERTYPUT) {
        params.rgdispidNamedArgs = &putId;
        params.cNamedArgs = 1;
    }
    Variant result;
    EXCEPINFO error{};
    HRESULT hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result.get(), &error, nullptr);
    SysFreeString(error.bstrSource);
    SysFreeString(error.bstrDescription);
    SysFreeString(error.bstrHelpFile);
    if (FAILED(hr)) return std::nullopt;
    return result;
}

}  // namespace

Variant::Variant(long number) noexcept : Variant() {
    v_.vt = VT_I4;
    v_.lVal = number;
}

Variant::Variant(const wchar_t* text) : Variant() {
    v_.vt = VT_BSTR;
    v_.bstrVal = SysAllocString(text);
}

Variant Variant::boolean(bool value) noexcept {
    Variant v;
    v.v_.vt = VT_BOOL;
    v.v_.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    return v;
}

Variant Variant::missing() noexcept {
    Variant v;
    v.v_.vt = VT_ERROR;
    v.v_.scode = DISP_E_PARAMNOTFOUND;
    return v;
}

Variant::Variant(const Variant& other) noexcept : Variant() { VariantCopy(&v_, const_cast<VARIANT*>(&other.v_)); }

Variant& Variant::operator=(const Variant& other) noexcept {
    if (this != &other) VariantCopy(&v_, const_cast<VARIANT*>(&other.v_));
    return *this;
}

std::optional<std::wstring> Variant::text() const {
    Variant converted;
    if (FAILED(VariantChangeType(converted.get(), const_cast<VARIANT*>(&v_), 0, VT_BSTR))) return std::nullopt;
    BSTR b = converted.raw().bstrVal;
    return std::wstring(b ? b : L"", b ? SysStringLen(b) : 0);
}

std::optional<long> Variant::number() const {
    Variant converted;
    if (FAILED(VariantChangeType(converted.get(), const_cast<VARIANT*>(&v_), 0, VT_I4))) return std::nullopt;
    return converted.raw().lVal;
}

Dispatch Variant::object() const {
    Dispatch d;
    if ((v_.vt == VT_DISPATCH || v_.vt == VT_UNKNOWN) && v_.punkVal)
        v_.punkVal->QueryInterface(IID_IDispatch, d.putVoid());
    return d;
}

std::optional<Variant> getProperty(IDispatch* object, const wchar_t* name, std::initializer_list<Variant> args) {
    return invokeByName(object, name, DISPATCH_PROPERTYGET | DISPATCH_METHOD, args);
}

bool putProperty(IDispatch* object, const wchar_t* name, const Variant& value) {
    return invokeByName(object, name, DISPATCH_PROPERTYPUT, {value}).has_value();
}

std::optional<Variant> callMethod(IDispatch* object, const wchar_t* name, std::initializer_list<Variant> args) {
    return invokeByName(object, name, DISPATCH_METHOD, args);
}

Dispatch getObject(IDispatch* object, const wchar_t* name, std::initializer_list<Variant> args) {
    auto v = getProperty(object, name, args);
    return v ? v->object() : Dispatch();
}

std::wstring getText(IDispatch* object, const wchar_t* name) {
    auto v = getProperty(object, name);
    auto t = v ? v->text() : std::nullopt;
    return t.value_or(L"");
}

}  // namespace addin
