#include "tests/displays/display_test.h"

#include "app/forms.h"
#include "displays/floating_place.h"
#include "faces/clock_font.h"
#include "shell/run_records.h"
#include "win/handles.h"
#include "win/object_marks.h"
#include "win/twips.h"

namespace display_test {

void FloatingTest::SetUp() {
    ProgramTest::SetUp();
    testing_support::resetSharedState();
}

void FloatingTest::TearDown() {
    forms::resetAll();
    ProgramTest::TearDown();
}

shell::ScreenTwips FloatingTest::screen() { return shell::screenTwips(); }

int FloatingTest::gridX(int twips) { return win::pixelsToTwipsX(win::twipsToPixelsX(twips)); }

int FloatingTest::gridY(int twips) { return win::pixelsToTwipsY(win::twipsToPixelsY(twips)); }

faces::TwipsSize FloatingTest::textSize(const displays::TextWindow& w, const std::wstring& text) {
    win::UniqueMemDC dc(CreateCompatibleDC(nullptr));
    win::UniqueFont font = faces::createPointFont(w.fontName(), w.fontPoints());
    win::SelectScope use(dc.get(), font.get());
    SIZE extent{};
    GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &extent);
    TEXTMETRICW tm{};
    GetTextMetricsW(dc.get(), &tm);
    return {win::pixelsToTwipsX(extent.cx), win::pixelsToTwipsY(tm.tmHeight)};
}

COLORREF FloatingTest::colourKey(const displays::TextWindow& w) {
    COLORREF key = CLR_INVALID;
    BYTE alpha = 0;
    DWORD flags = 0;
    if (!GetLayeredWindowAttributes(w.hwnd(), &key, &alpha, &flags) || flags != LWA_COLORKEY) return CLR_INVALID;
    return key;
}

bool FloatingTest::leavesNoGdiObjects(const displays::TextWindow& w, win::Timer& timer) {
    auto rounds = [&](int n) {
        for (int i = 0; i < n; ++i) {
            timer.fire();
            UpdateWindow(w.hwnd());
        }
    };
    rounds(10);  // the window system keeps a few objects of its own once a window is layered
    uint32_t before = win::gdiObjectMark();
    rounds(100);
    return win::gdiObjectMark() == before;
}

}  // namespace display_test
