#pragma once
// An ordinary framed window with a caption and a client area given in twips: the settings,
// statistics and stage windows start from it.
#include <string>
#include <vector>

#include "win/controls.h"
#include "win/handles.h"
#include "win/window.h"

namespace win {

// The system's message-box font, which the dialog windows' controls use.
UniqueFont messageFont();

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

// A dialog window whose controls come from a layout table: made in the message font, found by
// name and index, fed the window's messages, and moved between by the dialog keys.
class ControlDialog : public DialogWindow {
public:
    using DialogWindow::DialogWindow;

    // A control by name and index; the window must be loaded.
    Control& Ctl(const std::wstring& name, int index = 0) { return controls_(name, index); }

protected:
    void createControls(const std::vector<ControlDesign>& layout);
    // Shows the controls of `page` and hides those of every other page.
    void showPage(const wchar_t* page);
    LRESULT onMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void onDestroy() override;

    ControlSet controls_;
    UniqueFont font_;
};

}  // namespace win
