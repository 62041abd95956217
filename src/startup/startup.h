// The program's entry: single-instance test, mode dispatch, and the two small functions that
// other parts use to look at the command line and the system.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/platform.h"
#include "startup/preview_window.h"
#include "startup/window_titles.h"

namespace Veltrane_B {

// The mode letter of the current command line, computed afresh at every call.
std::string ModeLetter(platform::Host& host);

// True when the system belongs to the NT family.
bool IsWinNT(platform::Host& host);

// What Main starts for the modes whose windows live in other modules. The program's entry point
// fills these in; each may be empty, which ends the program instead.
struct ModeWindows {
    std::function<void()> showSettingsDialog;  // modal: returns when the dialog has closed
    std::function<void()> loadSession;         // returns with the session window shown
};

// The program's windows that outlive Main.
struct Program {
    platform::Host& host;
    ModeWindows modes;
    std::unique_ptr<Veltrane_R> preview;
};

// Runs the start-up sequence. Either ends the program (through Host::EndProgram) or returns
// with a window shown whose events keep the program alive.
void Main(Program& program);

}  // namespace Veltrane_B
