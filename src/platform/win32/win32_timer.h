// Message timers on the user-interface thread.
#pragma once

#include "platform/win32/win32_toolkit.h"

namespace platform::win32 {

class Win32Timer : public Timer {
  public:
    Win32Timer() = default;
    ~Win32Timer() override;
    bool SetInterval(std::int64_t milliseconds) override;
    std::int32_t Interval() const override { return interval_; }
    void SetEnabled(bool enabled) override;
    bool Enabled() const override { return enabled_; }

  private:
    void Arm();
    static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD);

    std::int32_t interval_ = 0;
    bool enabled_ = false;
    UINT_PTR id_ = 0;
};

}  // namespace platform::win32
