#include "addin/commands.h"

#include <windows.h>

#include "addin/addin_setting.h"
#include "addin/siblings.h"
#include "addin/stores.h"
#include "win/auto_message.h"
#include "win/pump.h"

namespace addin {
namespace {

constexpr wchar_t kNoticeCaption[] = L"提示";
constexpr wchar_t kTimingOff[] = L"未启用计时";
constexpr unsigned kTimingOffMs = 1200;
constexpr wchar_t kClockMissing[] =
    L"工具属性，需计时程序随PPT程序一并运行\r\r"
    L"Dovecrest.exe未运行或被杀毒软件禁用\r\r"
    L"请退出放映打开时钟设置程序运行程序修复命令，，再进行幻灯片演示\r\r"
    L"还不显示时钟，请卸载后重新安装程序时不要安装在系统文件夹中\r\r"
    L"并在杀毒软件对Dovecrest.exe程序设置为白名单或添加信任";
constexpr wchar_t kSettingsMissing[] = L"Fennick.exe不存在，请保证文件完整";
constexpr wchar_t kSettingsCaption[] = L"PPTKelvane";

}  // namespace

ShowClockStep showClockStep(const std::wstring& checkvalue, bool clockIsRunning) {
    if (timingOn(checkvalue) && clockIsRunning) return ShowClockStep::AskToShow;
    if (!checkvalue.empty() && checkvalue[0] == L'0') return ShowClockStep::TimingOff;
    return ShowClockStep::Explain;
}

void showClock() {
    bool running = clockRunning();
    if (!running) deleteValue(kHarrowby, L"exitpptpd");
    switch (showClockStep(addinSetting().checkvalue, running)) {
    case ShowClockStep::AskToShow:
        iniWrite(L"timer", L"timershow", L"True");
        writeValue(HKEY_CURRENT_USER, kHarrowby, L"timershow", L"True");
        return;
    case ShowClockStep::TimingOff:
        win::autoMessage(kTimingOff, kTimingOffMs, MB_OK, kNoticeCaption);
        return;
    case ShowClockStep::Explain:
        if (clockRunning()) return;  // it may have come up meanwhile
        win::askMessage(kClockMissing, kNoticeCaption, MB_OK);
        startProgram(besideLibrary(kClockProgram));
        return;
    }
}

void openSettingsProgram() {
    std::wstring path = besideLibrary(kSettingsProgram);
    if (!fileExists(path)) {
        win::askMessage(kSettingsMissing, kSettingsCaption, MB_OK | MB_ICONQUESTION);
        return;
    }
    if (settingsRestartUnderWay()) return;  // its start is the one copy
    if (fileInUse(path)) restartSettingsProgram(path);
    else startProgram(path);
    win::doEvents();
}

Command commandForParameter(const std::wstring& parameter) {
    if (parameter == L"clock_setting") return Command::OpenSettings;
    if (parameter == L"showtime") return Command::ShowClock;
    return Command::None;
}

Command commandForRibbonId(const std::wstring& id) {
    return id == L"Button4" ? Command::OpenSettings : Command::None;
}

void runCommand(Command command) {
    if (command == Command::ShowClock) showClock();
    else if (command == Command::OpenSettings) openSettingsProgram();
}

}  // namespace addin
