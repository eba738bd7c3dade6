// The export's file route: the bytes of the comma-separated file, where it goes, what the user
// is told, and when Notepad shows it.
#include <gtest/gtest.h>

#include "plans/export.h"
#include "shell/program_folder.h"
#include "shell/settings_registry.h"
#include "shell/start_program.h"
#include "tests/test_support.h"
#include "win/text.h"

namespace {

using plans::ExportCell;
using plans::ExportTable;
using std::wstring;

struct CsvCase {
    const char* name;
    ExportTable table;
    std::string bytes;
};

TEST(CsvBytes, FieldsJoinedByCommaLinesEndCrLfFileEndsWithEmptyLine) {
    const CsvCase cases[] = {
        {"plain rows as they are",
         {{wstring(L"序号"), wstring(L"标题")}, {1.0, wstring(L"a b")}, {12.0, wstring(L"x")}},
         win::toAnsi(L"序号,标题\r\n1,a b\r\n12,x\r\n\r\n")},
        {"empty fields stay empty, also the last",
         {{wstring(L"a"), wstring(L"b"), wstring(L"c")}, {ExportCell{}, wstring(), ExportCell{}}},
         "a,b,c\r\n,,\r\n\r\n"},
        {"a comma keeps its field whole",
         {{wstring(L"t")}, {wstring(L"x,y")}},
         "t\r\n\"x,y\"\r\n\r\n"},
        {"inner quotes are doubled",
         {{wstring(L"t"), wstring(L"u")}, {wstring(L"say \"hi\""), wstring(L"\"")}},
         "t,u\r\n\"say \"\"hi\"\"\",\"\"\"\"\r\n\r\n"},
        {"a line break stays inside its field",
         {{wstring(L"t"), wstring(L"u")}, {wstring(L"one\r\ntwo"), wstring(L"lf\nonly")}},
         "t,u\r\n\"one\r\ntwo\",\"lf\nonly\"\r\n\r\n"},
        {"numbers in decimal",
         {{wstring(L"n")}, {-3.0}, {2.5}, {1e6}},
         "n\r\n-3\r\n2.5\r\n1000000\r\n\r\n"},
        {"Chinese in the ANSI code page",
         {{wstring(L"标题")}, {wstring(L"第一位发言")}},
         "\xB1\xEA\xCC\xE2\r\n\xB5\xDA\xD2\xBB\xCE\xBB\xB7\xA2\xD1\xD4\r\n\r\n"},
    };
    for (const CsvCase& c : cases) EXPECT_EQ(plans::csvBytes(c.table), c.bytes) << c.name;
}

class FileExport : public testing_support::ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        shell::setProgramStartSink([this](const wstring& program, const wstring& command, int show) {
            started.push_back(command);
            EXPECT_EQ(show, SW_SHOWNORMAL);
            return true;
        });
    }
    void TearDown() override {
        shell::setProgramStartSink(nullptr);
        testing_support::deleteUserKey(L"Software\\kingsoft");
        ProgramTest::TearDown();
    }
    wstring csvPath() const { return folder + L"\\sheet1.csv"; }

    std::vector<wstring> started;
    const ExportTable table{{wstring(L"序号"), wstring(L"标题")}, {1.0, wstring(L"晨会, 第一段")}};
};

TEST_F(FileExport, WithoutSpreadsheetWritesSheet1BesideProgramAndOpensItInNotepad) {
    plans::export_to_excel(L"sheet1", table, plans::ExportWindow::Statistics);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, L"没有安装WPS或Excel程序，导出为.csv文件");
    EXPECT_EQ(messages[0].caption, L"Kelvane");
    EXPECT_EQ(testing_support::readFile(csvPath()), win::toAnsi(L"序号,标题\r\n1,\"晨会, 第一段\"\r\n\r\n"));
    ASSERT_EQ(started.size(), 1u);
    // The path is quoted: the program folder may hold blanks, as this one does.
    EXPECT_NE(started[0].find(L"notepad.exe\" \"" + csvPath() + L"\""), wstring::npos) << started[0];
}

TEST_F(FileExport, WpsWithoutSpreadsheetClassShowsTheWindowsOwnWpsMessage) {
    shell::regCreateKey(HKEY_CURRENT_USER, L"Software\\kingsoft\\Office\\6.0\\Common");
    shell::regWriteValue(HKEY_CURRENT_USER, L"Software\\kingsoft\\Office\\6.0\\Common", L"Version", wstring(L"9.1"));
    plans::export_to_excel(L"sheet1", table, plans::ExportWindow::Statistics);
    plans::export_to_excel(L"sheet1", table, plans::ExportWindow::StageTiming);
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].text, L"WPS是早期版本，只能导出为csv文件，请升级WPS程序");
    EXPECT_EQ(messages[0].caption, L"提示");
    EXPECT_EQ(messages[0].style, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
    EXPECT_EQ(messages[1].caption, L"WPS程序提示");
    EXPECT_EQ(messages[1].text.find(L"1)WPS是早期版本"), 0u);
    EXPECT_EQ(started.size(), 2u);
}

TEST_F(FileExport, HeaderOnlyTableIsRefusedWithoutFileOrProgram) {
    plans::export_to_excel(L"sheet1", {{wstring(L"序号"), wstring(L"标题")}}, plans::ExportWindow::Statistics);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, L"没有要导出的数据");
    EXPECT_EQ(testing_support::readFile(csvPath()), "");
    EXPECT_TRUE(started.empty());
}

TEST_F(FileExport, FolderThatCannotBeWrittenIsReportedAndNothingIsShown) {
    shell::setProgramFolder(folder + L"\\gone");
    plans::export_to_excel(L"sheet1", table, plans::ExportWindow::Statistics);
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_FALSE(messages[1].text.empty());
    EXPECT_EQ(messages[1].caption, L"Kelvane");
    // Whatever an earlier export left at the path is not this export: Notepad stays closed.
    EXPECT_TRUE(started.empty());
}

}  // namespace
