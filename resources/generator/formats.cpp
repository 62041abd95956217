#include "formats.h"

#include <png.h>

#include <csetjmp>
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

namespace {

// libpng's output function: appends to the Bytes it was given.
void AppendToBytes(png_structp png, png_bytep data, png_size_t size) {
    Bytes& out = *static_cast<Bytes*>(png_get_io_ptr(png));
    out.insert(out.end(), data, data + size);
}

}  // namespace

Bytes EncodePng(const Image& image, bool withAlpha) {
    const int channels = withAlpha ? 4 : 3;
    const std::size_t stride = std::size_t(image.width) * channels;
    std::vector<std::uint8_t> raw(stride * image.height);
    std::vector<png_bytep> rows(std::size_t(image.height));
    for (int y = 0; y < image.height; ++y) {
        rows[std::size_t(y)] = &raw[y * stride];
        for (int x = 0; x < image.width; ++x) {
            const Colour c = image.at(x, y);
            std::uint8_t* p = &raw[y * stride + std::size_t(x) * channels];
            p[0] = Red(c);
            p[1] = Green(c);
            p[2] = Blue(c);
            if (withAlpha) p[3] = Alpha(c);
        }
    }
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    if (info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        return {};
    }
    // libpng reports an error (on stderr) and jumps back here.
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return {};
    }
    png_set_write_fn(png, &out, AppendToBytes, nullptr);
    png_set_IHDR(png, info, static_cast<png_uint_32>(image.width),
                 static_cast<png_uint_32>(image.height), 8,
                 withAlpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    // Fixed settings, no time stamp: the same picture always gives the same bytes.
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_ALL_FILTERS);
    png_set_compression_level(png, 9);
    png_set_rows(png, info, rows.data());
    png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

}  // namespace veltrane_resources
