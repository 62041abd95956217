#include "program.h"

#include "dialog/settings_dialog.h"
#include "startup/startup.h"

namespace Veltrane_B {

int RunProgram(platform::Host& host) {
    Program program{host, {}, nullptr};
    program.modes.showSettingsDialog = [&host] {
        Veltrane_P dialog(host);
        dialog.Show();
    };
    Main(program);
    host.RunMessageLoop();
    return 0;
}

}  // namespace Veltrane_B
