#include <gtest/gtest.h>

#include <vector>

#include "win/object_marks.h"

namespace {

// The leak checks of the window tests rely on these marks: they must move when objects leak
// and stay put when every object is freed.
TEST(ObjectMarks, GrowWithLeakedObjectsAndStayFlatOtherwise) {
    uint32_t gdi = win::gdiObjectMark();
    uint32_t user = win::userObjectMark();
    for (int i = 0; i < 200; ++i) {
        DeleteObject(CreateSolidBrush(RGB(i, 0, 0)));
        DestroyMenu(CreateMenu());
    }
    EXPECT_EQ(win::gdiObjectMark(), gdi);
    EXPECT_EQ(win::userObjectMark(), user);

    std::vector<HBRUSH> brushes;
    std::vector<HMENU> menus;
    for (int i = 0; i < 20; ++i) {
        brushes.push_back(CreateSolidBrush(RGB(i, 0, 0)));
        menus.push_back(CreateMenu());
    }
    EXPECT_GE(win::gdiObjectMark(), gdi + 20);
    EXPECT_GE(win::userObjectMark(), user + 20);
    for (HBRUSH b : brushes) DeleteObject(b);
    for (HMENU m : menus) DestroyMenu(m);
}

}  // namespace
