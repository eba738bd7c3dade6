#pragma once
// The common file and colour choosers as the settings dialog reaches them. The program uses
// the system's; tests install choosers that answer without a person. A chooser is a box of the
// handler that opens it: owned by its window, which takes no input until it is answered.
#include <windows.h>

#include <optional>
#include <string>

namespace settings {

class Choosers {
public:
    virtual ~Choosers() = default;
    // The chosen full path; empty when the user chose nothing.
    virtual std::wstring openFile(HWND owner, const std::wstring& title, const std::wstring& filter,
                                  const std::wstring& folder) = 0;
    // The chosen colour; nothing when the user cancelled.
    virtual std::optional<COLORREF> colour(HWND owner) = 0;
};

Choosers& choosers();
// The installed choosers asked as a box (see win::BoxScope); nothing chosen once the program ends.
std::wstring chooseFile(const std::wstring& title, const std::wstring& filter, const std::wstring& folder);
std::optional<COLORREF> chooseColour();

// Installs choosers (nullptr: the system's again). The caller keeps them alive while installed.
void setChoosers(Choosers* c);

}  // namespace settings
