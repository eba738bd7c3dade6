#pragma once
// The automation route of the export: the table into a new workbook of the running
// spreadsheet program, or of a new instance when none runs.
#include <string>

#include "plans/export.h"

namespace plans {

inline constexpr wchar_t kSpreadsheetClass[] = L"Excel.Application";

// Tells the user only when a new instance cannot be created.
void exportToWorkbook(const std::wstring& sheetname, const ExportTable& table);

}  // namespace plans
