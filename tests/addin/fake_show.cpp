#include "fake_show.h"

#include <algorithm>
#include <map>

#include "addin/com_object.h"
#include "fake_host.h"

namespace fake {
namespace {

class ShowObject final : public IDispatch, addin::RefCounted<ShowObject> {
public:
    ShowObject(ShowModel& model, std::wstring kind, size_t index) : model_(model), kind_(std::move(kind)), index_(index) {}
    ADDIN_IUNKNOWN
    void* interfaceFor(REFIID iid) {
        bool known = IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch);
        return known ? static_cast<IDispatch*>(this) : nullptr;
    }
    STDMETHODIMP GetTypeInfoCount(UINT* n) override {
        *n = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        if (count != 1 || !knows(lower(names[0]))) return DISP_E_UNKNOWNNAME;
        ids[0] = memberId(names[0], model_.flavour == Flavour::Wps);
        return S_OK;
    }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT* result, EXCEPINFO*,
                        UINT*) override {
        std::wstring name = memberName(id, model_.flavour == Flavour::Wps);
        if (result) VariantInit(result);
        std::vector<win::Variant> args;
        for (UINT i = params->cArgs; i > 0; --i) {
            args.emplace_back();
            VariantCopy(args.back().get(), &params->rgvarg[i - 1]);
        }
        return member(name, args, result);
    }

private:
    bool knows(const std::wstring& name) const {
        static const std::map<std::wstring, std::vector<std::wstring>> members = {
            {L"presentation", {L"name", L"slides", L"slideshowwindow", L"saved", L"close"}},
            {L"slides", {L"count"}},
            {L"windows", {L"count", L"item"}},
            {L"window", {L"view", L"presentation"}},
            {L"view", {L"currentshowposition", L"slide", L"last", L"exit", L"gotoslide"}},
            {L"slide", {L"slideindex"}},
        };
        const auto& names = members.at(kind_);
        return std::find(names.begin(), names.end(), name) != names.end();
    }

    ShowModel::Show* show() { return index_ < model_.shows.size() ? &model_.shows[index_] : nullptr; }

    HRESULT object(VARIANT* result, const std::wstring& kind, size_t index) {
        if (result) {
            result->vt = VT_DISPATCH;
            result->pdispVal = newShowObject(model_, kind, index);
        }
        return S_OK;
    }
    static HRESULT value(VARIANT* result, win::Variant v) {
        if (result) VariantCopy(result, v.get());
        return S_OK;
    }

    HRESULT member(const std::wstring& name, const std::vector<win::Variant>& args, VARIANT* result);

    friend addin::RefCounted<ShowObject>;
    ShowModel& model_;
    std::wstring kind_;
    size_t index_;
};

HRESULT ShowObject::member(const std::wstring& name, const std::vector<win::Variant>& args, VARIANT* result) {
    if (kind_ == L"presentation") {
        Deck& deck = model_.decks.at(index_);
        if (name == L"name") return value(result, win::Variant(deck.name));
        if (name == L"slides") return object(result, L"slides", index_);
        if (name == L"saved") return value(result, win::Variant(deck.saved));
        if (name == L"close") {
            deck.closed = true;
            model_.calls.push_back(L"Close " + deck.name);
            return S_OK;
        }
        for (size_t i = 0; i < model_.shows.size(); ++i)  // slideshowwindow
            if (model_.shows[i].deck == index_) return object(result, L"window", i);
        return E_FAIL;
    }
    if (kind_ == L"slides") return value(result, win::Variant(model_.decks.at(index_).slides));
    if (kind_ == L"windows") {
        if (name == L"count") return value(result, win::Variant(static_cast<int>(model_.shows.size())));
        long i = args.empty() ? 0 : args[0].number().value_or(0);
        if (i < 1 || static_cast<size_t>(i) > model_.shows.size()) return DISP_E_BADINDEX;
        return object(result, L"window", static_cast<size_t>(i - 1));
    }
    ShowModel::Show* s = show();
    if (!s) return E_FAIL;
    if (kind_ == L"window") return name == L"view" ? object(result, L"view", index_) : object(result, L"presentation", s->deck);
    if (kind_ == L"slide") return value(result, win::Variant(model_.slideIndex(*s)));
    if (name == L"currentshowposition") return value(result, win::Variant(s->step));
    if (name == L"slide") return object(result, L"slide", index_);
    if (name == L"last") {
        model_.calls.push_back(L"Last");
        const Deck& deck = model_.decks.at(s->deck);
        s->step = deck.customShow.empty() ? deck.slides : static_cast<int>(deck.customShow.size());
        return S_OK;
    }
    if (name == L"exit") {
        model_.calls.push_back(L"Exit");
        model_.end(index_);
        return S_OK;
    }
    long target = args.empty() ? 0 : args[0].number().value_or(0);  // gotoslide
    model_.calls.push_back(L"GotoSlide " + std::to_wstring(target));
    model_.moveTo(*s, static_cast<int>(target));
    return S_OK;
}

}  // namespace

IDispatch* newShowObject(ShowModel& model, const std::wstring& kind, size_t index) {
    return new ShowObject(model, kind, index);
}

void ShowModel::begin(size_t deck) {
    shows.push_back(Show{deck});
    win::ComPtr<IDispatch> window = win::ComPtr<IDispatch>::adopt(newShowObject(*this, L"window", shows.size() - 1));
    if (raise) raise(2011, window.get());
}

void ShowModel::end(size_t show) {
    size_t deck = shows.at(show).deck;
    win::ComPtr<IDispatch> presentation = win::ComPtr<IDispatch>::adopt(newShowObject(*this, L"presentation", deck));
    if (flavour == Flavour::Wps) shows.erase(shows.begin() + static_cast<long>(show));
    if (raise) raise(2014, presentation.get());
    if (flavour == Flavour::PowerPoint) shows.erase(shows.begin() + static_cast<long>(show));
}

int ShowModel::slideIndex(const Show& s) const {
    const Deck& deck = decks.at(s.deck);
    if (deck.customShow.empty()) return s.step;
    return deck.customShow.at(static_cast<size_t>(s.step - 1));
}

void ShowModel::moveTo(Show& s, int index) {
    const Deck& deck = decks.at(s.deck);
    if (deck.customShow.empty()) {
        s.step = index;
        return;
    }
    auto at = std::find(deck.customShow.begin(), deck.customShow.end(), index);
    if (at != deck.customShow.end()) s.step = static_cast<int>(at - deck.customShow.begin()) + 1;
}

HRESULT ShowModel::appMember(const std::wstring& name, VARIANT* result) {
    if (name == L"quit") {
        calls.push_back(L"Quit");
        return S_OK;
    }
    if (name == L"slideshowwindows") {
        result->vt = VT_DISPATCH;
        result->pdispVal = newShowObject(*this, L"windows", 0);
        return S_OK;
    }
    if (active >= decks.size()) return E_FAIL;  // activepresentation
    result->vt = VT_DISPATCH;
    result->pdispVal = newShowObject(*this, L"presentation", active);
    return S_OK;
}

}  // namespace fake
