// Draws every picture of the program and writes the resource files and the contact sheet below
// the folder given on the command line:
//   veltrane_resource_generator <root>   writes <root>/resources/... and <root>/docs/...
// Which files there are and how each is drawn is the table in resources/resource_ids.h.
// The output depends on nothing but this program, so running it again gives the same bytes.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <utility>

#include "pictures.h"
#include "resource_ids.h"

namespace fs = std::filesystem;

namespace veltrane_resources {
namespace {

// One resource file as drawn: its bytes, and the pictures in it as the contact sheet shows them.
struct Drawn {
    Bytes file;
    std::vector<Image> pictures;
};

// A 24-bit BMP of the picture.
Drawn Bitmap(Image picture) {
    Bytes file = EncodeBmp24(picture);
    return {std::move(file), {std::move(picture)}};
}

// One 16-colour image at each of 100, 150 and 200 % (32, 48 and 64 pixels), of which the system
// takes the one of the size it shows pointers at; the directory's planes/bit-count fields carry
// the hot spot. The sheet shows each as it shows (transparent where its mask is set).
Drawn HandCursor() {
    Drawn cursor;
    std::vector<IconEntry> entries;
    for (const int dpi : {96, 144, 192}) {
        const DisplayScale scale(dpi);
        const IndexedPicture hand = DrawHandCursor(scale);
        Image shown(hand.width, hand.height);
        for (std::size_t i = 0; i < shown.pixels.size(); ++i)
            if (!hand.transparent[i]) shown.pixels[i] = hand.palette[hand.indices[i]];
        cursor.pictures.push_back(std::move(shown));
        entries.push_back({hand.width, hand.height, EncodeIconDib(hand), 16,
                           HandHotSpot(kHandHotX, scale), HandHotSpot(kHandHotY, scale)});
    }
    cursor.file = EncodeIconFile(2, entries);
    return cursor;
}

// 256-colour images at 16, 32 and 48 pixels, and a 256-pixel PNG for large views; no file when a
// small size needs more colours or the PNG cannot be made.
Drawn Icon() {
    Drawn icon;
    std::vector<IconEntry> entries;
    for (int size : {16, 32, 48}) {
        icon.pictures.push_back(DrawIcon(size, false));
        IndexedPicture indexed;
        if (!ToIndexed(icon.pictures.back(), 8, indexed)) {
            std::fprintf(stderr, "icon %d uses more than 255 colours\n", size);
            return {};
        }
        entries.push_back({size, size, EncodeIconDib(indexed), 0, 1, 8});
    }
    icon.pictures.push_back(DrawIcon(256, true));
    Bytes large = EncodePng(icon.pictures.back(), true);
    if (large.empty()) {
        std::fprintf(stderr, "the 256x256 icon could not be encoded\n");
        return {};
    }
    entries.push_back({256, 256, std::move(large), 0, 1, 32});
    icon.file = EncodeIconFile(1, entries);
    return icon;
}

struct Resource {
    int id;
    const char* file;
    Drawn (*draw)();
};
// The drawing sees the row's scale as `scale`.
#define VELTRANE_GENERATED_FILE(id, number, type, file, drawing, percent, ...)           \
    {id, file, [] {                                                                      \
         [[maybe_unused]] const DisplayScale scale(platform::kDesignDpi* percent / 100); \
         return drawing;                                                                 \
     }},
const Resource kResources[] = {VELTRANE_RESOURCES(VELTRANE_GENERATED_FILE)};
#undef VELTRANE_GENERATED_FILE

bool Write(const fs::path& path, const Bytes& bytes) {
    if (bytes.empty()) {
        std::fprintf(stderr, "nothing to write for %s\n", path.string().c_str());
        return false;
    }
    std::error_code ignored;
    fs::create_directories(path.parent_path(), ignored);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) std::fprintf(stderr, "cannot write %s\n", path.string().c_str());
    return static_cast<bool>(out);
}

}  // namespace
}  // namespace veltrane_resources

int main(int argc, char** argv) {
    namespace vr = veltrane_resources;
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output-root>\n", argv[0]);
        return 2;
    }
    const fs::path root = argv[1];
    bool ok = true;
    std::map<int, vr::Drawn> drawn;
    for (const vr::Resource& resource : vr::kResources) {
        vr::Drawn& file = drawn[resource.id] = resource.draw();
        ok &= vr::Write(root / "resources" / resource.file, file.file);
    }
    if (!ok) return 1;

    // The pictures of the resources with these ids (the icon's by size), enlarged.
    const auto item = [&drawn](std::string_view label, int id, int scale, std::size_t picture = 0) {
        return vr::SheetItem{label, &drawn.at(id).pictures.at(picture), scale};
    };
    const vr::Image sheet = vr::DrawContactSheet({
        {item("NORMAL", IDB_SKIN_NORMAL, 4), item("HIGHLIGHT", IDB_SKIN_HIGHLIGHT, 4),
         item("SELECTED", IDB_SKIN_SELECTED, 4)},
        {item("PRESSED", IDB_SKIN_PRESSED, 4), item("DISABLE", IDB_SKIN_DISABLE, 4)},
        {item("TEXTURE 579x21", IDB_TEXTURE, 2)},
        {item("SAMPLE PHOTO 200x200", IDB_SAMPLE_PHOTO, 2),
         item("PREVIEW 152x112", IDB_PREVIEW, 3)},
        {item("NORMAL 1.5x", IDB_SKIN_NORMAL_150, 4), item("PRESSED 2x", IDB_SKIN_PRESSED_200, 4)},
        {item("HAND CURSOR 32", IDC_HAND_CURSOR, 8), item("48", IDC_HAND_CURSOR, 4, 1),
         item("64", IDC_HAND_CURSOR, 3, 2), item("ICON 16", IDI_VELTRANE, 8, 0),
         item("ICON 32", IDI_VELTRANE, 8, 1), item("ICON 48", IDI_VELTRANE, 4, 2),
         item("ICON 256", IDI_VELTRANE, 1, 3)},
    });
    return vr::Write(root / "docs" / "contact-sheet.png", vr::EncodePng(sheet, false)) ? 0 : 1;
}
