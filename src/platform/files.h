// File replacement, the one file operation whose safe form differs between systems.
#pragma once

#include <string>

namespace platform {

// Writes `contents` to a new temporary file beside `path`, flushes it to the disk, then puts it
// in place of `path` in one step. On any failure the temporary file is removed, `path` is left
// exactly as it was, and the result is false.
bool WriteFileAtomically(const std::string& path, const std::string& contents);

}  // namespace platform
