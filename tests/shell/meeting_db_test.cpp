#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "shell/meeting_db.h"
#include "shell/settings_registry.h"
#include "tests/test_support.h"
#include "win/text.h"

using namespace shell;

namespace {

// Another program's exclusive hold on the database file.
class LockedFile {
public:
    explicit LockedFile(const std::wstring& path) {
        sqlite3_open_v2(win::toUtf8(path).c_str(), db_.put(), SQLITE_OPEN_READWRITE, nullptr);
        EXPECT_EQ(sqlite3_exec(db_.get(), "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    }
    void release() { db_.reset(); }

private:
    UniqueDatabase db_;
};

// Every connection opened while one of these exists counts its busy waits: SQLite's own file
// system layer, with its pause between two tries at a lock counted.
class CountedBusyWaits {
public:
    CountedBusyWaits() : counting_(*(base = sqlite3_vfs_find(nullptr))) {
        counting_.zName = "counted-busy-waits";
        counting_.xSleep = &countedSleep;
        waits = 0;
        sqlite3_vfs_register(&counting_, 1);
    }
    CountedBusyWaits(const CountedBusyWaits&) = delete;
    CountedBusyWaits& operator=(const CountedBusyWaits&) = delete;
    ~CountedBusyWaits() {
        sqlite3_vfs_register(base, 1);
        sqlite3_vfs_unregister(&counting_);
    }
    int count() const { return waits; }

private:
    static int countedSleep(sqlite3_vfs*, int microseconds) {
        ++waits;
        return base->xSleep(base, microseconds);
    }
    static inline sqlite3_vfs* base = nullptr;
    static inline std::atomic<int> waits{0};
    sqlite3_vfs counting_;
};

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

// A row entered by hand with a database tool; run as it is, every switch would be off and the
// face a tiny black box.
TEST_F(StageLookupTest, ASavedClockWithMissingTextsCountsAsAnUnreadableDatabase) {
    for (const char* change : {"checkvalue = NULL", "checkvalue = ''", "optvalue = ''", "Fontselect = ''",
                               "tellsoundname = NULL", "clockFont = NULL", "picturename = NULL"}) {
        ASSERT_TRUE(exec("DELETE FROM clocksetting"));
        addClock(L"Bob's clock", savedClock);
        ASSERT_TRUE(exec((std::string("UPDATE clocksetting SET ") + change).c_str()));
        ClockSetting setting;
        EXPECT_EQ(lookupStage(at(9, 30, 0), setting).state, StageState::NoDatabase) << change;
    }
}

TEST_F(StageLookupTest, ASavedValueOutOfItsFieldsRangeCountsAsAnUnreadableDatabase) {
    ASSERT_TRUE(exec("UPDATE clocksetting SET tellShowtime = 40000"));
    ClockSetting setting;
    StageLookup found = lookupStage(at(9, 30, 0), setting);
    EXPECT_EQ(found.state, StageState::NoDatabase);
    EXPECT_FALSE(found.stageperiod);
    EXPECT_EQ(setting, registryClock);
}

// A stages table made by another tool, without the shipped constraints: times without leading
// zeros and rows whose times are no times of day. Those read as the times they say, compared as
// times; these are passed over, and the day goes on to its end.
TEST_F(StageLookupTest, StoredTimesReadAsTheTimesTheySayAndRowsThatDoNotReadArePassedOver) {
    using Rows = std::vector<std::string>;  // start and end as SQL values, stored before the good stages
    const Rows badEnds{"'08:00:00', 'abc'", "'08:00:00', '25:61:00'", "'08:00:00', '24:00:00'",
                       "'08:00:00', NULL", "'08:00:00', ''"};
    const Rows badLater{"'abc', 'abd'", "'25:61:00', '26:00:00'"};
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

class LoadCurrentMeetingTest : public MeetingDb {
protected:
    void SetUp() override {
        MeetingDb::SetUp();
        clockSetting() = ClockSetting{};
        timingState() = TimingState{};
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
    addClock(L"早会", someClock(300, L"茶歇"));
    addStage(L"09:00:00", L"10:00:00", L"早会", L"董事会");
    clock.setTimeOfDay(9, 30, 0);
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

// Another program holding the file for a moment (a backup, a database tool) is waited for.
TEST_F(LoadCurrentMeetingTest, AFileLockedForAMomentIsWaitedFor) {
    addClock(L"早会", someClock(300, L"茶歇"));
    addStage(L"09:00:00", L"10:00:00", L"早会", L"董事会");
    clock.setTimeOfDay(9, 30, 0);
    LockedFile lock(path());
    CountedBusyWaits waits;
    // The lock goes only once the load has met it and waits to try again.
    std::jthread release([&] {
        for (int i = 0; i < 500 && waits.count() == 0; ++i) Sleep(10);
        lock.release();
    });
    loadCurrentMeeting();
    release.join();
    EXPECT_GT(waits.count(), 0) << "the load never met the lock";
    EXPECT_EQ(timingState().stagestate, StageState::Covering);
    EXPECT_TRUE(messages.empty());
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

TEST_F(RunRecordTest, ARunThatCannotBeWrittenNowIsWrittenAtTheNextChanceInOrder) {
    writeSettingNumber(L"Time_Record", 1);
    TimingState first = run();
    first.filename = L"第一场";
    {
        LockedFile lock(path());
        savetimerecord(first);  // waits out the lock, then keeps the row
        EXPECT_FALSE(flushRunRecords());
    }
    savetimerecord(run());
    std::vector<Row> records = runRecords();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0][5], L"第一场");
    EXPECT_EQ(records[1][5], L"Bob's 董事会");
    EXPECT_TRUE(flushRunRecords());
}

TEST_F(RunRecordTest, RecordsStillUnwrittenAtExitAreReported) {
    writeSettingNumber(L"Time_Record", 1);
    {
        LockedFile lock(path());
        savetimerecord(run());
        flushRunRecordsBeforeExit();
    }
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, L"有计时记录未能写入 MeetData.db");
    EXPECT_TRUE(flushRunRecords());  // written once the file is free again
    EXPECT_EQ(runRecords().size(), 1u);
}

TEST_F(RunRecordTest, AMissingFileIsNeitherCreatedNorReported) {
    writeSettingNumber(L"Time_Record", 1);
    DeleteFileW(path().c_str());
    savetimerecord(run());
    EXPECT_EQ(GetFileAttributesW(path().c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(messages.empty());
}

}  // namespace
