// The one rounding of a real to a whole number that the program's conversions share: nearest,
// ties to even, and only where the result fits the range the caller takes.
#pragma once

#include <cmath>
#include <cstdint>
#include <optional>

namespace platform {

// The whole number nearest to `value` (ties to even, the default rounding mode) when it lies in
// [low, high]; nothing for NaN or a number outside that range. `low` and `high` must lie within
// the 64-bit range.
inline std::optional<std::int64_t> NearestWholeIn(double value, double low, double high) {
    const double whole = std::nearbyint(value);
    if (!(whole >= low && whole <= high)) return std::nullopt;
    return static_cast<std::int64_t>(whole);
}

}  // namespace platform
