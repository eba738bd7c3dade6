#pragma once
// What the add-in reads from and does to a host's slide shows, late-bound by member name.
// Every reading that fails gives 0 or an empty text; every move that fails does nothing.
#include <string>

#include "win/dispatch.h"

namespace addin {

// The host variants read the current slide differently: PowerPoint by the show's own count,
// WPS by the slide's place in the presentation (they differ in a custom show).
enum class ShowPosition { CurrentShowPosition, SlideIndex };

int showWindowCount(IDispatch* app);
win::Dispatch activePresentation(IDispatch* app);
// The view of a presentation's running show.
win::Dispatch showView(IDispatch* presentation);
int slideCount(IDispatch* presentation);
int showPosition(IDispatch* view, ShowPosition kind);

// Moves a show to a slide, starting the slide's own timing afresh.
void gotoSlide(IDispatch* view, int index);
// Ends every open show, the last opened first.
void exitAllShows(IDispatch* app);
// Closes a presentation only when it holds no unsaved change, so that nothing is lost
// without the host asking.
void closeWhenSaved(IDispatch* presentation);

}  // namespace addin
