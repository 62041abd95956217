// Keeps the process-wide values (DisplayInterval, IntervalText, LastApiResult) from one test to
// the next: made at a test's start, it puts back what it found when the test ends. Every test
// that sets them, or runs code that does, holds one.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "startup/process_values.h"

class ProcessValuesGuard {
  public:
    ProcessValuesGuard() = default;
    ~ProcessValuesGuard() {
        Veltrane_B::DisplayInterval = displayInterval_;
        Veltrane_B::IntervalText = intervalText_;
        Veltrane_B::LastApiResult = lastApiResult_;
    }
    ProcessValuesGuard(const ProcessValuesGuard&) = delete;
    ProcessValuesGuard& operator=(const ProcessValuesGuard&) = delete;

  private:
    float displayInterval_ = Veltrane_B::DisplayInterval;
    std::string intervalText_ = Veltrane_B::IntervalText;
    std::int32_t lastApiResult_ = Veltrane_B::LastApiResult;
};

// A test that holds the guard for the whole of its run.
class ProcessValuesTest : public ::testing::Test {
    ProcessValuesGuard processValues_;
};
