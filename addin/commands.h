#pragma once
// The two commands behind the add-in's buttons: show the clock, open the clock settings.
#include <string>

namespace addin {

// What "显示Kelvane" does for the flags and the state of the clock program.
enum class ShowClockStep {
    AskToShow,  // the clock program runs: ask it to show its clock
    TimingOff,  // say that timing is off
    Explain,    // explain why no clock shows and start the clock program
};
ShowClockStep showClockStep(const std::wstring& checkvalue, bool clockIsRunning);

void showClock();
void openSettingsProgram();

// Which command a click names: a command-bar button's Parameter, the ribbon control's Id.
enum class Command { None, ShowClock, OpenSettings };
Command commandForParameter(const std::wstring& parameter);
Command commandForRibbonId(const std::wstring& id);
void runCommand(Command command);

}  // namespace addin
