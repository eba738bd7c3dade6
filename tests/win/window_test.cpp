#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "win/auto_message.h"
#include "win/dialog_window.h"
#include "win/program_end.h"
#include "win/pump.h"

namespace {

constexpr UINT kRun = WM_APP;  // runs the probe's `handler`
constexpr int kButtonId = 1000;

// A window whose handler the test writes; it counts the commands and keys that reach it.
class Probe : public win::ControlDialog {
public:
    Probe() : ControlDialog(L"VelmoraProbe", L"probe", 3000, 2000) {}
    ~Probe() override { unload(); }

    // A button and an edit whose clicks and keys run onClick (the edit's click runs through the
    // control's own procedure, not through the window's).
    void loadWithControls() {
        Show();
        createControls({{L"Command1", 0, win::ControlKind::Button, L"删除", 100, 100, 1200, 400},
                        {L"Text1", 0, win::ControlKind::Text, L"", 100, 700, 1200, 300}});
        Ctl(L"Command1").onClick = Ctl(L"Text1").onClick = [this] { onClick(); };
        Ctl(L"Text1").onKeyDown = [this](int, int) { onClick(); };
    }
    // A click on the edit as the mouse makes it.
    void clickEdit() {
        for (UINT msg : {WM_LBUTTONDOWN, WM_LBUTTONUP}) SendMessageW(Ctl(L"Text1").hwnd(), msg, 0, MAKELPARAM(5, 5));
    }
    void loadMessageOnly() {
        win::WindowLayout layout;
        layout.parent = HWND_MESSAGE;
        create({L"VelmoraProbeMessages"}, layout);
    }
    void run() { SendMessageW(hwnd(), kRun, 0, 0); }

    std::function<void()> handler, onClick;
    int commands = 0, keys = 0;

protected:
    LRESULT onMessage(UINT msg, WPARAM wp, LPARAM lp) override {
        switch (msg) {
        case kRun: handler(); return 0;
        case WM_CLOSE: unload(); return 0;
        case WM_KEYDOWN: ++keys; return 0;
        case WM_COMMAND:
            if (lp == 0) return ++commands, 0;
            break;
        }
        return ControlDialog::onMessage(msg, wp, lp);
    }
};

class WindowTest : public ::testing::Test {
protected:
    void TearDown() override {
        win::setMessageSink(nullptr);
        win::cancelProgramEnd();
    }
    // Boxes answer `answer` at once, after `meanwhile` ran inside them as the user's doing.
    void answerBoxes(int answer, std::function<void()> meanwhile = [] {}) {
        win::setMessageSink([this, answer, meanwhile](const win::MessageShown& m) {
            shown.push_back(m);
            meanwhile();
            return answer;
        });
    }
    std::vector<win::MessageShown> shown;
};

// Each row: what the probe's handler does (given the probe's holder); whether the handler, going
// on afterwards, found its window going; whether the window is there once the handler returned;
// whether the handler runs from a click on the window's edit rather than from the window's own.
struct UnloadCase {
    const char* name;
    std::function<void(Probe&, std::shared_ptr<Probe>&)> handler;
    bool goingAfter;
    bool thereAfter;
    bool fromEdit = false;
};

TEST_F(WindowTest, AWindowGoneUnderItsOwnHandlerGoesWhenTheHandlerReturns) {
    auto underBox = [](std::function<void()> meanwhile) {
        win::setMessageSink([meanwhile](const win::MessageShown&) { return meanwhile(), IDYES; });
        win::askMessage(L"确定删除数据吗？", L"提示", MB_YESNO);
    };
    auto close = [](Probe& p) { SendMessageW(p.hwnd(), WM_CLOSE, 0, 0); };
    const UnloadCase cases[] = {
        {"unload", [](Probe& p, auto&) { p.unload(); }, true, false},
        {"unload, shown again", [](Probe& p, auto&) { p.unload(), p.Show(); }, false, true},
        {"closed under its box", [&](Probe& p, auto&) { underBox([&] { close(p); }); }, true, false},
        {"closed under its box, the tray shows it again",
         [&](Probe& p, auto&) { underBox([&] { close(p), p.Show(); }); }, false, true},
        {"its holder lets go of it under its box",
         [&](Probe& p, auto& holder) { underBox([&] { win::releaseAfterHandlers(p, std::move(holder)); }); }, true,
         false},
        {"closed under a box its edit's click asked", [&](Probe& p, auto&) { underBox([&] { close(p); }); }, true, false,
         true},
        {"its holder lets go of it under a box its edit's click asked",
         [&](Probe& p, auto& holder) { underBox([&] { win::releaseAfterHandlers(p, std::move(holder)); }); }, true,
         false, true},
    };
    for (const UnloadCase& c : cases) {
        SCOPED_TRACE(c.name);
        auto holder = std::make_shared<Probe>();
        std::weak_ptr<Probe> alive = holder;
        Probe& probe = *holder;
        probe.loadWithControls();
        HWND w = probe.hwnd();
        bool going = false, stillThere = false;
        probe.handler = probe.onClick = [&] {
            c.handler(probe, holder);
            going = probe.unloading();
            stillThere = IsWindow(w) && probe.hwnd() == w;
        };
        if (c.fromEdit) probe.clickEdit();
        else probe.run();
        EXPECT_EQ(going, c.goingAfter);
        EXPECT_TRUE(stillThere);  // the handler's own window never goes from under it
        EXPECT_EQ(IsWindow(w) != FALSE, c.thereAfter);
        EXPECT_EQ(!alive.expired() && probe.loaded(), c.thereAfter);
        EXPECT_EQ(alive.expired(), !holder) << "freed once its handler returned";
        win::setMessageSink(nullptr);
    }
}

// Each row: where the box is asked from, and the owner the box must get.
TEST_F(WindowTest, ABoxIsOwnedByTheTopLevelWindowWhoseHandlerAsks) {
    Probe outer, inner, messages;
    outer.loadWithControls();
    inner.Show();
    messages.loadMessageOnly();
    auto ask = [] { win::autoMessage(L"没有填写名称，请添加", 1000); };
    outer.handler = inner.handler = messages.handler = outer.onClick = ask;
    struct Case {
        const char* name;
        std::function<void()> asks;
        HWND owner;
    } cases[] = {
        {"outside every handler", ask, nullptr},
        {"a window's handler", [&] { outer.run(); }, outer.hwnd()},
        {"a handler of another window called from it", [&] { outer.handler = [&] { inner.run(); }, outer.run(); },
         inner.hwnd()},
        {"a message-only window's handler", [&] { messages.run(); }, nullptr},
        {"the click of a window's edit", [&] { outer.clickEdit(); }, outer.hwnd()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        shown.clear();
        answerBoxes(IDOK);
        c.asks();
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].owner, c.owner);
    }
}

