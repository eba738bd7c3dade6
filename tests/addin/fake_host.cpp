#include "fake_host.h"

#include <olectl.h>

#include <algorithm>
#include <cwctype>

#include "addin/com_object.h"
#include "addin/office_interfaces.h"
#include "addin/slide_show_events.h"

namespace fake {
namespace {

long live = 0;

// One dispatch id per member name, shared by all objects.
std::vector<std::wstring>& memberNames() {
    static std::vector<std::wstring> names;
    return names;
}


void setResult(VARIANT* result, const win::Variant& value) {
    if (result) VariantCopy(result, const_cast<VARIANT*>(value.get()));
}

void setObject(VARIANT* result, Object* object) {
    if (!result) return;
    result->vt = VT_DISPATCH;
    result->pdispVal = object;
    object->AddRef();
}

// Members each kind answers; others are unknown names, as a real host's would be.
bool knows(Kind kind, const std::wstring& name) {
    static const std::map<Kind, std::vector<std::wstring>> members = {
        {Kind::App, {L"path", L"version", L"commandbars", L"activepresentation", L"slideshowwindows", L"quit"}},
        {Kind::Bars, {L"item", L"count"}},
        {Kind::Bar, {L"name", L"controls"}},
        {Kind::Controls, {L"item", L"add", L"count"}},
        {Kind::Control, {L"caption", L"style", L"faceid", L"parameter", L"tag", L"visible", L"begingroup",
                         L"temporary", L"id", L"controls", L"delete"}},
    };
    const auto& names = members.at(kind);
    return std::find(names.begin(), names.end(), name) != names.end();
}

// Hands out the application's one connection point.
class PointList final : public IEnumConnectionPoints, addin::RefCounted<PointList> {
public:
    explicit PointList(IConnectionPoint* point) : point_(win::ComPtr<IConnectionPoint>::share(point)) {}
    ADDIN_IUNKNOWN
    void* interfaceFor(REFIID iid) {
        bool known = IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IEnumConnectionPoints);
        return known ? static_cast<IEnumConnectionPoints*>(this) : nullptr;
    }
    STDMETHODIMP Next(ULONG count, IConnectionPoint** points, ULONG* fetched) override {
        ULONG given = 0;
        if (count > 0 && !done_) {
            points[0] = point_.get();
            point_->AddRef();
            done_ = true;
            given = 1;
        }
        if (fetched) *fetched = given;
        return given == count ? S_OK : S_FALSE;
    }
    STDMETHODIMP Skip(ULONG) override { return E_NOTIMPL; }
    STDMETHODIMP Reset() override {
        done_ = false;
        return S_OK;
    }
    STDMETHODIMP Clone(IEnumConnectionPoints**) override { return E_NOTIMPL; }

private:
    friend addin::RefCounted<PointList>;
    win::ComPtr<IConnectionPoint> point_;
    bool done_ = false;
};

}  // namespace

std::wstring lower(std::wstring s) {
    for (wchar_t& c : s) c = static_cast<wchar_t>(std::towlower(c));
    return s;
}

DISPID memberId(const std::wstring& name, bool wpsOrder) {
    auto& names = memberNames();
    std::wstring key = lower(name);
    auto it = std::find(names.begin(), names.end(), key);
    if (it == names.end()) it = names.insert(names.end(), key);
    DISPID index = static_cast<DISPID>(it - names.begin());
    return wpsOrder ? 10000 - index : 100 + index;
}

std::wstring memberName(DISPID id, bool wpsOrder) {
    DISPID index = wpsOrder ? 10000 - id : id - 100;
    if (index < 0 || static_cast<size_t>(index) >= memberNames().size()) return {};
    return memberNames()[static_cast<size_t>(index)];
}

long liveObjects() { return live; }

Object::Object(Kind k, Object* p, ShowModel* m) : kind(k), parent(p), model(m) { ++live; }

STDMETHODIMP_(ULONG) Object::Release() {
    ULONG n = --refs_;
    if (n == 0) {
        --live;
        delete this;
    }
    return n;
}

STDMETHODIMP Object::QueryInterface(REFIID iid, void** out) {
    *out = nullptr;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch)) *out = static_cast<IDispatch*>(this);
    else if ((kind == Kind::Control || kind == Kind::App) && IsEqualIID(iid, IID_IConnectionPointContainer))
        *out = static_cast<IConnectionPointContainer*>(this);
    if (!*out) return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

STDMETHODIMP Object::GetTypeInfoCount(UINT* n) {
    *n = 0;
    return S_OK;
}

