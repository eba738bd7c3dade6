#include "shell/last_writes.h"

#include <string>

#include "shell/ini_store.h"
#include "shell/meeting_db.h"
#include "win/auto_message.h"
#include "win/program_end.h"

namespace shell {
namespace {

constexpr wchar_t kSitesLostMessage[] = L"有窗口位置未能写入 TimeData.db";
constexpr unsigned kLostMessageMs = 5000;

}  // namespace

void writeWhatWaitsBeforeExit() {
    std::wstring lost;
    auto name = [&lost](const std::wstring& what) { lost += (lost.empty() ? L"" : L"\r\r") + what; };
    if (Written runs = flushRunRecords(); runs != Written::done) name(unwrittenRunsText(runs));
    if (!writePendingSites()) name(kSitesLostMessage);
    if (lost.empty()) return;
    win::EndingReport going;  // the one box that still shows once the program ends
    win::autoMessage(lost, kLostMessageMs);
}

}  // namespace shell
