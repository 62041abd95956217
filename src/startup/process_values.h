// Values that live for the whole process and are shared between start-up, the session and the
// settings dialog.
#pragma once

#include <cstdint>
#include <string>

namespace Veltrane_B {

// The display interval as read from (or written to) the settings file; "" when missing.
inline std::string IntervalText;
// The display interval, in milliseconds, when the settings give none a timer can take.
inline constexpr std::int32_t kDefaultInterval = 100;
// Milliseconds between two turns of the picture.
inline float DisplayInterval = kDefaultInterval;
// The result of the most recent platform call whose result the program keeps.
inline std::int32_t LastApiResult = 0;

}  // namespace Veltrane_B
