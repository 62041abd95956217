// The stack protector's guard value and its failure handlers for Veltrane.scr. GCC's libssp has
// them too, but its start-up asks a cryptographic provider for the value, which loads libraries
// by name before WinMain can restrict where libraries come from. This value is formed from what
// the process already has, as Microsoft's runtime forms its stack cookie: the randomised
// addresses of this module and of the stack, the time, the counters and the ids of the process
// and thread, and the processor's random numbers where it has them.
#include <cpuid.h>
#include <immintrin.h>
#include <windows.h>

#include <cstdint>

namespace {

// Ends the process at once, without unwinding through corrupted frames or running any handler
// of the program: the system's fail-fast trap (what __fastfail compiles to).
[[noreturn]] void FailFast(unsigned code) {
    asm volatile("int $0x29" : : "c"(code) : "memory");
    __builtin_trap();
}

}  // namespace

extern "C" {
std::uintptr_t __stack_chk_guard = 0x2b992ddfa23249d6;

// A smashed stack, or a buffer check of the fortified string functions that failed.
[[noreturn]] void __stack_chk_fail() {
    FailFast(FAST_FAIL_STACK_COOKIE_CHECK_FAILURE);
}
[[noreturn]] void __chk_fail() {
    FailFast(FAST_FAIL_RANGE_CHECK_FAILURE);
}
}

namespace {

std::uint64_t Mix(std::uint64_t value) {  // splitmix64's finaliser
    value = (value ^ (value >> 30)) * 0xbf58476d1ce4e5b9u;
    value = (value ^ (value >> 27)) * 0x94d049bb133111ebu;
    return value ^ (value >> 31);
}

__attribute__((target("rdrnd"))) std::uint64_t ProcessorRandom() {
    unsigned a = 0, b = 0, c = 0, d = 0;
    if (!__get_cpuid(1, &a, &b, &c, &d) || !(c & bit_RDRND)) return 0;
    unsigned long long value = 0;
    for (int attempt = 0; attempt < 10; ++attempt)
        if (_rdrand64_step(&value)) return value;
    return 0;
}

// The first constructor, called from the runtime's start-up code, whose frames are unguarded;
// this one is unguarded too, so no frame that is active when the value changes checks it later.
__attribute__((constructor(101), no_stack_protector)) void SetStackGuard() {
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    LARGE_INTEGER counter{};
    QueryPerformanceCounter(&counter);
    std::uint64_t value = reinterpret_cast<std::uintptr_t>(&__stack_chk_guard);
    value = Mix(value ^ reinterpret_cast<std::uintptr_t>(__builtin_frame_address(0)));
    value = Mix(value ^ (std::uint64_t{now.dwHighDateTime} << 32 | now.dwLowDateTime));
    value = Mix(value ^ static_cast<std::uint64_t>(counter.QuadPart) ^ __rdtsc());
    value = Mix(value ^ (std::uint64_t{GetCurrentProcessId()} << 32 | GetCurrentThreadId()));
    value = Mix(value ^ GetTickCount64() ^ ProcessorRandom());
    __stack_chk_guard = value;
}

}  // namespace
