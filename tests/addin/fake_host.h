#pragma once
// A presentation program of our own for the add-in to drive: an application with command
// bars, their controls and buttons, all reached late-bound by name as the add-in reaches
// PowerPoint or WPS. It records what the add-in did as its plain state, and raises button
// clicks through the command-bar button events.
#include <windows.h>
#include <ocidl.h>

#include <map>
#include <string>
#include <vector>

#include "fake_show.h"
#include "win/dispatch.h"

namespace fake {

std::wstring lower(std::wstring s);
// One dispatch id per member name, shared by all objects; the WPS-like host numbers them
// its own way, so that only a caller binding by name finds them.
DISPID memberId(const std::wstring& name, bool wpsOrder);
std::wstring memberName(DISPID id, bool wpsOrder);

enum class Kind { App, Bars, Bar, Controls, Control };

class Object final : public IDispatch, public IConnectionPointContainer, public IConnectionPoint {
public:
    explicit Object(Kind kind, Object* parent = nullptr, ShowModel* model = nullptr);
    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;

    // IUnknown, IDispatch
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP GetTypeInfoCount(UINT* n) override;
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override;
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO*,
                        UINT*) override;
    // IConnectionPointContainer: a control offers its click events
    STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints** points) override;
    STDMETHODIMP FindConnectionPoint(REFIID iid, IConnectionPoint** point) override;
    // IConnectionPoint
    STDMETHODIMP GetConnectionInterface(IID* iid) override;
    STDMETHODIMP GetConnectionPointContainer(IConnectionPointContainer** out) override;
    STDMETHODIMP Advise(IUnknown* sink, DWORD* cookie) override;
    STDMETHODIMP Unadvise(DWORD cookie) override;
    STDMETHODIMP EnumConnections(IEnumConnections**) override { return E_NOTIMPL; }

    Kind kind;
    Object* parent;
    ShowModel* model;  // the application's slide shows
    std::map<std::wstring, win::Variant> props;  // by lower-case name
    std::vector<win::ComPtr<Object>> children;     // bars of Bars, controls of Controls
    win::ComPtr<Object> controls;                  // of a bar or a popup control
    std::map<DWORD, win::ComPtr<IDispatch>> sinks;

    std::wstring text(const std::wstring& name) const;
    long number(const std::wstring& name) const;
    bool flag(const std::wstring& name) const { return number(name) != 0; }
    // Controls of a bar or popup captioned so, in order.
    std::vector<Object*> captioned(const std::wstring& caption) const;

private:
    HRESULT member(const std::wstring& name, WORD flags, const std::vector<VARIANT*>& args, VARIANT* result);
    HRESULT item(const VARIANT* key, VARIANT* result);
    HRESULT add(const std::vector<VARIANT*>& args, VARIANT* result);
    IID events() const;
    bool wpsOrder() const { return model && model->flavour == Flavour::Wps; }
    ULONG refs_ = 1;
    DWORD nextCookie_ = 1;
};

// Objects of the fake host alive now.
long liveObjects();

// The application with its command bars, each named; a popup "幻灯片放映(&D)" on the "Menu Bar".
class Host {
public:
    Host(const std::wstring& path, const std::wstring& version, const std::vector<std::wstring>& barNames,
         Flavour flavour = Flavour::PowerPoint);
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

    IDispatch* app() const { return app_.get(); }
    Object* bar(size_t index) const;  // 1-based, as the host counts
    Object* slideShowMenu() const;
    Object* addControl(Object* holder, const std::wstring& caption);
    // The user clicks a control: every sink watching a control with its Tag hears it.
    // Returns the CancelDefault the handlers left.
    bool click(Object* control);

    ShowModel shows;

private:
    win::ComPtr<Object> app_;
};

}  // namespace fake
