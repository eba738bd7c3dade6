#pragma once
// Late-bound automation: objects of other programs reached through IDispatch by member name,
// with owners for the VARIANTs and SAFEARRAYs handed across.
#include <oaidl.h>
#include <oleauto.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "win/handles.h"

namespace win {

using Dispatch = ComPtr<IDispatch>;

// A VARIANT that clears what it holds.
class Variant {
public:
    Variant() noexcept { VariantInit(&v_); }
    explicit Variant(double number) noexcept : Variant() {
        v_.vt = VT_R8;
        v_.dblVal = number;
    }
    explicit Variant(int number) noexcept : Variant() {
        v_.vt = VT_I4;
        v_.lVal = number;
    }
    explicit Variant(long number) noexcept : Variant(static_cast<int>(number)) {}
    explicit Variant(bool flag) noexcept : Variant() {
        v_.vt = VT_BOOL;
        v_.boolVal = flag ? VARIANT_TRUE : VARIANT_FALSE;
    }
    explicit Variant(const std::wstring& text) : Variant() {
        v_.bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
        if (v_.bstrVal) v_.vt = VT_BSTR;
    }
    // Without this a string literal would pick the bool constructor.
    explicit Variant(const wchar_t* text) : Variant(std::wstring(text)) {}
    explicit Variant(IDispatch* object) noexcept : Variant() {
        v_.vt = VT_DISPATCH;
        v_.pdispVal = object;
        if (object) object->AddRef();
    }
    // An optional argument left out.
    static Variant missing() noexcept {
        Variant v;
        v.v_.vt = VT_ERROR;
        v.v_.scode = DISP_E_PARAMNOTFOUND;
        return v;
    }
    // Takes over an array: the variant frees it.
    static Variant adoptArray(SAFEARRAY* array, VARTYPE elements) noexcept {
        Variant v;
        v.v_.vt = VT_ARRAY | elements;
        v.v_.parray = array;
        return v;
    }
    Variant(Variant&& o) noexcept : v_(o.v_) { VariantInit(&o.v_); }
    Variant& operator=(Variant&& o) noexcept {
        if (this != &o) {
            VariantClear(&v_);
            v_ = std::exchange(o.v_, VARIANT{});
        }
        return *this;
    }
    Variant(const Variant& o) noexcept : Variant() { VariantCopy(&v_, const_cast<VARIANT*>(&o.v_)); }
    Variant& operator=(const Variant& o) noexcept {
        if (this != &o) VariantCopy(&v_, const_cast<VARIANT*>(&o.v_));
        return *this;
    }
    ~Variant() { VariantClear(&v_); }

    VARIANT* get() noexcept { return &v_; }
    const VARIANT* get() const noexcept { return &v_; }
    // For out-parameters: clears what is held first.
    VARIANT* put() noexcept {
        VariantClear(&v_);
        return &v_;
    }

    // The value as text or number, converted as automation converts; nothing when it cannot be.
    std::optional<std::wstring> text() const;
    std::optional<long> number() const;
    // The object held, empty when it holds none.
    ComPtr<IDispatch> object() const;

private:
    VARIANT v_;
};

using Arguments = std::vector<Variant>;

// Arguments from values in call order (Variant cannot go through an initializer list).
template <typename... Values>
Arguments arguments(Values&&... values) {
    Arguments args;
    (args.emplace_back(std::forward<Values>(values)), ...);
    return args;
}

// Property get (or method call) `name` with `args`; the result is the object it returns, empty
// when the call fails or returns no object.
ComPtr<IDispatch> dispatchGet(IDispatch* object, const wchar_t* name, const Arguments& args = {});
// Property get (or method call) `name` with `args`; nothing when the call fails.
std::optional<Variant> dispatchValue(IDispatch* object, const wchar_t* name, const Arguments& args = {});
// The text of property `name`; empty when it cannot be read.
std::wstring dispatchText(IDispatch* object, const wchar_t* name);
// Method call `name` with `args`, the result dropped.
HRESULT dispatchCall(IDispatch* object, const wchar_t* name, const Arguments& args = {});
// Property put `name` = value.
HRESULT dispatchPut(IDispatch* object, const wchar_t* name, const Variant& value);

}  // namespace win
