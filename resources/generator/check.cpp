// Reads the committed resource files with a parser of its own and checks what the program relies
// on: formats and sizes, the pixels that the button skins' colour table fixes, the cursor's hot
// spot and mask, the icon's images, and a few properties of the drawn pictures.
//   veltrane_resource_check <resources folder>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace {

int failures = 0;

void Expect(bool ok, const std::string& what) {
    if (!ok) {
        ++failures;
        std::fprintf(stderr, "FAIL: %s\n", what.c_str());
    }
}

std::vector<std::uint8_t> Load(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::uint32_t U16(const std::vector<std::uint8_t>& b, std::size_t at) {
    return at + 2 <= b.size() ? b[at] | b[at + 1] << 8 : 0;
}
std::uint32_t U32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return U16(b, at) | U16(b, at + 2) << 16;
}

// A 24-bit bottom-up BMP; pixel(x, y) counts y from the top and returns 0xRRGGBB.
struct Bmp {
    std::vector<std::uint8_t> bytes;
    int width = 0, height = 0;
    bool valid = false;
    std::uint32_t pixel(int x, int y) const {
        const std::size_t row = (std::size_t(width) * 3 + 3) / 4 * 4;
        const std::size_t at =
            U32(bytes, 10) + row * std::size_t(height - 1 - y) + std::size_t(x) * 3;
        return bytes[at + 2] << 16 | bytes[at + 1] << 8 | bytes[at];
    }
};

Bmp ReadBmp(const std::string& dir, const std::string& name, int width, int height) {
    Bmp bmp;
    bmp.bytes = Load(dir + "/" + name);
    const auto& b = bmp.bytes;
    bmp.width = static_cast<int>(U32(b, 18));
    bmp.height = static_cast<int>(U32(b, 22));
    const std::size_t row = (std::size_t(width) * 3 + 3) / 4 * 4;
    bmp.valid = b.size() >= 54 && b[0] == 'B' && b[1] == 'M' && U32(b, 2) == b.size() &&
                U32(b, 14) == 40 && bmp.width == width && bmp.height == height && U16(b, 26) == 1 &&
                U16(b, 28) == 24 && U32(b, 30) == 0 && U32(b, 10) + row * height == b.size();
    Expect(bmp.valid, name + ": 24-bit bottom-up BMP of " + std::to_string(width) + "x" +
                          std::to_string(height));
    return bmp;
}

struct SkinPixel {
    const char* file;
    int x, y;
    std::uint32_t rgb;
};

