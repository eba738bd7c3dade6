#include <gtest/gtest.h>
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "shell/ini_store.h"
#include "shell/last_writes.h"
#include "shell/meeting_db.h"
#include "shell/settings_registry.h"
#include "tests/db_holds.h"
#include "tests/test_support.h"
#include "win/text.h"

using namespace shell;

namespace {

using testing_support::CountedBusyWaits;
using testing_support::Hold;
using testing_support::LockedFile;
using testing_support::pumpUntil;

TimeOfDay at(int h, int m, int s) { return TimeOfDay{h * 3600 + m * 60 + s}; }

// Unlike the first-run defaults in every stored field.
ClockSetting someClock(int32_t alarm1, const std::wstring& title) {
    return ClockSetting{TimeOfDay{}, alarm1, 120, 60, L"101010101010101010101", L"01001", 7,
                        L"a.wav\\b.wav\\c.wav\\d.wav", L"汇报人", title, L"Arial", L"1100302",
                        L"sky.jpg\\255", 15, 30, 200, 80};
}

class MeetingDb : public testing_support::MeetDataTest {
protected:
    std::vector<Row> runRecords() {
        return exec("SELECT ID, set_time, use_time, out_time, pause_time, filename FROM timesum").value();
    }
};

class StageLookupTest : public MeetingDb {
protected:
    void SetUp() override {
        MeetingDb::SetUp();
        savesetting(registryClock);
        addClock(L"Bob's clock", savedClock);
        addStage(L"09:00:00", L"10:00:00", L"Bob's clock", L"董事会");
    }

