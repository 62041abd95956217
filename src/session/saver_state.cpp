#include "session/saver_state.h"

#include <cstdint>

namespace Veltrane_B {

void SetSaverStopped(platform::Host& host, bool stopped) {
    // The flag travels as a 16-bit Boolean (true = -1), inverted and widened with its sign.
    const std::int16_t flag = stopped ? -1 : 0;
    const auto running = static_cast<std::int32_t>(static_cast<std::int16_t>(~flag));
    host.SystemParametersInfoA(platform::kSpiScreenSaverRunning,
                               static_cast<std::uint32_t>(running), nullptr, 0);
}

}  // namespace Veltrane_B
