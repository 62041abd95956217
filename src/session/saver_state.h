// Tells the system whether a screen saver is running.
#pragma once

#include "platform/platform.h"

namespace Veltrane_B {

// SPI_SCREENSAVERRUNNING with the inverse of `stopped`: true tells the system that no screen
// saver runs any more (uiParam 0), false that one runs (uiParam all bits set).
void SetSaverStopped(platform::Host& host, bool stopped);

}  // namespace Veltrane_B
