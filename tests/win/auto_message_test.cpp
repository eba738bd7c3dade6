#include <gtest/gtest.h>
#include <windows.h>

#include "win/auto_message.h"

// The real box, on screen: it must end by itself, without anybody pressing a button.
TEST(AutoMessage, ClosesItselfAfterItsTimeOut) {
    DWORD start = GetTickCount();
    int result = win::autoMessage(L"操作系统是精简版本，不支持本程序计时", 300);
    DWORD took = GetTickCount() - start;
    EXPECT_EQ(result, IDOK);
    EXPECT_GE(took, 250u);  // not before its time; returning at all shows it closed itself
}

void CALLBACK showInner(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    win::autoMessage(L"inner", 200);
}

TEST(AutoMessage, NestedBoxesEachCloseAtTheirOwnTime) {
    // A timer of the program that shows a box while another one is up.
    UINT_PTR inner = SetTimer(nullptr, 0, 100, showInner);
    EXPECT_EQ(win::autoMessage(L"outer", 600), IDOK);  // returns: the inner box closed as well
    KillTimer(nullptr, inner);
}

TEST(AutoMessage, SinkSeesTextCaptionAndTimeOutWithoutShowing) {
    std::vector<win::MessageShown> seen;
    win::setMessageSink([&](const win::MessageShown& m) {
        seen.push_back(m);
        return IDYES;
    });
    EXPECT_EQ(win::askMessage(L"确定退出吗？", L"提示", MB_YESNO), IDYES);
    win::autoMessage(L"x", 1200);
    win::setMessageSink(nullptr);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].caption, L"提示");
    EXPECT_EQ(seen[0].timeoutMs, 0u);
    EXPECT_EQ(seen[1].caption, L"Kelvane");
    EXPECT_EQ(seen[1].timeoutMs, 1200u);
}
