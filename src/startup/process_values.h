// Values that live for the whole process and are shared between start-up, the session and the
// settings dialog.
#pragma once

#include <cstdint>
#include <string>

namespace Veltrane_B {

// The display interval as read from (or written to) the settings file; "" when missing.
inline std::string IntervalText;
// Milliseconds between two turns of the picture.
inline float DisplayInterval = 100.0f;
// The result of the most recent platform call whose result the program keeps.
inline std::int32_t LastApiResult = 0;

}  // namespace Veltrane_B
