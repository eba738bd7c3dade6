// Whole slide shows in each host variant, the timers run on a virtual clock: the values
// published at begin and taken away at the end, the countdown with the clock program's pushed
// time, the warning jump, every end-of-time action, the per-slide time-up and the host quit, also
// beside a show of another host and across a show change under a box.
#include <algorithm>
#include <memory>

#include "addin/addin_setting.h"
#include "addin/siblings.h"
#include "addin/slide_show_events.h"
#include "addin/stores.h"
#include "addin/wpsv8.h"
#include "host_fixture.h"
#include "virtual_clock.h"

namespace addin_test {
namespace {

using addin::HostVariant;
using fake::Flavour;

constexpr wchar_t kDeck[] = L"汇报.pptx";
constexpr wchar_t kEndText[] = L"时间到!";
constexpr wchar_t kEndTitle[] = L"Kelvane";
constexpr const wchar_t* kRunFlags[] = {L"exitpptpd", L"exitpagepd", L"pptname"};
constexpr const wchar_t* kShowEndDeletes[] = {L"exitpptpd", L"exitpagepd", L"pptname",
                                              L"timershow", L"timerpause", L"time"};

// A checkvalue with the given 1-based flags on.
std::wstring flags(std::initializer_list<size_t> on) {
    std::wstring value(26, L'0');
    for (size_t f : on) value[f - 1] = L'1';
    return value;
}

bool called(const fake::ShowModel& shows, const std::wstring& call) {
    return std::find(shows.calls.begin(), shows.calls.end(), call) != shows.calls.end();
}

// Makes a host reachable as the running program of a ProgID, as WPS registers itself.
class RunningAs {
public:
    RunningAs(IDispatch* app, const wchar_t* progId) : key_(std::wstring(progId) + L"\\CLSID") {
        CoCreateGuid(&clsid_);
        wchar_t text[64] = {};
        StringFromGUID2(clsid_, text, 64);
        RegSetKeyValueW(HKEY_CLASSES_ROOT, key_.c_str(), nullptr, REG_SZ, text,
                        static_cast<DWORD>((lstrlenW(text) + 1) * sizeof(wchar_t)));
        RegisterActiveObject(app, clsid_, ACTIVEOBJECT_STRONG, &cookie_);
    }
    ~RunningAs() {
        RevokeActiveObject(cookie_, nullptr);
        RegDeleteTreeW(HKEY_CLASSES_ROOT, key_.substr(0, key_.find(L'\\')).c_str());
        RegDeleteKeyW(HKEY_CLASSES_ROOT, key_.substr(0, key_.find(L'\\')).c_str());
    }
    RunningAs(const RunningAs&) = delete;
    RunningAs& operator=(const RunningAs&) = delete;

private:
    std::wstring key_;
    CLSID clsid_{};
    DWORD cookie_ = 0;
};

// A show timed in a host of the test's own making; the library itself can be connected to
// further hosts beside it.
class ShowTest : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        addin::addinSetting() = {};
        installSibling(addin::kClockProgram, true);
        settings(flags({1, 4, 5, 20}), 1, 5);
    }

    void TearDown() override {
        events.reset();
        host.reset();
        HostTest::TearDown();
    }

    // What the settings program leaves: a show of 155 s.
    static void settings(const std::wstring& checkvalue, int endEvent, int timeThree) {
        setRegistryText(kMirthwell, L"Time_all", L"0:02:35");
        setRegistryText(kMirthwell, L"Time_three", std::to_wstring(timeThree));
        setRegistryText(kMirthwell, L"checkvalue", checkvalue);
        setRegistryText(kMirthwell, L"EndEvent", std::to_wstring(endEvent));
        setRegistryText(kMirthwell, L"tellShowtittle", kEndTitle);
        setRegistryText(kMirthwell, L"tellShowtext", kEndText);
        setRegistryText(kHarrowby, L"checkvalue", checkvalue);
    }

    void open(const HostVariant& variant, Flavour flavour, const wchar_t* path) {
        host = std::make_unique<fake::Host>(path, L"16.0", std::vector<std::wstring>{}, flavour);
        host->shows.decks = {fake::Deck{kDeck}};
        events = std::make_unique<addin::SlideShowEvents>(variant, win::Dispatch::share(host->app()),
                                                          addin::TimerDrive::Manual);
        clock = std::make_unique<VirtualClock>(events->window().timers());
    }

    // The show begins and the clock program it started runs.
    void begin(size_t deck = 0) {
        host->shows.begin(deck);
        for (int waited = 0; !addin::clockRunning() && waited < 10000; waited += 50) Sleep(50);
    }

    // Lets the show run until `ms` after its begin.
    void runUntil(unsigned ms) { clock->run(ms - clock->now()); }

    addin::ShowWindow& window() { return events->window(); }

    std::unique_ptr<fake::Host> host;
    std::unique_ptr<addin::SlideShowEvents> events;
    std::unique_ptr<VirtualClock> clock;
};

