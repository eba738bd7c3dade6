#pragma once
// The boxes both list windows show, and how they read again what a held file kept from them.
#include <functional>

#include "shell/meeting_db.h"
#include "shell/retry_timer.h"
#include "win/auto_message.h"
#include "win/window.h"

namespace plans {

inline constexpr wchar_t kReadFailed[] = L"操作系统是精简版本，不支持本功能";
inline constexpr unsigned kReadFailedMs = 1200;
inline constexpr wchar_t kNothingToDelete[] = L"没有记录可删除";
inline constexpr wchar_t kDeleteQuestion[] = L"确定删除数据吗？";
inline constexpr wchar_t kQuestionCaption[] = L"提示";
inline constexpr wchar_t kDeleteFailed[] = L"请使用最新版本的程序";
inline constexpr unsigned kShortMessageMs = 800;

// A change refused as a whole says why (shell::tellRefused).
using shell::tellRefused;

// One try of the retry timer (shell::RetryTimer) at what another program's hold on the file kept
// from the window's load: `read` runs while none of the window's own handlers does, and a
// failure other than the hold is told as the load tells it. True once nothing is left to try.
inline bool readAgain(const win::Window& window, const std::function<shell::Written()>& read) {
    if (!window.loaded()) return true;
    if (window.handling()) return false;
    shell::Written got = read();
    if (got == shell::Written::fileBusy) return false;
    tellRefused(got, kReadFailed, kReadFailedMs);
    return true;
}

// A list another program's hold has kept from being read since the window opened (`read` false,
// its `retry` still armed) shows no rows, and none is known: a command on it says the file is
// held, not that the list is empty. True when that was said.
inline bool toldUnread(bool read, const shell::RetryTimer& retry) {
    if (read || !retry.armed()) return false;
    shell::tellFileHeld();
    return true;
}

}  // namespace plans
