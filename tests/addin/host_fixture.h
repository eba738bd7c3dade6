#pragma once
// The test host's side of the add-in: created by its ProgID, connected to a fake host, and
// every message box it shows read and closed.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "addin/office_interfaces.h"
#include "addin_fixture.h"
#include "fake_host.h"

namespace addin_test {

// Where the two hosts install: WPS names itself in its path.
inline constexpr wchar_t kPowerPointPath[] = L"C:\\Program Files\\Microsoft Office\\Office16";
inline constexpr wchar_t kWpsPath[] = L"C:\\Program Files\\Kingsoft\\WPS Office\\office6";

struct BoxSeen {
    std::wstring caption;
    std::wstring text;
};

// Reads and closes every dialog box this thread opens for as long as it lives.
class BoxCatcher {
public:
    BoxCatcher();
    ~BoxCatcher();
    BoxCatcher(const BoxCatcher&) = delete;
    BoxCatcher& operator=(const BoxCatcher&) = delete;
    std::vector<BoxSeen> seen;
    // Runs once, inside the next box, before the box is answered: what the host does meanwhile.
    std::function<void()> whileOpen;

private:
    HHOOK hook_;
};

// Runs regsvr32 on the library in the test folder; its exit code.
DWORD regsvr32(bool unregister);
std::wstring libraryPath();

// What the loaded library answers a host that would unload it.
HRESULT libraryCanUnload();

class HostTest : public AddinTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // A fresh add-in object, as the host creates one.
    win::ComPtr<addin::IDTExtensibility2> create();
    void connect(fake::Host& host);
    void disconnect();

    win::ComPtr<addin::IDTExtensibility2> addin;
    std::unique_ptr<BoxCatcher> boxes;
};

}  // namespace addin_test
