// The automation route of the export against a recording spreadsheet program: what it is sent,
// in which order, for a new instance and for one the user has running.
#include <gtest/gtest.h>

#include "plans/export.h"
#include "tests/plans/spreadsheet_recorder.h"
#include "tests/test_support.h"

namespace {

using Mode = testing_support::SpreadsheetRecorder::Mode;
using std::wstring;

const wstring kSheet = L"Application.ActiveWorkbook.Sheets.Item(1)";

// What a filled workbook receives after the instance is found, for a table of 3 rows by 2 columns.
std::vector<wstring> fillingCalls() {
    return {L"Application.Workbooks.Add()",
            L"Application.Worksheets.Item(sheet1).Name=sheet1",
            kSheet + L".Cells.Clear()",
            kSheet + L".Cells.NumberFormatLocal=@",
            kSheet + L".Range(<" + kSheet + L".Cells.Item(1,1)>,<" + kSheet + L".Cells.Item(3,2)>).Value=<array 3x2>",
            L"Application.Visible=true",
            L"Application.Interactive=true"};
}

class WorkbookExport : public testing_support::ProgramTest {
protected:
    void export3x2() { plans::export_to_excel(L"sheet1", table, plans::ExportWindow::Statistics); }

    win::ComApartment com;
    const plans::ExportTable table{{wstring(L"序号"), wstring(L"标题")},
                                   {1.0, wstring(L"晨会, 第一段")},
                                   {2.0, plans::ExportCell{}}};
    const std::vector<std::vector<wstring>> sentArray{{L"序号", L"标题"}, {L"#1", L"晨会, 第一段"}, {L"#2", L""}};
};

TEST_F(WorkbookExport, NoInstanceRunningCreatesOneAndFillsANewWorkbook) {
    testing_support::SpreadsheetRecorder excel(Mode::NewInstances);
    export3x2();
    std::vector<wstring> expected = fillingCalls();
    expected.insert(expected.begin(), L"created");
    EXPECT_EQ(excel.log.calls, expected);
    EXPECT_EQ(excel.log.array, sentArray);
    EXPECT_TRUE(messages.empty());
}

TEST_F(WorkbookExport, RunningInstanceIsAttachedInsteadOfStartingAnother) {
    testing_support::SpreadsheetRecorder excel(Mode::Running);
    export3x2();
    EXPECT_EQ(excel.log.calls, fillingCalls());
    EXPECT_EQ(excel.log.array, sentArray);
    EXPECT_TRUE(messages.empty());
}

TEST_F(WorkbookExport, ClassThatCannotBeCreatedReportsError429) {
    testing_support::SpreadsheetRecorder excel(Mode::Broken);
    export3x2();
    EXPECT_TRUE(excel.log.calls.empty());
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text.find(L"Error: 429\r\n\r\n"), 0u) << messages[0].text;
    EXPECT_EQ(messages[0].style & MB_ICONMASK, static_cast<UINT>(MB_ICONINFORMATION));
}

TEST_F(WorkbookExport, FailingStepEndsTheFillingOfOwnInstanceButIsSkippedOnTheUsers) {
    const wstring clear = kSheet + L".Cells.Clear()";
    {
        testing_support::SpreadsheetRecorder excel(Mode::NewInstances);
        excel.log.failing = {clear};
        export3x2();
        EXPECT_EQ(excel.log.calls, (std::vector<wstring>{L"created", L"Application.Workbooks.Add()",
                                                         L"Application.Worksheets.Item(sheet1).Name=sheet1", clear,
                                                         L"Application.Visible=true",
                                                         L"Application.Interactive=true"}));
    }
    testing_support::SpreadsheetRecorder excel(Mode::Running);
    excel.log.failing = {clear};
    export3x2();
    EXPECT_EQ(excel.log.calls, fillingCalls());
}

TEST_F(WorkbookExport, FailedNewWorkbookLeavesTheUsersOpenWorkbookAlone) {
    testing_support::SpreadsheetRecorder excel(Mode::Running);
    excel.log.failing = {L"Application.Workbooks.Add()"};
    export3x2();
    EXPECT_EQ(excel.log.calls, (std::vector<wstring>{L"Application.Workbooks.Add()", L"Application.Visible=true",
                                                     L"Application.Interactive=true"}));
}

}  // namespace
