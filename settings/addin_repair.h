#pragma once
// "程序修复": makes sure the scripting runtime is present and registered, registers the
// office add-in library Larkmont32 beside the program with Word, Excel and PowerPoint and
// the WPS white lists, clears Office's lists of disabled add-ins, and says how it went.
#include <windows.h>

#include <string>
#include <vector>

#include "shell/settings_registry.h"

namespace settings {

// What the repair does to the machine beyond the registry API. The program uses the system;
// tests install one that records the commands and answers for the scripting object.
class RepairSystem {
public:
    virtual ~RepairSystem() = default;
    virtual std::wstring windowsFolder() = 0;
    virtual std::wstring systemFolder() = 0;
    // Runs a command line minimised and waits for it, up to a time limit; true only when it
    // ended in time with exit code 0.
    virtual bool runCommand(const std::wstring& commandLine) = 0;
    // The shell scripting object's RegWrite and RegDelete on a full path
    // ("HKEY_CURRENT_USER\..."); false when the object refused.
    virtual bool scriptWrite(const std::wstring& fullPath, const shell::RegValue& value) = 0;
    virtual bool scriptDelete(const std::wstring& fullPath) = 0;
};

// Starts a command line minimised and waits for it up to `limitMs` with this thread's messages
// running; one still running then is ended. True only when it ended in time with exit code 0.
bool runRegistration(const std::wstring& commandLine, DWORD limitMs);

RepairSystem& repairSystem();
// Installs a system (nullptr: the real one again). The caller keeps it alive while installed.
void setRepairSystem(RepairSystem* s);

// One add-in value the repair writes under HKEY_CURRENT_USER.
struct AddinValue {
    std::wstring key;
    std::wstring name;
    shell::RegValue data;
};
// The 15 values in the order they are written.
std::vector<AddinValue> addinValues();
// The 24 keys of disabled add-ins, in the order they are deleted.
std::vector<std::wstring> disabledItemKeys();

// Runs every step; the names of the steps that failed, none when all went well.
std::vector<std::wstring> repairAddins();

// The closing box's text: that the repair succeeded, or which steps failed; then, either way,
// that the timing parameters (deleted before the repair) are to be set again, and the advice.
std::wstring repairMessage(const std::vector<std::wstring>& failedSteps);

inline constexpr wchar_t kRepairNotice[] = L"接下来将注册控件，杀毒软件提示请选择允许程序操作";

}  // namespace settings
