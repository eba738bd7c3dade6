// The test host: a single-threaded apartment, as a presentation program's, with the library
// registered through regsvr32 before any test runs.
#include <gtest/gtest.h>

#include <utility>

#include "host_fixture.h"
#include "tests/hang_watch.h"
#include "win/handles.h"

namespace addin_test {
namespace {

thread_local BoxCatcher* catcher = nullptr;

BOOL CALLBACK collectText(HWND child, LPARAM into) {
    wchar_t cls[16] = {}, text[2048] = {};
    GetClassNameW(child, cls, 16);
    if (lstrcmpiW(cls, L"Static") == 0 && GetWindowTextW(child, text, 2048) > 0)
        *reinterpret_cast<std::wstring*>(into) += text;
    return TRUE;
}

LRESULT CALLBACK afterMessage(int code, WPARAM wp, LPARAM lp) {
    auto* m = reinterpret_cast<CWPRETSTRUCT*>(lp);
    if (code == HC_ACTION && catcher && m->message == WM_INITDIALOG) {
        BoxSeen box;
        wchar_t caption[256] = {};
        GetWindowTextW(m->hwnd, caption, 256);
        box.caption = caption;
        EnumChildWindows(m->hwnd, collectText, reinterpret_cast<LPARAM>(&box.text));
        catcher->seen.push_back(box);
        if (auto meanwhile = std::exchange(catcher->whileOpen, nullptr)) meanwhile();
        PostMessageW(m->hwnd, WM_COMMAND, IDOK, 0);
    }
    return CallNextHookEx(nullptr, code, wp, lp);
}

}  // namespace

BoxCatcher::BoxCatcher() : hook_(SetWindowsHookExW(WH_CALLWNDPROCRET, afterMessage, nullptr, GetCurrentThreadId())) {
    catcher = this;
}

BoxCatcher::~BoxCatcher() {
    catcher = nullptr;
    UnhookWindowsHookEx(hook_);
}

std::wstring libraryPath() { return folder() + L"Quintrel32.dll"; }

DWORD regsvr32(bool unregister) {
    std::wstring command = std::wstring(L"regsvr32.exe /s ") + (unregister ? L"/u " : L"") + L"\"" + libraryPath() + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started))
        return GetLastError();
    CloseHandle(started.hThread);
    win::UniqueFile process(started.hProcess);
    WaitForSingleObject(process.get(), 30000);
    DWORD code = 1;
    GetExitCodeProcess(process.get(), &code);
    return code;
}

}  // namespace addin_test

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    testing_support::watchForHangs();
    win::ComApartment apartment;
    if (addin_test::regsvr32(false) != 0) {
        fprintf(stderr, "regsvr32 could not register the library\n");
        return 1;
    }
    int result = RUN_ALL_TESTS();
    CoFreeUnusedLibraries();
    return result;
}

namespace addin_test {

void HostTest::SetUp() {
    AddinTest::SetUp();
    boxes = std::make_unique<BoxCatcher>();
    addin = create();
    ASSERT_TRUE(addin);
}

void HostTest::TearDown() {
    addin = {};
    boxes.reset();
    AddinTest::TearDown();
}

HRESULT libraryCanUnload() {
    auto canUnload = reinterpret_cast<HRESULT(WINAPI*)()>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"Quintrel32.dll"), "DllCanUnloadNow")));
    return canUnload ? canUnload() : E_FAIL;
}

win::ComPtr<addin::IDTExtensibility2> HostTest::create() {
    CLSID clsid{};
    win::ComPtr<addin::IDTExtensibility2> created;
    if (SUCCEEDED(CLSIDFromProgID(L"Quintrel.Quintrel32", &clsid)))
        CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, addin::IID_IDTExtensibility2, created.putVoid());
    return created;
}

void HostTest::connect(fake::Host& host) {
    SAFEARRAY* custom = nullptr;
    EXPECT_EQ(addin->OnConnection(host.app(), 0, nullptr, &custom), S_OK);
}

void HostTest::disconnect() {
    SAFEARRAY* custom = nullptr;
    EXPECT_EQ(addin->OnDisconnection(0, &custom), S_OK);
}

}  // namespace addin_test
