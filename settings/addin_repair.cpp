#include "settings/addin_repair.h"

#include <oleauto.h>

#include <array>

#include "shell/ini_store.h"
#include "shell/program_folder.h"
#include "win/handles.h"
#include "win/pump.h"

namespace settings {
namespace {

constexpr wchar_t kUserRoot[] = L"HKEY_CURRENT_USER\\";
constexpr wchar_t kRegister[] = L"Regsvr32  /s   ";
constexpr wchar_t kAddinLibrary[] = L"Larkmont32.dll";
constexpr std::array<const wchar_t*, 2> kSystemFiles{L"scrrun.dll", L"user32.dll"};
constexpr DWORD kCommandWaitMs = 15000;  // a registration takes well under a second

// The closing box's pieces, a blank line between two of them; a line ends in a carriage return
// alone. The settings are gone however the repair ended, so every end asks for them again.
constexpr wchar_t kRepaired[] = L"修复成功，";
constexpr wchar_t kSetAgain[] = L"请重新设置计时参数，还不计时请关闭文件后再次修复：";
constexpr wchar_t kAsAdministrator[] = L"法1：【以管理员身份运行】后，再次修复";
constexpr wchar_t kReinstall[] = L"法2：也可卸载程序后，重启电脑后重新安装";
constexpr wchar_t kContactAuthor[] = L"多次后不能正常使用请和作者联系";
constexpr wchar_t kNotRepaired[] = L"程序修复没有完成，以下步骤失败：";
constexpr wchar_t kLine[] = L"\r";
constexpr wchar_t kPieceGap[] = L"\r\r";

void unregisterWait(HANDLE wait) { UnregisterWaitEx(wait, INVALID_HANDLE_VALUE); }
using UniqueWait = win::Unique<win::NullTraits<HANDLE, unregisterWait>>;

void CALLBACK endAtLimit(void* process, BOOLEAN timedOut) {
    if (timedOut) TerminateProcess(process, 1);
}

bool exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::wstring registerCommand(const std::wstring& path) { return kRegister + (L"\"" + path + L"\""); }

// The scripting object, reached late-bound; every call tells whether it went through.
class ScriptShell {
public:
    ScriptShell() {
        CLSID cls;
        if (FAILED(CLSIDFromProgID(L"WScript.Shell", &cls))) return;
        CoCreateInstance(cls, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_IDispatch, shell_.putVoid());
    }

    bool call(const wchar_t* method, std::vector<VARIANT> args) {  // args in the method's order
        bool ok = invoke(method, args);
        for (VARIANT& v : args) VariantClear(&v);
        return ok;
    }

private:
    bool invoke(const wchar_t* method, std::vector<VARIANT>& args) {
        if (!shell_) return false;
        DISPID id;
        auto* name = const_cast<LPOLESTR>(method);
        if (FAILED(shell_->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id))) return false;
        std::vector<VARIANT> reversed(args.rbegin(), args.rend());
        DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
        VARIANT result;
        VariantInit(&result);
        HRESULT hr = shell_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, &result, nullptr, nullptr);
        VariantClear(&result);
        return SUCCEEDED(hr);
    }

    win::ComPtr<IDispatch> shell_;
};

VARIANT text(const std::wstring& s) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BSTR;
    v.bstrVal = SysAllocString(s.c_str());
    return v;
}

VARIANT number(int32_t n) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = n;
    return v;
}

class SystemRepair final : public RepairSystem {
public:
    std::wstring windowsFolder() override { return folder(GetWindowsDirectoryW); }
    std::wstring systemFolder() override { return folder(GetSystemDirectoryW); }

    bool runCommand(const std::wstring& commandLine) override { return runRegistration(commandLine, kCommandWaitMs); }

    bool scriptWrite(const std::wstring& fullPath, const shell::RegValue& value) override {
        win::ComApartment com;
        ScriptShell script;
        if (auto* s = std::get_if<std::wstring>(&value)) return script.call(L"RegWrite", {text(fullPath), text(*s), text(L"REG_SZ")});
        return script.call(L"RegWrite", {text(fullPath), number(std::get<int32_t>(value)), text(L"REG_DWORD")});
    }

    bool scriptDelete(const std::wstring& fullPath) override {
        win::ComApartment com;
        ScriptShell script;
        return script.call(L"RegDelete", {text(fullPath)});
    }

private:
    static std::wstring folder(UINT(WINAPI* query)(LPWSTR, UINT)) {
        wchar_t buffer[256];
        UINT n = query(buffer, 256);
        return n > 0 && n < 256 ? std::wstring(buffer, n) : std::wstring();
    }
};

RepairSystem*& installed() {
    static RepairSystem* s = nullptr;
    return s;
}

// Step: the scripting runtime present and registered in the system folder.
void repairSystemFiles(std::vector<std::wstring>& failed) {
    RepairSystem& sys = repairSystem();
    std::wstring wow = sys.windowsFolder() + L"\\SysWOW64";
    std::wstring target = exists(wow) ? wow : sys.systemFolder();
    for (const wchar_t* name : kSystemFiles) {
        std::wstring there = target + L"\\" + name;
        if (!exists(there) && !CopyFileW(shell::inProgramFolder(name).c_str(), there.c_str(), TRUE)) {
            failed.push_back(std::wstring(L"复制 ") + name + L" 到 " + target);
        }
        if (name != kSystemFiles.back() && !sys.runCommand(registerCommand(there))) {
            failed.push_back(std::wstring(L"注册 ") + name);
        }
    }
}

