#include "platform/files.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <string>

#include "platform/win32/wide_path.h"

namespace platform {
namespace {

// Closes a file handle when it goes out of scope.
struct FileHandle {
    HANDLE handle;
    explicit FileHandle(HANDLE h) : handle(h) {}
    ~FileHandle() {
        if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    bool Valid() const { return handle != INVALID_HANDLE_VALUE; }
};

}  // namespace

FileBytes ReadFileBytes(const std::string& path, std::size_t maxBytes) {
    FileBytes result;
    const std::wstring wide = WidePath(path);
    if (wide.empty()) return result;
    FileHandle file(CreateFileW(wide.c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) {
        const DWORD error = GetLastError();
        result.state = (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
                           ? FileBytes::Missing
                           : FileBytes::Failed;
        return result;
    }
    result.state = FileBytes::Failed;
    LARGE_INTEGER size{};
    if (GetFileType(file.handle) != FILE_TYPE_DISK || !GetFileSizeEx(file.handle, &size) ||
        static_cast<unsigned long long>(size.QuadPart) > maxBytes) {
        return result;
    }
    char buffer[4096];
    for (;;) {
        DWORD n = 0;
        if (!ReadFile(file.handle, buffer, sizeof buffer, &n, nullptr) ||
            result.bytes.size() + n > maxBytes) {
            result.bytes.clear();
            return result;
        }
        if (n == 0) break;
        result.bytes.append(buffer, n);
    }
    result.state = FileBytes::Read;
    return result;
}

bool WriteFileAtomically(const std::string& path, const std::string& contents) {
    static std::atomic<unsigned> counter{0};
    const std::wstring target = WidePath(path);
    const std::wstring temporary = WidePath(path + ".tmp" + std::to_string(GetCurrentProcessId()) +
                                            "-" + std::to_string(counter.fetch_add(1)));
    if (target.empty() || temporary.empty()) return false;
    bool ok = true;
    {
        FileHandle file(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.Valid()) return false;
        std::size_t written = 0;
        while (ok && written < contents.size()) {
            DWORD chunk = 0;
            const DWORD wanted =
                static_cast<DWORD>(std::min<std::size_t>(contents.size() - written, 1u << 20));
            ok = WriteFile(file.handle, contents.data() + written, wanted, &chunk, nullptr) &&
                 chunk > 0;
            written += chunk;
        }
        ok = ok && FlushFileBuffers(file.handle);
    }
    ok = ok && MoveFileExW(temporary.c_str(), target.c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!ok) DeleteFileW(temporary.c_str());
    return ok;
}

}  // namespace platform