STDMETHODIMP Object::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
    if (count != 1 || !knows(kind, lower(names[0]))) return DISP_E_UNKNOWNNAME;
    ids[0] = memberId(names[0], wpsOrder());
    return S_OK;
}

STDMETHODIMP Object::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO*,
                            UINT*) {
    std::wstring name = memberName(id, wpsOrder());
    if (name.empty()) return DISP_E_MEMBERNOTFOUND;
    std::vector<VARIANT*> args;
    for (UINT i = params->cArgs; i > 0; --i) args.push_back(&params->rgvarg[i - 1]);
    if (result) VariantInit(result);
    return member(name, flags, args, result);
}

HRESULT Object::member(const std::wstring& name, WORD flags, const std::vector<VARIANT*>& args, VARIANT* result) {
    if (flags & DISPATCH_PROPERTYPUT) {
        if (args.size() != 1 || name == L"controls" || name == L"delete") return DISP_E_MEMBERNOTFOUND;
        win::Variant value;
        VariantCopy(value.get(), args[0]);
        props[name] = value;
        return S_OK;
    }
    if (kind == Kind::App && (name == L"activepresentation" || name == L"slideshowwindows" || name == L"quit"))
        return result || name == L"quit" ? model->appMember(name, result) : E_POINTER;
    if (name == L"item") return args.size() == 1 ? item(args[0], result) : DISP_E_BADPARAMCOUNT;
    if (name == L"count") {
        setResult(result, win::Variant(static_cast<int>(children.size())));
        return S_OK;
    }
    if (name == L"add") return add(args, result);
    if (name == L"commandbars" || name == L"controls") {
        if (!controls) return DISP_E_MEMBERNOTFOUND;
        setObject(result, controls.get());
        return S_OK;
    }
    if (name == L"delete") {
        auto& siblings = parent->children;
        AddRef();  // this object lives on while it leaves the list
        auto keep = win::ComPtr<Object>::adopt(this);
        siblings.erase(std::find_if(siblings.begin(), siblings.end(), [&](auto& c) { return c.get() == this; }));
        return S_OK;
    }
    auto it = props.find(name);
    if (it == props.end()) return DISP_E_MEMBERNOTFOUND;
    setResult(result, it->second);
    return S_OK;
}

HRESULT Object::item(const VARIANT* key, VARIANT* result) {
    win::Variant k;
    VariantCopy(k.get(), const_cast<VARIANT*>(key));
    if (key->vt == VT_BSTR) {
        for (auto& c : children) {
            bool bar = c->kind == Kind::Bar;
            std::wstring have = bar ? lower(c->text(L"name")) : c->text(L"caption");
            if (have == (bar ? lower(key->bstrVal) : std::wstring(key->bstrVal))) {
                setObject(result, c.get());
                return S_OK;
            }
        }
        return DISP_E_BADINDEX;
    }
    auto n = k.number();
    if (!n || *n < 1 || static_cast<size_t>(*n) > children.size()) return DISP_E_BADINDEX;
    setObject(result, children[static_cast<size_t>(*n - 1)].get());
    return S_OK;
}

// Add(Type, Id, Parameter, Before, Temporary)
HRESULT Object::add(const std::vector<VARIANT*>& args, VARIANT* result) {
    auto given = [&](size_t i) { return i < args.size() && args[i]->vt != VT_ERROR; };
    auto control = win::ComPtr<Object>::adopt(new Object(Kind::Control, this, model));
    control->controls = win::ComPtr<Object>::adopt(new Object(Kind::Controls, control.get(), model));
    win::Variant v;
    if (given(0)) VariantCopy(v.get(), args[0]);
    control->props[L"type"] = v;
    control->props[L"temporary"] = win::Variant(false);
    if (given(4)) VariantCopy(control->props[L"temporary"].get(), args[4]);
    size_t at = children.size();
    if (given(3)) {
        win::Variant before;
        VariantCopy(before.get(), args[3]);
        at = std::min(children.size(), static_cast<size_t>(before.number().value_or(1) - 1));
    }
    children.insert(children.begin() + static_cast<long>(at), control);
    setObject(result, control.get());
    return S_OK;
}

IID Object::events() const {
    if (kind != Kind::App) return addin::DIID_CommandBarButtonEvents;
    return model->flavour == Flavour::Wps ? DIID_WpsApplicationEvents : addin::DIID_EApplication;
}

STDMETHODIMP Object::EnumConnectionPoints(IEnumConnectionPoints** points) {
    *points = new PointList(this);
    return S_OK;
}

STDMETHODIMP Object::FindConnectionPoint(REFIID iid, IConnectionPoint** point) {
    *point = nullptr;
    if (!IsEqualIID(iid, events())) return CONNECT_E_NOCONNECTION;
    *point = this;
    AddRef();
    return S_OK;
}

