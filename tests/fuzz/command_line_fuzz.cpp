// Any command line, of any length and bytes, goes through start-up without a crash.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/fake/fake_platform.h"
#include "startup/command_line.h"
#include "startup/startup.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string line(reinterpret_cast<const char*>(data), size);
    Veltrane_B::HandleFromText(Veltrane_B::HandleTextOf(line));
    Veltrane_B::IntervalFromText(line);

    platform::fake::FakeHost host;
    host.commandLine = line;
    host.programFolder = "/nonexistent-veltrane-folder";
    host.windowRects[4711] = {0, 0, 152, 112};
    Veltrane_B::Program program{host, {}, nullptr};
    program.modes.showSettingsDialog = [] {};
    program.modes.loadSession = [] {};
    try {
        Veltrane_B::Main(program);
    } catch (const platform::fake::ProgramEnded&) {
    }
    return 0;
}
