#pragma once
// The program's message handling: modeless dialogs get their keyboard navigation (Tab,
// Shift+Tab, Enter, Esc) from the dialog-message handling before anything is dispatched.
#include <windows.h>

namespace win {

// Keys and mouse messages, the caption's and frame's included.
bool isUserInput(UINT message);

// A modeless dialog registers its window while it is loaded.
void addModelessDialog(HWND dialog);
void removeModelessDialog(HWND dialog);

// Translates and dispatches one message, through a registered dialog when it is for one.
void dispatch(MSG& msg);

// Lets the window messages already queued (timer ticks included) run before the caller goes on;
// nothing while a menu of this thread is open, whose own loop runs them.
void doEvents();

// Waits up to `limitMs` for `object` while this thread's window messages keep running, so the
// clock goes on ticking meanwhile; true when the object was signalled in time.
bool waitPumping(HANDLE object, DWORD limitMs);

}  // namespace win
