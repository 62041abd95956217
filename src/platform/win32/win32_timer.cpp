#include "platform/win32/win32_timer.h"

#include <map>

namespace platform::win32 {

namespace {
std::map<UINT_PTR, Win32Timer*>& Timers() {
    static std::map<UINT_PTR, Win32Timer*> timers;
    return timers;
}
}  // namespace

Win32Timer::~Win32Timer() {
    if (id_) {
        KillTimer(nullptr, id_);
        Timers().erase(id_);
    }
}

bool Win32Timer::SetInterval(std::int64_t milliseconds) {
    if (!TimerAccepts(milliseconds)) return false;
    // Re-arming would restart the countdown: a bar dragged slowly at a long interval would then
    // never let a tick through.
    if (milliseconds == interval_) return true;
    interval_ = static_cast<std::int32_t>(milliseconds);
    Arm();
    return true;
}

void Win32Timer::SetEnabled(bool enabled) {
    enabled_ = enabled;
    Arm();
}

void Win32Timer::Arm() {
    if (id_) {
        KillTimer(nullptr, id_);
        Timers().erase(id_);
        id_ = 0;
    }
    if (!TimerTicks(enabled_, interval_)) return;
    id_ = SetTimer(nullptr, 0, static_cast<UINT>(interval_), &Win32Timer::Tick);
    if (id_) Timers()[id_] = this;
}

void CALLBACK Win32Timer::Tick(HWND, UINT, UINT_PTR id, DWORD) {
    const auto found = Timers().find(id);
    if (found != Timers().end() && found->second->onTick) found->second->onTick();
}

}  // namespace platform::win32
