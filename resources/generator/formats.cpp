#include "formats.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <map>

namespace veltrane_resources {
namespace {

void Put16(Bytes& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}
void Put32(Bytes& out, std::uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}
void Put32BigEndian(Bytes& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<std::uint8_t>(v >> shift));
}

// BITMAPINFOHEADER: 40 bytes, one plane, no compression, 96 dots per inch.
void PutInfoHeader(Bytes& out, int width, int height, int bits, std::uint32_t imageSize,
                   std::uint32_t coloursUsed) {
    Put32(out, 40);
    Put32(out, static_cast<std::uint32_t>(width));
    Put32(out, static_cast<std::uint32_t>(height));
    Put16(out, 1);
    Put16(out, static_cast<std::uint32_t>(bits));
    Put32(out, 0);  // BI_RGB
    Put32(out, imageSize);
    Put32(out, 3780);  // pixels per metre, 96 dpi
    Put32(out, 3780);
    Put32(out, coloursUsed);
    Put32(out, 0);
}

std::uint32_t RowBytes(int width, int bits) {
    return static_cast<std::uint32_t>((width * bits + 31) / 32 * 4);
}

}  // namespace

Bytes EncodeBmp24(const Image& image) {
    const std::uint32_t row = RowBytes(image.width, 24);
    const std::uint32_t imageSize = row * static_cast<std::uint32_t>(image.height);
    Bytes out;
    out.push_back('B');
    out.push_back('M');
    Put32(out, 14 + 40 + imageSize);
    Put32(out, 0);
    Put32(out, 14 + 40);
    PutInfoHeader(out, image.width, image.height, 24, imageSize, 0);
    for (int y = image.height - 1; y >= 0; --y) {
        const std::size_t start = out.size();
        for (int x = 0; x < image.width; ++x) {
            const Colour c = image.at(x, y);
            out.push_back(Blue(c));
            out.push_back(Green(c));
            out.push_back(Red(c));
        }
        out.resize(start + row, 0);
    }
    return out;
}

bool ToIndexed(const Image& image, int bitsPerPixel, IndexedPicture& out) {
    out = IndexedPicture{};
    out.width = image.width;
    out.height = image.height;
    out.bitsPerPixel = bitsPerPixel;
    out.palette.push_back(0);
    // Palette in order of the sorted colour values, so it does not depend on drawing order.
    std::map<Colour, std::uint8_t> lookup;
    for (Colour c : image.pixels)
        if (Alpha(c) >= 128) lookup.emplace(c | 0xFF000000u, 0);
    if (lookup.size() + 1 > (std::size_t(1) << bitsPerPixel)) return false;
    for (auto& [colour, index] : lookup) {
        index = static_cast<std::uint8_t>(out.palette.size());
        out.palette.push_back(colour);
    }
    for (Colour c : image.pixels) {
        const bool clear = Alpha(c) < 128;
        out.transparent.push_back(clear);
        out.indices.push_back(clear ? 0 : lookup.at(c | 0xFF000000u));
    }
    return true;
}

