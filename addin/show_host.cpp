#include "addin/show_host.h"

namespace addin {
namespace {

using win::arguments;
using win::dispatchGet;
using win::Variant;

int numberOf(IDispatch* object, const wchar_t* name) {
    auto value = win::dispatchValue(object, name);
    auto n = value ? value->number() : std::nullopt;
    return static_cast<int>(n.value_or(0));
}

}  // namespace

int showWindowCount(IDispatch* app) { return numberOf(dispatchGet(app, L"SlideShowWindows").get(), L"Count"); }

win::Dispatch activePresentation(IDispatch* app) { return dispatchGet(app, L"ActivePresentation"); }

win::Dispatch showView(IDispatch* presentation) {
    return dispatchGet(dispatchGet(presentation, L"SlideShowWindow").get(), L"View");
}

int slideCount(IDispatch* presentation) { return numberOf(dispatchGet(presentation, L"Slides").get(), L"Count"); }

int showPosition(IDispatch* view, ShowPosition kind) {
    if (kind == ShowPosition::SlideIndex) return numberOf(dispatchGet(view, L"Slide").get(), L"SlideIndex");
    return numberOf(view, L"CurrentShowPosition");
}

void gotoSlide(IDispatch* view, int index) {
    win::dispatchCall(view, L"GotoSlide", arguments(Variant(index), Variant(true)));
}

void exitAllShows(IDispatch* app) {
    win::Dispatch windows = dispatchGet(app, L"SlideShowWindows");
    for (int i = numberOf(windows.get(), L"Count"); i >= 1; --i)
        win::dispatchCall(dispatchGet(dispatchGet(windows.get(), L"Item", arguments(Variant(i))).get(), L"View").get(),
                          L"Exit");
}

void closeWhenSaved(IDispatch* presentation) {
    auto saved = win::dispatchValue(presentation, L"Saved");
    auto flag = saved ? saved->number() : std::nullopt;
    if (flag.value_or(0) != 0) win::dispatchCall(presentation, L"Close");
}

}  // namespace addin
