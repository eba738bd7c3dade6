#include <gtest/gtest.h>
#include <windows.h>

#include "win/handles.h"
#include "win/pump.h"

namespace {

constexpr UINT_PTR kKeysTimer = 1, kGiveUpTimer = 2;
constexpr UINT kFirstItem = 7;

// Run by the open menu's loop: the keys that pick the menu's first item arrive, then a timer
// handler pumps the queue, as the clock's stage change does.
void CALLBACK keysThenPump(HWND owner, UINT, UINT_PTR id, DWORD) {
    KillTimer(owner, id);
    PostMessageW(owner, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageW(owner, WM_KEYDOWN, VK_RETURN, 0);
    win::doEvents();
}

void CALLBACK giveUp(HWND owner, UINT, UINT_PTR id, DWORD) {
    KillTimer(owner, id);
    EndMenu();
}

int ticks = 0;
void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD) { ++ticks; }

}  // namespace

// The clock's timers go on while a started program is waited for.
TEST(WaitPumping, RunsTheTimersUntilTheObjectIsSignalledOrTheLimitPasses) {
    win::UniqueWindow owner(CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 20, 20, nullptr, nullptr, nullptr, nullptr));
    SetTimer(owner.get(), 1, 20, tick);
    win::UniqueFile event(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    ticks = 0;
    EXPECT_FALSE(win::waitPumping(event.get(), 300));
    EXPECT_GE(ticks, 3);
    SetEvent(event.get());
    EXPECT_TRUE(win::waitPumping(event.get(), 300));
    KillTimer(owner.get(), 1);
}

TEST(DoEvents, LeavesAnOpenMenuTheKeysItWaitsFor) {
    win::UniqueWindow owner(CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 20, 20, nullptr,
                                            nullptr, nullptr, nullptr));
    win::UniqueMenu menu(CreatePopupMenu());
    AppendMenuW(menu.get(), MF_STRING, kFirstItem, L"设置");
    SetTimer(owner.get(), kKeysTimer, 10, keysThenPump);
    SetTimer(owner.get(), kGiveUpTimer, 3000, giveUp);
    SetForegroundWindow(owner.get());
    UINT picked = TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_NONOTIFY, 0, 0, 0, owner.get(), nullptr);
    KillTimer(owner.get(), kGiveUpTimer);
    EXPECT_EQ(picked, kFirstItem);
}
