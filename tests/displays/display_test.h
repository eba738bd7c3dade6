#pragma once
// What the tests of the floating windows start from: fresh run records, the real screen size,
// and the windows unloaded again afterwards.
#include <windows.h>

#include "displays/text_window.h"
#include "faces/face_look.h"
#include "shell/clock_placement.h"
#include "tests/test_support.h"

namespace display_test {

class FloatingTest : public testing_support::ProgramTest {
protected:
    void SetUp() override;
    void TearDown() override;

    static shell::ScreenTwips screen();
    // Where a window really lands for a place in twips: on whole pixels.
    static int gridX(int twips);
    static int gridY(int twips);
    // The size of `text` in the window's font, measured apart from the window.
    static faces::TwipsSize textSize(const displays::TextWindow& w, const std::wstring& text);
    // The colour the desktop shows through; none when the window is not colour-keyed.
    static COLORREF colourKey(const displays::TextWindow& w);
    // A hundred ticks of `timer`, each painted, leave as many GDI objects as before.
    static bool leavesNoGdiObjects(const displays::TextWindow& w, win::Timer& timer);
};

}  // namespace display_test
