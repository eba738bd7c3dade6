// The help command starts the real viewer on the help file shipped beside the program.
#include <gtest/gtest.h>

#include <string>

#include "shell/help.h"
#include "tests/e2e/driver.h"
#include "tests/test_support.h"

namespace {

constexpr wchar_t kHelpTitle[] = L"Velmora 帮助";

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

    void install(const std::wstring& built, const wchar_t* as) const {
        ASSERT_TRUE(CopyFileW(built.c_str(), (folder + L"\\" + as).c_str(), FALSE));
    }

    DWORD viewerPid = 0;
};

}  // namespace

TEST_F(Help, ATopicOpensTheShippedFileInTheWindowsViewerNeverInAnHhExeOfTheProgramFolder) {
    install(testing_support::inBuiltProgramFolder(shell::kHelpFile), shell::kHelpFile);
    install(testing_support::besideTestPrograms(L"help_stand_in.exe"), L"hh.exe");
    ASSERT_FALSE(driver::anyWindow(kHelpTitle)) << "a viewer left open by someone else";

    // Run from the program folder, as a user starts the program.
    wchar_t before[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, before);
    SetCurrentDirectoryW(folder.c_str());
    shell::showHelp(nullptr, L"2.2、阶段计时.htm");
    SetCurrentDirectoryW(before);
    HWND viewer = nullptr;
    // The viewer's window takes its title from the help file.
    ASSERT_TRUE(driver::waitFor([&] { return (viewer = driver::anyWindow(kHelpTitle)) != nullptr; }));
    GetWindowThreadProcessId(viewer, &viewerPid);
    EXPECT_EQ(GetFileAttributesW((folder + L"\\hh.exe ran").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(messages.empty());
}
