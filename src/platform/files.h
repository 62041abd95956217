// Reading and replacing whole files, the file operations whose safe form differs between systems.
//
// Paths are UTF-8 on every system. The Windows layer turns them into UTF-16 and uses only the
// wide API, with the "\\?\" form for paths longer than the classic limit, so any folder name in
// any script and folders of any depth work whatever the system's code page.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <utility>

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

// Makes the file at `path` hold exactly `contents`, as the system's own profile writer would
// manage, but safely where the folder allows it:
// - where a file can be created in its folder, `contents` goes to a new temporary file beside
//   `path`, is flushed to the disk, and then takes the place of `path` in one step, keeping the
//   old file's attributes and access rights;
// - where it cannot (a folder users may not write, holding a file they may), or where the old
//   file cannot be replaced (another program holds it open without letting it go), the file is
//   rewritten in place.
// A file that cannot be written (read-only, a folder, no permission) is refused. The result is
// true on success; on failure `path` is as it was, unless an in-place rewrite failed part way.
// No temporary file outlives the call, and one left beside `path` by an earlier writer that died
// is removed after a successful write.
bool WriteFileContents(const std::string& path, const std::string& contents);

// The name of the temporary file that write number `serial` of process `process` uses for the
// file named `fileName`, and the process that made `entry` when it is such a temporary file.
std::string TemporaryName(const std::string& fileName, unsigned long process, unsigned serial);
std::optional<unsigned long> TemporaryOwner(const std::string& entry, const std::string& fileName);

// A path split after its last character from `separators`: the folder (with that separator, or ""
// when there is none) and the file's name.
std::pair<std::string, std::string> FolderAndName(const std::string& path, const char* separators);

}  // namespace platform
