// The names of the temporary files that replace a file, and the split of a path into folder and
// name, shared by both systems' file layers.
#include <cstdlib>

#include "platform/files.h"

namespace platform {

std::string TemporaryName(const std::string& fileName, unsigned long process, unsigned serial) {
    return fileName + ".tmp" + std::to_string(process) + "-" + std::to_string(serial);
}

std::optional<unsigned long> TemporaryOwner(const std::string& entry, const std::string& fileName) {
    const std::string prefix = fileName + ".tmp";
    if (entry.size() <= prefix.size() || entry.compare(0, prefix.size(), prefix) != 0)
        return std::nullopt;
    // "<process>-<serial>", both plain decimal numbers.
    const std::string rest = entry.substr(prefix.size());
    const std::size_t dash = rest.find('-');
    if (dash == 0 || dash == std::string::npos || dash + 1 == rest.size() || dash > 10 ||
        rest.find_first_not_of("0123456789-") != std::string::npos ||
        rest.find('-', dash + 1) != std::string::npos) {
        return std::nullopt;
    }
    return std::strtoul(rest.substr(0, dash).c_str(), nullptr, 10);
}

std::pair<std::string, std::string> FolderAndName(const std::string& path, const char* separators) {
    const std::size_t last = path.find_last_of(separators);
    if (last == std::string::npos) return {"", path};
    return {path.substr(0, last + 1), path.substr(last + 1)};
}

}  // namespace platform
