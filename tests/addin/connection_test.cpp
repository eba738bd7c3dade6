#include <algorithm>

#include "addin/command_bars.h"
#include "addin/quintrel32.h"
#include "addin/siblings.h"
#include "host_fixture.h"

namespace addin_test {
namespace {

using fake::Host;
using fake::Object;

constexpr wchar_t kUnsupported[] = L"不支持该版本，请与作者联系";
constexpr wchar_t kClockMissingStart[] = L"工具属性，需计时程序随PPT程序一并运行";
constexpr wchar_t kSettingsMissing[] = L"Fennick.exe不存在，请保证文件完整";
constexpr const wchar_t* kShowValues[] = {L"clockopen", L"exitpptpd", L"exitpagepd", L"pptname",
                                          L"timershow", L"timerpause", L"time"};

std::vector<std::wstring> standardBars() { return {L"Menu Bar", L"Standard", L"Slide Show"}; }

void setShowValues() {
    for (const wchar_t* name : kShowValues) setRegistryText(kHarrowby, name, L"1");
}

std::vector<std::wstring> showValuesLeft() {
    std::vector<std::wstring> left;
    for (const wchar_t* name : kShowValues) {
        if (registryText(kHarrowby, name)) left.push_back(name);
    }
    return left;
}

// --- host kinds and versions ---------------------------------------------------------------

struct VersionCase {
    const wchar_t* path;
    const wchar_t* version;
    bool wps;
    bool showButton;
    bool menuItem;
    bool unsupported;
};

class Versions : public HostTest, public ::testing::WithParamInterface<VersionCase> {};

TEST_P(Versions, GetTheirButtonsOrTheMessage) {
    const VersionCase& c = GetParam();
    installSibling(addin::kClockProgram, false);
    Host host(c.path, c.version, standardBars());
    DWORD startedBefore = processesStarted();
    connect(host);

    EXPECT_EQ(registryText(kHarrowby, L"dllname"), L"3");
    auto show = host.bar(3)->captioned(addin::kShowClockCaption);
    ASSERT_EQ(show.size(), c.showButton ? 1u : 0u);
    if (c.showButton) {
        EXPECT_EQ(host.bar(3)->controls->children.front().get(), show[0]) << "first on the bar";
        EXPECT_EQ(show[0]->number(L"type"), 1);
        EXPECT_TRUE(show[0]->flag(L"visible"));
        EXPECT_FALSE(show[0]->flag(L"temporary"));
        EXPECT_EQ(show[0]->text(L"style"), c.wps ? L"3" : L"");
        EXPECT_EQ(show[0]->text(L"parameter"), c.wps ? L"" : L"showtime");
        EXPECT_EQ(show[0]->text(L"tag"), c.wps ? L"" : L"time_check");
    }
    auto wpsMenu = host.bar(1)->captioned(addin::kSettingsCaption);
    ASSERT_EQ(wpsMenu.size(), c.wps ? 1u : 0u);
    if (c.wps) {
        EXPECT_EQ(wpsMenu[0]->number(L"faceid"), 734);
        EXPECT_TRUE(wpsMenu[0]->flag(L"begingroup"));
        EXPECT_EQ(host.bar(1)->controls->children.back().get(), wpsMenu[0]) << "appended";
    }
    auto item = host.slideShowMenu()->captioned(addin::kSettingsCaption);
    ASSERT_EQ(item.size(), c.menuItem ? 1u : 0u);
    if (c.menuItem) {
        EXPECT_EQ(item[0]->text(L"parameter"), L"clock_setting");
        EXPECT_EQ(item[0]->text(L"tag"), L"time_check");
        EXPECT_EQ(item[0]->number(L"faceid"), 33);
        EXPECT_TRUE(item[0]->flag(L"begingroup"));
        EXPECT_TRUE(item[0]->flag(L"temporary"));
    }
    ASSERT_EQ(boxes->seen.size(), c.unsupported ? 1u : 0u);
    if (c.unsupported) {
        EXPECT_EQ(boxes->seen[0].text, kUnsupported);
        EXPECT_EQ(boxes->seen[0].caption, L"PPTKelvane");
    }
    size_t starts = c.unsupported ? 0 : 1;
    EXPECT_EQ(processesStarted() - startedBefore, starts);
    EXPECT_EQ(siblingStarts(starts).size(), starts);

    disconnect();
    EXPECT_TRUE(host.bar(3)->captioned(addin::kShowClockCaption).empty());
    EXPECT_TRUE(host.bar(1)->captioned(addin::kSettingsCaption).empty());
    EXPECT_TRUE(host.slideShowMenu()->captioned(addin::kSettingsCaption).empty());
    EXPECT_EQ(boxes->seen.size(), c.unsupported ? 2u : 0u) << "the message comes again at disconnection";
}

INSTANTIATE_TEST_SUITE_P(
    Hosts, Versions,
    ::testing::Values(VersionCase{kWpsPath, L"9.0", true, true, false, false},
                      VersionCase{L"C:\\wps office\\office6", L"16.0", false, true, false, false},
                      VersionCase{kPowerPointPath, L"9.0", false, false, false, true},
                      VersionCase{kPowerPointPath, L"10.0", false, true, true, false},
                      VersionCase{kPowerPointPath, L"11.0", false, true, true, false},
                      VersionCase{kPowerPointPath, L"13.0", false, true, false, false},
                      VersionCase{kPowerPointPath, L"16.0", false, true, false, false},
                      VersionCase{kPowerPointPath, L"18.0", false, false, false, true}));

// --- which bars ----------------------------------------------------------------------------

TEST_F(HostTest, ShowButtonsGoOnEverySlideShowBarAmongTheFirst95AndReplaceLeftovers) {
    for (const wchar_t* path : {kPowerPointPath, kWpsPath}) {
        std::vector<std::wstring> bars = {L"Menu Bar", L"Slide Show"};
        while (bars.size() < 95) bars.push_back(bars.size() == 40 ? L"Slide Show" : L"Other");
        bars.push_back(L"Slide Show");  // index 96
        Host host(path, L"16.0", bars);
        for (int i = 0; i < 3; ++i) host.addControl(host.bar(2), addin::kShowClockCaption);

        connect(host);
        EXPECT_EQ(host.bar(2)->captioned(addin::kShowClockCaption).size(), 2u) << "two removed, one added";
        EXPECT_EQ(host.bar(41)->captioned(addin::kShowClockCaption).size(), 1u);
        EXPECT_EQ(host.bar(96)->captioned(addin::kShowClockCaption).size(), 0u);
        disconnect();
        EXPECT_EQ(host.bar(2)->captioned(addin::kShowClockCaption).size(), 1u) << "one pass removes one per bar";
        EXPECT_EQ(host.bar(41)->captioned(addin::kShowClockCaption).size(), 0u);
    }
}

TEST_F(HostTest, WithoutSlideShowBarsWpsStillGetsItsSettingsButtonAndStartsTheClock) {
    installSibling(addin::kClockProgram, false);
    Host host(kWpsPath, L"9.0", {L"Menu Bar", L"Standard"});
    connect(host);
    EXPECT_EQ(host.bar(1)->captioned(addin::kSettingsCaption).size(), 1u);
    EXPECT_EQ(siblingStarts(1), std::vector<std::string>{"Dovecrest.exe"});
}

// --- the 64-bit twin -----------------------------------------------------------------------

struct TwinCase {
    const wchar_t* manifest;
    DWORD loadBehavior;
    const wchar_t* version;
    bool idle;
    bool ribbon;
};

class Twin : public HostTest, public ::testing::WithParamInterface<TwinCase> {};

TEST_P(Twin, KeepsTheAddinIdleOnlyWhenActive) {
    const TwinCase& c = GetParam();
    setRegistryText(kTwinKey, L"Manifest", c.manifest);
    setRegistryNumber(kTwinKey, L"LoadBehavior", c.loadBehavior);
    Host host(kPowerPointPath, c.version, standardBars());
    connect(host);
    EXPECT_EQ(registryText(kHarrowby, L"dllname"), L"3");
    EXPECT_EQ(host.bar(3)->captioned(addin::kShowClockCaption).empty(), c.idle);

    win::ComPtr<addin::IRibbonExtensibility> ribbon;
    ASSERT_EQ(addin->QueryInterface(addin::IID_IRibbonExtensibility, ribbon.putVoid()), S_OK);
    BSTR xml = nullptr;
    EXPECT_EQ(ribbon->GetCustomUI(nullptr, &xml), S_OK);
    EXPECT_EQ(SysStringLen(xml) > 0, c.ribbon);
    SysFreeString(xml);

    setShowValues();
    disconnect();
    EXPECT_EQ(showValuesLeft().size(), c.idle ? 7u : 0u) << "an idle connection undoes nothing";
}

INSTANTIATE_TEST_SUITE_P(Registrations, Twin,
                         ::testing::Values(TwinCase{L"Quintrel64.manifest", 3, L"16.0", true, false},
                                           TwinCase{L"Quintrel64.manifest", 2, L"16.0", false, true},
                                           TwinCase{L"Quintrel64.manifest", 3, L"11.0", false, false},
                                           TwinCase{L"", 3, L"16.0", false, true}));

// --- hand mode -----------------------------------------------------------------------------

struct HandCase {
    bool wps;
    DWORD handmode;
    bool buttonsStay;
    std::vector<std::wstring> valuesLeft;
};

class HandMode : public HostTest, public ::testing::WithParamInterface<HandCase> {};

TEST_P(HandMode, DecidesWhatDisconnectionKeeps) {
    const HandCase& c = GetParam();
    Host host(c.wps ? kWpsPath : kPowerPointPath, L"16.0", standardBars());
    connect(host);
    setShowValues();
    setRegistryNumber(kHarrowby, L"handmode", c.handmode);
    disconnect();
    EXPECT_EQ(host.bar(3)->captioned(addin::kShowClockCaption).size(), c.buttonsStay ? 1u : 0u);
    EXPECT_EQ(showValuesLeft(), c.valuesLeft);
}

const std::vector<std::wstring> kAll(std::begin(kShowValues), std::end(kShowValues));
const std::vector<std::wstring> kKeptByPowerPoint = {L"clockopen", L"timershow", L"timerpause", L"time"};

INSTANTIATE_TEST_SUITE_P(Modes, HandMode,
                         ::testing::Values(HandCase{false, 0, false, {}}, HandCase{false, 1, false, kKeptByPowerPoint},
                                           HandCase{false, 2, false, kKeptByPowerPoint}, HandCase{true, 0, false, {}},
                                           HandCase{true, 1, true, kAll}, HandCase{true, 2, false, {}}));

// --- ribbon and clicks ---------------------------------------------------------------------

TEST_F(HostTest, RibbonTextIsExact) {
    const std::wstring expected =
        L"<customUI xmlns=\"http://schemas.microsoft.com/office/2006/01/customui\"><ribbon ><tabs>"
        L"<tab idMso=\"TabSlideShow\"><group id=\"SampleGroup1\" label=\"Kelvane\">"
        L"<button id=\"Button4\" label=\"时钟设置\" size=\"large\" imageMso=\"StartAfterPrevious\" "
        L"onAction=\"mybuttons\"/></group ></tab></tabs></ribbon></customUI>";
    win::ComPtr<addin::IRibbonExtensibility> ribbon;
    ASSERT_EQ(addin->QueryInterface(addin::IID_IRibbonExtensibility, ribbon.putVoid()), S_OK);
    BSTR xml = nullptr;
    ASSERT_EQ(ribbon->GetCustomUI(nullptr, &xml), S_OK);
    EXPECT_EQ(std::wstring(xml, SysStringLen(xml)), expected);
    SysFreeString(xml);

    // The same through the class's own interface, late-bound, as the ribbon host calls it.
    auto late = win::dispatchValue(reinterpret_cast<IDispatch*>(ribbon.get()), L"IRibbonExtensibility_GetCustomUI",
                                   win::arguments(win::Variant(L"Microsoft.PowerPoint.Presentation")));
    ASSERT_TRUE(late);
    EXPECT_EQ(late->text(), expected);
}

enum class Target { ShowButton, MenuItem, OtherTagged, WpsShow, WpsMenu, Ribbon4, Ribbon5 };

struct ClickCase {
    Target target;
    const wchar_t* message;  // empty when none
    bool cancelDefault;
};

class Clicks : public HostTest, public ::testing::WithParamInterface<ClickCase> {};

TEST_P(Clicks, ReachTheirCommand) {
    const ClickCase& c = GetParam();
    bool wps = c.target == Target::WpsShow || c.target == Target::WpsMenu;
    Host host(wps ? kWpsPath : kPowerPointPath, L"11.0", {L"Menu Bar", L"Slide Show", L"Slide Show"});
    connect(host);
    bool cancel = false;
    switch (c.target) {
    case Target::ShowButton:  // the first bar's button: the watch holds the last one, the Tag serves all
        cancel = host.click(host.bar(2)->captioned(addin::kShowClockCaption).at(0));
        break;
    case Target::WpsShow:  // untagged: only the last button added is watched
        cancel = host.click(host.bar(3)->captioned(addin::kShowClockCaption).at(0));
        break;
    case Target::MenuItem:
        cancel = host.click(host.slideShowMenu()->captioned(addin::kSettingsCaption).at(0));
        break;
    case Target::OtherTagged: {
        Object* other = host.addControl(host.bar(2), L"别的");
        other->props[L"tag"] = win::Variant(L"time_check");
        other->props[L"parameter"] = win::Variant(L"other");
        cancel = host.click(other);
        break;
    }
    case Target::WpsMenu:
        cancel = host.click(host.bar(1)->captioned(addin::kSettingsCaption).at(0));
        break;
    case Target::Ribbon4:
    case Target::Ribbon5: {
        Object* control = host.addControl(host.bar(2), L"ribbon");
        control->props[L"id"] = win::Variant(c.target == Target::Ribbon4 ? L"Button4" : L"Button5");
        win::ComPtr<addin::_Quintrel32> own;
        ASSERT_EQ(addin->QueryInterface(addin::IID__Quintrel32, own.putVoid()), S_OK);
        EXPECT_EQ(win::dispatchCall(own.get(), L"mybuttons", win::arguments(win::Variant(static_cast<IDispatch*>(control)))),
                  S_OK);
        break;
    }
    }
    EXPECT_EQ(cancel, c.cancelDefault);
    ASSERT_EQ(boxes->seen.size(), *c.message ? 1u : 0u);
    if (*c.message) {
        EXPECT_EQ(boxes->seen[0].text.rfind(c.message, 0), 0u);
    }
    disconnect();
}

INSTANTIATE_TEST_SUITE_P(Routes, Clicks,
                         ::testing::Values(ClickCase{Target::ShowButton, kClockMissingStart, true},
                                           ClickCase{Target::MenuItem, kSettingsMissing, true},
                                           ClickCase{Target::OtherTagged, L"", true},
                                           ClickCase{Target::WpsShow, kClockMissingStart, false},
                                           ClickCase{Target::WpsMenu, kSettingsMissing, false},
                                           ClickCase{Target::Ribbon4, kSettingsMissing, false},
                                           ClickCase{Target::Ribbon5, L"", false}));

// --- leaks ---------------------------------------------------------------------------------

// The index of a fresh GDI object grows with every GDI object left behind.
uintptr_t gdiProbe() {
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    auto value = reinterpret_cast<uintptr_t>(brush) & 0xFFFF;
    DeleteObject(brush);
    return value;
}

// Likewise the index of a fresh TLS slot with every slot left behind.
DWORD tlsProbe() {
    DWORD slot = TlsAlloc();
    TlsFree(slot);
    return slot;
}

size_t heapBytesInUse() {
    HANDLE heaps[64];
    DWORD count = std::min<DWORD>(GetProcessHeaps(64, heaps), 64);
    size_t used = 0;
    for (DWORD i = 0; i < count; ++i) {
        PROCESS_HEAP_ENTRY entry{};
        while (HeapWalk(heaps[i], &entry)) {
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) used += entry.cbData;
        }
    }
    return used;
}

// --- slide-show events through the library -------------------------------------------------

struct EventCase {
    const char* name;
    const wchar_t* path;
    fake::Flavour flavour;
};

class ShowEvents : public HostTest, public ::testing::WithParamInterface<EventCase> {};

TEST_P(ShowEvents, ReachTheLibraryUntilTheDisconnection) {
    const EventCase& c = GetParam();
    Host host(c.path, L"16.0", standardBars(), c.flavour);
    host.shows.decks = {fake::Deck{L"汇报.pptx"}};
    auto* app = static_cast<Object*>(host.app());
    connect(host);
    ASSERT_EQ(app->sinks.size(), 1u) << "the add-in listens to the application's events";

    host.shows.begin(0);
    EXPECT_EQ(registryText(kHarrowby, L"handname"), L"汇报.pptx");
    EXPECT_EQ(registryText(kHarrowby, L"exitpptpd"), L"1");
    // The window's own timers run while the host pumps: the slide watcher copies the slide to the INI file.
    std::wstring ini = folder() + L"TimeData.db";
    for (DWORD start = GetTickCount(); GetTickCount() - start < 5000 && GetFileAttributesW(ini.c_str()) ==
                                                                           INVALID_FILE_ATTRIBUTES;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        Sleep(20);
    }
    EXPECT_EQ(GetPrivateProfileIntW(L"Mirthwell", L"currentpage", 0, ini.c_str()), 1u);

    disconnect();
    EXPECT_TRUE(app->sinks.empty()) << "the watch ends with the connection";
    EXPECT_FALSE(registryText(kHarrowby, L"exitpptpd")) << "and so does the timing of its show";
    setRegistryText(kHarrowby, L"handname", L"x");
    host.shows.end(0);
    EXPECT_EQ(registryText(kHarrowby, L"handname"), L"x");
}

INSTANTIATE_TEST_SUITE_P(Hosts, ShowEvents,
                         ::testing::Values(EventCase{"powerpoint", kPowerPointPath, fake::Flavour::PowerPoint},
                                           EventCase{"wps", kWpsPath, fake::Flavour::Wps}),
                         [](const auto& info) { return std::string(info.param.name); });

DWORD handleCount() {
    DWORD n = 0;
    GetProcessHandleCount(GetCurrentProcess(), &n);
    return n;
}

TEST_F(HostTest, HundredConnectionsLeaveNoHandleObjectOrMemoryBehind) {
    addin = {};
    auto cycle = [this] {
        Host host(kPowerPointPath, L"16.0", {L"Menu Bar", L"Slide Show", L"Slide Show"});
        addin = create();
        host.shows.decks = {fake::Deck{L"a.pptx"}};
        connect(host);
        host.click(host.bar(2)->captioned(addin::kShowClockCaption).at(0));
        host.shows.begin(0);
        host.shows.end(0);
        disconnect();
        addin = {};
        CoFreeUnusedLibrariesEx(0, 0);  // hosts let COM unload a library no object of which lives
    };
    for (int i = 0; i < 3; ++i) cycle();
    boxes->seen.clear();
    boxes->seen.reserve(100);
    long hostObjects = fake::liveObjects();
    DWORD handles = handleCount();
    uintptr_t gdi = gdiProbe();
    DWORD tls = tlsProbe();
    size_t heap = heapBytesInUse();

    for (int i = 0; i < 100; ++i) cycle();

    EXPECT_EQ(fake::liveObjects(), hostObjects) << "the add-in let go of every host object";
    EXPECT_LE(handleCount(), handles + 2);
    EXPECT_LE(gdiProbe(), gdi + 2);
    EXPECT_EQ(tlsProbe(), tls);
    EXPECT_LE(heapBytesInUse(), heap + 100 * 1024) << "a connection costs no lasting kilobyte";
    EXPECT_EQ(boxes->seen.size(), 100u);
    EXPECT_EQ(libraryCanUnload(), S_OK) << "no object of the library is alive";
}

}  // namespace
}  // namespace addin_test