// Step: the add-in's registration values, through the scripting object or else the API.
void registerAddin(std::vector<std::wstring>& failed) {
    std::wstring library = shell::inProgramFolder(kAddinLibrary);
    if (!exists(library)) return;
    RepairSystem& sys = repairSystem();
    bool scripted = true;
    for (const AddinValue& v : addinValues()) scripted = sys.scriptWrite(kUserRoot + v.key + L"\\" + v.name, v.data) && scripted;
    if (!scripted) {
        for (const AddinValue& v : addinValues()) {
            shell::regCreateKey(HKEY_CURRENT_USER, v.key);  // the add-in's key may not exist yet
            if (shell::regWriteValue(HKEY_CURRENT_USER, v.key, v.name, v.data) != ERROR_SUCCESS) {
                failed.push_back(L"写入注册表 " + v.key + L"\\" + v.name);
            }
        }
    }
    if (!sys.runCommand(registerCommand(library))) failed.push_back(std::wstring(L"注册 ") + kAddinLibrary);
}

// Step: Office's lists of disabled add-ins cleared; a list that is not there is clear.
void clearDisabledItems(std::vector<std::wstring>& failed) {
    RepairSystem& sys = repairSystem();
    bool scripted = true;
    for (const std::wstring& key : disabledItemKeys()) scripted = sys.scriptDelete(kUserRoot + key) && scripted;
    if (scripted) return;
    for (const std::wstring& key : disabledItemKeys()) {
        LONG r = shell::regDeleteKey(HKEY_CURRENT_USER, key.substr(0, key.size() - 1));
        if (r != ERROR_SUCCESS && r != ERROR_FILE_NOT_FOUND) failed.push_back(L"删除注册表项 " + key);
    }
}

}  // namespace

bool runRegistration(const std::wstring& commandLine, DWORD limitMs) {
    std::wstring line = commandLine;
    STARTUPINFOW start{};
    start.cb = sizeof start;
    start.dwFlags = STARTF_USESHOWWINDOW;
    start.wShowWindow = SW_SHOWMINIMIZED;
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &start, &started)) {
        return false;
    }
    win::UniqueFile process(started.hProcess);
    win::UniqueFile thread(started.hThread);
    // The limit is kept by the thread pool, not by the loop below: a question or a menu opened
    // meanwhile runs a loop of its own on top of this one. A hung registration left running
    // would hold the library, and the next repair, which the failure message advises, would
    // start another beside it.
    HANDLE wait = nullptr;
    if (!RegisterWaitForSingleObject(&wait, process.get(), endAtLimit, process.get(), limitMs,
                                     WT_EXECUTEONLYONCE)) {
        TerminateProcess(process.get(), 1);
        return false;
    }
    UniqueWait limit(wait);
    bool ended = win::waitPumping(process.get(), INFINITE);
    limit.reset();  // returns once a limit being kept has done its work
    if (!ended) {
        TerminateProcess(process.get(), 1);  // the program is ending
        return false;
    }
    // A registration that fails, or was ended at its limit, must not pass for a repaired one.
    DWORD exitCode = 1;
    return GetExitCodeProcess(process.get(), &exitCode) && exitCode == 0;
}

RepairSystem& repairSystem() {
    static SystemRepair system;
    return installed() ? *installed() : system;
}

void setRepairSystem(RepairSystem* s) { installed() = s; }

std::vector<AddinValue> addinValues() {
    struct Host {
        const wchar_t* office;
        const wchar_t* wps;
        const wchar_t* progId;
    };
    constexpr Host hosts[] = {{L"Word", L"WPS", L"Larkmont.OfficeWd"},
                              {L"Excel", L"ET", L"Larkmont.OfficeET"},
                              {L"PowerPoint", L"WPP", L"Larkmont.OfficePT"}};
    std::vector<AddinValue> values;
    for (const Host& h : hosts) {
        std::wstring key = std::wstring(L"SOFTWARE\\Microsoft\\Office\\") + h.office + L"\\Addins\\" + h.progId;
        values.push_back({key, L"FriendlyName", std::wstring(L"Kelvane")});
        values.push_back({key, L"Description", std::wstring(L"用于会议进程倒计时")});
        values.push_back({key, L"LoadBehavior", int32_t{3}});
        values.push_back({key, L"CommandLineSafe", int32_t{1}});
        values.push_back({std::wstring(L"Software\\Kingsoft\\Office\\") + h.wps + L"\\AddinsWL", h.progId, std::wstring()});
    }
    return values;
}

std::vector<std::wstring> disabledItemKeys() {
    std::vector<std::wstring> keys;
    for (const wchar_t* app : {L"Word", L"Excel", L"PowerPoint"}) {
        for (const wchar_t* version : {L"11.0", L"12.0", L"14.0", L"15.0", L"16.0", L"17.0", L"18.0", L"19.0"}) {
            keys.push_back(std::wstring(L"Software\\Microsoft\\Office\\") + version + L"\\" + app +
                           L"\\Resiliency\\DisabledItems\\");
        }
    }
    return keys;
}

std::vector<std::wstring> repairAddins() {
    std::vector<std::wstring> failed;
    repairSystemFiles(failed);
    registerAddin(failed);
    clearDisabledItems(failed);
    shell::iniWrite(shell::kSiteSection, L"filename", L"");
    return failed;
}

std::wstring repairMessage(const std::vector<std::wstring>& failedSteps) {
    std::wstring advice = std::wstring(kSetAgain) + kPieceGap + kAsAdministrator + kPieceGap + kReinstall;
    if (failedSteps.empty()) return kRepaired + advice + kPieceGap + kContactAuthor;
    std::wstring text = kNotRepaired;
    for (const auto& step : failedSteps) text += kLine + step;
    return text + kPieceGap + advice;
}

}  // namespace settings
