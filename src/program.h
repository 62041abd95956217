// The whole program on top of the host: start-up with the session and the settings dialog as
// its modes.
#pragma once

#include "platform/platform.h"

namespace Veltrane_B {

// Runs Main and then the message loop until the program ends; returns the exit code.
int RunProgram(platform::Host& host);

}  // namespace Veltrane_B
