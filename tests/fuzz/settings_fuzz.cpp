// Any settings file reads and rewrites without a crash, and what a write does or refuses holds.
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "startup/process_values.h"
#include "startup/settings.h"

namespace {

std::string Get(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

bool WriteInterval(const std::string& path) {
    Veltrane_B::WriteSetting("Section", Veltrane_B::kIntervalKey, " 1500", path);
    return Veltrane_B::LastApiResult == 1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string path = "/tmp/veltrane-fuzz-" + std::to_string(::getpid()) + ".ini";
    if (size == 0) return 0;
    // The first byte picks shapes other programs leave: UTF-16 mark, lone CRs, a final zero byte.
    std::string contents(reinterpret_cast<const char*>(data + 1), size - 1);
    if (data[0] & 2) std::replace(contents.begin(), contents.end(), '\n', '\r');
    if (data[0] & 1) contents.insert(0, "\xFF\xFE");
    if (data[0] & 4) contents.push_back('\0');
    std::ofstream(path, std::ios::binary) << contents;

    // The first bytes double as names, so that names of every shape are tried too.
    const std::string section = contents.substr(0, std::min<std::size_t>(contents.size(), 8));
    const std::string key = contents.size() > 8 ? contents.substr(8, 8) : "key";
    Veltrane_B::ReadSetting(section, key, path);
    Veltrane_B::ReadSetting("Section", Veltrane_B::kIntervalKey, path);

    if (WriteInterval(path)) {
        if (Veltrane_B::ReadSetting("Section", Veltrane_B::kIntervalKey, path) != "1500")
            std::abort();  // a successful write that does not read back
        const std::string once = Get(path);
        if (!WriteInterval(path) || Get(path) != once) std::abort();  // writing again changes it
    } else if (Get(path) != contents) {
        std::abort();  // a refused write that changed the file
    }
    std::remove(path.c_str());
    return 0;
}
