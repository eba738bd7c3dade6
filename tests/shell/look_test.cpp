#include <gtest/gtest.h>

#include <set>

#include "shell/look.h"
#include "shell/run_records.h"
#include "win/handles.h"
#include "win/window_work.h"

using namespace shell;

TEST(FontSize, FiveTimesIndexPlusTwoWithinSixteenBits) {
    EXPECT_EQ(fontSizeOf(0), 10);
    EXPECT_EQ(fontSizeOf(6), 40);
    EXPECT_EQ(fontSizeOf(9), 55);
    EXPECT_EQ(fontSizeOf(6551), 32765);
    EXPECT_EQ(fontSizeOf(-6555), -32765);
    EXPECT_FALSE(fontSizeOf(6552));
    EXPECT_FALSE(fontSizeOf(-6556));
    EXPECT_FALSE(fontSizeOf(32767));
}

TEST(Palette, SeventeenNamedColoursInIndexOrder) {
    const COLORREF expected[kPaletteSize] = {0,       128,     16711935, 255,      65535,    32896,
                                             65280,   32768,   8421376,  16711680, 8388608,  16761024,
                                             16776960, 8388736, 8421504, 12632256, 16777215};
    std::set<std::wstring_view> names;
    for (int16_t i = 0; i < static_cast<int16_t>(kPaletteSize); ++i) {
        EXPECT_EQ(colorOfIndex(i), expected[i]) << "index " << i;
        EXPECT_EQ(palette()[i].value, expected[i]) << "index " << i;
        names.insert(palette()[i].name);
    }
    EXPECT_EQ(names.size(), kPaletteSize);
    EXPECT_EQ(names.count(L""), 0u);
}

TEST(Palette, IndexOutsideThePaletteIsBlack) {
    EXPECT_EQ(colorOfIndex(17), 0u);
    EXPECT_EQ(colorOfIndex(-1), 0u);
    EXPECT_EQ(colorOfIndex(100), 0u);
}

TEST(Frame, FifteenTwipsRoundTheControl) {
    EXPECT_EQ(frameControl({100, 200, 1000, 300}), (TwipsRect{85, 185, 1030, 330}));
}

class KeepOnTop : public ::testing::Test {
protected:
    void SetUp() override {
        window.reset(CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 10, 20, 100, 50, nullptr, nullptr, nullptr, nullptr));
        ASSERT_TRUE(window);
    }
    void TearDown() override { timingState().topmostpause = 0; }
    bool topmost() const { return (GetWindowLongW(window.get(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

    win::UniqueWindow window;
};

TEST_F(KeepOnTop, RaisesWithoutMovingWhenThePauseIsOver) {
    for (int32_t pause : {0, -10}) {
        SetWindowPos(window.get(), HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        timingState().topmostpause = pause;
        keepOnTop(window.get());
        EXPECT_TRUE(topmost()) << "pause " << pause;
        EXPECT_EQ(timingState().topmostpause, pause);
    }
    RECT r{};
    GetWindowRect(window.get(), &r);
    EXPECT_EQ(r.left, 10);
    EXPECT_EQ(r.top, 20);
    EXPECT_EQ(r.right - r.left, 100);
    EXPECT_EQ(r.bottom - r.top, 50);
}

TEST_F(KeepOnTop, RaisesWithoutTakingTheForegroundAndNotAgainWhileOnTop) {
    win::UniqueWindow typing(CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 100, 50, nullptr, nullptr,
                                             nullptr, nullptr));
    ASSERT_TRUE(typing);
    SetForegroundWindow(typing.get());
    ASSERT_EQ(GetForegroundWindow(), typing.get());
    ShowWindow(window.get(), SW_SHOWNOACTIVATE);

    LONG raises = win::windowWork().raises;
    keepOnTop(window.get());
    EXPECT_TRUE(topmost());
    EXPECT_EQ(GetForegroundWindow(), typing.get());
    EXPECT_EQ(win::windowWork().raises - raises, 1);

    // Above every window but this program's own: nothing to raise.
    SetWindowPos(typing.get(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    for (int i = 0; i < 3; ++i) keepOnTop(window.get());
    EXPECT_EQ(win::windowWork().raises - raises, 1);
    EXPECT_EQ(GetForegroundWindow(), typing.get());
}

TEST_F(KeepOnTop, ARunningPauseOnlyCountsDownByTen) {
    timingState().topmostpause = 1;
    keepOnTop(window.get());
    EXPECT_EQ(timingState().topmostpause, -9);
    EXPECT_FALSE(topmost());

    timingState().topmostpause = 200;  // lasts twenty calls
    for (int i = 0; i < 20; ++i) keepOnTop(window.get());
    EXPECT_EQ(timingState().topmostpause, 0);
    EXPECT_FALSE(topmost());
    keepOnTop(window.get());
    EXPECT_TRUE(topmost());
}
