#include "platform/files.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <optional>
#include <string>
#include <utility>

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

namespace {

bool WriteAll(HANDLE file, const std::string& contents) {
    std::size_t written = 0;
    while (written < contents.size()) {
        DWORD chunk = 0;
        const DWORD wanted =
            static_cast<DWORD>(std::min<std::size_t>(contents.size() - written, 1u << 20));
        if (!WriteFile(file, contents.data() + written, wanted, &chunk, nullptr) || chunk == 0)
            return false;
        written += chunk;
    }
    return true;
}

// Rewrites an existing file from its start and cuts it to the new length, sharing it with
// readers and writers as the system's profile writer does.
bool WriteInPlace(const std::wstring& path, const std::string& contents) {
    FileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file.Valid() && WriteAll(file.handle, contents) && SetEndOfFile(file.handle) &&
           FlushFileBuffers(file.handle);
}

// Whether the file could be deleted now: another program holding it open without letting it go
// stops a replacement, which is then not tried (some ReplaceFileW leave a file behind then).
bool MayReplace(const std::wstring& path) {
    FileHandle file(CreateFileW(path.c_str(), DELETE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file.Valid();
}

bool ProcessIsGone(DWORD process) {
    HANDLE handle = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process);
    if (!handle) return GetLastError() == ERROR_INVALID_PARAMETER;
    DWORD code = 0;
    const bool gone = GetExitCodeProcess(handle, &code) && code != STILL_ACTIVE;
    CloseHandle(handle);
    return gone;
}

// Removes temporary files for `path` whose writers are no longer running.
void RemoveLeftovers(const std::string& path) {
    const auto [folder, name] = FolderAndName(path, "\\/:");
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(WidePath(path + ".tmp*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        const std::string entry = WideToUtf8(found.cFileName);
        const std::optional<unsigned long> owner = TemporaryOwner(entry, name);
        if (owner && *owner != GetCurrentProcessId() && ProcessIsGone(static_cast<DWORD>(*owner))) {
            DeleteFileW(WidePath(folder + entry).c_str());
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

}  // namespace

bool WriteFileContents(const std::string& path, const std::string& contents) {
    static std::atomic<unsigned> counter{0};
    const auto [folder, name] = FolderAndName(path, "\\/:");
    const std::wstring target = WidePath(path);
    const std::wstring temporary =
        WidePath(folder + TemporaryName(name, GetCurrentProcessId(), counter.fetch_add(1)));
    if (target.empty() || temporary.empty()) return false;
    const DWORD attributes = GetFileAttributesW(target.c_str());
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    // The system's writer cannot write a read-only file or a folder either.
    if (exists && (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY))) return false;

    bool ok = false;
    bool made = false;
    {
        FileHandle file(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
        made = file.Valid();
        ok = made && WriteAll(file.handle, contents) && FlushFileBuffers(file.handle);
    }
    if (!made) {
        // No new file may be made in the folder: the old file, if any, is rewritten in place.
        ok = exists && WriteInPlace(target, contents);
    } else if (ok && !exists) {
        ok = MoveFileExW(temporary.c_str(), target.c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    } else if (ok && !MayReplace(target)) {
        // Held open by another program, or not to be deleted by us: rewrite it in place.
        ok = WriteInPlace(target, contents);
    } else if (ok) {
        // ReplaceFileW keeps the old file's access list; its attributes are copied beforehand
        // as well, for systems whose ReplaceFileW does not.
        const DWORD kept =
            attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                          FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
        if (kept) SetFileAttributesW(temporary.c_str(), kept);
        ok = ReplaceFileW(target.c_str(), temporary.c_str(), nullptr, 0, nullptr, nullptr);
        if (!ok && GetFileAttributesW(target.c_str()) == INVALID_FILE_ATTRIBUTES) {
            // The old file was moved away before the replacement failed: put ours in its place.
            ok = MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH);
        } else if (!ok) {
            ok = WriteInPlace(target, contents);
        }
    }
    if (made) DeleteFileW(temporary.c_str());
    if (ok) RemoveLeftovers(path);
    return ok;
}

}  // namespace platform
