#include "shell/meeting_db.h"

#include <windows.h>

#include <algorithm>
#include <array>

#include "shell/db_query.h"
#include "shell/program_folder.h"
#include "shell/retry_timer.h"
#include "shell/settings_registry.h"
#include "shell/text_number.h"
#include "shell/wall_clock.h"
#include "win/auto_message.h"
#include "win/text.h"

namespace shell {
namespace {

constexpr wchar_t kNoDatabaseMessage[] = L"操作系统是精简版本，不支持本程序计时";
constexpr unsigned kNoDatabaseMessageMs = 1200;
constexpr wchar_t kFileHeld[] = L"MeetData.db 正被其他程序使用，数据未改动，请稍后再试";
constexpr unsigned kFileHeldMs = 2000;
constexpr wchar_t kNoStagePeriod[] = L"00:00\\00:00";
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

// Why a statement failed or the file did not open: another program holds it, or it cannot be
// read at all.
std::optional<StageLookup> unread(sqlite3* db) {
    if (whyFailed(db) != Written::fileBusy) return std::nullopt;
    StageLookup held;
    held.fileBusy = true;
    return held;
}

// Nothing when the file is missing or damaged or its tables cannot be read; a lookup marked
// fileBusy while another program holds the file.
std::optional<StageLookup> lookupInDatabase(TimeOfDay now, ClockSetting& setting) {
    UniqueDatabase db = openMeetData();
    if (!db) return unread(nullptr);
    auto at = scheduleAt(db.get(), now);
    if (!at) return unread(db.get());
    if (at->state == StageState::Covering) {
        // A stage whose clock is not saved runs on the registry settings, as a wait does.
        TimeOfDay length = setting.Time_all;
        readsetting(setting);
        setting.Time_all = length;
        if (!loadSavedClock(db.get(), at->stage->clockname, setting)) return unread(db.get());
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

RetryTimer& runsRetry() {
    static RetryTimer timer([] { return flushRunRecords(); });
    return timer;
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
    if (why == Written::fileBusy) {
        tellFileHeld();
    } else {
        win::autoMessage(failed, failedMs);
    }
}

Written whyFailed(sqlite3* db) {
    // A file that is there and does not open is held: another program opened it sharing nothing
    // (a backup, a sync, a virus scan) or may read it while we may not.
    if (!db) return meetDataExists() ? Written::fileBusy : Written::failed;
    switch (sqlite3_errcode(db)) {
        case SQLITE_BUSY:      // its lock
        case SQLITE_CANTOPEN:  // its journal, opened sharing nothing
        case SQLITE_IOERR:     // a part of it locked against reading
            return Written::fileBusy;
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
        bool whole = open && sqlite3_db_readonly(db.get(), "main") == 0;
        if (whole || tried >= retries.count - 1 || !meetDataExists()) {
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
    auto found = lookupInDatabase(now, read);
    if (found && found->fileBusy) return *found;
    setting = std::move(read);
    if (found) return *found;
    readsetting(setting);
    return StageLookup{StageState::NoDatabase, std::nullopt, setting.tellShowtext};
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
    if (newlyFailed) win::autoMessage(kNoDatabaseMessage, kNoDatabaseMessageMs);
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
    if (!flushRunRecords()) runsRetry().arm();
}

// The pending rows in order, up to the first that fails.
bool flushRunRecords() {
    std::vector<RunRow>& rows = pendingRuns();
    if (rows.empty()) return true;
    UniqueDatabase db = openMeetData();
    if (!db) return false;
    size_t written = 0;
    for (const RunRow& r : rows) {
        if (Query(db.get(), kRunRecord, {r[0], r[1], r[2], r[3], r[4]}).failed()) break;
        ++written;
    }
    rows.erase(rows.begin(), rows.begin() + static_cast<std::ptrdiff_t>(written));
    return rows.empty();
}

void forgetPendingRuns() {
    pendingRuns().clear();
    runsRetry().stop();
}

}  // namespace shell
