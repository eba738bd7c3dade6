#pragma once
// Listens to the events a host object raises through one of its connection points. The sink
// is a small dispatch object that hands every event to a handler; nothing the handler raises
// reaches the host. The watch ends with its owner.
#include <windows.h>
#include <ocidl.h>

#include <functional>

#include "win/handles.h"

namespace addin {

using EventHandler = std::function<void(DISPID id, const DISPPARAMS& params)>;

class EventWatch {
public:
    EventWatch() = default;
    // Watches the connection point for `events`; with anyOffered, a source that has none for it
    // is watched through the first one it offers (WPS numbers its event interfaces its own way).
    EventWatch(IUnknown* source, const IID& events, bool anyOffered, EventHandler handler);
    EventWatch(EventWatch&& other) noexcept;
    EventWatch& operator=(EventWatch&& other) noexcept;
    ~EventWatch() { stop(); }

    bool watching() const { return static_cast<bool>(point_); }
    void stop();

private:
    win::ComPtr<IConnectionPoint> point_;
    DWORD cookie_ = 0;
};

}  // namespace addin
