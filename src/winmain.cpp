// The Windows entry point: the real host, then the portable program.
#include <windows.h>

#include "platform/win32/win32_host.h"
#include "program.h"

namespace {

// A screen saver is often started from where a browser saved it, a folder that may hold DLLs
// nobody chose. Before anything else can load a library, the process searches System32 only:
// no library the system or the program loads by name then comes from the program's folder or
// the current one. Systems without SetDefaultDllDirectories (Windows 7 before its 2011 loader
// update) at least lose the current folder.
void LoadLibrariesFromSystem32Only() {
    using SetDefault = BOOL(WINAPI*)(DWORD);
    const auto setDefault = reinterpret_cast<SetDefault>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
    if (!setDefault || !setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32)) SetDllDirectoryW(L"");
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    LoadLibrariesFromSystem32Only();
    platform::win32::Win32Host host(instance);
    return Veltrane_B::RunProgram(host);
}
