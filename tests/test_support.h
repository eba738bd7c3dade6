#pragma once
// What every test starts from: a fresh program folder, no settings in the registry, message
// boxes recorded instead of shown, and a clock the test drives.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "shell/run_records.h"
#include "shell/wall_clock.h"
#include "win/auto_message.h"

namespace testing_support {

class FakeClock final : public shell::WallClock {
public:
    uint32_t tick = 1000;
    SYSTEMTIME time{2026, 12, 3, 9, 9, 0, 0, 0};
    uint32_t tickCount() override { return tick; }
    SYSTEMTIME localTime() override { return time; }
    void setTimeOfDay(int h, int m, int s, int ms = 0);
    void advance(uint32_t ms);  // moves both the tick count and the time of day

    // A pause is counted and then waited for real, after `onPause` has run when a test set it.
    int pauses = 0;
    std::function<void()> onPause;
    void pause(uint32_t ms) override;
};

// No clock settings, no run state, and the screen size the windows take at a run start.
void resetSharedState();

// Deletes a key of HKEY_CURRENT_USER with everything below it.
void deleteUserKey(const wchar_t* path);

class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    std::wstring folder;                             // the fresh program folder
    std::vector<win::MessageShown> messages;         // boxes the code showed
    int messageAnswer = IDOK;                        // the button the "user" presses
    FakeClock clock;
};

// A new meeting database at `path` with the program's tables and no rows.
bool makeMeetData(const std::wstring& path);

// The program folder holds a new, empty meeting database; the test reads and writes it on
// connections of its own.
class MeetDataTest : public ProgramTest {
protected:
    void SetUp() override;

    using Row = std::vector<std::optional<std::wstring>>;  // nothing for NULL

    std::wstring path() const;
    // Runs one statement with text parameters; the rows it gives, nothing when refused.
    std::optional<std::vector<Row>> exec(const char* sql, const std::vector<std::wstring>& texts = {});
    void addStage(const std::wstring& start, const std::wstring& end, const std::wstring& clock,
                  const std::wstring& title);
    void addClock(const std::wstring& name, const shell::ClockSetting& c, int id = 1);
};

// The whole desktop, every monitor, as a 24-bit bottom-up bitmap; empty when it could not be read.
struct Screenshot {
    BITMAPINFOHEADER header{};
    std::string bits;
};
Screenshot takeScreenshot();

// The hub loaded, without its start kick: tests that open the hub's menus and dialogs. Every
// window is unloaded before the objects go: a window destroyed together with its object runs
// its WM_DESTROY over members that are already gone.
class HubTest : public MeetDataTest {
protected:
    void SetUp() override;
    void TearDown() override;
};

// Runs this thread's messages (its timers' ticks included) until `done`, for up to `limitMs`;
// whether it came to that.
bool pumpUntil(const std::function<bool()>& done, DWORD limitMs = 5000);
// The menu's item texts, and the positions of its checked items.
std::vector<std::wstring> itemTexts(HMENU menu);
std::vector<int> checkedItems(HMENU menu);

std::wstring makeTempFolder();
// True while a process of that file name runs, this program's or another's.
bool processRunning(const wchar_t* exeName);
// A file the build put beside the test programs.
std::wstring besideTestPrograms(std::wstring_view name);
// A file of the program folder the build made (Velmora.exe, help.chm), beside the test programs'.
std::wstring inBuiltProgramFolder(std::wstring_view name);
void removeTree(const std::wstring& folder);
void writeFile(const std::wstring& path, const std::string& bytes);
// The file's bytes; empty when it cannot be read.
std::string readFile(const std::wstring& path);

}  // namespace testing_support
