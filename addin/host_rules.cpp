#include "addin/host_rules.h"

#include <cwchar>

#include "addin/addin_setting.h"
#include "addin/stores.h"

namespace addin {
namespace {

constexpr wchar_t kTwinKey[] = L"Software\\Microsoft\\Office\\PowerPoint\\Addins\\Quintrel64";
constexpr long kLoadAtStartup = 3;
constexpr double kOffice2003 = 11;

}  // namespace

bool isWpsHost(const std::wstring& applicationPath) { return applicationPath.find(L"WPS") != std::wstring::npos; }

VersionButtons buttonsForVersion(const std::wstring& version) {
    if (version == L"10.0" || version == L"11.0") return VersionButtons::MenuAndShow;
    for (const wchar_t* v : {L"12.0", L"13.0", L"14.0", L"15.0", L"16.0", L"17.0"}) {
        if (version == v) return VersionButtons::Show;
    }
    return VersionButtons::Unsupported;
}

TwinEntry readTwinEntry() {
    TwinEntry twin;
    twin.manifest = cutAtLineEnd(readText(kTwinKey, L"Manifest").value_or(L""));
    twin.loadBehavior = numberFromText(readText(kTwinKey, L"LoadBehavior").value_or(L"")).value_or(0);
    return twin;
}

bool twinActive(const TwinEntry& twin) { return !twin.manifest.empty() && twin.loadBehavior == kLoadAtStartup; }

bool twinActiveIn(const TwinEntry& twin, const std::wstring& version) {
    // Versions are decimal texts such as "16.0"; anything else is no newer host.
    wchar_t* end = nullptr;
    double number = std::wcstod(version.c_str(), &end);
    bool newer = end != version.c_str() && *end == L'\0' && number > kOffice2003;
    return twinActive(twin) && newer;
}

DisconnectPlan disconnectPlan(bool wps, int handmode) {
    if (wps) return handmode == 1 ? DisconnectPlan{false, false} : DisconnectPlan{true, true};
    return DisconnectPlan{true, handmode == 0};
}

}  // namespace addin