    ClockSetting registryClock = someClock(45, L"等待");
    ClockSetting savedClock = someClock(300, L"茶歇");
};

TEST_F(StageLookupTest, StageCoversNowFromExactlyItsStartUpToItsEnd) {
    ClockSetting setting;
    setting.Time_all = at(0, 5, 0);
    StageLookup found = lookupStage(at(9, 0, 0), setting);
    EXPECT_EQ(found.state, StageState::Covering);
    EXPECT_EQ(found.stageperiod, L"09:00:00\\10:00:00");
    EXPECT_EQ(found.titletext, L"董事会");
    ClockSetting expected = savedClock;
    expected.Time_all = at(0, 5, 0);
    EXPECT_EQ(setting, expected);
}

// In the second a run ends the stage must not be found again: that replayed its start sound,
// banner and blink, and made the next stage start a second late.
TEST_F(StageLookupTest, InItsEndSecondAStageHandsOverToTheNextOrToTheDaysEnd) {
    struct Case {
        TimeOfDay now;
        StageState state;
        const wchar_t* period;
    } cases[] = {
        {at(9, 59, 59), StageState::Covering, L"09:00:00\\10:00:00"},
        {at(10, 0, 0), StageState::DayOver, L"00:00\\00:00"},
    };
    for (const Case& c : cases) {
        ClockSetting setting;
        StageLookup found = lookupStage(c.now, setting);
        EXPECT_EQ(found.state, c.state) << win::toUtf8(formatHms(c.now));
        EXPECT_EQ(found.stageperiod, c.period) << win::toUtf8(formatHms(c.now));
    }
    addStage(L"10:00:00", L"10:20:00", L"Bob's clock", L"第二位");
    ClockSetting setting;
    StageLookup next = lookupStage(at(10, 0, 0), setting);
    EXPECT_EQ(next.state, StageState::Covering);
    EXPECT_EQ(next.stageperiod, L"10:00:00\\10:20:00");
    EXPECT_EQ(next.titletext, L"第二位");
}

TEST_F(StageLookupTest, OneSecondBeforeTheFirstStageTheWaitRunsOnTheRegistrySettings) {
    ClockSetting setting;
    StageLookup found = lookupStage(at(8, 59, 59), setting);
    EXPECT_EQ(found.state, StageState::Waiting);
    EXPECT_EQ(found.stageperiod, L"09:00:00\\10:00:00");
    EXPECT_EQ(found.titletext, L"等待");
    ClockSetting expected = registryClock;
    expected.Time_all = at(0, 0, 1);
    EXPECT_EQ(setting, expected);
}

TEST_F(StageLookupTest, WaitsForTheEarliestLaterStage) {
    addStage(L"14:00:00", L"15:00:00", L"Bob's clock", L"下午");
    addStage(L"11:00:00", L"12:00:00", L"Bob's clock", L"上午");
    ClockSetting setting;
    StageLookup found = lookupStage(at(10, 20, 30), setting);
    EXPECT_EQ(found.state, StageState::Waiting);
    EXPECT_EQ(found.stageperiod, L"11:00:00\\12:00:00");
    EXPECT_EQ(setting.Time_all, at(0, 39, 30));
}

TEST_F(StageLookupTest, OneSecondAfterTheLastStageNoStageIsLeftToday) {
    ClockSetting setting;
    setting.Time_all = at(0, 5, 0);
    StageLookup found = lookupStage(at(10, 0, 1), setting);
    EXPECT_EQ(found.state, StageState::DayOver);
    EXPECT_EQ(found.stageperiod, L"00:00\\00:00");
    EXPECT_EQ(found.titletext, L"等待");
    EXPECT_EQ(setting, registryClock);
}

TEST_F(StageLookupTest, TheFirstStoredOfTwoCoveringStagesWins) {
    ASSERT_TRUE(exec("DELETE FROM file_list"));
    addStage(L"09:30:00", L"11:00:00", L"Bob's clock", L"后存先用");
    addStage(L"09:00:00", L"10:00:00", L"Bob's clock", L"先开始");
    ClockSetting setting;
    EXPECT_EQ(lookupStage(at(9, 45, 0), setting).titletext, L"后存先用");
}

TEST_F(StageLookupTest, ClockNamesMatchWhateverTheirCase) {
    addStage(L"13:00:00", L"14:00:00", L"BOB'S CLOCK", L"午会");
    ClockSetting setting;
    lookupStage(at(13, 30, 0), setting);
    EXPECT_EQ(setting.Time_one, 300);
}

// At start-up nothing is loaded yet: keeping "the settings in effect" gave an empty look, a
// tiny black box on black.
TEST_F(StageLookupTest, AStageWhoseClockIsNotSavedRunsOnTheRegistrySettings) {
    addStage(L"13:00:00", L"14:00:00", L"gone", L"午会");
    ClockSetting setting;
    setting.Time_all = at(0, 5, 0);
    StageLookup found = lookupStage(at(13, 0, 0), setting);
    EXPECT_EQ(found.state, StageState::Covering);
    EXPECT_EQ(found.titletext, L"午会");
    ClockSetting expected = registryClock;
    expected.Time_all = at(0, 5, 0);
    EXPECT_EQ(setting, expected);
}

// A row entered or changed by hand with a database tool: each value the clock cannot use keeps
// the value loaded before (the registry's), as the registry is read, and the stage is timed with
// the rest of its clock. Run with an empty switch or look string the face would be a tiny box.
TEST_F(StageLookupTest, ASavedValueTheClockCannotUseKeepsTheValueLoadedBefore) {
    using Keep = void (*)(ClockSetting& expected, const ClockSetting& registry);
    struct Case {
        const char* change;
        Keep keep;
    } cases[] = {
        {"checkvalue = NULL", [](ClockSetting& e, const ClockSetting& r) { e.checkvalue = r.checkvalue; }},
        {"checkvalue = ''", [](ClockSetting& e, const ClockSetting& r) { e.checkvalue = r.checkvalue; }},
        {"optvalue = ''", [](ClockSetting& e, const ClockSetting& r) { e.optvalue = r.optvalue; }},
        {"Fontselect = NULL", [](ClockSetting& e, const ClockSetting& r) { e.Fontselect = r.Fontselect; }},
        {"tellsoundname = NULL", [](ClockSetting& e, const ClockSetting& r) { e.tellsoundname = r.tellsoundname; }},
        {"tellprocesstext = NULL", [](ClockSetting& e, const ClockSetting& r) { e.tellprocesstext = r.tellprocesstext; }},
        {"clockFont = NULL", [](ClockSetting& e, const ClockSetting& r) { e.clockFont = r.clockFont; }},
        {"picturename = NULL", [](ClockSetting& e, const ClockSetting& r) { e.picturename = r.picturename; }},
        {"tiemone = 99999999999", [](ClockSetting& e, const ClockSetting& r) { e.Time_one = r.Time_one; }},
        {"tellShowtime = 70000", [](ClockSetting& e, const ClockSetting& r) { e.tellShowtime = r.tellShowtime; }},
        {"tellShowtime = 16000", [](ClockSetting& e, const ClockSetting& r) { e.tellShowtime = r.tellShowtime; }},
        {"tellShowtime = 31", [](ClockSetting& e, const ClockSetting& r) { e.tellShowtime = r.tellShowtime; }},
        {"tellShowtime = -3", [](ClockSetting& e, const ClockSetting& r) { e.tellShowtime = r.tellShowtime; }},
        {"time_top = 'abc'", [](ClockSetting& e, const ClockSetting& r) { e.time_top = r.time_top; }},
    };
    const ClockSetting registry{TimeOfDay{}, 45, 100, 50, L"111111111111111111111", L"10010", 4,
                                L"r.wav\\r.wav\\r.wav\\r.wav", L"主持", L"等待", L"SimSun", L"1200502", L"\\0",
                                9, 12, 200, 80};
    savesetting(registry);
    for (const Case& c : cases) {
        ASSERT_TRUE(exec("DELETE FROM clocksetting"));
        addClock(L"Bob's clock", savedClock);
        ASSERT_TRUE(exec((std::string("UPDATE clocksetting SET ") + c.change).c_str()));
        ClockSetting setting;
        StageLookup found = lookupStage(at(9, 30, 0), setting);
        EXPECT_EQ(found.state, StageState::Covering) << c.change;
        EXPECT_EQ(found.titletext, L"董事会") << c.change;
        ClockSetting expected = savedClock;
        c.keep(expected, registry);
        EXPECT_EQ(setting, expected) << c.change;
    }
}

// A stages table made by another tool, without the shipped constraints: times without leading
// zeros and rows whose times are no times of day. Those read as the times they say, compared as
// times; these are passed over, and the day goes on to its end.
TEST_F(StageLookupTest, StoredTimesReadAsTheTimesTheySayAndRowsThatDoNotReadArePassedOver) {
    using Rows = std::vector<std::string>;  // start and end as SQL values, stored before the good stages
    const Rows badEnds{"'08:00:00', 'abc'", "'08:00:00', '25:61:00'", "'08:00:00', '24:00:00'",
                       "'08:00:00', NULL", "'08:00:00', ''"};
    // A row ending before it starts (or as it starts) would be waited for and then never timed.
    const Rows badLater{"'abc', 'abd'", "'25:61:00', '26:00:00'", "'23:59:30', '00:00:30'", "'16:00:00', '16:00:00'"};
    const Rows badBetween{"NULL, '12:00:00'", "'', '12:00:00'", "'11:00:00', '24:00:00'"};
    const Rows noZeros{"'9:00:00', '9:30:00'", "'8:5:0', '8:30:0'"};
    struct Case {
        const char* what;
        const Rows& extra;
        TimeOfDay now;
        StageState state;
        const wchar_t* period;
        const wchar_t* title;
        TimeOfDay timeAll;  // while no stage covers now
    } cases[] = {
        {"bad end, before the stages", badEnds, at(8, 30, 0), StageState::Waiting, L"09:00:00\\10:00:00", L"等待", at(0, 30, 0)},
        {"bad end, first stage", badEnds, at(9, 30, 0), StageState::Covering, L"09:00:00\\10:00:00", L"第一场", {}},
        {"bad end, second stage", badEnds, at(14, 0, 0), StageState::Covering, L"14:00:00\\15:00:00", L"第二场", {}},
        {"bad end, day over", badEnds, at(15, 0, 0), StageState::DayOver, L"00:00\\00:00", L"等待", {}},
        {"bad rows later, between", badLater, at(12, 0, 0), StageState::Waiting, L"14:00:00\\15:00:00", L"等待", at(2, 0, 0)},
        {"bad rows later, day over", badLater, at(15, 0, 0), StageState::DayOver, L"00:00\\00:00", L"等待", {}},
        {"bad rows between", badBetween, at(10, 30, 0), StageState::Waiting, L"14:00:00\\15:00:00", L"等待", at(3, 30, 0)},
        {"no zeros, waiting", noZeros, at(8, 0, 0), StageState::Waiting, L"08:05:00\\08:30:00", L"等待", at(0, 5, 0)},
        {"no zeros, covering", noZeros, at(8, 29, 59), StageState::Covering, L"08:05:00\\08:30:00", L"早到", {}},
        {"no zeros, stored first", noZeros, at(9, 10, 0), StageState::Covering, L"09:00:00\\09:30:00", L"早到", {}},
        {"no zeros, day over", noZeros, at(19, 30, 0), StageState::DayOver, L"00:00\\00:00", L"等待", {}},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(exec("DROP TABLE file_list"));
        ASSERT_TRUE(exec("CREATE TABLE file_list (starttime, endtime, clockname, title)"));
        for (const std::string& row : c.extra) {
            ASSERT_TRUE(exec(("INSERT INTO file_list VALUES (" + row + ", 'Bob''s clock', '早到')").c_str()));
        }
        addStage(L"09:00:00", L"10:00:00", L"Bob's clock", L"第一场");
        addStage(L"14:00:00", L"15:00:00", L"Bob's clock", L"第二场");
        ClockSetting setting;
        StageLookup found = lookupStage(c.now, setting);
        EXPECT_EQ(found.state, c.state) << c.what;
        EXPECT_EQ(found.stageperiod, c.period) << c.what;
        EXPECT_EQ(found.titletext, c.title) << c.what;
        if (c.state != StageState::Covering) {
            EXPECT_EQ(setting.Time_all, c.timeAll) << c.what;
        }
    }
}

TEST_F(MeetingDb, StageTimesAreStoredOnlyAsHhMmSs) {
    for (const wchar_t* bad : {L"9:00:00", L"09:00", L"24:00:00", L"09:00:00 PM"}) {
        EXPECT_FALSE(exec("INSERT INTO file_list VALUES (?1, '10:00:00', 'c', 't')", {bad})) << win::toUtf8(bad);
    }
    EXPECT_TRUE(exec("INSERT INTO file_list VALUES ('23:59:59', '00:00:00', 'c', 't')"));
}

// Why the file refused a read and a change, by what refused it. Another program's holds pass: its
// lock, its open that shares nothing or reading only, its range lock, its open of the journal. The
// user's rights, a folder that takes no journal, a full disk and a file that never opens or reads
// last. A hold that lets others read, or a cause that keeps only writes out, lets us read.
TEST_F(MeetingDb, EachRefusalIsReadAsItsCause) {
    struct Case {
        Hold hold;
        Written read, write;
        bool onOpenConnection = false;  // met by a statement, not by the open
    };
    const Written held = Written::fileBusy, done = Written::done;
    const Case cases[] = {
        {Hold::exclusive, held, held},
        {Hold::shared, done, held},
        {Hold::noSharing, held, held},
        {Hold::readSharing, done, held},
        {Hold::rangeLocked, held, held},
        {Hold::rangeLocked, held, held, true},  // a statement's IOERR
        {Hold::journalHeld, done, held},        // a statement's CANTOPEN
        {Hold::writeDenied, done, Written::readOnly},
        {Hold::noJournal, done, Written::readOnly},  // a statement's CANTOPEN
        {Hold::diskFull, done, Written::diskFull},
        {Hold::neverOpens, Written::unreadable, Written::unreadable},
        {Hold::readFails, Written::unreadable, Written::unreadable},
        {Hold::readFails, Written::unreadable, Written::unreadable, true},  // a statement's IOERR
    };
    auto read = [](sqlite3* db) {
        if (!db) return whyFailed(nullptr);
        return Query(db, "SELECT count(*) FROM timesum", {}).failed() ? whyFailed(db) : Written::done;
    };
    auto write = [](sqlite3* db) {
        auto insert = [db] { return !Query(db, "INSERT INTO timesum (filename) VALUES ('x')", {}).failed(); };
        return inTransaction(db, insert);
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(testing_support::holdName(c.hold)) + (c.onOpenConnection ? ", once open" : ""));
        {
            CountedBusyWaits waits;
            std::optional<LockedFile> lock;
            if (!c.onOpenConnection) lock.emplace(path(), c.hold);
            UniqueDatabase db = openMeetData();
            if (c.onOpenConnection) lock.emplace(path(), c.hold);
            EXPECT_EQ(read(db.get()), c.read);
            EXPECT_EQ(write(db.get()), c.write);
            EXPECT_LE(waits.takeWaitedMs(), 100);
        }
        EXPECT_TRUE(runRecords().empty());
        EXPECT_EQ(read(openMeetData().get()), Written::done);
    }
    ASSERT_TRUE(DeleteFileW(path().c_str()));
    EXPECT_EQ(read(openMeetData().get()), Written::failed);
    EXPECT_EQ(write(openMeetData().get()), Written::failed);
}

