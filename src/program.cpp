#include "program.h"

#include <memory>

#include "dialog/settings_dialog.h"
#include "session/session_window.h"
#include "startup/startup.h"

namespace Veltrane_B {

int RunProgram(platform::Host& host) {
    Program program{host, {}, nullptr};
    program.modes.showSettingsDialog = [&host] {
        Veltrane_P dialog(host);
        dialog.Show();
    };
    std::unique_ptr<Veltrane_S> session;
    program.modes.loadSession = [&] {
        session = std::make_unique<Veltrane_S>(host);
        session->Form_Load();
    };
    Main(program);
    host.RunMessageLoop();
    return 0;
}

}  // namespace Veltrane_B
