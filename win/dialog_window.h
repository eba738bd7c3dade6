#pragma once
// An ordinary framed window with a caption and a client area given in twips: the settings,
// statistics and stage windows start from it.
#include "win/window.h"

namespace win {

class DialogWindow : public Window {
public:
    DialogWindow(const wchar_t* className, std::wstring caption, int clientWidth, int clientHeight)
        : className_(className), caption_(std::move(caption)), clientWidth_(clientWidth), clientHeight_(clientHeight) {}

    // Loads the window when it is not loaded and shows it modeless, centred on the screen.
    void Show();

private:
    const wchar_t* className_;
    std::wstring caption_;
    int clientWidth_, clientHeight_;  // twips
};

}  // namespace win
