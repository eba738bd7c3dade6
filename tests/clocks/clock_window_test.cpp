// The main clock as a real window: where it loads, its outline and colour key, its size round a
// background picture, the mouse over its face, and the font files it adds for itself.
#include <gtest/gtest.h>

#include <functional>
#include <iterator>
#include <string>

#include "app/forms.h"
#include "clocks/time_glass.h"
#include "faces/clock_font.h"
#include "shell/ini_store.h"
#include "shell/run_records.h"
#include "tests/test_support.h"
#include "win/handles.h"
#include "win/object_marks.h"
#include "win/twips.h"
#include "win/window_work.h"

namespace {

using testing_support::writeFile;

// Counts the calls this program makes to a system function while it lives: its slot in the
// import table points at a counting twin that passes the call on.
class CallCounter {
public:
    template <typename R, typename... A>
    CallCounter(R(WINAPI* function)(A...)) : slot_(slotOf(reinterpret_cast<void*>(function))) {
        static CallCounter* self;  // one twin per function type, enough for the functions counted here
        self = this;
        if (slot_) original_ = *slot_;
        write(reinterpret_cast<void*>(+[](A... a) WINAPI -> R {
            ++self->calls;
            return reinterpret_cast<R(WINAPI*)(A...)>(self->original_)(a...);
        }));
    }
    CallCounter(const CallCounter&) = delete;
    CallCounter& operator=(const CallCounter&) = delete;
    ~CallCounter() { write(original_); }

    bool counting() const { return slot_ != nullptr; }
    int calls = 0;

private:
    static void** slotOf(void* function) {
        auto* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
        auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
        DWORD imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
        for (auto* d = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports); d->Name; ++d) {
            for (auto* slot = reinterpret_cast<void**>(base + d->FirstThunk); *slot; ++slot) {
                if (*slot == function) return slot;
            }
        }
        return nullptr;
    }
    void write(void* function) {
        if (!slot_) return;
        DWORD was = 0;
        VirtualProtect(slot_, sizeof *slot_, PAGE_READWRITE, &was);
        *slot_ = function;
        VirtualProtect(slot_, sizeof *slot_, was, &was);
    }

    void** slot_;
    void* original_ = nullptr;
};

void put16(std::string& bytes, size_t at, unsigned v) {
    bytes[at] = static_cast<char>(v & 0xFF);
    bytes[at + 1] = static_cast<char>(v >> 8 & 0xFF);
}

void put32(std::string& bytes, size_t at, unsigned v) {
    put16(bytes, at, v & 0xFFFF);
    put16(bytes, at + 2, v >> 16);
}

// A black 24-bit bitmap file.
std::string bitmapFile(unsigned width, unsigned height) {
    unsigned row = (width * 3 + 3) & ~3u;
    std::string bytes(54 + row * height, '\0');
    bytes[0] = 'B';
    bytes[1] = 'M';
    put32(bytes, 2, static_cast<unsigned>(bytes.size()));
    put32(bytes, 10, 54);
    put32(bytes, 14, 40);
    put32(bytes, 18, width);
    put32(bytes, 22, height);
    put16(bytes, 26, 1);
    put16(bytes, 28, 24);
    return bytes;
}

unsigned be16(const std::string& b, size_t at) {
    return static_cast<unsigned char>(b[at]) << 8 | static_cast<unsigned char>(b[at + 1]);
}

void putBe16(std::string& b, size_t at, unsigned v) {
    b[at] = static_cast<char>(v >> 8 & 0xFF);
    b[at + 1] = static_cast<char>(v & 0xFF);
}

