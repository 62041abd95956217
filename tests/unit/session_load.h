// A session window loaded against the recording fake, for the session's unit tests.
#pragma once

#include <memory>
#include <utility>
#include <vector>

#include "platform/fake/fake_platform.h"
#include "session/session_window.h"

namespace veltrane_test {

// Loads a session on `screen`, made of `monitors` when any are listed.
inline std::unique_ptr<Veltrane_B::Veltrane_S> Load(platform::fake::FakeHost& host,
                                                    const char* line, platform::Rect screen,
                                                    std::vector<platform::Rect> monitors = {}) {
    host.commandLine = line;
    host.virtualScreen = screen;
    host.monitors = std::move(monitors);
    host.bitmapRecord = {screen.right - screen.left, screen.bottom - screen.top, 32};
    auto session = std::make_unique<Veltrane_B::Veltrane_S>(host);
    session->Form_Load();
    return session;
}

}  // namespace veltrane_test
