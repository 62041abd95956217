// Puts DisplayInterval, IntervalText and LastApiResult back; each test that sets them holds one.
#pragma once

#include <gtest/gtest.h>

#include <tuple>

#include "startup/process_values.h"

class ProcessValuesGuard {
  public:
    ~ProcessValuesGuard() {
        std::tie(Veltrane_B::DisplayInterval, Veltrane_B::IntervalText, Veltrane_B::LastApiResult) =
            saved_;
    }

  private:
    const std::tuple<float, std::string, std::int32_t> saved_{
        Veltrane_B::DisplayInterval, Veltrane_B::IntervalText, Veltrane_B::LastApiResult};
};

class ProcessValuesTest : public ::testing::Test {
    ProcessValuesGuard processValues_;
};