// A font file of the host whose family is renamed: a face the system does not have otherwise.
std::string renamedFont(const std::string& from, const std::string& to) {
    win::UniqueFile file(CreateFileW(L"Z:\\usr\\share\\fonts\\truetype\\dejavu\\DejaVuSansMono.ttf", GENERIC_READ,
                                     FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file) return {};
    std::string font(GetFileSize(file.get(), nullptr), '\0');
    DWORD read = 0;
    ReadFile(file.get(), font.data(), static_cast<DWORD>(font.size()), &read, nullptr);
    for (unsigned t = 0; t < be16(font, 4); ++t) {
        size_t entry = 12 + 16 * t;
        if (font.compare(entry, 4, "name") != 0) continue;
        size_t table = be16(font, entry + 10) | be16(font, entry + 8) << 16;
        size_t strings = table + be16(font, table + 4);
        for (unsigned r = 0; r < be16(font, table + 2); ++r) {
            size_t record = table + 6 + 12 * r;
            bool wide = be16(font, record) != 1;  // every platform but the Mac spells UTF-16
            size_t at = strings + be16(font, record + 10), step = wide ? 2 : 1;
            std::string name;
            for (size_t i = wide ? 1 : 0; i < be16(font, record + 8); i += step) name += font[at + i];
            if (name != from) continue;
            for (size_t i = 0; i < to.size(); ++i) {
                if (wide) font[at + 2 * i] = '\0';
                font[at + i * step + step - 1] = to[i];
            }
            putBe16(font, record + 8, static_cast<unsigned>(to.size() * step));
        }
    }
    return font;
}

class ClockWindow : public testing_support::MeetDataTest {
protected:
    void SetUp() override {
        MeetDataTest::SetUp();
        testing_support::resetSharedState();
        CreateDirectoryW((folder + L"\\picture").c_str(), nullptr);
        CreateDirectoryW((folder + L"\\font").c_str(), nullptr);
    }
    void TearDown() override {
        forms::resetAll();
        MeetDataTest::TearDown();
    }

    clocks::time_glass& glass() { return forms::time_glass(); }
    int screenWidth() { return win::pixelsToTwipsX(shell::screenShared().screenwidth); }

    // Builds and paints the face again with `change` made to the clock's settings.
    void rebuild(const std::function<void(shell::ClockSetting&)>& change) {
        change(shell::clockSetting());
        glass().buildFace(false);
        glass().paintFace();
    }

    bool outlineIs(int cornerEllipse) {
        RECT r{};
        GetWindowRect(glass().hwnd(), &r);
        win::UniqueRegion now(CreateRectRgn(0, 0, 0, 0));
        win::UniqueRegion expected(
            CreateRoundRectRgn(1, 1, r.right - r.left - 1, r.bottom - r.top - 1, cornerEllipse, cornerEllipse));
        if (GetWindowRgn(glass().hwnd(), now.get()) == ERROR) return false;
        return CombineRgn(now.get(), now.get(), expected.get(), RGN_XOR) == NULLREGION;
    }
};

TEST_F(ClockWindow, ASavedPlaceOnTheScreenIsKeptAndAnEdgeOneSendsTheClockRightAndUp) {
    shell::saveclocksite(3000, 1500);
    glass().Form_Load();
    EXPECT_EQ(glass().Left(), 3000);
    EXPECT_EQ(glass().Top(), 1500);

    glass().unload();
    shell::saveclocksite(0, 0);
    glass().Form_Load();
    EXPECT_EQ(glass().Left(), win::pixelsToTwipsX(win::twipsToPixelsX(screenWidth() - glass().sizelabelWidth() - 100)));
    EXPECT_EQ(glass().Top(), 0);
}

TEST_F(ClockWindow, EveryPaintLeavesOneRoundedOutlineOnePixelInAndNoNewGdiObjects) {
    glass().Form_Load();
    EXPECT_TRUE(outlineIs(10));  // look code 1060605

    uint32_t before = win::gdiObjectMark();
    for (int i = 0; i < 100; ++i) glass().paintFace();
    EXPECT_EQ(win::gdiObjectMark(), before);
    EXPECT_TRUE(outlineIs(10));

    shell::clockSetting().Fontselect = L"1060600";
    glass().creatrange();
    EXPECT_TRUE(outlineIs(0));
}

TEST_F(ClockWindow, ASeeThroughFaceMakesTheKeyNextToTheTextColourTransparent) {
    glass().Form_Load();
    rebuild([](shell::ClockSetting& c) {
        c.checkvalue[6] = L'1';
        c.Fontselect = L"1061605";  // white text
    });
    COLORREF key = 0;
    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(glass().hwnd(), &key, &alpha, &flags));
    EXPECT_EQ(key, 0xFAFAFAu);
    EXPECT_EQ(flags, static_cast<DWORD>(LWA_COLORKEY));
    EXPECT_EQ(glass().face().backColour(), 0xFAFAFAu);
}