// Pixels that the skins' colour table fixes, written out from the table (not from the drawing
// code): outlines, margins, band rows and columns, corner cuts.
const SkinPixel kSkinPixels[] = {
    {"skin_normal.bmp", 30, 1, 0x003C74},     {"skin_normal.bmp", 30, 23, 0x003C74},
    {"skin_normal.bmp", 1, 12, 0x003C74},     {"skin_normal.bmp", 62, 12, 0x003C74},
    {"skin_normal.bmp", 30, 0, 0xE0DCC9},     {"skin_normal.bmp", 30, 24, 0xF8F7F0},
    {"skin_normal.bmp", 0, 12, 0xE2DECB},     {"skin_normal.bmp", 63, 12, 0xF0EEE0},
    {"skin_normal.bmp", 30, 2, 0xF3F3EE},     {"skin_normal.bmp", 30, 3, 0xF3F3EE},
    {"skin_normal.bmp", 30, 21, 0xE0DED4},    {"skin_normal.bmp", 30, 22, 0xD6D0C5},
    {"skin_normal.bmp", 2, 4, 0xFDFDFC},      {"skin_normal.bmp", 3, 20, 0xECEBE6},
    {"skin_normal.bmp", 61, 4, 0xF6F4F2},     {"skin_normal.bmp", 60, 20, 0xE0DDD4},
    {"skin_normal.bmp", 1, 1, 0x7A95A8},      {"skin_normal.bmp", 62, 23, 0x7A95A8},
    {"skin_normal.bmp", 2, 1, 0x255783},      {"skin_normal.bmp", 1, 22, 0x255783},
    {"skin_highlight.bmp", 30, 1, 0x003C74},  {"skin_highlight.bmp", 30, 2, 0xFFF0CF},
    {"skin_highlight.bmp", 30, 3, 0xFDD889},  {"skin_highlight.bmp", 30, 21, 0xF8B330},
    {"skin_highlight.bmp", 30, 22, 0xE59700}, {"skin_highlight.bmp", 2, 4, 0xFEDF9A},
    {"skin_highlight.bmp", 3, 4, 0xFCD279},   {"skin_highlight.bmp", 2, 20, 0xF9B435},
    {"skin_highlight.bmp", 3, 20, 0xF8B535},  {"skin_highlight.bmp", 61, 4, 0xFEDF9A},
    {"skin_selected.bmp", 30, 23, 0x003C74},  {"skin_selected.bmp", 30, 2, 0xCEE7FF},
    {"skin_selected.bmp", 30, 3, 0xCEE7FF},   {"skin_selected.bmp", 30, 21, 0x6982EE},
    {"skin_selected.bmp", 30, 22, 0x6982EE},  {"skin_selected.bmp", 2, 4, 0xB7D0F4},
    {"skin_selected.bmp", 60, 20, 0x8BADE4},  {"skin_selected.bmp", 62, 1, 0x7A95A8},
    {"skin_pressed.bmp", 30, 0, 0xECE9D8},    {"skin_pressed.bmp", 30, 24, 0xECE9D8},
    {"skin_pressed.bmp", 0, 12, 0xECE9D8},    {"skin_pressed.bmp", 63, 12, 0xECE9D8},
    {"skin_pressed.bmp", 30, 1, 0xE0DCC9},    {"skin_pressed.bmp", 30, 23, 0xF8F7F0},
    {"skin_pressed.bmp", 30, 2, 0x003C74},    {"skin_pressed.bmp", 30, 22, 0x003C74},
    {"skin_pressed.bmp", 2, 12, 0x003C74},    {"skin_pressed.bmp", 61, 12, 0x003C74},
    {"skin_pressed.bmp", 30, 3, 0xD1CCC1},    {"skin_pressed.bmp", 30, 21, 0xF2F1EE},
    {"skin_pressed.bmp", 3, 4, 0xDAD8CF},     {"skin_pressed.bmp", 60, 4, 0xE6E6E1},
    {"skin_disable.bmp", 30, 0, 0xECE9D8},    {"skin_disable.bmp", 63, 12, 0xECE9D8},
    {"skin_disable.bmp", 30, 1, 0xC9C7BA},    {"skin_disable.bmp", 1, 12, 0xC9C7BA},
    {"skin_disable.bmp", 1, 1, 0xD8D5C7},     {"skin_disable.bmp", 2, 1, 0xCBC9BC},
    {"skin_disable.bmp", 30, 2, 0xF5F4EA},    {"skin_disable.bmp", 30, 22, 0xF5F4EA},
    {"skin_disable.bmp", 3, 12, 0xF5F4EA},    {"skin_disable.bmp", 60, 12, 0xF5F4EA},
};

// At 200 % each of those pixels is a block of 2 x 2 (the file's name with "_200").
void CheckSkins(const std::string& dir) {
    for (const SkinPixel& p : kSkinPixels) {
        for (const int scale : {1, 2}) {
            std::string file = p.file;
            if (scale == 2) file.insert(file.size() - 4, "_200");
            const Bmp bmp = ReadBmp(dir, file, 64 * scale, 25 * scale);
            if (!bmp.valid) continue;
            for (const int d : {0, scale - 1}) {
                const int x = p.x * scale + d, y = p.y * scale + d;
                char what[128];
                std::snprintf(what, sizeof what, "%s (%d,%d) is %06X, expected %06X", file.c_str(),
                              x, y, bmp.pixel(x, y), p.rgb);
                Expect(bmp.pixel(x, y) == p.rgb, what);
            }
        }
    }
    Expect(Load(dir + "/skin_highlight.bmp") == Load(dir + "/skin_highlightselect.bmp"),
           "HighLightSelect skin is the HighLight picture");
}