// What the real box's first tick saw of its asking window.
struct UnderBox {
    Probe* asker = nullptr;
    HWND owner = nullptr;
    BOOL enabled = TRUE;
    int input = -1;
} underBox;

// Posted messages come before timers: by the first tick the queued input has been dispatched.
void CALLBACK lookAndAnswer(HWND, UINT, UINT_PTR id, DWORD) {
    HWND box = FindWindowW(L"#32770", L"提示");
    if (!box) return;
    KillTimer(nullptr, id);
    underBox.owner = GetWindow(box, GW_OWNER);
    underBox.enabled = IsWindowEnabled(underBox.asker->hwnd());
    underBox.input = underBox.asker->commands + underBox.asker->keys;
    PostMessageW(box, WM_COMMAND, IDOK, 0);
}

// The real box: the asking window is disabled while it shows, and input already queued for
// the window is dropped rather than run under the box.
TEST_F(WindowTest, TheAskingWindowIsDisabledAndDropsQueuedInputWhileItsBoxShows) {
    Probe probe;
    probe.Show();
    underBox = UnderBox{&probe};
    probe.handler = [&] {
        PostMessageW(probe.hwnd(), WM_COMMAND, kButtonId, 0);
        PostMessageW(probe.hwnd(), WM_KEYDOWN, VK_DELETE, 0);
        SetTimer(nullptr, 0, 20, lookAndAnswer);
        win::askMessage(L"确定删除数据吗？", L"提示", MB_OK);
    };
    probe.run();
    UnderBox seen = std::exchange(underBox, UnderBox{});
    EXPECT_EQ(seen.owner, probe.hwnd());
    EXPECT_FALSE(seen.enabled);
    EXPECT_EQ(seen.input, 0);
    EXPECT_TRUE(IsWindowEnabled(probe.hwnd()));
    win::doEvents();
    EXPECT_EQ(probe.commands + probe.keys, 0);
}