TEST_F(ClockWindow, ALargePictureIsTakenAt600By450PixelsAndTheWindowGrowsToIt) {
    writeFile(folder + L"\\picture\\hall.bmp", bitmapFile(800, 600));
    glass().Form_Load();
    rebuild([](shell::ClockSetting& c) { c.picturename = L"hall.bmp\\0"; });
    const shell::ClockSetting& c = shell::clockSetting();
    EXPECT_TRUE(shell::screenShared().usepicture);
    EXPECT_TRUE(glass().face().hasPicture());
    EXPECT_EQ(c.picture_width, 600);
    EXPECT_EQ(c.picture_height, 450);
    EXPECT_GE(glass().Width(), 9000);
    EXPECT_GE(glass().Height(), 6750);
}

TEST_F(ClockWindow, AGifPictureIsLoadedThroughTheSystemsPictureLoader) {
    const unsigned char gif[] = {0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 0x02, 0x00, 0x03, 0x00, 0x80, 0x00, 0x00, 0xFF, 0xFF,
                                 0xFF, 0x00, 0x00, 0x00, 0x21, 0xF9, 0x04, 0x00, 0x00, 0x00, 0x00, 0x00, 0x2C, 0x00, 0x00,
                                 0x00, 0x00, 0x02, 0x00, 0x03, 0x00, 0x00, 0x02, 0x03, 0x84, 0x1D, 0x05, 0x00, 0x3B};
    writeFile(folder + L"\\picture\\dot.gif", std::string(std::begin(gif), std::end(gif)));
    glass().Form_Load();
    rebuild([](shell::ClockSetting& c) { c.picturename = L"dot.gif\\0"; });
    EXPECT_TRUE(glass().face().hasPicture());
    EXPECT_EQ(shell::clockSetting().picture_width, 2);
}

