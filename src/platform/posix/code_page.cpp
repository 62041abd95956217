#include "platform/code_page.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>

namespace platform {
namespace {

// One iconv conversion descriptor for the length of a conversion.
class Converter {
  public:
    Converter(const char* to, const char* from) : handle_(iconv_open(to, from)) {}
    ~Converter() {
        if (Valid()) iconv_close(handle_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    bool Valid() const { return handle_ != reinterpret_cast<iconv_t>(-1); }
    // Converts as much as it can; false at the first byte sequence it cannot convert.
    bool Run(char*& in, std::size_t& inLeft, std::string& out) {
        char buffer[256];
        while (inLeft > 0) {
            char* next = buffer;
            std::size_t room = sizeof buffer;
            const std::size_t result = iconv(handle_, &in, &inLeft, &next, &room);
            out.append(buffer, static_cast<std::size_t>(next - buffer));
            if (result == static_cast<std::size_t>(-1) && errno != E2BIG) return false;
        }
        return true;
    }

  private:
    iconv_t handle_;
};

}  // namespace

std::optional<std::u16string> Cp932ToUtf16(const std::string& text) {
    Converter converter("UTF-16LE", "CP932");
    if (!converter.Valid()) return std::nullopt;
    std::string input = text;
    char* in = input.data();
    std::size_t inLeft = input.size();
    std::string out;
    if (!converter.Run(in, inLeft, out)) return std::nullopt;
    std::u16string units;
    for (std::size_t i = 0; i + 1 < out.size(); i += 2) {
        units.push_back(static_cast<char16_t>(static_cast<unsigned char>(out[i]) |
                                              static_cast<unsigned char>(out[i + 1]) << 8));
    }
    return units;
}

std::string Utf16ToCp932(const std::u16string& text) {
    Converter converter("CP932", "UTF-16LE");
    std::string input;
    for (const char16_t unit : text) {
        input.push_back(static_cast<char>(unit & 0xFF));
        input.push_back(static_cast<char>(unit >> 8));
    }
    char* in = input.data();
    std::size_t inLeft = input.size();
    std::string out;
    while (converter.Valid() && !converter.Run(in, inLeft, out)) {
        // A unit with no code page 932 form: one '?' for it (for both halves of a pair).
        const std::size_t skip = std::min<std::size_t>(inLeft, 2);
        const unsigned high = skip == 2 ? static_cast<unsigned char>(in[1]) : 0;
        const bool pair = high >= 0xD8 && high <= 0xDB && inLeft >= 4 &&
                          static_cast<unsigned char>(in[3]) >= 0xDC &&
                          static_cast<unsigned char>(in[3]) <= 0xDF;
        out.push_back('?');
        in += pair ? 4 : skip;
        inLeft -= pair ? 4 : skip;
    }
    return out;
}

}  // namespace platform
