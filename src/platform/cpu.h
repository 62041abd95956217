// Which instruction sets the processor runs. The vector kernels of the rotation (effects/) and
// of the dialog's picture transform (dialog/) pick theirs with this one check.
#pragma once

namespace platform {

// Baseline is what every x86-64 processor runs (SSE2 included), each module's portable kernel;
// Avx512 stands for the F, BW, DQ and VL subsets.
enum class Isa { Baseline, Avx2, Avx512 };

inline bool IsaAvailable(Isa isa) {
    __builtin_cpu_init();
    switch (isa) {
        case Isa::Baseline:
            return true;
        case Isa::Avx2:
            return __builtin_cpu_supports("avx2");
        case Isa::Avx512:
            return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
                   __builtin_cpu_supports("avx512dq") && __builtin_cpu_supports("avx512vl");
    }
    return false;
}

}  // namespace platform