class LoadCurrentMeetingTest : public MeetingDb {
protected:
    void SetUp() override {
        MeetingDb::SetUp();
        clockSetting() = ClockSetting{};
        timingState() = TimingState{};
    }

    // A stage of a saved clock covers the clock's time.
    void boardMeetingUnderWay() {
        addClock(L"早会", someClock(300, L"茶歇"));
        addStage(L"09:00:00", L"10:00:00", L"早会", L"董事会");
        clock.setTimeOfDay(9, 30, 0);
    }

    void expectNoDatabase() {
        StageLookup found = loadCurrentMeeting();
        EXPECT_EQ(timingState().stagestate, StageState::NoDatabase);
        EXPECT_FALSE(found.stageperiod);
        EXPECT_EQ(found.titletext, clockSetting().tellShowtext);
        EXPECT_EQ(clockSetting().Time_one, 30);  // first-run default of the registry
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0].text, L"操作系统是精简版本，不支持本程序计时");
        EXPECT_EQ(messages[0].caption, L"Kelvane");
        EXPECT_EQ(messages[0].timeoutMs, 1200u);
    }
};

TEST_F(LoadCurrentMeetingTest, TheStageAtTheClocksTimeFillsTheSharedRecords) {
    boardMeetingUnderWay();
    StageLookup found = loadCurrentMeeting();
    EXPECT_EQ(found.titletext, L"董事会");
    EXPECT_EQ(timingState().stagestate, StageState::Covering);
    EXPECT_EQ(timingState().filename, L"董事会");
    EXPECT_EQ(clockSetting().Time_one, 300);
    EXPECT_TRUE(messages.empty());
}

