// The test machine's Wine set-up: its dialog font must draw every stroke at the size the windows
// use, or the screenshots and the eyes checking them read "2026 12 03" for "2026-12-03".
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "win/handles.h"

namespace {

// One glyph drawn black on white at the top left of a bitmap; true where a pixel has ink.
struct Glyph {
    int width = 0, height = 0;
    std::vector<bool> ink;
    bool at(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height && ink[y * width + x]; }
};

Glyph draw(wchar_t c, LONG pixelHeight) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    metrics.lfMessageFont.lfHeight = -pixelHeight;
    win::UniqueFont font(CreateFontIndirectW(&metrics.lfMessageFont));
    win::UniqueMemDC dc(CreateCompatibleDC(nullptr));
    Glyph g;
    g.width = 2 * pixelHeight;
    g.height = 2 * pixelHeight;
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), g.width, -g.height, 1, 32, BI_RGB};
    void* bits = nullptr;
    win::UniqueBitmap bitmap(CreateDIBSection(dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || !bits) return g;
    win::SelectScope withBitmap(dc.get(), bitmap.get());
    win::SelectScope withFont(dc.get(), font.get());
    RECT all{0, 0, g.width, g.height};
    FillRect(dc.get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SetTextColor(dc.get(), RGB(0, 0, 0));
    SetBkMode(dc.get(), TRANSPARENT);
    TextOutW(dc.get(), 0, 0, &c, 1);
    GdiFlush();
    const auto* pixels = static_cast<const DWORD*>(bits);
    for (int i = 0; i < g.width * g.height; ++i) g.ink.push_back((pixels[i] & 0xFFFFFF) != 0xFFFFFF);
    return g;
}

// Every pixel that the glyph drawn four times as large covers mostly has ink at the small size,
// give or take the pixel that hinting may move a stroke by.
TEST(LegibleText, TheDialogFontKeepsEveryStrokeAtTwelvePixels) {
    constexpr int scale = 4, size = 12;
    for (wchar_t c : std::wstring(L"2026-12-03 删除 录入 标题")) {
        if (c == L' ') continue;
        Glyph small = draw(c, size), large = draw(c, size * scale);
        ASSERT_FALSE(small.ink.empty());
        int missing = 0, strokes = 0;
        for (int y = 0; y < small.height; ++y) {
            for (int x = 0; x < small.width; ++x) {
                int covered = 0;
                for (int dy = 0; dy < scale; ++dy)
                    for (int dx = 0; dx < scale; ++dx) covered += large.at(x * scale + dx, y * scale + dy);
                if (covered * 2 < scale * scale) continue;
                ++strokes;
                bool inked = false;
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx) inked = inked || small.at(x + dx, y + dy);
                missing += !inked;
            }
        }
        EXPECT_GT(strokes, 0) << "U+" << std::hex << static_cast<int>(c);
        EXPECT_EQ(missing, 0) << "U+" << std::hex << static_cast<int>(c) << ": pixels of strokes without ink";
    }
}

}  // namespace
