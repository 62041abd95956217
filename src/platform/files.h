// Reading and replacing whole files, the file operations whose safe form differs between systems.
//
// Paths are UTF-8 on every system. The Windows layer turns them into UTF-16 and uses only the
// wide API, with the "\\?\" form for paths longer than the classic limit, so any folder name in
// any script and folders of any depth work whatever the system's code page.
#pragma once

#include <cstddef>
#include <string>

namespace platform {

// What reading a file found.
struct FileBytes {
    enum State {
        Read,     // `bytes` holds the whole file
        Missing,  // no such file (or no such folder on its way)
        Failed,   // it exists but is no readable file: a folder, no permission, too large
    } state = Missing;
    std::string bytes;
};

// Reads the whole file at `path`, refusing one larger than `maxBytes`. Others may have the file
// open for reading, writing or deletion meanwhile.
FileBytes ReadFileBytes(const std::string& path, std::size_t maxBytes);

// Writes `contents` to a new temporary file beside `path`, flushes it to the disk, then puts it
// in place of `path` in one step. On any failure the temporary file is removed, `path` is left
// exactly as it was, and the result is false.
bool WriteFileAtomically(const std::string& path, const std::string& contents);

}  // namespace platform
