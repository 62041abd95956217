// A session window loaded against the recording fake, for the session's unit tests.
#pragma once

#include <memory>
#include <utility>
#include <vector>

#include "platform/fake/fake_platform.h"
#include "session/session_window.h"

namespace veltrane_test {

using platform::Rect;
using platform::fake::FakeHost;
using platform::fake::ProgramEnded;

// Loads a session on `screen`, made of `monitors` when any are listed.
inline std::unique_ptr<Veltrane_B::Veltrane_S> Load(FakeHost& host, const char* line,
                                                    Rect screen = {0, 0, 8, 6},
                                                    std::vector<Rect> monitors = {}) {
    host.commandLine = line;
    host.virtualScreen = screen;
    host.monitors = std::move(monitors);
    host.bitmapRecord = {screen.right - screen.left, screen.bottom - screen.top, 32};
    auto session = std::make_unique<Veltrane_B::Veltrane_S>(host);
    session->Form_Load();
    return session;
}

// Whether `f` ends the program.
template <typename F>
bool Ends(F&& f) {
    try {
        f();
    } catch (const ProgramEnded&) {
        return true;
    }
    return false;
}

}  // namespace veltrane_test
