#pragma once
// The title window: the stage's title, or the clock's rest text between stages.
#include <string>

#include "win/timer.h"
#include "win/window.h"

namespace displays {

class Frm_title : public win::Window {
public:
    Frm_title();

    void Form_Load();

    win::Timer Timer3{100, [this] { Timer3_Timer(); }};  // show step, one shot

    const std::wstring& titletext() const { return titletext_; }
    // Every change resizes the window to the new text at once.
    void setTitletext(const std::wstring& text);

private:
    void Timer3_Timer();

    std::wstring titletext_;
};

}  // namespace displays
