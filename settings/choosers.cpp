#include "settings/choosers.h"

#include <commdlg.h>

#include <array>

#include "shell/file_helpers.h"

namespace settings {
namespace {

class SystemChoosers final : public Choosers {
public:
    std::wstring openFile(const std::wstring& title, const std::wstring& filter, const std::wstring& folder) override {
        return shell::fileDialog(shell::FileDialogMode::Open, title, filter, L"", L"", folder);
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

void setChoosers(Choosers* c) { installed() = c; }

}  // namespace settings
