#include "plans/workbook_export.h"

#include <functional>
#include <optional>
#include <vector>

#include "win/auto_message.h"
#include "win/dispatch.h"

namespace plans {
namespace {

// What the program reports when the class is registered but no instance can be made.
constexpr wchar_t kCannotCreate[] = L"Error: 429\r\n\r\nActiveX 部件不能创建对象";
// Every cell takes its value as text.
constexpr wchar_t kTextFormat[] = L"@";

struct SafeArrayTraits {
    using handle_type = SAFEARRAY*;
    static SAFEARRAY* none() { return nullptr; }
    static bool invalid(SAFEARRAY* a) { return a == nullptr; }
    static void close(SAFEARRAY* a) { SafeArrayDestroy(a); }
};
using UniqueSafeArray = win::Unique<SafeArrayTraits>;

using win::arguments;
using win::dispatchCall;
using win::dispatchGet;
using win::dispatchPut;
using win::Variant;

struct Application {
    win::ComPtr<IDispatch> app;
    bool own = false;  // created for this export, not the user's running instance
};

// The running instance, else a new one. Nothing when attaching fails for another reason than
// that none runs, or when no instance can be created (the user is told).
std::optional<Application> spreadsheetApplication() {
    CLSID cls{};
    bool registered = SUCCEEDED(CLSIDFromProgID(kSpreadsheetClass, &cls));
    Application found;
    if (registered) {
        win::ComPtr<IUnknown> running;
        HRESULT hr = GetActiveObject(cls, nullptr, running.put());
        if (SUCCEEDED(hr)) {
            running->QueryInterface(IID_IDispatch, found.app.putVoid());
            return found.app ? std::optional(found) : std::nullopt;
        }
        if (hr != MK_E_UNAVAILABLE) return std::nullopt;
    }
    found.own = true;
    if (!registered ||
        FAILED(CoCreateInstance(cls, nullptr, CLSCTX_SERVER, IID_IDispatch, found.app.putVoid())) || !found.app) {
        win::askMessage(kCannotCreate, win::kProductName, MB_OK | MB_ICONINFORMATION);
        return std::nullopt;
    }
    return found;
}

Variant cellValue(const ExportCell& cell) {
    if (const auto* n = std::get_if<double>(&cell)) return Variant(*n);
    if (const auto* text = std::get_if<std::wstring>(&cell)) return Variant(*text);
    return Variant();
}

// The table as one two-dimensional array of variants, indexed (row, column) from 0.
Variant tableArray(const ExportTable& table, int rows, int cols) {
    SAFEARRAYBOUND bounds[2] = {{static_cast<ULONG>(rows), 0}, {static_cast<ULONG>(cols), 0}};
    UniqueSafeArray array(SafeArrayCreate(VT_VARIANT, 2, bounds));
    if (!array) return Variant();
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < cols && c < static_cast<int>(table[r].size()); ++c) {
            LONG at[2] = {r, c};
            Variant v = cellValue(table[r][c]);
            SafeArrayPutElement(array.get(), at, v.get());
        }
    }
    return Variant::adoptArray(array.release(), VT_VARIANT);
}

HRESULT found(const win::ComPtr<IDispatch>& object) { return object ? S_OK : E_FAIL; }

// A new workbook of `app` filled with the table. On an instance of our own the first failure
// ends the filling; on the user's running instance a failing step is skipped, except a failed
// new workbook: the steps after it would act on the user's own workbook.
void fillNewWorkbook(const Application& a, const std::wstring& sheetname, const ExportTable& table) {
    IDispatch* app = a.app.get();
    int rows = static_cast<int>(table.size());
    int cols = static_cast<int>(table.front().size());
    if (FAILED(dispatchCall(dispatchGet(app, L"Workbooks").get(), L"Add"))) return;
    win::ComPtr<IDispatch> sheet, cells;
    std::vector<std::function<HRESULT()>> steps = {
        [&] {
            auto first = dispatchGet(dispatchGet(app, L"Worksheets").get(), L"Item",
                                     arguments(Variant(kExportSheet)));
            return dispatchPut(first.get(), L"Name", Variant(sheetname));
        },
        [&] {
            sheet = dispatchGet(dispatchGet(dispatchGet(app, L"ActiveWorkbook").get(), L"Sheets").get(), L"Item",
                                arguments(Variant(1)));
            return found(sheet);
        },
        [&] {
            cells = dispatchGet(sheet.get(), L"Cells");
            return dispatchCall(cells.get(), L"Clear");
        },
        [&] { return dispatchPut(cells.get(), L"NumberFormatLocal", Variant(kTextFormat)); },
        [&] {
            auto from = dispatchGet(cells.get(), L"Item", arguments(Variant(1), Variant(1)));
            auto to = dispatchGet(cells.get(), L"Item", arguments(Variant(rows), Variant(cols)));
            auto range = dispatchGet(sheet.get(), L"Range", arguments(Variant(from.get()), Variant(to.get())));
            return dispatchPut(range.get(), L"Value", tableArray(table, rows, cols));
        },
    };
    for (auto& step : steps) {
        if (FAILED(step()) && a.own) return;
    }
}

}  // namespace

void exportToWorkbook(const std::wstring& sheetname, const ExportTable& table) {
    win::ComApartment com;
    auto app = spreadsheetApplication();
    if (!app) return;
    fillNewWorkbook(*app, sheetname, table);
    // The new workbook stays open and unsaved for the user.
    dispatchPut(app->app.get(), L"Visible", Variant(true));
    dispatchPut(app->app.get(), L"Interactive", Variant(true));
}

}  // namespace plans
