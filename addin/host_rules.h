#pragma once
// What the connection decides from the host and the registry, as plain functions.
#include <string>

namespace addin {

// WPS Presentation installs under a path that names it, in capitals.
bool isWpsHost(const std::wstring& applicationPath);

// The buttons a PowerPoint version gets.
enum class VersionButtons {
    MenuAndShow,  // 10.0, 11.0: a settings item in the slide-show menu, show-clock buttons
    Show,         // 12.0 to 17.0: show-clock buttons; settings come from the ribbon
    Unsupported,
};
VersionButtons buttonsForVersion(const std::wstring& version);

// The Office add-in entry of the 64-bit build of this add-in.
struct TwinEntry {
    std::wstring manifest;
    long loadBehavior = 0;
};
TwinEntry readTwinEntry();
// The twin is active when registered with a manifest and loaded at start-up.
bool twinActive(const TwinEntry& twin);
// Connection and disconnection add that the host is newer than Office 2003.
bool twinActiveIn(const TwinEntry& twin, const std::wstring& version);

// What a disconnection undoes in each mode for the hand mode the sibling programs set.
struct DisconnectPlan {
    bool removeButtons;
    bool deleteShowValues;
};
DisconnectPlan disconnectPlan(bool wps, int handmode);

}  // namespace addin
