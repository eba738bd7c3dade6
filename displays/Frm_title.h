#pragma once
// The title window: the stage's title, or the clock's rest text between stages, floating on the
// desktop while the running clock asks for it.
#include <string>

#include "displays/floating_look.h"
#include "displays/text_window.h"
#include "win/timer.h"

namespace displays {

class Frm_title : public TextWindow {
public:
    Frm_title();

    void Form_Load();

    win::Timer Timer1{500, [this] { Timer1_Timer(); }};  // stay on top, every 5 s after the first round
    win::Timer Timer3{100, [this] { Timer3_Timer(); }};  // show step, one shot

    const std::wstring& titletext() const { return titletext_; }
    // Every change resizes the window to the new text at once.
    void setTitletext(const std::wstring& text);

protected:
    std::wstring shownText() const override { return titletext_; }
    POINT textAt() const override { return {0, 0}; }
    void mouseMove(bool leftOnly, POINT at) override;

private:
    void Timer1_Timer();
    void Timer3_Timer();

    void restyle();
    void wrapText();
    bool onText(POINT at) const;

    TextStyle style_;
    std::wstring titletext_;
};

}  // namespace displays
