// A planted DLL: each process that loads it leaves NAME.PID (NAME this file's name) in the folder
// VELTRANE_PLANT_MARKERS names, else beside it, holding the process's program and when it loaded.
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
    // Loaded at the process's start (an import, direct or not) or by a LoadLibrary call later.
    const char* when = atStart ? " at start" : " later";
    WriteFile(file, when, lstrlenA(when), &written, nullptr);
    CloseHandle(file);
    return TRUE;
}
