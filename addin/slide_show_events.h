#pragma once
// The host's slide-show begin and end events and the timer window they arm: AutoPPT of
// PowerPoint, WPSV9 of WPS loading the Office add-in, and the events of WPSV8, one design
// with the variant's differences as data.
#include <memory>

#include "addin/event_watch.h"
#include "addin/show_mark.h"
#include "addin/show_window.h"

namespace addin {

// {914934C2-5A91-11CF-8700-00AA0060263B}: PowerPoint's application events.
inline constexpr IID DIID_EApplication = {0x914934C2, 0x5A91, 0x11CF, {0x87, 0x00, 0x00, 0xAA, 0x00, 0x60, 0x26, 0x3B}};
inline constexpr DISPID kSlideShowBegin = 2011;
inline constexpr DISPID kSlideShowEnd = 2014;

class SlideShowEvents {
public:
    // Watches the events of `app` (the host stored at connection) until stop() or its end.
    SlideShowEvents(const HostVariant& variant, win::Dispatch app, TimerDrive drive);
    SlideShowEvents(const SlideShowEvents&) = delete;
    SlideShowEvents& operator=(const SlideShowEvents&) = delete;

    void SlideShowBegin(IDispatch* Wn);
    void SlideShowEnd();
    // The connection ends: no event arrives any more, and its show is timed no more. The
    // window keeps its host.
    void stop();

    ShowWindow& window() { return window_; }
    bool watching() const { return watch_.watching(); }

private:
    // The host the handlers read the shows from; empty stops them (WPS: not a WPS host).
    IDispatch* eventHost();

    win::Dispatch app_;
    ShowWindow window_;
    EventWatch watch_;
    ShowMark timing_;  // held while the run flags are this connection's show's
};

// A connection lets go of its events while a handler of their window may still be on the stack
// (a disconnection under the window's own box): the watch stops at once, the object is freed
// when that handler has returned.
struct ReleaseAfterHandlers {
    void operator()(SlideShowEvents* events) const;
};
using HeldEvents = std::unique_ptr<SlideShowEvents, ReleaseAfterHandlers>;
HeldEvents watchShows(const HostVariant& variant, win::Dispatch app, TimerDrive drive);

}  // namespace addin
