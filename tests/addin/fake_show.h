#pragma once
// The slide shows of the test host: presentations with slides, their show windows and views,
// reached late-bound as PowerPoint's and WPS's are, and the application's show events.
#include <windows.h>
#include <oaidl.h>

#include <functional>
#include <string>
#include <vector>

#include "win/dispatch.h"

namespace fake {

struct Deck {
    std::wstring name;
    int slides = 10;
    bool saved = true;
    std::vector<int> customShow;  // slide indexes the show presents; empty: every slide in order
    bool closed = false;
};

// Which host the test host plays: PowerPoint raises the show end while the ending show still
// counts; WPS counts it gone, numbers its members its own way and its events differently.
enum class Flavour { PowerPoint, Wps };

// {2DF9F9A0-5A1B-4C52-9E1A-6D2A4C3B7F11}: the events interface of the WPS-like host.
inline constexpr IID DIID_WpsApplicationEvents = {0x2DF9F9A0, 0x5A1B, 0x4C52, {0x9E, 0x1A, 0x6D, 0x2A, 0x4C, 0x3B, 0x7F, 0x11}};

class ShowModel {
public:
    explicit ShowModel(Flavour flavour) : flavour(flavour) {}

    struct Show {
        size_t deck;
        int step = 1;  // the show's own position, 1-based
    };

    Flavour flavour;
    std::vector<Deck> decks;
    size_t active = 0;
    std::vector<Show> shows;
    std::vector<std::wstring> calls;  // what the add-in did: "Last", "Exit", "GotoSlide 5", "Close 名", "Quit"
    // Raises an application event with one object argument.
    std::function<void(DISPID id, IDispatch* argument)> raise;

    void begin(size_t deck);           // raises SlideShowBegin
    void end(size_t show);             // raises SlideShowEnd
    int slideIndex(const Show& s) const;
    void moveTo(Show& s, int slideIndex);

    // The application's members of the show model: ActivePresentation, SlideShowWindows, Quit.
    HRESULT appMember(const std::wstring& name, VARIANT* result);
};

// The show object standing for a presentation, the show windows, a show window or its view.
IDispatch* newShowObject(ShowModel& model, const std::wstring& kind, size_t index);

}  // namespace fake