void CheckPictures(const std::string& dir) {
    // Brushed metal: light grey, and much smoother along rows than across them.
    const Bmp tex = ReadBmp(dir, "texture.bmp", 579, 21);
    if (tex.valid) {
        long sum = 0, along = 0, across = 0;
        for (int y = 0; y < 21; ++y)
            for (int x = 0; x < 579; ++x) {
                const int g = tex.pixel(x, y) >> 8 & 0xFF;
                sum += g;
                if (x > 0) along += std::abs(g - int(tex.pixel(x - 1, y) >> 8 & 0xFF));
                if (y > 0) across += std::abs(g - int(tex.pixel(x, y - 1) >> 8 & 0xFF));
            }
        const long mean = sum / (579 * 21);
        Expect(mean >= 180 && mean <= 230, "texture is light grey, mean " + std::to_string(mean));
        Expect(along * 2 < across, "texture streaks run horizontally");
    }
    ReadBmp(dir, "sample_photo.bmp", 200, 200);
    // The turned desktop leaves the corners to the white ground, at every scale.
    for (const auto& [file, width, height] : {std::tuple{"preview.bmp", 152, 112},
                                              {"preview_150.bmp", 228, 168},
                                              {"preview_200.bmp", 304, 224}}) {
        const Bmp preview = ReadBmp(dir, file, width, height);
        if (preview.valid)
            for (auto [x, y] : {std::pair{0, 0}, {width - 1, 0}, {0, height - 1}})
                Expect(preview.pixel(x, y) == 0xFFFFFF, std::string(file) + " corner is white");
    }
    // The other pictures at 150 and 200 %: each side times the scale, halves rounded to even.
    for (const auto& [file, width, height] : {std::tuple{"texture_150.bmp", 868, 32},
                                              {"texture_200.bmp", 1158, 42},
                                              {"sample_photo_150.bmp", 300, 300},
                                              {"sample_photo_200.bmp", 400, 400},
                                              {"skin_normal_150.bmp", 96, 38},
                                              {"skin_highlight_150.bmp", 96, 38},
                                              {"skin_highlightselect_150.bmp", 96, 38},
                                              {"skin_selected_150.bmp", 96, 38},
                                              {"skin_pressed_150.bmp", 96, 38},
                                              {"skin_disable_150.bmp", 96, 38}})
        ReadBmp(dir, file, width, height);
}

// The .cur and .ico directories, and the DIB inside the cursor.
void CheckCursorAndIcon(const std::string& dir) {
    const auto cur = Load(dir + "/hand.cur");
    Expect(cur.size() > 54 && U16(cur, 2) == 2 && U16(cur, 4) == 3,
           "hand.cur holds the cursor at three sizes");
    if (cur.size() > 54) {
        // At 32, 48 and 64 pixels, the hot spot on the fingertip's pixel at each.
        for (const auto& [entry, size, hotX, hotY] :
             {std::tuple{0, 32, 12, 1}, {1, 48, 18, 2}, {2, 64, 25, 3}}) {
            const std::size_t e = 6 + 16 * std::size_t(entry);
            Expect(cur[e] == size && cur[e + 1] == size && U16(cur, e + 4) == std::uint32_t(hotX) &&
                       U16(cur, e + 6) == std::uint32_t(hotY),
                   "cursor " + std::to_string(size) + " and its hot spot");
        }
        const std::size_t dib = U32(cur, 18);
        Expect(U32(cur, 14) + dib <= cur.size() && U32(cur, dib) == 40 && U32(cur, dib + 8) == 64 &&
                   U16(cur, dib + 14) == 4,
               "cursor image is a 4-bit DIB with XOR and AND halves");
        // XOR rows of 16 bytes, then AND rows of 4 bytes, both bottom-up.
        const std::size_t bits = dib + 40 + 16 * 4, mask = bits + 32 * 16;
        auto masked = [&](int x, int y) {
            return cur[mask + (31 - y) * 4 + x / 8] >> (7 - x % 8) & 1;
        };
        auto index = [&](int x, int y) {
            return cur[bits + (31 - y) * 16 + x / 2] >> (x % 2 ? 0 : 4) & 15;
        };
        Expect(masked(0, 0) && !masked(12, 1),
               "cursor is transparent outside and opaque at its tip");
        int white = 0, blue = 0;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) {
                if (masked(x, y)) continue;
                const std::size_t entry = dib + 40 + 4 * index(x, y);
                const std::uint32_t rgb = cur[entry + 2] << 16 | cur[entry + 1] << 8 | cur[entry];
                white += rgb == 0xFFFFFF;
                blue += (rgb & 0xFFFF00) == 0 && rgb != 0;
            }
        Expect(white > 100 && blue > 10, "cursor is a white hand with a blue cuff");
    }
    const auto ico = Load(dir + "/veltrane.ico");
    Expect(ico.size() > 6 && U16(ico, 2) == 1, "veltrane.ico is an icon file");
    bool has32 = false;
    for (std::uint32_t i = 0; i < U16(ico, 4); ++i) {
        const std::size_t e = 6 + 16 * i, at = U32(ico, e + 12);
        Expect(at + U32(ico, e + 8) <= ico.size(), "icon image lies inside the file");
        if (ico[e] == 32 && ico[e + 1] == 32)
            has32 = U32(ico, at) == 40 && U16(ico, at + 14) == 8 && U32(ico, at + 8) == 64;
    }
    Expect(has32, "icon has a 32x32 256-colour image");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <resources folder>\n", argv[0]);
        return 2;
    }
    CheckSkins(argv[1]);
    CheckPictures(argv[1]);
    CheckCursorAndIcon(argv[1]);
    std::printf("%d failures\n", failures);
    return failures == 0 ? 0 : 1;
}
