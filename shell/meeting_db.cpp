#include "shell/meeting_db.h"

#include <windows.h>

#include <algorithm>
#include <array>
#include <utility>

#include "shell/db_query.h"
#include "shell/program_folder.h"
#include "shell/retry_timer.h"
#include "shell/settings_registry.h"
#include "shell/text_number.h"
#include "shell/wall_clock.h"
#include "win/auto_message.h"
#include "win/handles.h"
#include "win/text.h"

namespace shell {
namespace {

constexpr wchar_t kNoDatabaseMessage[] = L"操作系统是精简版本，不支持本程序计时";
constexpr unsigned kNoDatabaseMessageMs = 1200;
constexpr wchar_t kFileHeld[] = L"MeetData.db 正被其他程序使用，数据未改动，请稍后再试";
constexpr unsigned kFileHeldMs = 2000;
// The causes that last until the user acts, each told as what it is.
constexpr wchar_t kDiskFull[] = L"MeetData.db 所在磁盘已满，数据未改动";
constexpr wchar_t kUnreadable[] = L"MeetData.db 无法打开或读取";
constexpr unsigned kLastingCauseMs = kMayNotWriteMs;
constexpr wchar_t kNoStagePeriod[] = L"00:00\\00:00";
constexpr wchar_t kRunsUnwritten[] = L"有计时记录未能写入 MeetData.db";
// As long as the box that names what the program's end could not write.
constexpr unsigned kRunsUnwrittenMs = 5000;
// Another program (a backup, an editor) may hold the file: a statement waits this long for its
// lock, an open as long for a file it opened sharing nothing (set where SQLite is built), then
// fails, and what it was for is tried again later. Everything here runs on the clock's thread.
constexpr int kBusyWaitMs = 25;
// checkvalue positions 1 to 6, the alarm and window switches: a clock picked while waiting for
// the next stage keeps those in effect.
constexpr size_t kKeptSwitches = 6;
// Seconds a prompt stays, as the settings dialog takes them; a saved length beyond them would
// blink the face for minutes or hours.
constexpr int16_t kShortestPrompt = 3;
constexpr int16_t kLongestPrompt = 30;

// Every stage in the order it was stored; the times are compared once read, as times: a text
// such as "9:00:00" would sort after "14:00:00".
constexpr char kStages[] = "SELECT starttime, endtime, clockname, title FROM file_list ORDER BY rowid";
// Fields Time_one to picture_height of ClockSetting, in record order.
constexpr char kSavedClock[] =
    "SELECT tiemone, timetwo, tiemthree, checkvalue, optvalue, tellShowtime, tellsoundname, "
    "tellprocesstext, tellShowtext, clockFont, Fontselect, picturename, time_top, time_left, "
    "picture_width, picture_height FROM clocksetting WHERE clockname = ?1 ORDER BY ID, rowid";
constexpr char kSavedClockNames[] = "SELECT clockname FROM clocksetting ORDER BY ID, rowid";
constexpr char kRunRecord[] =
    "INSERT INTO timesum (set_time, use_time, out_time, pause_time, filename) VALUES (?1, ?2, ?3, ?4, ?5)";

// A cause that lasts, as the user is told it; another program's hold passes and is not named.
// Nothing for any other.
const wchar_t* causeText(Written why) {
    switch (why) {
        case Written::readOnly: return kMayNotWrite;
        case Written::diskFull: return kDiskFull;
        case Written::unreadable: return kUnreadable;
        default: return nullptr;
    }
}

std::wstring periodText(TimeOfDay start, TimeOfDay end) { return formatHms(start) + L'\\' + formatHms(end); }

enum class Empty { Usable, Unusable };

// A text that is missing (entered by hand with a database tool) cannot be used, nor an empty
// switch or look string: run with those empty, the clock would show a tiny box nobody can read.
void readText(const Query& row, int col, std::wstring& field, Empty empty = Empty::Usable) {
    if (row.isNull(col)) return;
    std::wstring text = row.text(col);
    if (text.empty() && empty == Empty::Unusable) return;
    field = std::move(text);
}

// Field by field, as the settings are read from the registry: a value that cannot be used keeps
// the value loaded before, and the stage is still timed.
void readSavedClock(const Query& row, ClockSetting& s) {
    row.whole(0, s.Time_one);
    row.whole(1, s.Time_two);
    row.whole(2, s.Time_three);
    readText(row, 3, s.checkvalue, Empty::Unusable);
    readText(row, 4, s.optvalue, Empty::Unusable);
    int16_t shown = 0;
    if (row.whole(5, shown) && shown >= kShortestPrompt && shown <= kLongestPrompt) s.tellShowtime = shown;
    readText(row, 6, s.tellsoundname);
    readText(row, 7, s.tellprocesstext);
    readText(row, 8, s.tellShowtext);
    readText(row, 9, s.clockFont);
    readText(row, 10, s.Fontselect, Empty::Unusable);
    readText(row, 11, s.picturename);
    row.whole(12, s.time_top);
    row.whole(13, s.time_left);
    row.whole(14, s.picture_width);
    row.whole(15, s.picture_height);
}

// A stage of the day's schedule.
struct Stage {
    TimeOfDay start, end;
    std::wstring clockname, title;
};

// Where a time falls in the schedule: Covering with the stage that covers it, Waiting with the
// next stage today, DayOver with no stage.
struct ScheduleAt {
    StageState state;
    std::optional<Stage> stage;
};

// A stage covers from its start up to, not including, its end: in its end second the next stage
// (or none) is found, so a run that just ended is not started again. Of two covering stages, or
// two next stages starting together, the first stored wins. A row whose start or end is no time
// of day, or that ends before it starts, cannot be timed and is passed over, so it cannot stop
// the day. Nothing when the file is damaged or the table unreadable.
std::optional<ScheduleAt> scheduleAt(sqlite3* db, TimeOfDay now) {
    std::optional<Stage> next;
    Query q(db, kStages, {});
    for (; q.hasRow(); q.next()) {
        auto start = q.time(0);
        auto end = q.time(1);
        if (!start || !end || *end <= *start) continue;
        Stage stage{*start, *end, q.text(2), q.text(3)};
        if (stage.start <= now && now < stage.end) return ScheduleAt{StageState::Covering, std::move(stage)};
        if (now < stage.start && (!next || stage.start < next->start)) next = std::move(stage);
    }
    if (q.failed()) return std::nullopt;
    if (next) return ScheduleAt{StageState::Waiting, std::move(next)};
    return ScheduleAt{StageState::DayOver, std::nullopt};
}

// The period and title the windows show; `restTitle` while no stage covers now.
StageLookup shownFor(const ScheduleAt& at, const std::wstring& restTitle) {
    if (!at.stage) return StageLookup{StageState::DayOver, kNoStagePeriod, restTitle};
    bool covering = at.state == StageState::Covering;
    return StageLookup{at.state, periodText(at.stage->start, at.stage->end), covering ? at.stage->title : restTitle};
}

// Nothing, and why, when the file cannot be opened or its tables read.
Read<StageLookup> lookupInDatabase(TimeOfDay now, ClockSetting& setting) {
    UniqueDatabase db = openMeetData();
    if (!db) return unreadFrom<StageLookup>(nullptr);
    auto at = scheduleAt(db.get(), now);
    if (!at) return unreadFrom<StageLookup>(db.get());
    if (at->state == StageState::Covering) {
        // A stage whose clock is not saved runs on the registry settings, as a wait does.
        TimeOfDay length = setting.Time_all;
        readsetting(setting);
        setting.Time_all = length;
        if (!loadSavedClock(db.get(), at->stage->clockname, setting)) return unreadFrom<StageLookup>(db.get());
    } else {
        // While no stage covers now the clock runs on the registry settings, not the next stage's.
        readsetting(setting);
        setting.Time_all = at->stage ? TimeOfDay{at->stage->start.seconds - now.seconds} : TimeOfDay{};
    }
    return shownFor(*at, setting.tellShowtext);
}

// "hh:mm:ss" of a stage time kept as text; nothing when it is no time of day.
Param storedTime(const std::wstring& text) {
    auto t = parseTimeOfDay(text);
    return t ? Param(formatHms(*t)) : std::nullopt;
}

// Whole seconds, halves to the even second, as "hh:mm:ss"; nothing when not within a day.
Param storedDuration(int32_t ms) {
    auto t = secondtotime(roundHalfEven(ms / 1000.0));
    return t ? Param(formatHms(*t)) : std::nullopt;
}

// The values of a timesum row in kRunRecord's order.
using RunRow = std::array<Param, 5>;

StageShownSink& stageShown() {
    static StageShownSink sink;
    return sink;
}

// Runs that could not be written yet, oldest first.
std::vector<RunRow>& pendingRuns() {
    static std::vector<RunRow> rows;
    return rows;
}

// Whether the user has been told why the pending runs cannot be written: a cause that lasts is
// told once, and told again only after the runs have been written or let go.
bool& unwrittenRunsTold() {
    static bool told = false;
    return told;
}

RetryTimer& runsRetry();

// A try of the retry timer; it runs outside the clock's tick, so its box stops no run.
bool retryRunRecords() {
    Written why = flushRunRecords();
    if (why == Written::done) return true;
    if (!lasting(why)) return false;
    runsRetry().waitLonger();
    if (!std::exchange(unwrittenRunsTold(), true)) win::autoMessage(unwrittenRunsText(why), kRunsUnwrittenMs);
    return false;
}

RetryTimer& runsRetry() {
    static RetryTimer timer(retryRunRecords);
    return timer;
}

// What Windows said of a refused file, as a cause: another program's open or lock passes, a full
// disk lasts, and anything else is `otherwise`.
Written systemCause(int error, Written otherwise) {
    switch (error) {
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION: return Written::fileBusy;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL: return Written::diskFull;
        default: return otherwise;
    }
}

// Why the file refuses an open for `access` now: asked once, without waiting, through SQLite's
// own call into Windows, so it meets what SQLite met. An open that succeeds now was refused for a
// moment only; a file that is gone is failed; a refusal of another kind is `denied`.
Written probeOpen(DWORD access, Written denied) {
    sqlite3_vfs* vfs = sqlite3_vfs_find(nullptr);
    auto createFile = reinterpret_cast<decltype(&CreateFileW)>(vfs->xGetSystemCall(vfs, "CreateFileW"));
    win::UniqueFile file(createFile(inProgramFolder(kMeetDataFile).c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file) return Written::fileBusy;
    DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return Written::failed;
    return systemCause(static_cast<int>(error), denied);
}

// Why the last open of the file failed.
Written& lastOpenRefused() {
    static Written why = Written::failed;
    return why;
}

// Why `db`, a connection that failed to open, did: the file did not open (gone, held, or the
// user may not read it), or its first bytes, read as it opens, did not read.
Written openRefused(sqlite3* db) {
    int error = sqlite3_system_errno(db);
    switch (sqlite3_errcode(db)) {
        case SQLITE_CANTOPEN:
            if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return Written::failed;
            return systemCause(error, Written::unreadable);
        case SQLITE_IOERR: return systemCause(error, Written::unreadable);
        default: return Written::failed;
    }
}

}  // namespace

bool loadSavedClock(sqlite3* db, const std::wstring& name, ClockSetting& setting) {
    Query clock(db, kSavedClock, {name});
    if (clock.failed()) return false;
    if (clock.hasRow()) readSavedClock(clock, setting);
    return true;
}

void tellFileHeld() { win::autoMessage(kFileHeld, kFileHeldMs); }

void tellRefused(Written why, const wchar_t* failed, unsigned failedMs) {
    if (why == Written::done) return;
    if (why == Written::fileBusy) {
        tellFileHeld();
    } else if (lasting(why)) {
        win::autoMessage(causeText(why), kLastingCauseMs);
    } else {
        win::autoMessage(failed, failedMs);
    }
}

Written whyFailed(sqlite3* db) {
    if (!db) return lastOpenRefused();
    switch (sqlite3_errcode(db)) {
        case SQLITE_BUSY:  // another program's lock
            return Written::fileBusy;
        case SQLITE_FULL:
            return Written::diskFull;
        case SQLITE_READONLY:
            // Refused the open for writing, SQLite opened the file for reading only: another
            // program reads it sharing no writes (a copy, a backup), or the user may not write it.
            return probeOpen(GENERIC_READ | GENERIC_WRITE, Written::readOnly);
        case SQLITE_CANTOPEN:  // its journal: held, or the folder may not be written
            return systemCause(sqlite3_system_errno(db), Written::readOnly);
        case SQLITE_IOERR:  // a part of it locked against reading, a full disk, or it does not read
            return systemCause(sqlite3_system_errno(db), Written::unreadable);
        default:
            return Written::failed;
    }
}

bool meetDataExists() {
    DWORD attributes = GetFileAttributesW(inProgramFolder(kMeetDataFile).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

UniqueDatabase openMeetData(Patience patience) {
    Retries retries = patience == Patience::save ? kSaveRetries : kClockRetries;
    std::string path = win::toUtf8(inProgramFolder(kMeetDataFile));
    for (int tried = 0;; ++tried) {
        UniqueDatabase db;
        // Without SQLITE_OPEN_CREATE a missing file stays missing. A file another program opened
        // sharing nothing does not open; one it opened sharing only reading opens read-only.
        bool open = sqlite3_open_v2(path.c_str(), db.put(), SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK;
        if (!open) lastOpenRefused() = openRefused(db.get());
        bool whole = open && sqlite3_db_readonly(db.get(), "main") == 0;
        // Only another program's hold is waited for: a file that cannot be opened, or that the
        // user may not write, stays so.
        Written why = !open ? lastOpenRefused()
                            : whole ? Written::done : probeOpen(GENERIC_READ | GENERIC_WRITE, Written::readOnly);
        if (why != Written::fileBusy || tried >= retries.count - 1) {
            if (!open) return UniqueDatabase{};
            sqlite3_busy_timeout(db.get(), kBusyWaitMs);
            setRetries(db.get(), retries);
            return db;
        }
        // The opens above took SQLite's own tries already; the save's pauses grow as SQLite's do.
        db.reset();
        wallClock().pause(static_cast<uint32_t>(retries.delayMs * (tried + 1)));
    }
}

StageLookup lookupStage(TimeOfDay now, ClockSetting& setting) {
    ClockSetting read = setting;
    Read<StageLookup> found = lookupInDatabase(now, read);
    if (found.why() == Written::fileBusy) {
        StageLookup held;
        held.fileBusy = true;
        return held;
    }
    setting = std::move(read);
    if (found) return *found;
    readsetting(setting);
    StageLookup none{StageState::NoDatabase, std::nullopt, setting.tellShowtext};
    none.unread = found.why();
    return none;
}

void setStageShownSink(StageShownSink sink) { stageShown() = std::move(sink); }

void takeStage(const StageLookup& stage) { takeStageOn(stage, dayOf(wallClock().localTime())); }

void takeStageOn(const StageLookup& stage, uint32_t day) {
    TimingState& t = timingState();
    t.stagestate = stage.state;
    t.stageUnread = false;
    t.stageday = day;
    if (stage.state == StageState::Covering) t.filename = stage.titletext;
    if (stageShown()) stageShown()(stage);
}

StageLookup loadCurrentMeeting() {
    SYSTEMTIME now = wallClock().localTime();
    StageLookup found = lookupStage(timeOfDayOf(now), clockSetting());
    if (found.fileBusy) return found;
    // Told once when the file becomes unreadable, not at every try while it stays so.
    bool newlyFailed = found.state == StageState::NoDatabase && timingState().stagestate != StageState::NoDatabase;
    takeStageOn(found, dayOf(now));
    if (newlyFailed) tellRefused(found.unread, kNoDatabaseMessage, kNoDatabaseMessageMs);
    return found;
}

std::optional<std::vector<std::wstring>> savedClockNames() {
    std::vector<std::wstring> names;
    UniqueDatabase db = openMeetData();
    if (db) {
        Query q(db.get(), kSavedClockNames, {});
        for (; q.hasRow(); q.next()) names.push_back(q.text(0));
        if (!q.failed()) return names;
    }
    if (whyFailed(db.get()) == Written::fileBusy) return std::nullopt;
    return names;
}

std::optional<StageLookup> stageForPickedClock(sqlite3* db, TimeOfDay now, const std::wstring& restTitle) {
    auto at = scheduleAt(db, now);
    if (!at) return std::nullopt;
    return shownFor(*at, restTitle);
}

bool loadPickedClock(sqlite3* db, const std::wstring& name, StageState state, ClockSetting& setting) {
    ClockSetting before = setting;
    if (!loadSavedClock(db, name, setting)) return false;
    if (state == StageState::Waiting) {
        std::wstring& saved = setting.checkvalue;
        saved = before.checkvalue.substr(0, kKeptSwitches) + saved.substr(std::min(saved.size(), kKeptSwitches));
    } else if (state == StageState::DayOver) {
        setting.checkvalue = before.checkvalue;
    }
    if (state != StageState::Covering) setting.tellShowtext = before.tellShowtext;
    return true;
}

void savetimerecord(const TimingState& t) {
    if (readSettingNumber(L"Time_Record") == 0) return;
    if (!meetDataExists()) return;  // nowhere to record the run, now or later
    pendingRuns().push_back(
        {storedTime(t.set_time), storedTime(t.use_time), storedDuration(t.out_time), storedDuration(t.pause_time),
         t.filename});
    if (flushRunRecords() != Written::done) runsRetry().arm();
}

// The pending rows in order, up to the first that fails.
Written flushRunRecords() {
    std::vector<RunRow>& rows = pendingRuns();
    if (rows.empty()) return Written::done;
    UniqueDatabase db = openMeetData();
    if (!db) return whyFailed(nullptr);
    Written why = Written::done;
    size_t written = 0;
    for (const RunRow& r : rows) {
        if (Query(db.get(), kRunRecord, {r[0], r[1], r[2], r[3], r[4]}).failed()) {
            why = whyFailed(db.get());
            break;
        }
        ++written;
    }
    rows.erase(rows.begin(), rows.begin() + static_cast<std::ptrdiff_t>(written));
    if (rows.empty()) unwrittenRunsTold() = false;
    return why;
}

std::wstring unwrittenRunsText(Written why) {
    std::wstring text = kRunsUnwritten;
    if (const wchar_t* cause = causeText(why)) text += std::wstring(L"\r\n") + cause;
    return text;
}

std::optional<std::wstring> runsStillUnwritten() {
    Written why = flushRunRecords();
    if (why == Written::done) return std::nullopt;
    unwrittenRunsTold() = true;
    return unwrittenRunsText(why);
}

void forgetPendingRuns() {
    pendingRuns().clear();
    unwrittenRunsTold() = false;
    runsRetry().stop();
}

}  // namespace shell