STDMETHODIMP Object::GetConnectionInterface(IID* iid) {
    *iid = events();
    return S_OK;
}

STDMETHODIMP Object::GetConnectionPointContainer(IConnectionPointContainer** out) {
    *out = this;
    AddRef();
    return S_OK;
}

STDMETHODIMP Object::Advise(IUnknown* sink, DWORD* cookie) {
    win::ComPtr<IDispatch> d;
    if (FAILED(sink->QueryInterface(events(), d.putVoid()))) return CONNECT_E_CANNOTCONNECT;
    *cookie = nextCookie_++;
    sinks[*cookie] = d;
    return S_OK;
}

STDMETHODIMP Object::Unadvise(DWORD cookie) { return sinks.erase(cookie) ? S_OK : CONNECT_E_NOCONNECTION; }

std::wstring Object::text(const std::wstring& name) const {
    auto it = props.find(name);
    return it == props.end() ? L"" : it->second.text().value_or(L"");
}

long Object::number(const std::wstring& name) const {
    auto it = props.find(name);
    return it == props.end() ? 0 : it->second.number().value_or(0);
}

std::vector<Object*> Object::captioned(const std::wstring& caption) const {
    std::vector<Object*> found;
    for (auto& c : controls->children) {
        if (c->text(L"caption") == caption) found.push_back(c.get());
    }
    return found;
}

Host::Host(const std::wstring& path, const std::wstring& version, const std::vector<std::wstring>& barNames,
           Flavour flavour)
    : shows(flavour), app_(win::ComPtr<Object>::adopt(new Object(Kind::App, nullptr, &shows))) {
    shows.raise = [this](DISPID id, IDispatch* argument) {
        std::vector<win::ComPtr<IDispatch>> hearing;
        for (auto& [cookie, sink] : app_->sinks) hearing.push_back(sink);
        for (auto& sink : hearing) {
            VARIANT arg;
            arg.vt = VT_DISPATCH;
            arg.pdispVal = argument;
            DISPPARAMS params{&arg, nullptr, 1, 0};
            sink->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
        }
    };
    app_->props[L"path"] = win::Variant(path);
    app_->props[L"version"] = win::Variant(version);
    app_->controls = win::ComPtr<Object>::adopt(new Object(Kind::Bars, app_.get(), &shows));
    for (const auto& name : barNames) {
        auto bar = win::ComPtr<Object>::adopt(new Object(Kind::Bar, app_->controls.get(), &shows));
        bar->props[L"name"] = win::Variant(name);
        bar->controls = win::ComPtr<Object>::adopt(new Object(Kind::Controls, bar.get(), &shows));
        if (name == L"Menu Bar") addControl(bar.get(), L"幻灯片放映(&D)");
        app_->controls->children.push_back(bar);
    }
}

Object* Host::bar(size_t index) const { return app_->controls->children.at(index - 1).get(); }

Object* Host::slideShowMenu() const {
    for (auto& b : app_->controls->children) {
        if (b->text(L"name") == L"Menu Bar") return b->captioned(L"幻灯片放映(&D)").at(0);
    }
    return nullptr;
}

Object* Host::addControl(Object* holder, const std::wstring& caption) {
    auto control = win::ComPtr<Object>::adopt(new Object(Kind::Control, holder->controls.get(), &shows));
    control->controls = win::ComPtr<Object>::adopt(new Object(Kind::Controls, control.get(), &shows));
    control->props[L"caption"] = win::Variant(caption);
    holder->controls->children.push_back(control);
    return control.get();
}

bool Host::click(Object* control) {
    std::wstring tag = control->text(L"tag");
    std::vector<win::ComPtr<IDispatch>> hearing;
    auto visit = [&](auto& self, Object* holder) -> void {
        for (auto& c : holder->controls->children) {
            if (c.get() == control || (!tag.empty() && c->text(L"tag") == tag))
                for (auto& [cookie, sink] : c->sinks) hearing.push_back(sink);
            self(self, c.get());
        }
    };
    for (auto& b : app_->controls->children) visit(visit, b.get());
    VARIANT_BOOL cancel = VARIANT_FALSE;
    for (auto& sink : hearing) {
        VARIANT args[2];
        args[1].vt = VT_DISPATCH;
        args[1].pdispVal = control;
        args[0].vt = VT_BOOL | VT_BYREF;
        args[0].pboolVal = &cancel;
        DISPPARAMS params{args, nullptr, 2, 0};
        sink->Invoke(1, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
    }
    return cancel == VARIANT_TRUE;
}

}  // namespace fake
