// The help command starts the real viewer on the help file shipped beside the program.
#include <gtest/gtest.h>

#include <string>

#include "shell/help.h"
#include "tests/e2e/driver.h"
#include "tests/test_support.h"

namespace {

// The title the help file gives the viewer's window.
constexpr wchar_t kHelpTitle[] = L"Velmora 帮助";

struct TitleSearch {
    const std::wstring* title;
    HWND found = nullptr;
};

BOOL CALLBACK matchTitle(HWND w, LPARAM lp) {
    auto* s = reinterpret_cast<TitleSearch*>(lp);
    if (driver::windowText(w) != *s->title) return TRUE;
    s->found = w;
    return FALSE;
}

// A top-level window of any process.
HWND windowTitled(const std::wstring& title) {
    TitleSearch search{&title};
    EnumWindows(matchTitle, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::wstring imageOf(DWORD pid) {
    win::UniqueFile process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
    wchar_t path[MAX_PATH];
    DWORD n = MAX_PATH;
    if (!process || !QueryFullProcessImageNameW(process.get(), 0, path, &n)) return {};
    return std::wstring(path, n);
}

class Help : public testing_support::ProgramTest {
protected:
    void TearDown() override {
        // The viewer the test made the code start.
        if (viewerPid) {
            win::UniqueFile viewer(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, viewerPid));
            TerminateProcess(viewer.get(), 0);
            WaitForSingleObject(viewer.get(), 5000);
        }
        ProgramTest::TearDown();
    }

    void install(const wchar_t* built, const wchar_t* as) const {
        ASSERT_TRUE(CopyFileW(testing_support::besideTestPrograms(built).c_str(), (folder + L"\\" + as).c_str(), FALSE));
    }

    DWORD viewerPid = 0;
};

}  // namespace

TEST_F(Help, ATopicOpensTheShippedFileInTheWindowsViewerNeverInAnHhExeOfTheProgramFolder) {
    install(shell::kHelpFile, shell::kHelpFile);
    install(L"help_stand_in.exe", L"hh.exe");
    ASSERT_FALSE(windowTitled(kHelpTitle)) << "a viewer left open by someone else";

    // Run from the program folder, as a user starts the program.
    wchar_t before[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, before);
    SetCurrentDirectoryW(folder.c_str());
    shell::showHelp(nullptr, L"2.2、阶段计时.htm");
    SetCurrentDirectoryW(before);
    HWND viewer = nullptr;
    ASSERT_TRUE(driver::waitFor([&] { return (viewer = windowTitled(kHelpTitle)) != nullptr; }));
    GetWindowThreadProcessId(viewer, &viewerPid);
    wchar_t windows[MAX_PATH];
    std::wstring expected = std::wstring(windows, GetWindowsDirectoryW(windows, MAX_PATH)) + L"\\hh.exe";
    EXPECT_EQ(CompareStringOrdinal(imageOf(viewerPid).c_str(), -1, expected.c_str(), -1, TRUE), CSTR_EQUAL);
    EXPECT_EQ(GetFileAttributesW((folder + L"\\hh.exe ran").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(messages.empty());
}
