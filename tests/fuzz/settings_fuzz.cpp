// Any settings file content reads and rewrites without a crash, and a value written is read back.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "startup/process_values.h"
#include "startup/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string path = "/tmp/veltrane-fuzz-" + std::to_string(::getpid()) + ".ini";
    if (std::FILE* file = std::fopen(path.c_str(), "wb")) {
        std::fwrite(data, 1, size, file);
        std::fclose(file);
    }
    // The first bytes double as names, so that names of every shape are tried too.
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::string section = text.substr(0, std::min<std::size_t>(size, 8));
    const std::string key = size > 8 ? text.substr(8, 8) : "key";
    Veltrane_B::ReadSetting(section, key, path);
    Veltrane_B::ReadSetting("Section", Veltrane_B::kIntervalKey, path);

    Veltrane_B::WriteSetting("Section", Veltrane_B::kIntervalKey, " 1500", path);
    if (Veltrane_B::LastApiResult == 1 &&
        Veltrane_B::ReadSetting("Section", Veltrane_B::kIntervalKey, path) != "1500") {
        std::abort();  // a successful write that does not read back
    }
    std::remove(path.c_str());
    return 0;
}
