#pragma once
// Drives the real Velmora.exe from outside, as a user or another program would: starts it in a
// program folder of the test's own, finds its windows, reads and answers its message boxes.
#include <windows.h>

#include <chrono>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "shell/time_rules.h"
#include "tests/test_support.h"
#include "win/controls.h"
#include "win/handles.h"

namespace driver {

using namespace std::chrono_literals;

// Polls `condition` until it holds or the deadline passes.
bool waitFor(const std::function<bool()>& condition, std::chrono::milliseconds deadline = 10s);

// A program folder holding a copy of the built program and its shipped files.
std::wstring makeProgramFolder();
// Copies the built program into `folder`, and the shipped database when the folder has none.
void installProgram(const std::wstring& folder);

// Saves the whole desktop, every monitor, as a BMP file (a test artefact); false when it could not.
bool saveScreenshot(const std::wstring& name);

// The time of day by the system's clock, whatever clock the test installed for the program's code.
shell::TimeOfDay realTimeOfDay();

// A stage for a program started right after it is placed: it begins `lead` seconds from now and
// lasts `length`. The lead is what the slowest start leaves (a loaded machine shows the clock
// 10 s late); the test checks it was met rather than hopes so. Nothing when it would end less than
// a minute before midnight.
struct StagePeriod {
    shell::TimeOfDay start, end;
};
std::optional<StagePeriod> stageAhead(int lead, int length);
// The lead for a stage the program must wait for.
constexpr int kStartLead = 15;

// Repaints the window with every control now, before a picture is taken of it.
void paintNow(HWND w);

// Runs xdotool with `args` on the X display the program shows on (mouse and keys as a user's).
// Wine cannot wait for a Unix program, so this returns at once: wait for what it does instead.
bool xdotool(const std::wstring& args);
// Drags `window` with the left button from `from` to `to` (screen pixels) in a few steps. The
// press and a small first step go first: a move with the button down reaches a window only while
// the mouse is on it, so it must land on the window pressed before that window can start the
// system's drag. The rest waits until the window's thread runs that drag, or it would be missed.
bool dragWindow(HWND window, POINT from, POINT to);

// A window's text as another program reads it; the banners keep their caption there.
std::wstring windowText(HWND w);

// A control's text asked from the control itself: an edit of another process keeps it there.
std::wstring controlText(HWND w);

// A child of `parent` by its class and text, as another program finds it.
HWND findChild(HWND parent, const wchar_t* cls, const std::wstring& text);

// A control of a window by its name and index, as the window's layout numbers it (null while the
// window has not made it).
HWND layoutControl(HWND window, const std::vector<win::ControlDesign>& layout, const wchar_t* name, int index = 0);
// Tells `window` that its child did `code` (a click, a change of selection), as the child would.
void notify(HWND window, HWND child, WORD code);

// A top-level window of any process by caption.
HWND anyWindow(const std::wstring& caption);

class Program {
public:
    // Runs `exeName` of `folder`: the program, or a helper program the test put there.
    explicit Program(const std::wstring& folder, std::wstring exeName = L"Velmora.exe");
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;
    ~Program();  // ends the process if the test left it running

    bool start();
    bool running() const;
    bool waitExit(std::chrono::milliseconds deadline = 10s);
    DWORD exitCode() const;
    DWORD processId() const { return pid_; }

    // A top-level window of this process by caption (and class when given).
    HWND window(const std::wstring& caption, const wchar_t* className = nullptr) const;
    HWND waitWindow(const std::wstring& caption, const wchar_t* className = nullptr,
                    std::chrono::milliseconds deadline = 10s) const;
    // A top-level window of this process by class, whatever its caption.
    HWND waitWindowOfClass(const wchar_t* className, std::chrono::milliseconds deadline = 10s) const;
    // The main clock once it shows; null when it did not within the deadline.
    HWND waitClockShown(std::chrono::milliseconds deadline = 30s) const;

private:
    std::wstring folder_;
    std::wstring exeName_;
    win::UniqueFile process_;
    DWORD pid_ = 0;
};

// The message text once the box is on screen (empty when it never shows).
std::wstring shownBoxText(HWND box);
// Presses the button of a message box whose caption is `label`.
bool pressButton(HWND box, const std::wstring& label);

// Opens the tray menu as a right click on the icon does; the menu's window once it shows
// (nothing when not asked to wait for it).
HWND openTrayMenu(const Program& p, HWND hub, bool waitForIt = true);
// Presses each key in turn on `w` (a popup menu's own loop takes them as typed ones).
void pressKeys(HWND w, std::initializer_list<WPARAM> keys);
// Chooses the tray menu's item that `keys` lead to; true once the menu has closed.
bool chooseTrayItem(const Program& p, HWND hub, std::initializer_list<WPARAM> keys);
// The settings dialog once its load has made its tabs (it is found by its caption before that).
HWND waitSettingsDialog(const Program& p);
// Keys to items of the tray menu (its often-used submenu, there while clocks are saved, comes
// before 计时统计).
inline constexpr std::initializer_list<WPARAM> kSettingsKeys{VK_DOWN, VK_DOWN, VK_RETURN};
inline constexpr std::initializer_list<WPARAM> kExitKeys{VK_UP, VK_RETURN};
// Clicks the menu's last item with the mouse.
bool clickLastItem(HWND menu);

// True when no program holds the hotkey: it can be registered now.
bool hotkeyFree(UINT modifiers, UINT key);

// A test of the real program, which runs from a program folder of the test's own.
class ProgramFolderTest : public testing_support::ProgramTest {
protected:
    void SetUp() override;
    void TearDown() override;

    std::wstring programFolder;
};

// A run of the real program through a short stage of the day: one saved clock that times it,
// recording on, the program installed in the test's folder.
class StageAheadTest : public testing_support::MeetDataTest {
protected:
    // Places a stage of `length` seconds titled `title` once everything else is set up and starts
    // `p`; the clock must show before the stage begins. `stage` stays empty when it is too close
    // to midnight for a stage today: the case is then skipped.
    void startBeforeAStage(Program& p, int length, const std::wstring& title);

    std::optional<StagePeriod> stage;
    HWND glass = nullptr;  // the main clock
};

}  // namespace driver
