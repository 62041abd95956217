#include "program.h"

#include "startup/startup.h"

namespace Veltrane_B {

int RunProgram(platform::Host& host) {
    Program program{host, {}, nullptr};
    Main(program);
    host.RunMessageLoop();
    return 0;
}

}  // namespace Veltrane_B
