#pragma once
// The hidden timer window that follows a slide show: the countdown with the clock program's
// pushed time, the warning jump, the end-of-time actions, the slide watcher, the per-slide
// time-up, the clean-up after the show and the host quit. The three host variants share it;
// what sets them apart is the data of HostVariant.
#include <cstdint>
#include <string>
#include <vector>

#include "addin/show_host.h"
#include "win/dispatch.h"
#include "win/window.h"

namespace addin {

struct HostVariant {
    unsigned timer4Ms;              // the host quit
    unsigned timer6Ms;              // the slide watcher
    ShowPosition position;          // how the current slide is read
    bool closeBeforeQuit;           // the active presentation is closed (when saved) before the quit
    const wchar_t* runningHost;     // the window attaches to this running program; null: the connected host
    bool fallBackToConnected;       // ... and uses the connected host when that program cannot be reached
    bool wpsPathTest;               // show events count only for a host whose path names WPS
    bool readsShowWindow;           // the show begin reads the presentation of the window that began
    int endBelowShows;              // a show end acts only while fewer show windows are open
};

// Frm_tixing of PowerPoint, Frm_tixing_V9 of WPS loading the Office add-in, Frm_tixing_V8 of
// WPS's own version 8 add-in model.
extern const HostVariant kPowerPoint;
extern const HostVariant kWpsOffice;
extern const HostVariant kWpsV8;

// Publishes the slide a show displays to the clock program.
void writeCurrentSlide(const std::wstring& name, int position, int count);

// Where the timers run: window timers in the host, or fired by whoever drives them (tests).
enum class TimerDrive { Window, Manual };

class ShowWindow : public win::Window {
public:
    ShowWindow(const HostVariant& variant, win::Dispatch connected, TimerDrive drive);
    ~ShowWindow() override;

    // Form_Load when the window is not loaded: fresh state, the host attached.
    void ensureLoaded();
    // Form_Unload: every timer stops and the host is let go.
    void unloadForm();
    bool formLoaded() const { return formLoaded_; }
    // The host every reading and move of the window goes to; null when there is none.
    IDispatch* host() const { return host_.get(); }
    // The connected host is gone (disconnection): nothing of it is kept.
    void releaseHost();
    const HostVariant& variant() const { return variant_; }
    std::vector<win::Timer*> timers() { return {&Timer1, &Timer2, &Timer3, &Timer4, &Timer5, &Timer6}; }
    // A show of the host began or ended: a box still open belongs to a show that is gone.
    void showBegunOrEnded() { ++showChanges_; }

    win::Timer Timer1;  // countdown
    win::Timer Timer2;  // show watch and end-of-time actions
    win::Timer Timer3;  // clean-up after the show
    win::Timer Timer4;  // host quit
    win::Timer Timer5;  // per-slide time-up
    win::Timer Timer6;  // slide watcher
    std::wstring Label2;        // show length in seconds; empty: countdown not started
    std::wstring Label3 = L"0"; // slide position last published
    std::wstring Label6;        // presentation name last published
    int32_t showseconds = 0;
    int32_t remainms = 0;

private:
    void Timer1_Timer();
    void countdownTick();
    void Timer2_Timer();
    void timeUp();
    void Timer3_Timer();
    void Timer4_Timer();
    void Timer5_Timer();
    void Timer6_Timer();
    void resetCountdown();
    // Asks the box of a time-up; whether its show still runs once the box is answered: the
    // window stays, and no show began or ended meanwhile.
    bool askWhileShowRuns(const std::wstring& text, const std::wstring& title);
    void dropPageTimeUp();

    const HostVariant& variant_;
    win::Dispatch connected_;
    win::Dispatch host_;
    TimerDrive drive_;
    bool formLoaded_ = false;
    unsigned showChanges_ = 0;
    bool pageBoxOpen_ = false;  // a show begun under the per-slide box arms Timer5 again
};

}  // namespace addin
