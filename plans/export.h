#pragma once
// The export both list windows share: a table handed to a new workbook of the spreadsheet
// program through automation, or, with no spreadsheet program registered, written to
// "sheet1.csv" beside the program and opened in Notepad.
#include <string>
#include <variant>
#include <vector>

namespace plans {

// A cell: nothing (an empty database value), a number, or a text (times of day as "hh:mm:ss").
using ExportCell = std::variant<std::monostate, double, std::wstring>;
// Row 0 holds the column headers, rows 1 to n the records in the source's order.
using ExportTable = std::vector<std::vector<ExportCell>>;

// The window the export starts from; the two tell a WPS without spreadsheet support apart.
enum class ExportWindow { StageTiming, Statistics };

inline constexpr wchar_t kExportSheet[] = L"sheet1";

// Chooses the route and carries it out; tells the user what the route needs them to know.
void export_to_excel(const std::wstring& sheetname, const ExportTable& table, ExportWindow from);

// The file's bytes: ANSI text, cells joined by ",", CR LF after every row and once more at the
// end. A text holding ",", a double quote, CR or LF is enclosed in double quotes with its inner
// quotes doubled, so it stays one field.
std::string csvBytes(const ExportTable& table);

// Writes `table` to `file`, replacing it; false, after telling the user why, when that fails.
bool ListviewToCSV(const ExportTable& table, const std::wstring& file);

}  // namespace plans
