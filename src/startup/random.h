// The pseudo-random numbers of the session and the dialog preview, reseeded from the time of day.
#pragma once

#include <cstdint>

namespace Veltrane_B {

// The increment of the SplitMix64 generator.
inline constexpr std::uint64_t kSplitMixIncrement = 0x9E3779B97F4A7C15ull;

// A uniform number 0 <= r < 1 from a SplitMix64 state that has just been advanced: the state's
// bits mixed so that nearby states give unrelated numbers.
inline double SplitMixUniform(std::uint64_t z) {
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    z ^= z >> 31;
    return static_cast<double>(z >> 11) * 0x1.0p-53;
}

}  // namespace Veltrane_B
