#include "startup/startup.h"

#include <cmath>

#include "startup/command_line.h"
#include "startup/process_values.h"
#include "startup/settings.h"

namespace Veltrane_B {

std::string ModeLetter(platform::Host& host) {
    return ModeLetterOf(host.CommandLine());
}

bool IsWinNT(platform::Host& host) {
    platform::OsVersionInfo info{};
    info.dwOSVersionInfoSize = sizeof info;
    return host.GetVersionExA(&info) == 1 && info.dwPlatformId == platform::kVerPlatformWin32Nt;
}

namespace {

platform::Handle HandleOf(std::int32_t value) {
    // Window handles travel as signed 32-bit numbers and widen with their sign.
    return static_cast<platform::Handle>(static_cast<std::intptr_t>(value));
}

// Embeds the preview in the host window named on the command line. A handle that names no
// window ends the program: a preview with no host would be an invisible window nothing closes.
void StartPreview(Program& program) {
    platform::Host& host = program.host;
    const std::int32_t handleValue = HandleFromText(HandleTextOf(host.CommandLine()));
    const platform::Handle hostWindow = HandleOf(handleValue);
    platform::Rect rect{};
    LastApiResult = handleValue == 0 ? 0 : host.GetWindowRect(hostWindow, &rect);
    if (LastApiResult == 0) {
        host.EndProgram();
        return;
    }
    // Sizes stay in 32 bits, so hosts of any size are measured correctly.
    const std::int64_t width = std::int64_t{rect.right} - rect.left;
    const std::int64_t height = std::int64_t{rect.bottom} - rect.top;
    if (width < 0 || height < 0 || width > INT32_MAX || height > INT32_MAX) {
        host.EndProgram();
        return;
    }
    program.preview = std::make_unique<Veltrane_R>(host);
    program.preview->Embed(hostWindow, static_cast<std::int32_t>(width),
                           static_cast<std::int32_t>(height));
    program.preview->Show();
}

}  // namespace

void Main(Program& program) {
    platform::Host& host = program.host;

    // One instance: a running session or an open settings dialog ends every other start.
    const platform::Handle session = host.FindWindowA(nullptr, kSessionTitle);
    const platform::Handle dialog = host.FindWindowA(nullptr, kDialogTitle);
    if (session != 0 || dialog != 0) {
        host.EndProgram();
        return;
    }

    const std::string mode = ModeLetter(host);
    if (mode == "P") {
        StartPreview(program);
        return;
    }

    IntervalText =
        ReadSetting(kSettingsSection, kIntervalKey, SettingsFilePath(host.ProgramFolder()));
    DisplayInterval = IntervalFromText(IntervalText);

    if (mode == "A") {
        if (!IsWinNT(host)) {
            host.PwdChangePasswordA(
                "SCRSAVE", HandleOf(HandleFromText(HandleTextOf(host.CommandLine()))), 0, 0);
        }
        host.EndProgram();
        return;
    }
    if (mode == "C") {
        if (program.modes.showSettingsDialog) program.modes.showSettingsDialog();
        host.EndProgram();
        return;
    }
    if (!host.CommandLine().empty() && mode != "S") {
        host.EndProgram();
        return;
    }
    if (mode == "S") host.ShowCursor(0);
    if (!program.modes.loadSession) {
        host.EndProgram();
        return;
    }
    program.modes.loadSession();
}

}  // namespace Veltrane_B
