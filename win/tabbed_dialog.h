#pragma once
// What the tabbed dialogs share: loaded afresh as the window is created, closed by Esc and by
// the close box, their owner-drawn tab pictures painted in one set of colours, and a mouse move
// over the dialog itself taking the pointer off every tab.
#include <string>

#include "win/dialog_window.h"

namespace win {

// The three tab pictures: at rest, under the pointer, selected.
enum class TabPicture { Normal = 1, Hovered = 2, Selected = 3 };
COLORREF tabPictureColour(TabPicture p);

// An owner-drawn picture filled in the colour of `p`.
void fillPicture(const DRAWITEMSTRUCT& d, TabPicture p);
// A tab: filled, standing raised on its left, top and right.
void paintTabPicture(const DRAWITEMSTRUCT& d, TabPicture p);
// A tab's caption: filled, the text centred in `font`.
void paintTabCaption(const DRAWITEMSTRUCT& d, TabPicture p, HFONT font, const std::wstring& caption);

class TabbedDialog : public ControlDialog {
public:
    using ControlDialog::ControlDialog;

protected:
    virtual void Form_Load() = 0;
    virtual void closeDialog() = 0;  // Esc and the close box
    virtual void paintPicture(const DRAWITEMSTRUCT& d) = 0;
    virtual void Form_MouseMove() = 0;
    // A command no control sent (a dialog key or a menu item) other than Esc; true when handled.
    virtual bool dialogCommand(WORD id) { return false; }

    LRESULT onMessage(UINT msg, WPARAM wp, LPARAM lp) override;
};

}  // namespace win