// --- show begin and end ------------------------------------------------------------------

struct BeginCase {
    const char* name;
    int handmode;
    std::wstring checkvalue;
    bool listed;
    bool published;  // the per-show values and the run flags
    bool countdown;  // Timer1 armed
    bool watcher;    // Timer6 armed
};

class ShowBegin : public ShowTest, public ::testing::WithParamInterface<BeginCase> {};

TEST_P(ShowBegin, PublishesTheShowAndArmsTheWindow) {
    const BeginCase& c = GetParam();
    setRegistryNumber(kHarrowby, L"handmode", static_cast<DWORD>(c.handmode));
    setRegistryText(kHarrowby, L"checkvalue", c.checkvalue);
    if (c.listed) addin::iniWrite(L"file", L"flieall", L"别的.pptx,汇报.pptx");
    open(addin::kPowerPoint, Flavour::PowerPoint, kPowerPointPath);
    host->shows.decks[0].slides = 12;
    begin();

    EXPECT_EQ(siblingStarts(1).size(), 1u) << "the clock program is started when it does not run";
    EXPECT_EQ(registryText(kHarrowby, L"handname"), kDeck);
    EXPECT_EQ(registryText(kHarrowby, L"exitpptpd").has_value(), c.published);
    EXPECT_EQ(registryText(kMirthwell, L"currentcount"), c.published ? std::optional<std::wstring>(L"12") : std::nullopt);
    EXPECT_EQ(registryText(kHarrowby, L"pptname").has_value(), c.published);
    EXPECT_EQ(window().Timer1.enabled(), c.countdown);
    EXPECT_EQ(window().Timer6.enabled(), c.watcher);

    setRegistryText(kHarrowby, L"clockopen", L"1");
    host->shows.end(0);
    EXPECT_EQ(registryText(kHarrowby, L"handname"), L"1");
    for (const wchar_t* name : kShowEndDeletes) EXPECT_FALSE(registryText(kHarrowby, name)) << name;
    EXPECT_TRUE(registryText(kHarrowby, L"clockopen")) << "the end takes only the show's own values";
    EXPECT_EQ(registryText(kMirthwell, L"currentppt").has_value(), c.published);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, ShowBegin,
    ::testing::Values(BeginCase{"timing_on", 0, flags({1}), false, true, true, true},
                      BeginCase{"hand_mode", 1, flags({1}), false, false, false, false},
                      BeginCase{"timing_off", 0, flags({}), false, true, false, true},
                      BeginCase{"timing_off_but_listed", 0, flags({}), true, true, true, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ShowTest, ASecondShowWindowLeavesTheTimerWindowAlone) {
    open(addin::kPowerPoint, Flavour::PowerPoint, kPowerPointPath);
    host->shows.decks.push_back(fake::Deck{L"第二.pptx"});
    begin();
    runUntil(2000);
    std::wstring label = window().Label2;
    begin(1);
    EXPECT_EQ(window().Label2, label) << "the running countdown goes on";
    host->shows.end(1);
    EXPECT_TRUE(window().Timer1.enabled()) << "ending one of two shows stops nothing";
    EXPECT_TRUE(registryText(kHarrowby, L"exitpptpd"));
}

TEST_F(ShowTest, AnotherHostComingAndGoingLeavesTheTimedShowRunning) {
    open(addin::kPowerPoint, Flavour::PowerPoint, kPowerPointPath);
    begin();
    runUntil(4000);
    for (const wchar_t* path : {kWpsPath, kPowerPointPath}) {
        fake::Host second(path, L"16.0", {L"Menu Bar", L"Slide Show"});
        addin = create();
        connect(second);
        runUntil(clock->now() + 1000);
        disconnect();
    }
    runUntil(150000);
    EXPECT_FALSE(called(host->shows, L"Exit")) << "the show runs to its own end";
    runUntil(160000);
    EXPECT_TRUE(called(host->shows, L"Exit"));

    // A host that ended without its disconnection left its flags: the next connection takes them.
    setRegistryNumber(kHarrowby, L"exitpptpd", 1);
    fake::Host third(kPowerPointPath, L"16.0", {L"Slide Show"});
    addin = create();
    connect(third);
    EXPECT_FALSE(registryText(kHarrowby, L"exitpptpd"));
    disconnect();
}

struct OtherShowCase {
    const char* name;
    const wchar_t* path;
    Flavour flavour;
    bool untimed;   // a preview that is not timed
    bool timesOut;  // ended by its own time-up rather than by its presenter
};

class AnotherHostsShow : public ShowTest, public ::testing::WithParamInterface<OtherShowCase> {};

// A talk of 20 s is timed here; meanwhile the library, connected to a second host as in a process
// of its own, follows a show there that begins and ends.
TEST_P(AnotherHostsShow, EndingLeavesTheTalkHereToItsOwnEnd) {
    const OtherShowCase& c = GetParam();
    setRegistryText(kMirthwell, L"Time_all", L"0:00:20");
    open(addin::kPowerPoint, Flavour::PowerPoint, kPowerPointPath);
    begin();
    runUntil(5000);

    fake::Host second(c.path, L"16.0", {L"Menu Bar", L"Slide Show"}, c.flavour);
    second.shows.decks = {fake::Deck{L"校对.pptx"}};
    connect(second);
    if (c.untimed) setRegistryText(kHarrowby, L"checkvalue", flags({}));
    if (c.timesOut) setRegistryText(kMirthwell, L"Time_all", L"0:00:01");
    second.shows.begin(0);
    if (!c.timesOut) second.shows.end(0);
    ASSERT_TRUE(pumpUntil([&] { return second.shows.shows.empty(); }, 20000));
    EXPECT_EQ(called(second.shows, L"Exit"), c.timesOut);

    runUntil(20000);
    EXPECT_FALSE(called(host->shows, L"Exit")) << "the talk here goes on";
    runUntil(22000);
    EXPECT_TRUE(called(host->shows, L"Exit")) << "and ends by its own time";
    EXPECT_FALSE(registryText(kHarrowby, L"exitpptpd")) << "the last show's end takes the run flags";
    disconnect();
}

INSTANTIATE_TEST_SUITE_P(
    Ends, AnotherHostsShow,
    ::testing::Values(OtherShowCase{"powerpoint_presenter", kPowerPointPath, Flavour::PowerPoint, false, false},
                      OtherShowCase{"powerpoint_preview", kPowerPointPath, Flavour::PowerPoint, true, false},
                      OtherShowCase{"wps_presenter", kWpsPath, Flavour::Wps, false, false},
                      OtherShowCase{"wps_time_up", kWpsPath, Flavour::Wps, false, true}),
    [](const auto& info) { return std::string(info.param.name); });

// The other way round: the show here ends while the second host's goes on, and with EndEvent 2
// the host here quits after it.
TEST_F(ShowTest, TheCleanUpAfterTheShowHereLeavesAnotherHostsShowItsValues) {
    settings(flags({1, 4, 5}), 2, 5);
    fake::Host second(kWpsPath, L"16.0", {L"Menu Bar", L"Slide Show"}, Flavour::Wps);
    second.shows.decks = {fake::Deck{L"校对.pptx"}};
    connect(second);
    second.shows.begin(0);
    open(addin::kPowerPoint, Flavour::PowerPoint, kPowerPointPath);
    begin();
    runUntil(3000);
    setRegistryText(kHarrowby, L"clockopen", L"1");
    addin::iniWrite(L"time", L"time", L"60000");  // the clock program's time for the show there

    host->shows.end(0);
    runUntil(clock->now() + 1000);
    EXPECT_TRUE(called(host->shows, L"Quit"));
    for (const wchar_t* name : {L"exitpptpd", L"exitpagepd", L"pptname", L"clockopen"})
        EXPECT_TRUE(registryText(kHarrowby, name)) << name;
    EXPECT_EQ(addin::iniRead(L"time", L"time", L""), L"60000");
    second.shows.end(0);
    EXPECT_FALSE(registryText(kHarrowby, L"exitpptpd")) << "the last show's end takes the run flags";
    disconnect();
}

struct HandEndCase {
    const char* name;
    bool handModeStays;  // otherwise the other host shows a talk with hand mode off again
};

class EndedInHandMode : public ShowTest, public ::testing::WithParamInterface<HandEndCase> {};

// The sibling programs switch hand mode on during the talk here, which then ends: its values
// stay, as hand mode wants. Another host comes afterwards; no show runs any more, so what its
// show's end or its connection and disconnection take away is taken.
TEST_P(EndedInHandMode, LeavesTheRunValuesToAnotherHost) {
    const HandEndCase& c = GetParam();
    open(addin::kPowerPoint, Flavour::PowerPoint, kPowerPointPath);
    begin();
    runUntil(3000);
    setRegistryNumber(kHarrowby, L"handmode", 1);
    host->shows.end(0);
    ASSERT_TRUE(registryText(kHarrowby, L"exitpptpd")) << "hand mode leaves the show's values";

    if (!c.handModeStays) setRegistryNumber(kHarrowby, L"handmode", 0);
    fake::Host second(kPowerPointPath, L"16.0", {L"Menu Bar", L"Slide Show"});
    second.shows.decks = {fake::Deck{L"校对.pptx"}};
    connect(second);
    if (!c.handModeStays) {
        second.shows.begin(0);
        second.shows.end(0);
    }
    auto runFlagsLeft = [] {
        return std::any_of(std::begin(kRunFlags), std::end(kRunFlags),
                           [](const wchar_t* name) { return registryText(kHarrowby, name).has_value(); });
    };
    EXPECT_FALSE(runFlagsLeft());
    disconnect();
    EXPECT_FALSE(runFlagsLeft());
}

INSTANTIATE_TEST_SUITE_P(Then, EndedInHandMode,
                         ::testing::Values(HandEndCase{"another_hosts_show", false},
                                           HandEndCase{"another_host_in_hand_mode", true}),
                         [](const auto& info) { return std::string(info.param.name); });

// --- countdown and end-of-time actions ---------------------------------------------------------

struct EndCase {
    const char* name;
    int endEvent;
    int timeThree;
    std::wstring checkvalue;
    bool lastJump;
    bool ended;
    bool message;
};

class EndOfTime : public ShowTest, public ::testing::WithParamInterface<EndCase> {};

TEST_P(EndOfTime, TakesTheConfiguredAction) {
    const EndCase& c = GetParam();
    settings(c.checkvalue, c.endEvent, c.timeThree);
    open(addin::kPowerPoint, Flavour::PowerPoint, kPowerPointPath);
    fake::Host other(kPowerPointPath, L"16.0", {});
    RunningAs elsewhere(other.app(), L"PowerPoint.Application");
    begin();

    runUntil(155400);  // 155 s counted from the first tick one second after the begin
    EXPECT_FALSE(called(host->shows, L"Exit")) << "too early";
    runUntil(160000);
    EXPECT_EQ(called(host->shows, L"Last"), c.lastJump);
    EXPECT_EQ(called(host->shows, L"Exit"), c.ended);
    EXPECT_EQ(host->shows.shows.empty(), c.ended);
    ASSERT_EQ(boxes->seen.size(), c.message ? 1u : 0u);
    if (c.message) {
        EXPECT_EQ(boxes->seen[0].caption, kEndTitle);
        EXPECT_NE(boxes->seen[0].text.find(kEndText), std::wstring::npos);
    }
    if (c.ended) {
        EXPECT_EQ(registryText(kHarrowby, L"handname"), L"1") << "the show-end event followed";
    }
    EXPECT_EQ(called(host->shows, L"Quit"), c.endEvent == 2);
    EXPECT_TRUE(other.shows.calls.empty()) << "another running instance is never touched";
    EXPECT_FALSE(called(host->shows, L"Close 汇报.pptx")) << "PowerPoint closes nothing itself";
}

INSTANTIATE_TEST_SUITE_P(
    Actions, EndOfTime,
    ::testing::Values(EndCase{"keep_going", 0, 5, flags({1, 4, 5, 20}), true, false, false},
                      EndCase{"message_and_end", 1, 5, flags({1, 4, 5, 20}), true, true, true},
                      EndCase{"end_without_message", 1, 5, flags({1, 4, 5}), true, true, false},
                      EndCase{"warning_at_zero_still_ends", 1, 0, flags({1, 4, 5, 20}), false, true, true},
                      EndCase{"no_warning_without_flag_5", 1, 5, flags({1, 4, 20}), false, true, true},
                      EndCase{"quit_host", 2, 5, flags({1, 4, 5}), true, true, false},
                      EndCase{"never_runs_out", 3, 5, flags({1, 4, 5, 20}), false, false, false},
                      EndCase{"out_of_range", 7, 5, flags({1, 4, 5, 20}), false, false, false},
                      EndCase{"negative", -1, 5, flags({1, 4, 5, 20}), true, false, false},
                      EndCase{"beyond_16_bits_unread", 65537, 5, flags({1, 4, 5, 20}), true, false, false}),
    [](const auto& info) { return std::string(info.param.name); });

struct LengthCase {
    const char* name;
    void (*store)();
    unsigned seconds;
};

class ShowLength : public ShowTest, public ::testing::WithParamInterface<LengthCase> {};

TEST_P(ShowLength, ThatCannotBeReadIsTheBuiltInOne) {
    GetParam().store();
    open(addin::kPowerPoint, Flavour::PowerPoint, kPowerPointPath);
    begin();
    runUntil(GetParam().seconds * 1000);
    EXPECT_FALSE(called(host->shows, L"Exit")) << "too early";
    runUntil(GetParam().seconds * 1000 + 2000);
    EXPECT_TRUE(called(host->shows, L"Exit"));
}

INSTANTIATE_TEST_SUITE_P(
    Stored, ShowLength,
    ::testing::Values(
        LengthCase{"empty", [] { setRegistryText(kMirthwell, L"Time_all", L""); }, 155},
        LengthCase{"not_a_time", [] { setRegistryText(kMirthwell, L"Time_all", L"abc"); }, 155},
        LengthCase{"a_number_counts_its_seconds", [] { setRegistryNumber(kMirthwell, L"Time_all", 200); }, 200},
        LengthCase{"ini_copy_not_a_time",
                   [] {
                       setRegistryText(kMirthwell, L"checkvalue", std::wstring(19, L'1'));
                       RegDeleteKeyValueW(HKEY_CURRENT_USER, kMirthwell, L"Time_all");
                       addin::iniWrite(L"Mirthwell", L"Time_all", L"abc");
                   },
                   155}),
    [](const auto& info) { return std::string(info.param.name); });

struct PushCase {
    const char* name;
    const wchar_t* registry;  // Harrowby time, or none
    const wchar_t* ini;       // INI section "time", or none
    bool endsAt70s;
};

class PushedTime : public ShowTest, public ::testing::WithParamInterface<PushCase> {};

TEST_P(PushedTime, ReplacesTheRemainingTime) {
    const PushCase& c = GetParam();
    open(addin::kPowerPoint, Flavour::PowerPoint, kPowerPointPath);
    begin();
    runUntil(10000);
    if (c.registry) setRegistryText(kHarrowby, L"time", c.registry);
    if (c.ini) addin::iniWrite(L"time", L"time", c.ini);
    runUntil(69500);
    EXPECT_FALSE(called(host->shows, L"Exit"));
    runUntil(70500);
    EXPECT_EQ(called(host->shows, L"Exit"), c.endsAt70s);
    EXPECT_FALSE(registryText(kHarrowby, L"time")) << "each pushed value is taken once";
    runUntil(156000);
    EXPECT_TRUE(called(host->shows, L"Exit"));
}

INSTANTIATE_TEST_SUITE_P(Values, PushedTime,
                         ::testing::Values(PushCase{"pushed_60s", L"60000", nullptr, true},
                                           PushCase{"pushed_800_ignored", L"800", nullptr, false},
                                           PushCase{"ini_when_none_pushed", nullptr, L" 60000 ", true},
                                           PushCase{"not_a_number", L"abc", nullptr, false}),
                         [](const auto& info) { return std::string(info.param.name); });

struct HostCase {
    const char* name;
    const HostVariant* variant;
    Flavour flavour;
    const wchar_t* path;
};

class UnwritableClockProgram : public ShowTest, public ::testing::WithParamInterface<HostCase> {};

// The clock program runs from a folder where the user may run it but not write it, as a
// per-machine install is for a standard user.
TEST_P(UnwritableClockProgram, StillRunsForTheCountdown) {
    const HostCase& c = GetParam();
    addin::startProgram(addin::besideLibrary(addin::kClockProgram));
    ASSERT_TRUE(pumpUntil(addin::clockRunning, 10000));
    WriteRefused refused(addin::kClockProgram);
    open(*c.variant, c.flavour, c.path);
    DWORD startedBefore = processesStarted();
    begin();

    runUntil(155400);
    EXPECT_FALSE(called(host->shows, L"Exit")) << "too early";
    runUntil(160000);
    EXPECT_TRUE(called(host->shows, L"Last")) << "the warning jump";
    EXPECT_TRUE(called(host->shows, L"Exit")) << "the time-up";
    EXPECT_EQ(boxes->seen.size(), 1u);
    EXPECT_EQ(processesStarted(), startedBefore) << "the running clock program is not started again";
}

INSTANTIATE_TEST_SUITE_P(
    Hosts, UnwritableClockProgram,
    ::testing::Values(HostCase{"powerpoint", &addin::kPowerPoint, Flavour::PowerPoint, kPowerPointPath},
                      HostCase{"wps", &addin::kWpsOffice, Flavour::Wps, kWpsPath}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ShowTest, TheClockProgramEndingStopsTheCountdownButNotTheShow) {
    open(addin::kPowerPoint, Flavour::PowerPoint, kPowerPointPath);
    begin();
    runUntil(20000);
    removeSiblings();
    runUntil(200000);
    EXPECT_FALSE(called(host->shows, L"Exit"));
    EXPECT_EQ(host->shows.shows.size(), 1u);
    for (win::Timer* t : window().timers()) EXPECT_FALSE(t->enabled());
}

TEST_F(ShowTest, AWithdrawnRunFlagEndsTheShowWithinOneTick) {
    open(addin::kPowerPoint, Flavour::PowerPoint, kPowerPointPath);
    begin();
    runUntil(20000);
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kHarrowby, L"exitpptpd");
    runUntil(20300);
    EXPECT_TRUE(called(host->shows, L"Exit"));
}

// --- per-slide time-up and the slide watcher ----------------------------------------------------

struct PageCase {
    const char* name;
    int step;
    const wchar_t* pagecheck;
    const wchar_t* pageendevent;
    bool inIni;  // pagetime comes from the INI file, the registry has none
    bool texts;  // pagetitle and pageword are in the registry
    const wchar_t* message;  // the caption of the message, or none
    const wchar_t* move;     // the GotoSlide call, or none
};

class PageTimeUp : public ShowTest, public ::testing::WithParamInterface<PageCase> {};

TEST_P(PageTimeUp, ShowsItsMessageAndMovesOn) {
    const PageCase& c = GetParam();
    if (c.texts) {
        setRegistryText(kMirthwell, L"pagetitle", L"本页");
        setRegistryText(kMirthwell, L"pageword", L"本页时间到");
    }
    setRegistryText(kMirthwell, L"pagecheck", c.pagecheck);
    setRegistryText(kMirthwell, L"pageendevent", c.pageendevent);
    open(addin::kPowerPoint, Flavour::PowerPoint, kPowerPointPath);
    begin();
    host->shows.shows[0].step = c.step;
    runUntil(700);
    if (c.inIni) {
        addin::iniWrite(L"pagetime", L"pagetime", L"True");
    } else {
        setRegistryText(kHarrowby, L"pagetime", L"True");
    }
    runUntil(1000);

    ASSERT_EQ(boxes->seen.size(), c.message ? 1u : 0u);
    if (c.message) {
        EXPECT_EQ(boxes->seen[0].caption, c.message);
    }
    EXPECT_EQ(called(host->shows, c.move ? c.move : L"GotoSlide"), c.move != nullptr);
    EXPECT_FALSE(registryText(kHarrowby, L"pagetime"));
    EXPECT_EQ(addin::iniRead(L"pagetime", L"pagetime", L"gone"), L"gone");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PageTimeUp,
    ::testing::Values(PageCase{"last_slide_wraps", 10, L"001", L"2", false, true, L"本页", L"GotoSlide 1"},
                      PageCase{"next_slide", 4, L"110", L"2", false, true, nullptr, L"GotoSlide 5"},
                      PageCase{"from_the_ini_file", 4, L"001", L"2", true, true, L"本页", L"GotoSlide 5"},
                      PageCase{"stay", 4, L"001", L"退出计时", false, true, L"本页", nullptr},
                      // Without its texts the registry still gives the action and the flags; the
                      // message takes the title the INI store defaults to.
                      PageCase{"without_texts", 4, L"000", L"2", false, false, nullptr, L"GotoSlide 5"},
                      PageCase{"without_texts_message", 4, L"001", L"2", false, false, L"Kelvane", L"GotoSlide 5"}),
    [](const auto& info) { return std::string(info.param.name); });

// --- a disconnection under the add-in's own box ---------------------------------------------------

struct UnderBoxCase {
    const char* name;
    const wchar_t* showLength;
    bool perSlide;   // the per-slide time-up's box; otherwise the show's end-of-time box
    bool reconnect;  // the host connects the add-in again while the box waits
};

class DisconnectedUnderItsBox : public ShowTest, public ::testing::WithParamInterface<UnderBoxCase> {};

// The library's own window and timers, as a host runs them: the host shuts the add-in down while
// the box waits, then the box is answered.
TEST_P(DisconnectedUnderItsBox, TheHostLivesAndNothingOfTheShowIsTouchedAfterwards) {
    const UnderBoxCase& c = GetParam();
    setRegistryText(kMirthwell, L"Time_all", c.showLength);
    setRegistryText(kMirthwell, L"pagetitle", L"本页");
    setRegistryText(kMirthwell, L"pageword", L"本页时间到");
    setRegistryText(kMirthwell, L"pagecheck", L"001");
    setRegistryText(kMirthwell, L"pageendevent", L"2");
    host = std::make_unique<fake::Host>(kPowerPointPath, L"16.0", std::vector<std::wstring>{});
    host->shows.decks = {fake::Deck{kDeck}};
    connect(*host);
    begin();
    if (c.perSlide) setRegistryText(kHarrowby, L"pagetime", L"True");

    size_t callsAtDisconnection = 0;
    HRESULT unloadableUnderBox = S_OK;
    boxes->whileOpen = [&] {
        SAFEARRAY* custom = nullptr;
        EXPECT_EQ(addin->OnBeginShutdown(&custom), S_OK);
        disconnect();
        addin = {};
        CoFreeUnusedLibraries();
        unloadableUnderBox = libraryCanUnload();
        if (c.reconnect) {
            addin = create();
            connect(*host);
        }
        // What the show's end would take away, set again after the disconnection took it.
        setRegistryText(kHarrowby, L"time", L"60000");
        addin::iniWrite(L"time", L"time", L"60000");
        callsAtDisconnection = host->shows.calls.size();
    };
    pumpUntil([&] { return !boxes->seen.empty(); }, 20000);
    // The box's handler has returned with the dispatch that showed it.
    ASSERT_EQ(boxes->seen.size(), 1u);
    EXPECT_EQ(boxes->seen[0].caption, c.perSlide ? L"本页" : kEndTitle);
    EXPECT_EQ(unloadableUnderBox, S_FALSE) << "the library's window still ran its handler";
    EXPECT_EQ(host->shows.calls.size(), callsAtDisconnection) << "no end, no slide move";
    EXPECT_EQ(registryText(kHarrowby, L"time"), L"60000");
    EXPECT_EQ(addin::iniRead(L"time", L"time", L""), L"60000");
    EXPECT_EQ(registryText(kHarrowby, L"pagetime").has_value(), c.perSlide);
    if (addin) disconnect();
    addin = {};
    EXPECT_EQ(libraryCanUnload(), S_OK);
}

INSTANTIATE_TEST_SUITE_P(
    Boxes, DisconnectedUnderItsBox,
    ::testing::Values(UnderBoxCase{"time_up", L"0:00:01", false, false},
                      UnderBoxCase{"per_slide_reconnected", L"0:02:35", true, true}),
    [](const auto& info) { return std::string(info.param.name); });

struct ChangedUnderBoxCase {
    const char* name;
    bool perSlide;  // the per-slide time-up's box; otherwise the show's end-of-time box
};

class ShowChangedUnderItsBox : public ShowTest, public ::testing::WithParamInterface<ChangedUnderBoxCase> {};

// While the box of a time-up waits, the presenter ends that show and the next speaker begins
// another; the host's timers run on meanwhile. The answer then belongs to a show that is gone.
TEST_P(ShowChangedUnderItsBox, TheAnswerLeavesTheNextShowAlone) {
    const ChangedUnderBoxCase& c = GetParam();
    setRegistryText(kMirthwell, L"Time_all", L"0:00:10");
    setRegistryText(kMirthwell, L"pagetitle", L"本页");
    setRegistryText(kMirthwell, L"pageword", L"本页时间到");
    setRegistryText(kMirthwell, L"pagecheck", L"001");
    setRegistryText(kMirthwell, L"pageendevent", L"2");
    open(addin::kPowerPoint, Flavour::PowerPoint, kPowerPointPath);
    begin();
    runUntil(700);
    if (c.perSlide) setRegistryText(kHarrowby, L"pagetime", L"True");
    boxes->whileOpen = [&] {
        host->shows.end(0);
        host->shows.begin(0);
        VirtualClock meanwhile(window().timers());
        meanwhile.run(3000);
    };
    runUntil(c.perSlide ? 1000 : 11000);

    ASSERT_EQ(boxes->seen.size(), 1u) << "one box for one time-up";
    EXPECT_EQ(boxes->seen[0].caption, c.perSlide ? L"本页" : kEndTitle);
    EXPECT_EQ(host->shows.shows.size(), 1u) << "the next show runs";
    EXPECT_FALSE(called(host->shows, L"Exit"));
    EXPECT_TRUE(std::none_of(host->shows.calls.begin(), host->shows.calls.end(),
                             [](const std::wstring& call) { return call.rfind(L"GotoSlide", 0) == 0; }))
        << "the next show keeps its slide";
    EXPECT_FALSE(registryText(kHarrowby, L"pagetime")) << "the time-up had its box";
    runUntil(clock->now() + 5000);
    EXPECT_FALSE(called(host->shows, L"Exit"));
    runUntil(clock->now() + 8000);
    EXPECT_TRUE(called(host->shows, L"Exit")) << "the next show ends by its own time";
}

INSTANTIATE_TEST_SUITE_P(Boxes, ShowChangedUnderItsBox,
                         ::testing::Values(ChangedUnderBoxCase{"time_up", false}, ChangedUnderBoxCase{"per_slide", true}),
                         [](const auto& info) { return std::string(info.param.name); });

// --- the WPS variants ---------------------------------------------------------------------------

struct QuitCase {
    const char* name;
    bool saved;
};

class WpsQuit : public ShowTest, public ::testing::WithParamInterface<QuitCase> {};

TEST_P(WpsQuit, ClosesOnlyASavedPresentationThenQuitsTheConnectedHost) {
    settings(flags({1, 4, 5}), 2, 5);
    open(addin::kWpsOffice, Flavour::Wps, kWpsPath);
    host->shows.decks[0].saved = GetParam().saved;
    begin();
    runUntil(157000);
    EXPECT_TRUE(called(host->shows, L"Exit"));
    EXPECT_EQ(called(host->shows, L"Close 汇报.pptx"), GetParam().saved);
    EXPECT_TRUE(called(host->shows, L"Quit"));
    EXPECT_FALSE(window().formLoaded()) << "the quit unloads the window";
}

INSTANTIATE_TEST_SUITE_P(Saved, WpsQuit, ::testing::Values(QuitCase{"saved", true}, QuitCase{"unsaved", false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ShowTest, WpsPublishesAndMovesByTheSlideIndexOfACustomShow) {
    setRegistryText(kMirthwell, L"pagecheck", L"000");
    setRegistryText(kMirthwell, L"pageendevent", L"2");
    setRegistryText(kMirthwell, L"pagetitle", L"t");
    setRegistryText(kMirthwell, L"pageword", L"w");
    open(addin::kWpsOffice, Flavour::Wps, kWpsPath);
    host->shows.decks[0].customShow = {1, 5, 9};
    begin();
    host->shows.shows[0].step = 2;
    runUntil(1000);
    EXPECT_EQ(registryText(kMirthwell, L"currentpage"), L"5");
    EXPECT_EQ(addin::iniRead(L"Mirthwell", L"currentpage", L""), L"5");
    setRegistryText(kMirthwell, L"currentpage", L"x");
    runUntil(1200);
    EXPECT_EQ(registryText(kMirthwell, L"currentpage"), L"x") << "staying on a slide writes nothing more";
    setRegistryText(kHarrowby, L"pagetime", L"True");
    runUntil(1500);
    EXPECT_TRUE(called(host->shows, L"GotoSlide 6"));
}

TEST_F(ShowTest, WpsActsOnlyWhenNoShowWindowIsLeft) {
    open(addin::kWpsOffice, Flavour::Wps, kWpsPath);
    host->shows.decks.push_back(fake::Deck{L"第二.pptx"});
    begin();
    begin(1);
    host->shows.end(1);
    EXPECT_TRUE(registryText(kHarrowby, L"exitpptpd")) << "one show is still open";
    host->shows.end(0);
    EXPECT_FALSE(registryText(kHarrowby, L"exitpptpd"));
    EXPECT_FALSE(window().Timer6.enabled());
}

TEST_F(ShowTest, WpsVersion8ReadsTheShowThatBeganAndListsTheActivePresentation) {
    fake::Host wps(kWpsPath, L"8.0", {L"Menu Bar", L"Slide Show"}, Flavour::Wps);
    wps.shows.decks = {fake::Deck{L"活动.pptx", 3}, fake::Deck{kDeck, 7}};
    auto v8 = win::ComPtr<addin::WPSV8>::adopt(new addin::WPSV8(addin::TimerDrive::Manual));
    SAFEARRAY* custom = nullptr;
    ASSERT_EQ(v8->OnConnection(wps.app(), 0, nullptr, &custom), S_OK);
    ASSERT_EQ(v8->OnStartupComplete(&custom), S_OK);
    auto menu = wps.bar(1)->captioned(addin::kSettingsCaption);
    ASSERT_EQ(menu.size(), 1u);
    EXPECT_EQ(menu[0]->number(L"faceid"), 46);

    wps.shows.begin(1);
    EXPECT_EQ(registryText(kHarrowby, L"handname"), kDeck);
    EXPECT_EQ(registryText(kMirthwell, L"currentcount"), L"7");
    EXPECT_EQ(registryText(kHarrowby, L"pptname"), L"活动.pptx");

    setRegistryNumber(kHarrowby, L"handmode", 2);
    ASSERT_EQ(v8->OnDisconnection(0, &custom), S_OK);
    EXPECT_FALSE(registryText(kHarrowby, L"exitpptpd"));
    EXPECT_EQ(wps.bar(2)->captioned(addin::kShowClockCaption).size(), 1u) << "the buttons stay";
    wps.shows.end(0);
    EXPECT_EQ(registryText(kHarrowby, L"handname"), kDeck) << "no event arrives after the disconnection";
    ASSERT_EQ(v8->OnBeginShutdown(&custom), S_OK);
}

TEST_F(ShowTest, WpsVersion8EndsClosesAndQuitsTheRunningProgram) {
    settings(flags({1, 4, 5}), 2, 5);
    fake::Host wps(kWpsPath, L"8.0", {}, Flavour::Wps);
    wps.shows.decks = {fake::Deck{kDeck}};
    RunningAs running(wps.app(), L"WPP.Application");
    auto v8 = win::ComPtr<addin::WPSV8>::adopt(new addin::WPSV8(addin::TimerDrive::Manual));
    SAFEARRAY* custom = nullptr;
    ASSERT_EQ(v8->OnConnection(wps.app(), 0, nullptr, &custom), S_OK);
    ASSERT_EQ(v8->OnStartupComplete(&custom), S_OK);
    VirtualClock v8Clock(v8->events()->window().timers());
    wps.shows.begin(0);
    for (int waited = 0; !addin::clockRunning() && waited < 10000; waited += 50) Sleep(50);

    v8Clock.run(157000);
    EXPECT_TRUE(called(wps.shows, L"Last"));
    EXPECT_TRUE(called(wps.shows, L"Close 汇报.pptx"));
    EXPECT_TRUE(called(wps.shows, L"Quit"));
    EXPECT_FALSE(registryText(kHarrowby, L"exitpptpd"));
    ASSERT_EQ(v8->OnDisconnection(0, &custom), S_OK);
}

TEST_F(ShowTest, WpsFollowsTheRunningPresentationProgramBeforeTheConnectedHost) {
    open(addin::kWpsOffice, Flavour::Wps, kWpsPath);
    fake::Host running(kWpsPath, L"9.0", {}, Flavour::Wps);
    running.shows.decks = {fake::Deck{L"运行中.pptx", 4}};
    running.shows.shows = {fake::ShowModel::Show{0}};
    RunningAs registered(running.app(), L"Kwpp.Application");
    begin();
    EXPECT_EQ(registryText(kHarrowby, L"handname"), L"运行中.pptx");
    EXPECT_EQ(registryText(kMirthwell, L"currentcount"), L"4");
}

}  // namespace
}  // namespace addin_test
