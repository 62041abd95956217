#include "platform/files.h"

#include <windows.h>

#include <atomic>
#include <string>

namespace platform {

bool WriteFileAtomically(const std::string& path, const std::string& contents) {
    static std::atomic<unsigned> counter{0};
    const std::string temporary = path + ".tmp" + std::to_string(GetCurrentProcessId()) + "-" +
                                  std::to_string(counter.fetch_add(1));
    HANDLE file = CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    bool ok = true;
    std::size_t written = 0;
    while (ok && written < contents.size()) {
        DWORD chunk = 0;
        const DWORD wanted =
            static_cast<DWORD>(std::min<std::size_t>(contents.size() - written, 1u << 20));
        ok = WriteFile(file, contents.data() + written, wanted, &chunk, nullptr) && chunk > 0;
        written += chunk;
    }
    ok = ok && FlushFileBuffers(file);
    ok = CloseHandle(file) && ok;
    ok = ok && MoveFileExA(temporary.c_str(), path.c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!ok) DeleteFileA(temporary.c_str());
    return ok;
}

}  // namespace platform
