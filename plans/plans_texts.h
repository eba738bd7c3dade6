#pragma once
// The boxes both list windows show.
namespace plans {

inline constexpr wchar_t kReadFailed[] = L"操作系统是精简版本，不支持本功能";
inline constexpr unsigned kReadFailedMs = 1200;
inline constexpr wchar_t kNothingToDelete[] = L"没有记录可删除";
inline constexpr wchar_t kDeleteQuestion[] = L"确定删除数据吗？";
inline constexpr wchar_t kQuestionCaption[] = L"提示";
inline constexpr wchar_t kDeleteFailed[] = L"请使用最新版本的程序";
inline constexpr unsigned kShortMessageMs = 800;

}  // namespace plans