// Both clicks of a double click, or two presses of a key, are queued for the control before the
// first one's question opens: the button's through the window, the edit's through its own
// procedure. The question may be another window's, asked from a handler the click called, as a
// window opened by the click asks as it loads: the clicked window waits under it all the same.
TEST_F(WindowTest, ADoubleClickOnAControlThatAsksDoesOneThing) {
    using Input = std::pair<UINT, WPARAM>;
    const Input clicks[] = {{WM_LBUTTONDOWN, MK_LBUTTON}, {WM_LBUTTONUP, 0}, {WM_LBUTTONDBLCLK, MK_LBUTTON}, {WM_LBUTTONUP, 0}};
    struct Case {
        const char* name;
        const wchar_t* control;
        std::vector<Input> input;
        bool askedByAnother = false;
    } cases[] = {
        {"a button's double click", L"Command1", {std::begin(clicks), std::end(clicks)}},
        {"an edit's double click", L"Text1", {std::begin(clicks), std::end(clicks)}},
        {"two presses of a key on an edit", L"Text1", {{WM_KEYDOWN, VK_RETURN}, {WM_KEYDOWN, VK_RETURN}}},
        {"a button's double click, another window asking", L"Command1", {std::begin(clicks), std::end(clicks)}, true},
        {"an edit's double click, another window asking", L"Text1", {std::begin(clicks), std::end(clicks)}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Probe probe, other;
        probe.loadWithControls();
        other.Show();
        int deleted = 0;
        other.handler = [&] {
            if (win::askMessage(L"确定删除数据吗？", L"提示", MB_YESNO) == IDYES) ++deleted;
        };
        probe.onClick = c.askedByAnother ? std::function<void()>([&] { other.run(); }) : other.handler;
        shown.clear();
        answerBoxes(IDYES, [] { win::doEvents(); });
        HWND control = probe.Ctl(c.control).hwnd();
        for (auto [msg, wp] : c.input) PostMessageW(control, msg, wp, MAKELPARAM(5, 5));
        win::doEvents();
        EXPECT_EQ(shown.size(), 1u);
        EXPECT_EQ(deleted, 1);
        EXPECT_NE(GetCapture(), control);
    }
}

TEST_F(WindowTest, OnceTheProgramEndsNoInputIsTakenAndOnlyTheGoingsOwnReportShows) {
    Probe probe;
    probe.Show();
    answerBoxes(IDYES);
    win::beginProgramEnd();
    EXPECT_EQ(win::askMessage(L"确定退出吗？", L"提示", MB_YESNO), IDNO);
    EXPECT_EQ(win::askMessage(L"x", L"提示", MB_OKCANCEL), IDCANCEL);
    EXPECT_EQ(win::autoMessage(L"x", 1000), IDOK);
    EXPECT_TRUE(shown.empty());
    {
        win::EndingReport report;
        win::askMessage(L"有计时记录未能写入 MeetData.db", win::kProductName, MB_OK);
    }
    EXPECT_EQ(shown.size(), 1u);
    for (UINT msg : {WM_COMMAND, WM_HOTKEY, WM_KEYDOWN}) PostMessageW(probe.hwnd(), msg, 0, 0);
    win::doEvents();
    EXPECT_EQ(probe.commands + probe.keys, 0);
    EXPECT_EQ(win::popupMenu(nullptr, TPM_RETURNCMD, 0, 0, probe.hwnd()), 0u);
}

TEST_F(WindowTest, AControlThatIsNotThereDoesNothing) {
    Probe probe;
    probe.loadWithControls();
    long before = win::missingControls();
    int clicks = 0;
    probe.Ctl(L"Command9").onClick = [&] { ++clicks; };
    probe.Ctl(L"Text9").click();
    probe.Ctl(L"Text9").setText(L"x");
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(probe.Ctl(L"Text9").text(), L"");
    EXPECT_EQ(win::missingControls() - before, 4);
    probe.unload();
    probe.Ctl(L"Command1").click();  // a handler going on after its window has gone
    EXPECT_EQ(win::missingControls() - before, 5);
}

}  // namespace