TEST_F(LoadCurrentMeetingTest, AMissingFileIsReportedAndNotCreated) {
    DeleteFileW(path().c_str());
    expectNoDatabase();
    EXPECT_EQ(GetFileAttributesW(path().c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(LoadCurrentMeetingTest, ADamagedFileIsReported) {
    testing_support::writeFile(path(), std::string(4096, 'x'));
    expectNoDatabase();
}

TEST_F(LoadCurrentMeetingTest, WhileTheFileStaysUnreadableItIsReportedOnceNotAtEveryTry) {
    DeleteFileW(path().c_str());
    expectNoDatabase();
    loadCurrentMeeting();
    loadCurrentMeeting();
    EXPECT_EQ(messages.size(), 1u);
}

// Another program holding the file (a backup, a database tool) is waited for only a moment: the
// lookup runs on the clock's thread. Held so that it cannot be read, whether by a lock or by an
// open that shares nothing, or refused to us, nothing is read, taken or said, and the caller
// tries again later; held shared, the stage still reads.
TEST_F(LoadCurrentMeetingTest, AHeldFileIsWaitedForOnlyAMomentAndNothingChangesUntilItReads) {
    boardMeetingUnderWay();
    for (Hold hold : testing_support::kEveryHold) {
        SCOPED_TRACE(testing_support::holdName(hold));
        timingState().stagestate = StageState::Waiting;
        clockSetting() = ClockSetting{};
        CountedBusyWaits waits;
        LockedFile lock(path(), hold);
        StageLookup found = loadCurrentMeeting();
        // The bound is what the clock's face may stall; the wait chosen, not the time it took.
        EXPECT_LE(waits.takeWaitedMs(), 100);
        bool reads = hold == Hold::shared || hold == Hold::readSharing || hold == Hold::journalHeld;
        EXPECT_EQ(found.fileBusy, !reads);
        EXPECT_EQ(timingState().stagestate, reads ? StageState::Covering : StageState::Waiting);
        EXPECT_EQ(clockSetting().Time_one, reads ? 300 : 0);
        lock.release();
        EXPECT_EQ(loadCurrentMeeting().state, StageState::Covering);
    }
    EXPECT_TRUE(messages.empty());
}

// A cause that lasts is told once, as what it is, and the clock is not left waiting for it: a file
// that never opens is a file that cannot be read; one that keeps only writes out still gives
// the stage.
TEST_F(LoadCurrentMeetingTest, ACauseThatLastsIsToldOnceAsWhatItIs) {
    boardMeetingUnderWay();
    for (Hold cause : testing_support::kLastingCauses) {
        SCOPED_TRACE(testing_support::holdName(cause));
        timingState().stagestate = StageState::Waiting;
        messages.clear();
        LockedFile lock(path(), cause);
        StageLookup found = loadCurrentMeeting();
        loadCurrentMeeting();
        EXPECT_FALSE(found.fileBusy);
        if (cause != Hold::neverOpens) {
            EXPECT_EQ(found.state, StageState::Covering);
            EXPECT_TRUE(messages.empty());
            continue;
        }
        EXPECT_EQ(found.state, StageState::NoDatabase);
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0].text, testing_support::toldFor(cause));
        lock.release();
        EXPECT_EQ(loadCurrentMeeting().state, StageState::Covering);
    }
}

class RunRecordTest : public MeetingDb {
protected:
    TimingState run() {
        TimingState t;
        t.set_time = L"09:00:00";
        t.use_time = L"10:00:00";
        t.out_time = 90500;
        t.pause_time = 91500;
        t.filename = L"Bob's 董事会";
        return t;
    }
};

TEST_F(RunRecordTest, RecordsTheRunWithItsDurationsRoundedHalfToEven) {
    writeSettingNumber(L"Time_Record", 1);
    savetimerecord(run());
    savetimerecord(run());
    std::vector<Row> expected{{L"1", L"09:00:00", L"10:00:00", L"00:01:30", L"00:01:32", L"Bob's 董事会"},
                              {L"2", L"09:00:00", L"10:00:00", L"00:01:30", L"00:01:32", L"Bob's 董事会"}};
    EXPECT_EQ(runRecords(), expected);
}

TEST_F(RunRecordTest, ADurationOutsideADayLeavesItsFieldUnset) {
    writeSettingNumber(L"Time_Record", 1);
    TimingState t = run();
    t.out_time = -2000;
    t.pause_time = 86400000;
    savetimerecord(t);
    std::vector<Row> expected{{L"1", L"09:00:00", L"10:00:00", std::nullopt, std::nullopt, L"Bob's 董事会"}};
    EXPECT_EQ(runRecords(), expected);
}

TEST_F(RunRecordTest, WithTheSwitchOffNoRowIsAdded) {
    savetimerecord(run());
    writeSettingNumber(L"Time_Record", 0);
    savetimerecord(run());
    EXPECT_TRUE(runRecords().empty());
}

// The record is written at the end of a run, on the clock's thread: it waits only a moment.
TEST_F(RunRecordTest, ARunThatCannotBeWrittenNowIsWrittenAtTheNextChanceInOrder) {
    writeSettingNumber(L"Time_Record", 1);
    TimingState first = run();
    first.filename = L"第一场";
    for (Hold hold : testing_support::kEveryHold) {
        SCOPED_TRACE(testing_support::holdName(hold));
        ASSERT_TRUE(exec("DELETE FROM timesum"));
        {
            CountedBusyWaits waits;
            LockedFile lock(path(), hold);
            savetimerecord(first);  // meets the hold and keeps the row
            EXPECT_NE(flushRunRecords(), Written::done);
            EXPECT_LE(waits.takeWaitedMs(), 100);
        }
        savetimerecord(run());
        std::vector<Row> records = runRecords();
        ASSERT_EQ(records.size(), 2u);
        EXPECT_EQ(records[0][5], L"第一场");
        EXPECT_EQ(records[1][5], L"Bob's 董事会");
        EXPECT_EQ(flushRunRecords(), Written::done);
    }
}

// A run refused for a cause that lasts is told once, with the cause, by the retry after the run
// (a box inside the clock's tick would hold the clock up), neither at every try nor for the next
// run under the same cause; another program's hold is waited out without a word. Either way the
// runs are written once the cause goes.
TEST_F(RunRecordTest, ARunRefusedForACauseThatLastsIsToldOnceAndWrittenOnceTheCauseGoes) {
    writeSettingNumber(L"Time_Record", 1);
    // A try of the retry timer comes within this.
    constexpr DWORD kRetryWithin = 1300;
    const struct {
        Hold hold;
        bool told;
    } cases[] = {{Hold::writeDenied, true}, {Hold::diskFull, true}, {Hold::neverOpens, true},
                 {Hold::readSharing, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing_support::holdName(c.hold));
        ASSERT_TRUE(exec("DELETE FROM timesum"));
        messages.clear();
        {
            LockedFile lock(path(), c.hold);
            savetimerecord(run());
            EXPECT_TRUE(messages.empty()) << "told inside the clock's tick";
            pumpUntil([&] { return !messages.empty(); }, kRetryWithin);
            savetimerecord(run());
            pumpUntil([] { return false; }, kRetryWithin);
        }
        if (c.told) {
            ASSERT_EQ(messages.size(), 1u);
            EXPECT_EQ(messages[0].text, std::wstring(L"有计时记录未能写入 MeetData.db\r\n") +
                                            testing_support::toldFor(c.hold));
        } else {
            EXPECT_TRUE(messages.empty());
        }
        EXPECT_TRUE(pumpUntil([&] { return runRecords().size() == 2; }, 2 * kRetryWithin));
        EXPECT_EQ(messages.size(), c.told ? 1u : 0u);
    }
}

// The runs waiting for the file are the process's: one test's must not land in the database of
// the next.
TEST_F(RunRecordTest, ARunLeftWaitingByOneTestIsNotWrittenIntoTheNext) {
    writeSettingNumber(L"Time_Record", 1);
    {
        LockedFile lock(path());
        savetimerecord(run());
    }
    TearDown();
    SetUp();
    EXPECT_EQ(flushRunRecords(), Written::done);
    EXPECT_TRUE(runRecords().empty());
}

// What still waits for a held file as the program ends is named in one box.
TEST_F(RunRecordTest, WhatStillWaitsAtExitIsNamedInOneBox) {
    writeSettingNumber(L"Time_Record", 1);
    const std::wstring records = L"有计时记录未能写入 MeetData.db";
    const std::wstring sites = L"有窗口位置未能写入 TimeData.db";
    struct Case {
        bool record, site;
        std::wstring told;
    };
    const Case cases[] = {{true, false, records}, {false, true, sites}, {true, true, records + L"\r\r" + sites}};
    const std::wstring ini = folder + L"\\TimeData.db";
    testing_support::writeFile(ini, "[clocksite]\r\n");
    for (const Case& c : cases) {
        SCOPED_TRACE(win::toUtf8(c.told));
        messages.clear();
        {
            LockedFile lock(path());
            win::UniqueFile held(c.site ? CreateFileW(ini.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)
                                        : INVALID_HANDLE_VALUE);
            if (c.site) saveclocksite(120, 240);
            if (c.record) savetimerecord(run());
            writeWhatWaitsBeforeExit();
        }
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0].text, c.told);
        // Written once the files are free again.
        EXPECT_EQ(flushRunRecords(), Written::done);
        EXPECT_TRUE(writePendingSites());
    }
    EXPECT_EQ(runRecords().size(), 2u);
    EXPECT_EQ(readWindowPosition(kClockSite).left, 120);
}

TEST_F(RunRecordTest, AMissingFileIsNeitherCreatedNorReported) {
    writeSettingNumber(L"Time_Record", 1);
    DeleteFileW(path().c_str());
    savetimerecord(run());
    EXPECT_EQ(GetFileAttributesW(path().c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(messages.empty());
}

}  // namespace
