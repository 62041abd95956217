// One toolkit contract for every host (the fake, real windows); a driver plays the user and time.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "platform/platform.h"
#include "platform/toolkit_rules.h"

namespace veltrane_test {

class ToolkitDriver {
  public:
    virtual ~ToolkitDriver() = default;
    virtual platform::Host& Host() = 0;
    // A mouse button goes down (or up) at a point of a panel, in panel pixels.
    virtual void Mouse(platform::PicturePanel& panel, int button, platform::Point at,
                       bool down) = 0;
    // The user works a scroll bar; the thumb codes find the thumb where the value is.
    virtual void Scroll(platform::ScrollBar& bar, platform::ScrollCode code) = 0;
    virtual void CloseBox(platform::Window& window) = 0;
    virtual void Wait() = 0;  // long enough for a timer of 15 ms to tick
};

// Defined once per host, by the test program that runs the contract against it.
std::unique_ptr<ToolkitDriver> MakeToolkitDriver();

class ToolkitContract : public ::testing::Test {
  protected:
    std::unique_ptr<ToolkitDriver> driver = MakeToolkitDriver();
};

}  // namespace veltrane_test
