#include "addin/event_watch.h"

#include <utility>

#include "addin/com_object.h"

namespace addin {
namespace {

class EventSink final : public IDispatch, RefCounted<EventSink> {
public:
    EventSink(const IID& events, EventHandler handler) : events_(events), handler_(std::move(handler)) {}
    ADDIN_IUNKNOWN
    ADDIN_IDISPATCH((std::initializer_list<DispatchName>{}))

    void* interfaceFor(REFIID iid) {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, events_))
            return static_cast<IDispatch*>(this);
        return nullptr;
    }

private:
    friend RefCounted<EventSink>;

    HRESULT invokeId(DISPID id, WORD, DISPPARAMS* params, VARIANT*) noexcept {
        DISPPARAMS none{};
        try {
            handler_(id, params ? *params : none);
        } catch (...) {
            // an event handler's failure stays with the add-in
        }
        return S_OK;
    }

    IID events_;
    EventHandler handler_;
};

win::ComPtr<IConnectionPoint> firstOffered(IConnectionPointContainer* container) {
    win::ComPtr<IEnumConnectionPoints> all;
    win::ComPtr<IConnectionPoint> first;
    if (SUCCEEDED(container->EnumConnectionPoints(all.put())) && all) {
        ULONG got = 0;
        if (all->Next(1, first.put(), &got) != S_OK || got != 1) first = {};
    }
    return first;
}

}  // namespace

EventWatch::EventWatch(IUnknown* source, const IID& events, bool anyOffered, EventHandler handler) {
    win::ComPtr<IConnectionPointContainer> container;
    if (!source || FAILED(source->QueryInterface(IID_IConnectionPointContainer, container.putVoid()))) return;
    IID offered = events;
    if (FAILED(container->FindConnectionPoint(events, point_.put())) || !point_) {
        point_ = anyOffered ? firstOffered(container.get()) : win::ComPtr<IConnectionPoint>();
        if (!point_ || FAILED(point_->GetConnectionInterface(&offered))) {
            point_ = {};
            return;
        }
    }
    auto sink = win::ComPtr<IDispatch>::adopt(new EventSink(offered, std::move(handler)));
    if (FAILED(point_->Advise(sink.get(), &cookie_))) point_ = {};
}

EventWatch::EventWatch(EventWatch&& other) noexcept
    : point_(std::move(other.point_)), cookie_(std::exchange(other.cookie_, 0)) {}

EventWatch& EventWatch::operator=(EventWatch&& other) noexcept {
    if (this != &other) {
        stop();
        point_ = std::move(other.point_);
        cookie_ = std::exchange(other.cookie_, 0);
    }
    return *this;
}

void EventWatch::stop() {
    if (point_ && cookie_) point_->Unadvise(cookie_);
    point_ = {};
    cookie_ = 0;
}

}  // namespace addin
