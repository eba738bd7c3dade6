#pragma once
// The boxes both list windows show.
#include "shell/db_query.h"
#include "win/auto_message.h"

namespace plans {

inline constexpr wchar_t kReadFailed[] = L"操作系统是精简版本，不支持本功能";
inline constexpr unsigned kReadFailedMs = 1200;
inline constexpr wchar_t kNothingToDelete[] = L"没有记录可删除";
inline constexpr wchar_t kDeleteQuestion[] = L"确定删除数据吗？";
inline constexpr wchar_t kQuestionCaption[] = L"提示";
inline constexpr wchar_t kDeleteFailed[] = L"请使用最新版本的程序";
inline constexpr unsigned kShortMessageMs = 800;
inline constexpr wchar_t kFileHeld[] = L"MeetData.db 正被其他程序使用，数据未改动，请稍后再试";
inline constexpr unsigned kFileHeldMs = 2000;

// A change refused as a whole; while another program holds the file the user is told to try
// again, as nothing is lost by waiting.
inline void tellRefused(shell::Written why, const wchar_t* failed, unsigned failedMs) {
    if (why == shell::Written::fileBusy) {
        win::autoMessage(kFileHeld, kFileHeldMs);
    } else {
        win::autoMessage(failed, failedMs);
    }
}

}  // namespace plans
