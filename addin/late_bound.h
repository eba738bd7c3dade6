#pragma once
// Host objects reached late-bound by member name through IDispatch: PowerPoint and WPS carry
// the same names behind differently ordered interfaces. Every call reports failure as an
// empty result instead of raising.
#include <windows.h>
#include <oaidl.h>

#include <initializer_list>
#include <optional>
#include <string>

#include "win/handles.h"

namespace addin {

using Dispatch = win::ComPtr<IDispatch>;

// An owned VARIANT.
class Variant {
public:
    Variant() noexcept { VariantInit(&v_); }
    Variant(long number) noexcept;
    Variant(const wchar_t* text);
    Variant(const std::wstring& text) : Variant(text.c_str()) {}
    static Variant boolean(bool value) noexcept;
    static Variant missing() noexcept;  // an optional argument left out
    Variant(const Variant& other) noexcept;
    Variant& operator=(const Variant& other) noexcept;
    ~Variant() { VariantClear(&v_); }

    VARIANT* get() noexcept { return &v_; }
    const VARIANT& raw() const noexcept { return v_; }
    // The value as text or number, converted as automation converts; nothing when it cannot be.
    std::optional<std::wstring> text() const;
    std::optional<long> number() const;
    Dispatch object() const;

private:
    VARIANT v_;
};

// Reads a property (or calls a method that returns something) with positional arguments.
std::optional<Variant> getProperty(IDispatch* object, const wchar_t* name, std::initializer_list<Variant> args = {});
bool putProperty(IDispatch* object, const wchar_t* name, const Variant& value);
std::optional<Variant> callMethod(IDispatch* object, const wchar_t* name, std::initializer_list<Variant> args = {});

// Shorthands for the common readings.
Dispatch getObject(IDispatch* object, const wchar_t* name, std::initializer_list<Variant> args = {});
std::wstring getText(IDispatch* object, const wchar_t* name);

}  // namespace addin
