#include "addin/slide_show_events.h"

#include "addin/addin_setting.h"
#include "addin/host_rules.h"
#include "addin/siblings.h"
#include "addin/stores.h"
#include "win/pump.h"

namespace addin {
namespace {

constexpr int16_t kHandMode = 1;
constexpr int16_t kQuitHost = 2;

void startClockProgram() {
    if (!clockRunning()) startProgram(besideLibrary(kClockProgram));
}

}  // namespace

SlideShowEvents::SlideShowEvents(const HostVariant& variant, win::Dispatch app, TimerDrive drive)
    : app_(app), window_(variant, app, drive) {
    watch_ = EventWatch(app_.get(), DIID_EApplication, true, [this](DISPID id, const DISPPARAMS& params) {
        if (id == kSlideShowBegin) {
            const VARIANT* wn = params.cArgs == 1 ? &params.rgvarg[0] : nullptr;
            SlideShowBegin(wn && wn->vt == VT_DISPATCH ? wn->pdispVal : nullptr);
        } else if (id == kSlideShowEnd) {
            SlideShowEnd();
        }
    });
}

void ReleaseAfterHandlers::operator()(SlideShowEvents* events) const {
    events->stop();
    win::releaseAfterHandlers(events->window(), std::shared_ptr<SlideShowEvents>(events));
}

HeldEvents watchShows(const HostVariant& variant, win::Dispatch app, TimerDrive drive) {
    return HeldEvents(std::make_unique<SlideShowEvents>(variant, std::move(app), drive).release());
}

void SlideShowEvents::stop() {
    watch_.stop();
    timing_.release();
    app_ = {};
}

IDispatch* SlideShowEvents::eventHost() {
    window_.ensureLoaded();
    const HostVariant& v = window_.variant();
    IDispatch* host = v.readsShowWindow ? app_.get() : window_.host();
    if (v.wpsPathTest && !isWpsHost(win::dispatchText(host, L"Path"))) return nullptr;
    return host;
}

void SlideShowEvents::SlideShowBegin(IDispatch* Wn) {
    IDispatch* host = eventHost();
    if (!host) return;
    window_.showBegunOrEnded();
    const HostVariant& v = window_.variant();
    int windows = showWindowCount(host);
    win::Dispatch presentation = v.readsShowWindow ? win::dispatchGet(Wn, L"Presentation") : activePresentation(host);
    int slides = slideCount(presentation.get());
    int position = showPosition(showView(presentation.get()).get(), v.position);
    std::wstring name = win::dispatchText(presentation.get(), L"Name");

    writeValue(HKEY_CURRENT_USER, kHarrowby, L"handname", name);
    startClockProgram();
    if (readHandmode() == kHandMode) return;
    AddinSetting& s = addinSetting();
    s.checkvalue = cutAtLineEnd(readText(kHarrowby, L"checkvalue").value_or(L""));
    writeCurrentSlide(name, position, slides);
    writeValue(HKEY_CURRENT_USER, kHarrowby, L"exitpptpd", DWORD{1});
    writeValue(HKEY_CURRENT_USER, kHarrowby, L"exitpagepd", DWORD{1});
    timing_.hold();
    if (windows >= 2) return;  // another show of this host already runs the window

    // WPS's version 8 lists and names the active presentation, not the one whose show began.
    auto listName = [&] { return v.readsShowWindow ? win::dispatchText(activePresentation(host).get(), L"Name") : name; };
    ShowWindow& w = window_;
    if (s.checkvalue.rfind(L"0", 0) == 0 && !presentationListed(listName())) {
        defaultSettings(s);
        writeValue(HKEY_CURRENT_USER, kHarrowby, L"pptname", listName());
        w.Label3 = L"0";
        w.Timer5.enabled(false);
        w.Timer6.enabled(true);
        return;
    }
    writeValue(HKEY_CURRENT_USER, kHarrowby, L"pptname", listName());
    w.Label2.clear();
    w.Label3 = L"0";
    w.Timer1.enabled(true);
    for (win::Timer* t : {&w.Timer2, &w.Timer3, &w.Timer4, &w.Timer5}) t->enabled(false);
    w.Timer6.enabled(true);
    win::doEvents();
}

void SlideShowEvents::SlideShowEnd() {
    IDispatch* host = eventHost();
    if (!host) return;
    window_.showBegunOrEnded();
    int windows = showWindowCount(host);
    writeValue(HKEY_CURRENT_USER, kHarrowby, L"handname", L"1");
    if (windows >= window_.variant().endBelowShows) return;  // another show of this host goes on
    // In hand mode too: a mark kept would keep every host's show ends and disconnections from
    // taking the run values, with no show running.
    timing_.release();
    if (readHandmode() == kHandMode) return;
    ShowWindow& w = window_;
    for (win::Timer* t : {&w.Timer1, &w.Timer2, &w.Timer5, &w.Timer6}) t->enabled(false);
    w.Timer3.enabled(true);
    w.Label2.clear();
    w.Label3 = L"0";
    deleteRunValues({L"exitpptpd", L"exitpagepd", L"pptname", L"timershow", L"timerpause", L"time"});
    const AddinSetting& s = addinSetting();
    if (timingOn(s.checkvalue) && s.EndEvent == kQuitHost) w.Timer4.enabled(true);
}

}  // namespace addin
