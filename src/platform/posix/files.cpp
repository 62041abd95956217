#include "platform/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>

namespace platform {

FileBytes ReadFileBytes(const std::string& path, std::size_t maxBytes) {
    FileBytes result;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
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

bool WriteFileAtomically(const std::string& path, const std::string& contents) {
    static std::atomic<unsigned> counter{0};
    const std::string temporary =
        path + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(counter.fetch_add(1));
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    bool ok = true;
    std::size_t written = 0;
    while (ok && written < contents.size()) {
        const ssize_t n = ::write(fd, contents.data() + written, contents.size() - written);
        if (n <= 0) {
            ok = false;
        } else {
            written += static_cast<std::size_t>(n);
        }
    }
    ok = ok && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    ok = ok && std::rename(temporary.c_str(), path.c_str()) == 0;
    if (!ok) std::remove(temporary.c_str());
    return ok;
}

}  // namespace platform
