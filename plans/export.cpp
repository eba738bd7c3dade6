#include "plans/export.h"

#include <windows.h>

#include <cmath>
#include <cwchar>

#include "plans/workbook_export.h"
#include "shell/program_folder.h"
#include "shell/settings_registry.h"
#include "shell/start_program.h"
#include "win/auto_message.h"
#include "win/handles.h"
#include "win/text.h"

namespace plans {
namespace {

constexpr wchar_t kNothingToExport[] = L"没有要导出的数据";
constexpr wchar_t kNoSpreadsheet[] = L"没有安装WPS或Excel程序，导出为.csv文件";
constexpr wchar_t kWriteFailed[] = L"无法写入文件";
// A non-empty default value of this key means a spreadsheet program is registered.
constexpr wchar_t kSpreadsheetKey[] = L"Excel.Sheet\\CurVer";

struct WpsMessage {
    const wchar_t* text;
    const wchar_t* caption;
};

// WPS is installed but does not serve the spreadsheet class.
WpsMessage wpsMessage(ExportWindow from) {
    if (from == ExportWindow::Statistics) return {L"WPS是早期版本，只能导出为csv文件，请升级WPS程序", L"提示"};
    return {L"1)WPS是早期版本，只能导出为csv文件，请升级到最新版本\r\r"
            L"2)配置工具【兼容设置】要选中WPS Office兼容第三方系统和软件\r\r"
            L"本次导出为csv文件，请升级WPS程序或更新设置",
            L"WPS程序提示"};
}

// Numbers in decimal without a trailing ".0"; whole numbers exactly.
std::wstring numberText(double n) {
    wchar_t text[32];
    if (std::nearbyint(n) == n && std::fabs(n) < 1e15) {
        std::swprintf(text, 32, L"%.0f", n);
    } else {
        std::swprintf(text, 32, L"%.15g", n);
    }
    return text;
}

std::wstring csvField(const ExportCell& cell) {
    if (const auto* n = std::get_if<double>(&cell)) return numberText(*n);
    const auto* text = std::get_if<std::wstring>(&cell);
    if (!text) return {};
    if (text->find_first_of(L",\"\r\n") == std::wstring::npos) return *text;
    std::wstring quoted = L"\"";
    for (wchar_t c : *text) {
        quoted += c;
        if (c == L'"') quoted += L'"';
    }
    return quoted + L'"';
}

std::wstring systemMessage(DWORD error) {
    if (error == ERROR_SUCCESS) return kWriteFailed;
    wchar_t text[512];
    DWORD n = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, text,
                             512, nullptr);
    std::wstring message(text, n);
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r')) message.pop_back();
    return message.empty() ? kWriteFailed : message;
}

bool writeAll(HANDLE file, const std::string& bytes) {
    DWORD written = 0;
    return WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

void exportToFile(const std::wstring& sheetname, const ExportTable& table, ExportWindow from) {
    if (shell::wpsVersion()) {
        WpsMessage wps = wpsMessage(from);
        win::askMessage(wps.text, wps.caption, MB_OK | MB_ICONEXCLAMATION);
    } else {
        win::askMessage(kNoSpreadsheet, win::kProductName, MB_OK);
    }
    std::wstring file = shell::inProgramFolder(sheetname + L".csv");
    // After a failed write the file at the path is an older export: it is not shown.
    if (ListviewToCSV(table, file)) shell::startWindowsProgram(L"notepad.exe", file, SW_SHOWNORMAL);
}

}  // namespace

std::string csvBytes(const ExportTable& table) {
    std::wstring text;
    for (const auto& row : table) {
        for (size_t col = 0; col < row.size(); ++col) {
            if (col > 0) text += L',';
            text += csvField(row[col]);
        }
        text += L"\r\n";
    }
    text += L"\r\n";
    return win::toAnsi(text);
}

bool ListviewToCSV(const ExportTable& table, const std::wstring& file) {
    std::string bytes = csvBytes(table);
    win::UniqueFile out(CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                    nullptr));
    if (out && writeAll(out.get(), bytes)) return true;
    win::askMessage(systemMessage(GetLastError()), win::kProductName, MB_OK);
    return false;
}

void export_to_excel(const std::wstring& sheetname, const ExportTable& table, ExportWindow from) {
    if (table.size() <= 1) {
        win::askMessage(kNothingToExport, win::kProductName, MB_OK);
        return;
    }
    if (shell::classKeyExists(kSpreadsheetKey, L"")) {
        exportToWorkbook(sheetname, table);
    } else {
        exportToFile(sheetname, table, from);
    }
}

}  // namespace plans
