#include "addin/show_window.h"

#include <iterator>

#include "addin/addin_setting.h"
#include "addin/show_mark.h"
#include "addin/siblings.h"
#include "addin/stores.h"
#include "win/auto_message.h"

namespace addin {
namespace {

constexpr int32_t kResetSeconds = 150;
constexpr int32_t kNeverRunsOutSeconds = 1500;
constexpr unsigned kFirstCountdownMs = 1000;
constexpr unsigned kCountdownMs = 500;
constexpr int32_t kLastTickMs = 900;       // below this the countdown leaves the end to Timer2
constexpr long kPushedIgnoredUpTo = 1000;  // pushed times from 500 to here are taken as noise
constexpr long kPushedMissingBelow = 500;
constexpr int16_t kNeverRunsOut = 3;
constexpr int16_t kQuitHost = 2;
constexpr size_t kWarningFlags[] = {1, 4, 5};
constexpr size_t kEndMessageFlag = 20;
constexpr size_t kPageMessageFlag = 3;
constexpr int16_t kMoveToNextSlide = 2;
constexpr wchar_t kWindowClass[] = L"QuintrelShowWindow";
constexpr unsigned kShowWatchMs = 300;
constexpr unsigned kCleanUpMs = 100;
constexpr unsigned kPageTimeUpMs = 300;

// What the per-slide time-up shows and does.
struct PageTimeUp {
    std::wstring title, word, check;
    int16_t endEvent = 0;
};

constexpr wchar_t kPageTitleDefault[] = L"Kelvane";
constexpr wchar_t kPageWordDefault[] = L"时间到";
constexpr wchar_t kNoPageCheck[] = L"000";
constexpr wchar_t kPageEndDefault[] = L"退出计时";  // no number: the slide is left alone

PageTimeUp readPageTimeUp() {
    constexpr const wchar_t* kNames[] = {L"pagetitle", L"pageword", L"pagecheck", L"pageendevent"};
    constexpr const wchar_t* kIniDefaults[] = {kPageTitleDefault, kPageWordDefault, kNoPageCheck, kPageEndDefault};
    constexpr size_t kCount = std::size(kNames);
    std::optional<std::wstring> registry[kCount];
    bool complete = true;
    for (size_t i = 0; i < kCount; ++i) {
        registry[i] = readText(kMirthwell, kNames[i]);
        complete = complete && registry[i];
    }
    std::wstring value[kCount];  // the settings program keeps a copy in the INI file
    for (size_t i = 0; i < kCount; ++i)
        value[i] = complete ? *registry[i] : iniRead(L"Mirthwell", kNames[i], kIniDefaults[i]);
    // The INI copy switched nothing on: what the registry holds of the four counts after all, so
    // that a next-slide action stored without its texts is not lost; a missing one keeps the INI's.
    if (!complete && value[2] == kNoPageCheck)
        for (size_t i = 0; i < kCount; ++i) value[i] = registry[i].value_or(value[i]);
    PageTimeUp p;
    p.title = cutAtLineEnd(value[0]);
    p.word = cutAtLineEnd(value[1]);
    p.check = cutAtLineEnd(value[2]);
    p.endEvent = integerFromText<int16_t>(value[3]).value_or(0);
    return p;
}

// A value the settings program may change during a show; a missing one keeps the old.
void rereadEndEvent(AddinSetting& s) {
    if (auto text = readText(kMirthwell, L"EndEvent"))
        if (auto n = integerFromText<int16_t>(*text)) s.EndEvent = *n;
}

bool pageTimeIsUp() {
    if (auto text = readText(kHarrowby, L"pagetime"))
        if (auto truth = truthFromText(*text)) return *truth;
    return truthFromText(iniRead(L"pagetime", L"pagetime", L"False")).value_or(false);
}

win::Dispatch runningProgram(const wchar_t* progId) {
    CLSID clsid{};
    win::ComPtr<IUnknown> running;
    win::Dispatch found;
    if (SUCCEEDED(CLSIDFromProgID(progId, &clsid)) && SUCCEEDED(GetActiveObject(clsid, nullptr, running.put())))
        running->QueryInterface(IID_IDispatch, found.putVoid());
    return found;
}

template <void (ShowWindow::*Handler)()>
win::Timer::Handler tick(ShowWindow* window) {
    return [window] {
        try {
            (window->*Handler)();
        } catch (...) {
            // a failing step ends the tick; the next tick tries again
        }
    };
}

}  // namespace

const HostVariant kPowerPoint{.timer4Ms = 100,
                              .timer6Ms = 300,
                              .position = ShowPosition::CurrentShowPosition,
                              .closeBeforeQuit = false,
                              .runningHost = nullptr,
                              .fallBackToConnected = false,
                              .wpsPathTest = false,
                              .readsShowWindow = false,
                              .endBelowShows = 2};
const HostVariant kWpsOffice{.timer4Ms = 30,
                             .timer6Ms = 200,
                             .position = ShowPosition::SlideIndex,
                             .closeBeforeQuit = true,
                             .runningHost = L"Kwpp.Application",
                             .fallBackToConnected = true,
                             .wpsPathTest = true,
                             .readsShowWindow = false,
                             .endBelowShows = 1};
const HostVariant kWpsV8{.timer4Ms = 30,
                         .timer6Ms = 300,
                         .position = ShowPosition::SlideIndex,
                         .closeBeforeQuit = true,
                         .runningHost = L"WPP.Application",
                         .fallBackToConnected = false,
                         .wpsPathTest = false,
                         .readsShowWindow = true,
                         .endBelowShows = 1};

void writeCurrentSlide(const std::wstring& name, int position, int count) {
    writeValue(HKEY_CURRENT_USER, kMirthwell, L"currentppt", name);
    writeValue(HKEY_CURRENT_USER, kMirthwell, L"currentpage", static_cast<DWORD>(position));
    writeValue(HKEY_CURRENT_USER, kMirthwell, L"currentcount", static_cast<DWORD>(count));
}

ShowWindow::ShowWindow(const HostVariant& variant, win::Dispatch connected, TimerDrive drive)
    : Timer1(kFirstCountdownMs, tick<&ShowWindow::Timer1_Timer>(this)),
      Timer2(kShowWatchMs, tick<&ShowWindow::Timer2_Timer>(this)),
      Timer3(kCleanUpMs, tick<&ShowWindow::Timer3_Timer>(this)),
      Timer4(variant.timer4Ms, tick<&ShowWindow::Timer4_Timer>(this)),
      Timer5(kPageTimeUpMs, tick<&ShowWindow::Timer5_Timer>(this)),
      Timer6(variant.timer6Ms, tick<&ShowWindow::Timer6_Timer>(this)),
      variant_(variant),
      connected_(std::move(connected)),
      drive_(drive) {
    for (win::Timer* t : timers()) addTimer(*t);
}

ShowWindow::~ShowWindow() { unloadForm(); }

void ShowWindow::ensureLoaded() {
    if (formLoaded_) return;
    showseconds = kResetSeconds;
    remainms = kResetSeconds * 1000;
    Label2.clear();
    Label3 = L"0";
    Label6.clear();
    Timer1.interval(kFirstCountdownMs);
    host_ = variant_.runningHost ? runningProgram(variant_.runningHost) : connected_;
    if (!host_ && variant_.fallBackToConnected) host_ = connected_;
    if (drive_ == TimerDrive::Window) {
        win::WindowLayout layout;
        layout.caption = L"Form1";
        layout.width = layout.height = 210;
        layout.parent = HWND_MESSAGE;
        create(win::WindowClass{kWindowClass}, layout);
    }
    formLoaded_ = true;
}

void ShowWindow::unloadForm() {
    for (win::Timer* t : timers()) t->enabled(false);
    host_ = {};
    unload();
    formLoaded_ = false;
}

void ShowWindow::releaseHost() {
    host_ = {};
    connected_ = {};
}

void ShowWindow::resetCountdown() {
    showseconds = kResetSeconds;
    remainms = kResetSeconds * 1000;
}

void ShowWindow::Timer1_Timer() {
    Timer1.interval(kCountdownMs);
    if (!Label2.empty()) {
        countdownTick();
        return;
    }
    AddinSetting& s = addinSetting();
    loadSettings(s);
    if (timingOn(s.checkvalue)) {
        showseconds = s.Time_all;
        remainms = showseconds * 1000;
        Label2 = std::to_wstring(showseconds);
        Timer2.enabled(true);
        Timer6.enabled(true);
        return;
    }
    iniWrite(L"timer", L"timershow", L"False");
    writeValue(HKEY_CURRENT_USER, kHarrowby, L"timershow", L"False");
    if (s.EndEvent != kNeverRunsOut) deleteValue(kHarrowby, L"pptname");
    Timer1.enabled(false);
    Timer2.enabled(false);
    Timer3.enabled(false);
    Timer5.enabled(true);
    Timer6.enabled(true);
    Label2.clear();
}

void ShowWindow::countdownTick() {
    if (remainms < kLastTickMs) {
        Timer1.enabled(false);
        return;
    }
    remainms -= static_cast<int32_t>(kCountdownMs);
    Timer2.enabled(true);
    // The clock program pushes its own remaining time; each pushed value is taken once.
    long pushed = readNumber(kHarrowby, L"time");
    rereadEndEvent(addinSetting());
    deleteValue(kHarrowby, L"time");
    if (pushed < kPushedMissingBelow) {
        pushed = numberFromText(iniRead(L"time", L"time", L"0")).value_or(0);
        iniDeleteSection(L"time");
    }
    if (pushed > kPushedIgnoredUpTo) remainms = static_cast<int32_t>(pushed);
}

void ShowWindow::Timer2_Timer() {
    const AddinSetting& s = addinSetting();
    if (readNumber(kHarrowby, L"exitpptpd") == 0) {  // the clock program withdrew the show
        Timer1.enabled(false);
        Timer2.enabled(false);
        showseconds = kResetSeconds;
        remainms = 0;
    }
    if (!clockRunning()) {
        Label2.clear();
        for (win::Timer* t : {&Timer1, &Timer2, &Timer5, &Timer6}) t->enabled(false);
        resetCountdown();
        return;
    }
    if (s.EndEvent == kNeverRunsOut) remainms = kResetSeconds * 1000;
    int32_t seconds = remainms / 1000;
    // Time-up is tested first: a warning point of 0 seconds must not keep the end away.
    if (seconds <= 0) {
        timeUp();
        return;
    }
    bool warn = s.EndEvent < kNeverRunsOut;
    for (size_t flag : kWarningFlags) warn = warn && flagOn(s.checkvalue, flag);
    if (seconds == s.Time_three && warn) win::dispatchCall(showView(activePresentation(host()).get()).get(), L"Last");
}

void ShowWindow::timeUp() {
    const AddinSetting& s = addinSetting();
    for (win::Timer* t : {&Timer1, &Timer2, &Timer5, &Timer6}) t->enabled(false);
    resetCountdown();
    Label2.clear();
    switch (s.EndEvent) {
    case 0:
        Timer5.enabled(true);
        Timer6.enabled(true);
        break;
    case 1:
    case kQuitHost:
        // Answered after a disconnection or after the show went, the box ends nothing.
        if (timingOn(s.checkvalue) && flagOn(s.checkvalue, kEndMessageFlag) &&
            !askWhileShowRuns(s.tellShowtext, s.tellShowtittle))
            return;
        exitAllShows(host());  // the show-end event follows, and with it the host quit of EndEvent 2
        break;
    case kNeverRunsOut:
        Timer5.enabled(true);
        Timer6.enabled(true);
        return;
    default:
        showseconds = kNeverRunsOutSeconds;
        remainms = kNeverRunsOutSeconds * 1000;
        return;
    }
    iniDeleteSection(L"time");
    deleteValue(kHarrowby, L"time");
    Label2.clear();
    Timer1.enabled(false);
    Timer2.enabled(false);
}

bool ShowWindow::askWhileShowRuns(const std::wstring& text, const std::wstring& title) {
    unsigned changes = showChanges_;
    win::askMessage(text, title, MB_OK);
    return !unloading() && showChanges_ == changes;
}

void ShowWindow::Timer3_Timer() {
    if (readNumber(kHarrowby, L"exitpptpd") == 0) {
        Timer3.enabled(false);
        return;
    }
    if (showTimed()) return;  // the values of another host's show, not leftovers of this one
    iniDeleteSection(L"time");
    clearShowFlags();
}

void ShowWindow::Timer4_Timer() {
    Timer4.enabled(false);
    win::Dispatch app = host_;  // the host stored at connection: never another instance
    if (variant_.closeBeforeQuit) closeWhenSaved(activePresentation(app.get()).get());
    deleteRunValues({L"clockopen", L"exitpptpd", L"exitpagepd", L"pptname"});
    if (variant_.fallBackToConnected) connected_ = {};
    unloadForm();
    // Last: the host may disconnect the add-in, and with it this window, while it quits.
    win::dispatchCall(app.get(), L"Quit");
}

void ShowWindow::Timer5_Timer() {
    if (pageBoxOpen_ || !pageTimeIsUp()) return;
    PageTimeUp page = readPageTimeUp();
    if (flagOn(page.check, kPageMessageFlag)) {
        Timer5.enabled(false);
        pageBoxOpen_ = true;
        bool sameShow = askWhileShowRuns(padMessage(page.word), page.title);
        pageBoxOpen_ = false;
        if (unloading()) return;
        if (!sameShow) {  // the time-up had its box; the next show keeps its slide
            dropPageTimeUp();
            return;
        }
        Timer5.enabled(true);
    }
    if (page.endEvent == kMoveToNextSlide) {
        win::Dispatch presentation = activePresentation(host());
        win::Dispatch view = showView(presentation.get());
        int position = showPosition(view.get(), variant_.position);
        gotoSlide(view.get(), position < slideCount(presentation.get()) ? position + 1 : 1);
    }
    dropPageTimeUp();
}

void ShowWindow::dropPageTimeUp() {
    iniDeleteSection(L"pagetime");
    deleteValue(kHarrowby, L"pagetime");
}

void ShowWindow::Timer6_Timer() {
    if (!Timer5.enabled() && numberFromText(Label3).value_or(0) == 0) Timer5.enabled(true);
    win::Dispatch presentation = activePresentation(host());
    int count = slideCount(presentation.get());
    int position = showPosition(showView(presentation.get()).get(), variant_.position);
    std::wstring name = win::dispatchText(presentation.get(), L"Name");
    AddinSetting& s = addinSetting();
    if (auto checkvalue = readText(kMirthwell, L"checkvalue")) s.checkvalue = cutAtLineEnd(*checkvalue);
    rereadEndEvent(s);
    if (!Timer1.enabled() && timingOn(s.checkvalue) && s.EndEvent == kNeverRunsOut) {
        Label2.clear();  // the countdown starts again from the show length
        resetCountdown();
        Timer1.enabled(true);
        Timer2.enabled(false);
    }
    if (numberFromText(Label3) == position && Label6 == name) return;
    if (!Timer5.enabled()) return;  // a per-slide message is open; publish later
    Label3 = std::to_wstring(position);
    Label6 = name;
    writeCurrentSlide(name, position, count);
    iniWrite(L"Mirthwell", L"currentppt", name.c_str());
    iniWrite(L"Mirthwell", L"currentpage", std::to_wstring(position).c_str());
    iniWrite(L"Mirthwell", L"currentcount", std::to_wstring(count).c_str());
    Timer5.enabled(true);
}

}  // namespace addin