Bytes EncodeIconDib(const IndexedPicture& p) {
    const std::uint32_t xorRow = RowBytes(p.width, p.bitsPerPixel);
    const std::uint32_t andRow = RowBytes(p.width, 1);
    const std::uint32_t h = static_cast<std::uint32_t>(p.height);
    const std::uint32_t paletteSize = 1u << p.bitsPerPixel;
    Bytes out;
    PutInfoHeader(out, p.width, p.height * 2, p.bitsPerPixel, (xorRow + andRow) * h, 0);
    for (std::uint32_t i = 0; i < paletteSize; ++i) {
        const Colour c = i < p.palette.size() ? p.palette[i] : 0;
        out.push_back(Blue(c));
        out.push_back(Green(c));
        out.push_back(Red(c));
        out.push_back(0);
    }
    const int perByte = 8 / p.bitsPerPixel;
    for (int y = p.height - 1; y >= 0; --y) {
        Bytes row(xorRow, 0);
        for (int x = 0; x < p.width; ++x) {
            const int shift = 8 - p.bitsPerPixel * (x % perByte + 1);
            row[std::size_t(x / perByte)] |=
                static_cast<std::uint8_t>(p.indices[std::size_t(y) * p.width + x] << shift);
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    for (int y = p.height - 1; y >= 0; --y) {
        Bytes row(andRow, 0);
        for (int x = 0; x < p.width; ++x)
            if (p.transparent[std::size_t(y) * p.width + x])
                row[std::size_t(x / 8)] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

Bytes EncodeIconFile(int type, const std::vector<IconEntry>& entries) {
    Bytes out;
    Put16(out, 0);
    Put16(out, static_cast<std::uint32_t>(type));
    Put16(out, static_cast<std::uint32_t>(entries.size()));
    std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(entries.size());
    for (const IconEntry& e : entries) {
        out.push_back(static_cast<std::uint8_t>(e.width >= 256 ? 0 : e.width));
        out.push_back(static_cast<std::uint8_t>(e.height >= 256 ? 0 : e.height));
        out.push_back(static_cast<std::uint8_t>(e.colourCount));
        out.push_back(0);
        Put16(out, static_cast<std::uint32_t>(e.planesOrHotX));
        Put16(out, static_cast<std::uint32_t>(e.bitCountOrHotY));
        Put32(out, static_cast<std::uint32_t>(e.data.size()));
        Put32(out, offset);
        offset += static_cast<std::uint32_t>(e.data.size());
    }
    for (const IconEntry& e : entries) out.insert(out.end(), e.data.begin(), e.data.end());
    return out;
}

std::uint32_t Crc32(const std::uint8_t* data, std::size_t size, std::uint32_t crc) {
    static const auto table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    crc = ~crc;
    for (std::size_t i = 0; i < size; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

std::uint32_t Adler32(const Bytes& data) {
    std::uint32_t a = 1, b = 0;
    for (std::uint8_t v : data) {
        a = (a + v) % 65521;
        b = (b + a) % 65521;
    }
    return b << 16 | a;
}

namespace {

class BitWriter {
  public:
    explicit BitWriter(Bytes& out) : out_(out) {}
    // Writes the low `count` bits of value, least significant first.
    void bits(std::uint32_t value, int count) {
        for (int i = 0; i < count; ++i) bit((value >> i) & 1);
    }
    // Writes a Huffman code, most significant bit first.
    void code(std::uint32_t value, int count) {
        for (int i = count - 1; i >= 0; --i) bit((value >> i) & 1);
    }
    void flush() {
        if (used_ > 0) out_.push_back(current_);
        used_ = 0;
        current_ = 0;
    }

  private:
    void bit(std::uint32_t b) {
        current_ |= static_cast<std::uint8_t>(b << used_);
        if (++used_ == 8) flush();
    }
    Bytes& out_;
    std::uint8_t current_ = 0;
    int used_ = 0;
};

constexpr std::array<int, 29> kLengthBase = {3,  4,  5,  6,   7,   8,   9,   10,  11, 13,
                                             15, 17, 19, 23,  27,  31,  35,  43,  51, 59,
                                             67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr std::array<int, 29> kLengthExtra = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                              2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr std::array<int, 30> kDistanceBase = {
    1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
    193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr std::array<int, 30> kDistanceExtra = {0, 0, 0,  0,  1,  1,  2,  2,  3,  3,
                                                4, 4, 5,  5,  6,  6,  7,  7,  8,  8,
                                                9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

// Literal/length symbol in the fixed Huffman code.
void PutSymbol(BitWriter& w, int symbol) {
    if (symbol < 144)
        w.code(0x30 + symbol, 8);
    else if (symbol < 256)
        w.code(0x190 + symbol - 144, 9);
    else if (symbol < 280)
        w.code(symbol - 256, 7);
    else
        w.code(0xC0 + symbol - 280, 8);
}

void PutMatch(BitWriter& w, int length, int distance) {
    int l = 28;
    while (kLengthBase[l] > length) --l;
    PutSymbol(w, 257 + l);
    w.bits(static_cast<std::uint32_t>(length - kLengthBase[l]), kLengthExtra[l]);
    int d = 29;
    while (kDistanceBase[d] > distance) --d;
    w.code(static_cast<std::uint32_t>(d), 5);
    w.bits(static_cast<std::uint32_t>(distance - kDistanceBase[d]), kDistanceExtra[d]);
}

}  // namespace

Bytes ZlibCompress(const Bytes& data) {
    constexpr int kWindow = 32768, kMinMatch = 3, kMaxMatch = 258, kChain = 64;
    constexpr int kHashBits = 15;
    Bytes out = {0x78, 0x01};
    BitWriter w(out);
    w.bits(1, 1);  // final block
    w.bits(1, 2);  // fixed Huffman codes
    const int n = static_cast<int>(data.size());
    std::vector<int> head(1 << kHashBits, -1), previous(std::size_t(n), -1);
    auto hash = [&](int i) {
        const std::uint32_t v =
            std::uint32_t(data[i]) << 16 | std::uint32_t(data[i + 1]) << 8 | data[i + 2];
        return static_cast<int>((v * 2654435761u) >> (32 - kHashBits));
    };
    auto insert = [&](int i) {
        if (i + kMinMatch > n) return;
        const int h = hash(i);
        previous[i] = head[h];
        head[h] = i;
    };
    int i = 0;
    while (i < n) {
        int bestLength = 0, bestDistance = 0;
        if (i + kMinMatch <= n) {
            int candidate = head[hash(i)];
            for (int chain = 0; candidate >= 0 && i - candidate <= kWindow && chain < kChain;
                 ++chain, candidate = previous[candidate]) {
                const int limit = std::min(kMaxMatch, n - i);
                int length = 0;
                while (length < limit && data[candidate + length] == data[i + length]) ++length;
                if (length > bestLength) {
                    bestLength = length;
                    bestDistance = i - candidate;
                    if (length == limit) break;
                }
            }
        }
        if (bestLength >= kMinMatch) {
            PutMatch(w, bestLength, bestDistance);
            for (int k = 0; k < bestLength; ++k) insert(i + k);
            i += bestLength;
        } else {
            PutSymbol(w, data[i]);
            insert(i);
            ++i;
        }
    }
    PutSymbol(w, 256);
    w.flush();
    Put32BigEndian(out, Adler32(data));
    return out;
}

namespace {

void PutChunk(Bytes& out, const char* type, const Bytes& body) {
    Put32BigEndian(out, static_cast<std::uint32_t>(body.size()));
    const std::size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), body.begin(), body.end());
    Put32BigEndian(out, Crc32(out.data() + start, out.size() - start));
}

int Paeth(int a, int b, int c) {
    const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    if (pa <= pb && pa <= pc) return a;
    return pb <= pc ? b : c;
}

}  // namespace

Bytes EncodePng(const Image& image, bool withAlpha) {
    const int channels = withAlpha ? 4 : 3;
    const std::size_t stride = std::size_t(image.width) * channels;
    std::vector<std::uint8_t> raw(stride * image.height);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            const Colour c = image.at(x, y);
            std::uint8_t* p = &raw[y * stride + std::size_t(x) * channels];
            p[0] = Red(c);
            p[1] = Green(c);
            p[2] = Blue(c);
            if (withAlpha) p[3] = Alpha(c);
        }
    // Each row takes the filter with the smallest sum of absolute residuals.
    Bytes filtered;
    std::vector<std::uint8_t> zero(stride, 0), candidate(stride);
    for (int y = 0; y < image.height; ++y) {
        const std::uint8_t* row = &raw[y * stride];
        const std::uint8_t* up = y > 0 ? &raw[(y - 1) * stride] : zero.data();
        Bytes best;
        long bestScore = -1;
        for (int type = 0; type < 5; ++type) {
            long score = 0;
            for (std::size_t i = 0; i < stride; ++i) {
                const int a = i >= std::size_t(channels) ? row[i - channels] : 0;
                const int c = i >= std::size_t(channels) ? up[i - channels] : 0;
                const int b = up[i];
                const int predictor = type == 0   ? 0
                                      : type == 1 ? a
                                      : type == 2 ? b
                                      : type == 3 ? (a + b) / 2
                                                  : Paeth(a, b, c);
                candidate[i] = static_cast<std::uint8_t>(row[i] - predictor);
                score += candidate[i] < 128 ? candidate[i] : 256 - candidate[i];
            }
            if (bestScore < 0 || score < bestScore) {
                bestScore = score;
                best.assign(1, static_cast<std::uint8_t>(type));
                best.insert(best.end(), candidate.begin(), candidate.end());
            }
        }
        filtered.insert(filtered.end(), best.begin(), best.end());
    }
    Bytes out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    Bytes header;
    Put32BigEndian(header, static_cast<std::uint32_t>(image.width));
    Put32BigEndian(header, static_cast<std::uint32_t>(image.height));
    header.insert(header.end(), {8, static_cast<std::uint8_t>(withAlpha ? 6 : 2), 0, 0, 0});
    PutChunk(out, "IHDR", header);
    PutChunk(out, "IDAT", ZlibCompress(filtered));
    PutChunk(out, "IEND", {});
    return out;
}

}  // namespace veltrane_resources
