// A stand-in for a DLL that someone left where a program would find it: whichever process loads
// it leaves a file NAME.PID (NAME the DLL's own file name) in the folder VELTRANE_PLANT_MARKERS
// names, or else beside the DLL, holding the path of that process's program and when it was
// loaded. The planting test copies this one DLL under each name it plants.
#include <windows.h>

#include <cwchar>

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID atStart) {
    if (reason != DLL_PROCESS_ATTACH) return TRUE;
    wchar_t dll[MAX_PATH] = {}, folder[MAX_PATH] = {}, marker[2 * MAX_PATH + 16] = {};
    char program[MAX_PATH] = {};
    GetModuleFileNameW(self, dll, MAX_PATH);
    GetModuleFileNameA(nullptr, program, MAX_PATH);
    wchar_t* name = std::wcsrchr(dll, L'\\');
    *name++ = L'\0';
    if (!GetEnvironmentVariableW(L"VELTRANE_PLANT_MARKERS", folder, MAX_PATH))
        std::wcscpy(folder, dll);
    std::swprintf(marker, sizeof marker / sizeof *marker, L"%ls\\%ls.%lu", folder, name,
                  GetCurrentProcessId());
    HANDLE file = CreateFileW(marker, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, program, lstrlenA(program), &written, nullptr);
    // Whether the process's start loaded it (an import of the program or of what that imports),
    // or a LoadLibrary call later.
    const char* when = atStart ? " at start" : " later";
    WriteFile(file, when, lstrlenA(when), &written, nullptr);
    CloseHandle(file);
    return TRUE;
}
