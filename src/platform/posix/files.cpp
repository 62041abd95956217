#include "platform/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <utility>

namespace platform {

FileBytes ReadFileBytes(const std::string& path, std::size_t maxBytes) {
    FileBytes result;
    // Not blocking, so that a pipe of that name is refused instead of waited on.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        result.state =
            (errno == ENOENT || errno == ENOTDIR) ? FileBytes::Missing : FileBytes::Failed;
        return result;
    }
    result.state = FileBytes::Failed;
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) &&
        static_cast<unsigned long long>(info.st_size) <= maxBytes) {
        bool ok = true;
        char buffer[4096];
        for (;;) {
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n == 0) break;
            if (n < 0 || result.bytes.size() + static_cast<std::size_t>(n) > maxBytes) {
                ok = false;
                break;
            }
            result.bytes.append(buffer, static_cast<std::size_t>(n));
        }
        if (ok) result.state = FileBytes::Read;
    }
    ::close(fd);
    if (result.state != FileBytes::Read) result.bytes.clear();
    return result;
}

namespace {

bool WriteAll(int fd, const std::string& contents) {
    std::size_t written = 0;
    while (written < contents.size()) {
        const ssize_t n = ::write(fd, contents.data() + written, contents.size() - written);
        if (n <= 0) return false;
        written += static_cast<std::size_t>(n);
    }
    return true;
}

// Rewrites an existing file from its start and cuts it to the new length.
bool WriteInPlace(const std::string& path, const std::string& contents) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) return false;
    bool ok = WriteAll(fd, contents) && ::ftruncate(fd, static_cast<off_t>(contents.size())) == 0 &&
              ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    return ok;
}

// Removes temporary files for `path` whose writers are no longer running.
void RemoveLeftovers(const std::string& path) {
    const auto [folder, name] = FolderAndName(path, "/");
    DIR* listing = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!listing) return;
    while (const dirent* entry = ::readdir(listing)) {
        const std::optional<unsigned long> owner = TemporaryOwner(entry->d_name, name);
        if (!owner || *owner > static_cast<unsigned long>(INT_MAX) ||
            *owner == static_cast<unsigned long>(::getpid())) {
            continue;
        }
        if (::kill(static_cast<pid_t>(*owner), 0) != 0 && errno == ESRCH)
            ::unlink((folder + entry->d_name).c_str());
    }
    ::closedir(listing);
}

}  // namespace

bool WriteFileContents(const std::string& path, const std::string& contents) {
    struct stat old {};
    const bool exists = ::stat(path.c_str(), &old) == 0;
    if (exists && (!S_ISREG(old.st_mode) || ::access(path.c_str(), W_OK) != 0)) return false;
    if (!exists && errno != ENOENT) return false;

    static std::atomic<unsigned> counter{0};
    const auto [folder, name] = FolderAndName(path, "/");
    const std::string temporary =
        folder + TemporaryName(name, static_cast<unsigned long>(::getpid()), counter.fetch_add(1));
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    bool ok = false;
    if (fd < 0) {
        // No new file may be made in the folder: the old file, if any, is rewritten in place.
        ok = exists && WriteInPlace(path, contents);
    } else {
        // The replacement takes over the old file's permissions and, where it can, its owner;
        // where it cannot, the old file is rewritten in place so that both stay as they were.
        const bool keeps = !exists || (::fchmod(fd, old.st_mode & 07777) == 0 &&
                                       ((old.st_uid == ::geteuid() && old.st_gid == ::getegid()) ||
                                        ::fchown(fd, old.st_uid, old.st_gid) == 0));
        ok = WriteAll(fd, contents) && ::fsync(fd) == 0;
        ok = (::close(fd) == 0) && ok;
        if (ok && keeps && std::rename(temporary.c_str(), path.c_str()) == 0) {
            ok = true;
        } else {
            ::unlink(temporary.c_str());
            ok = ok && exists && WriteInPlace(path, contents);
        }
    }
    if (ok) RemoveLeftovers(path);
    return ok;
}

}  // namespace platform
