#pragma once
// What every add-in test starts from: the library's folder (the test programs' own) without
// sibling programs and INI file, no hand-off values in the registry, and the stand-in sibling
// programs at hand.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace addin_test {

// The folder of the test program, where the library under test lives too.
std::wstring folder();

std::optional<std::wstring> registryText(const wchar_t* key, const wchar_t* name);
void setRegistryText(const wchar_t* key, const wchar_t* name, const std::wstring& value);
void setRegistryNumber(const wchar_t* key, const wchar_t* name, DWORD value);
void deleteUserKey(const wchar_t* key);

// The stand-in sibling programs; as taskkill it is found before the system's one, beside the
// test program, and ends nothing.
inline constexpr wchar_t kTaskkill[] = L"taskkill.exe";
void installSibling(const wchar_t* name, bool keepRunning);
std::vector<std::string> siblingStarts(size_t atLeast = 0);  // waits a while for that many, pumping
void removeSiblings();
// Runs this thread's messages, as a host's loop does, until `done` holds or `deadlineMs` passed;
// whether it holds.
bool pumpUntil(const std::function<bool()>& done, DWORD deadlineMs);
// While it lives, the in-use test's open of the file of that name beside the library is refused
// as a standard user's is where the file may be run but not written: Wine run as root, as the
// tests are, opens even a read-only file for writing.
class WriteRefused {
public:
    explicit WriteRefused(const wchar_t* name);
    ~WriteRefused();
    WriteRefused(const WriteRefused&) = delete;
    WriteRefused& operator=(const WriteRefused&) = delete;
};
// Processes running from a file of that name.
int runningCopies(const wchar_t* name);
// How many processes this test program has started so far, counted as they are created: a start
// shows at once, so "nothing started" needs no waiting.
DWORD processesStarted();

// The REG_DWORD a registry read left at the start of a buffer.
DWORD dwordIn(const void* buffer);

inline constexpr wchar_t kHarrowby[] = L"Harrowby";
inline constexpr wchar_t kMirthwell[] = L"Software\\Mirthwell";
inline constexpr wchar_t kTwinKey[] = L"Software\\Microsoft\\Office\\PowerPoint\\Addins\\Quintrel64";

class AddinTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
};

}  // namespace addin_test
