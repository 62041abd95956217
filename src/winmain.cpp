// The Windows entry point: the real host, then the portable program.
#include <windows.h>

#include "platform/win32/win32_host.h"
#include "program.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    platform::win32::Win32Host host(instance);
    return Veltrane_B::RunProgram(host);
}