TEST_F(ClockWindow, OnlyTheMouseOverTheFaceHoldsStayOnTop) {
    writeFile(folder + L"\\picture\\hall.bmp", bitmapFile(800, 600));
    glass().Form_Load();
    rebuild([](shell::ClockSetting& c) { c.picturename = L"hall.bmp\\0"; });
    RECT client{};
    GetClientRect(glass().hwnd(), &client);
    SendMessageW(glass().hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
    EXPECT_EQ(shell::timingState().topmostpause, 0);
    SendMessageW(glass().hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(client.right / 2, client.bottom / 2));
    EXPECT_EQ(shell::timingState().topmostpause, 200);
}

TEST_F(ClockWindow, AnEmptyPictureFilePaintsAPlainFaceAndTheRunGoesOn) {
    writeFile(folder + L"\\picture\\blank.bmp", "");
    glass().Form_Load();
    glass().Timer1.enabled(true);
    rebuild([](shell::ClockSetting& c) { c.picturename = L"blank.bmp\\0"; });
    EXPECT_TRUE(glass().Timer1.enabled());
    EXPECT_GE(glass().Left(), 0);
    EXPECT_GT(glass().Width(), glass().face().measure(glass().facetext).width);
    glass().Timer1.enabled(false);
}

TEST_F(ClockWindow, AMissingClockFontIsStoodInForByTheFontFolderUntilTheClockUnloads) {
    std::string trebuchet = renamedFont("DejaVu Sans Mono", "Trebuchet MS");
    if (trebuchet.empty()) GTEST_SKIP() << "no host font to stand in";
    writeFile(folder + L"\\font\\trebuc.ttf", trebuchet);
    glass().Form_Load();
    rebuild([](shell::ClockSetting& c) { c.clockFont = L"Velmora No Such Face"; });
    EXPECT_EQ(shell::clockSetting().clockFont, L"Trebuchet MS");
    // Sizes not asked for before, so that no font the system made earlier is reused.
    EXPECT_EQ(faces::readFont(L"Trebuchet MS", 31).face, L"Trebuchet MS");

    rebuild([](shell::ClockSetting& c) { c.clockFont = L"Arial Black"; });
    EXPECT_EQ(shell::clockSetting().clockFont, L"Arial Black");

    glass().unload();
    EXPECT_NE(faces::readFont(L"Trebuchet MS", 33).face, L"Trebuchet MS");
}

// A tick asks for the same paint again and again; the window system hears only of changes.
TEST_F(ClockWindow, OnlyAChangedFaceIsRepaintedAndOnlyANewShapeRecutsTheOutline) {
    struct Request {
        const char* name;
        std::function<void(clocks::time_glass&)> change;
        std::wstring text;
        bool repaints;
        bool recuts;
    };
    const Request requests[] = {
        {"first text", [](auto&) {}, L"12:34:56", true, false},
        {"same text again", [](auto&) {}, L"12:34:56", false, false},
        {"next second", [](auto&) {}, L"12:34:57", true, false},
        {"blank while blinking", [](auto&) {}, L"", true, false},
        {"blank again", [](auto&) {}, L"", false, false},
        {"other text colour", [](clocks::time_glass& g) { g.face().setTextColour(RGB(1, 2, 3)); }, L"", true, false},
        {"face hidden", [](clocks::time_glass& g) { g.face().setBackgroundVisible(false); }, L"", true, false},
        {"wider text", [](clocks::time_glass& g) { g.facetext = L"100:00:00"; }, L"", true, true},
        {"same wider text", [](auto&) {}, L"", false, false},
    };
    glass().Form_Load();
    UpdateWindow(glass().hwnd());
    for (const Request& r : requests) {
        LONG cuts = win::windowWork().regionSets;
        r.change(glass());
        glass().ShowStatue(r.text, 50);
        EXPECT_EQ(GetUpdateRect(glass().hwnd(), nullptr, FALSE) != FALSE, r.repaints) << r.name;
        EXPECT_EQ(win::windowWork().regionSets - cuts, r.recuts ? 1 : 0) << r.name;
        UpdateWindow(glass().hwnd());
    }
    EXPECT_TRUE(outlineIs(10));

    LONG cuts = win::windowWork().regionSets;
    shell::clockSetting().Fontselect = L"1060600";  // a square corner
    glass().ShowStatue(L"", 50);
    EXPECT_EQ(win::windowWork().regionSets - cuts, 1);
    EXPECT_TRUE(outlineIs(0));
}

// Five times a second the tick comes; once a second the text changes. The ticks in between must
// cost the registry and the window system nothing.
TEST_F(ClockWindow, TicksWithinASecondReadNoSettingsWalkNoWindowsAndMakeNothingNew) {
    shell::ClockSetting talk;
    shell::applyFirstRunDefaults(talk);
    addClock(L"talk", talk);
    addStage(L"09:00:00", L"09:01:00", L"talk", L"汇报");
    clock.setTimeOfDay(9, 0, 0);
    glass().Form_Load();
    glass().Timer5.fire();
    glass().Timer2.enabled(false);  // the prompt machine and blinking have their own costs
    glass().Timer3.enabled(false);
    auto tick = [this] {
        clock.advance(glass().Timer1.interval());
        glass().Timer1.fire();
        UpdateWindow(glass().hwnd());
    };
    tick();  // the first tick of a run sets the interval and takes the switches it needs

    struct Counted {
        const char* name;
        CallCounter counter;
        bool onNewSecond;  // may be called on a tick that shows a new second
        int seen = 0;
    };
    Counted counted[] = {
        {"RegOpenKeyExW", CallCounter(&RegOpenKeyExW), false},
        {"GetWindow", CallCounter(&GetWindow), false},
        {"SetTimer", CallCounter(&SetTimer), false},
        {"CreateCompatibleBitmap", CallCounter(&CreateCompatibleBitmap), false},
        {"CreateCompatibleDC", CallCounter(&CreateCompatibleDC), true},
    };
    for (const Counted& c : counted) ASSERT_TRUE(c.counter.counting()) << c.name;
    LONG paints = win::windowWork().paints;
    int newSeconds = 0;
    for (int i = 0; i < 25; ++i) {
        std::wstring before = glass().facetext;
        tick();
        bool newSecond = glass().facetext != before;
        newSeconds += newSecond;
        for (Counted& c : counted) {
            if (!(newSecond && c.onNewSecond)) {
                EXPECT_EQ(c.counter.calls, c.seen) << c.name << " tick " << i;
            }
            c.seen = c.counter.calls;
        }
    }
    EXPECT_EQ(newSeconds, 5);
    EXPECT_EQ(win::windowWork().paints - paints, 5);
}

}  // namespace
