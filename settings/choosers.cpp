#include "settings/choosers.h"

#include <commdlg.h>

#include <array>

#include "shell/file_helpers.h"
#include "win/program_end.h"
#include "win/window.h"

namespace settings {
namespace {

class SystemChoosers final : public Choosers {
public:
    std::wstring openFile(HWND owner, const std::wstring& title, const std::wstring& filter,
                          const std::wstring& folder) override {
        return shell::fileDialog(shell::FileDialogMode::Open, title, filter, L"", L"", folder, owner);
    }

    // A fresh set of custom colours each time, all black.
    std::optional<COLORREF> colour(HWND owner) override {
        std::array<COLORREF, 16> custom{};
        CHOOSECOLORW record{};
        record.lStructSize = sizeof record;
        record.hwndOwner = owner;
        record.lpCustColors = custom.data();
        if (!ChooseColorW(&record)) return std::nullopt;
        return record.rgbResult;
    }
};

Choosers*& installed() {
    static Choosers* c = nullptr;
    return c;
}

}  // namespace

Choosers& choosers() {
    static SystemChoosers system;
    return installed() ? *installed() : system;
}

std::wstring chooseFile(const std::wstring& title, const std::wstring& filter, const std::wstring& folder) {
    if (!win::boxesShow()) return {};
    win::BoxScope asking;
    return choosers().openFile(asking.owner(), title, filter, folder);
}

std::optional<COLORREF> chooseColour() {
    if (!win::boxesShow()) return std::nullopt;
    win::BoxScope asking;
    return choosers().colour(asking.owner());
}

void setChoosers(Choosers* c) { installed() = c; }

}  // namespace settings
