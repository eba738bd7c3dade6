#pragma once
// A spreadsheet program of our own for the export tests: it registers the class
// "Excel.Application" (and Excel.Sheet\CurVer) in the test prefix, serves new instances from
// this process or stands as a running instance, and records every call it receives.
#include <windows.h>
#include <oaidl.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "win/handles.h"

namespace testing_support {

struct SpreadsheetLog {
    // "created" for each new instance, then every method call "path.Name(args)" and property
    // put "path.Name=value"; a path is the chain of gets from "Application", e.g.
    // "Application.Worksheets.Item(sheet1)". Objects passed as arguments show as <path>.
    std::vector<std::wstring> calls;
    // The last array assigned, cell by cell: text as it is, numbers "#n", empty cells "".
    std::vector<std::vector<std::wstring>> array;
    // Calls (as they would be logged) and gets (by path) that fail.
    std::set<std::wstring> failing;
};

class SpreadsheetRecorder {
public:
    enum class Mode {
        NewInstances,  // the class creates instances here; none runs
        Running,       // one instance runs already, and none can be created
        Broken         // the class is registered but nothing can create it
    };
    explicit SpreadsheetRecorder(Mode mode);
    SpreadsheetRecorder(const SpreadsheetRecorder&) = delete;
    SpreadsheetRecorder& operator=(const SpreadsheetRecorder&) = delete;
    ~SpreadsheetRecorder();

    SpreadsheetLog log;

private:
    win::ComPtr<IUnknown> factory_;
    win::ComPtr<IDispatch> running_;
    DWORD classCookie_ = 0;
    DWORD runningCookie_ = 0;
};

}  // namespace testing_support
