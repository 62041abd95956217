// Draws every picture of the program and writes the resource files, the resource script fragment
// and the contact sheet below the folder given on the command line:
//   veltrane_resource_generator <root>   writes <root>/resources/... and <root>/docs/...
// The output depends on nothing but this program, so running it again gives the same bytes.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>

#include "pictures.h"

namespace vr = veltrane_resources;
namespace fs = std::filesystem;

namespace {

bool Write(const fs::path& path, const vr::Bytes& bytes) {
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

bool Write(const fs::path& path, const std::string& text) {
    return Write(path, vr::Bytes(text.begin(), text.end()));
}

const char kResourceScript[] =
    "// Image resources of Veltrane. Written by veltrane_resource_generator; do not edit.\n"
    "// File names are relative to the resources folder (give windres -I for it).\n"
    "#include \"resource_ids.h\"\n"
    "\n"
    "IDI_VELTRANE ICON \"veltrane.ico\"\n"
    "IDC_HAND_CURSOR CURSOR \"hand.cur\"\n"
    "\n"
    "IDB_SKIN_NORMAL BITMAP \"skin_normal.bmp\"\n"
    "IDB_SKIN_HIGHLIGHT BITMAP \"skin_highlight.bmp\"\n"
    "IDB_SKIN_HIGHLIGHTSELECT BITMAP \"skin_highlightselect.bmp\"\n"
    "IDB_SKIN_SELECTED BITMAP \"skin_selected.bmp\"\n"
    "IDB_SKIN_PRESSED BITMAP \"skin_pressed.bmp\"\n"
    "IDB_SKIN_DISABLE BITMAP \"skin_disable.bmp\"\n"
    "IDB_TEXTURE BITMAP \"texture.bmp\"\n"
    "IDB_SAMPLE_PHOTO BITMAP \"sample_photo.bmp\"\n"
    "IDB_PREVIEW BITMAP \"preview.bmp\"\n";

// Turn of the preview picture, in whole degrees (shown clockwise).
constexpr int kPreviewAngle = 25;

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output-root>\n", argv[0]);
        return 2;
    }
    const fs::path root = argv[1];
    const fs::path res = root / "resources";
    bool ok = true;

    const vr::Image normal = vr::DrawSkin(vr::Skin::Normal);
    const vr::Image highLight = vr::DrawSkin(vr::Skin::HighLight);
    const vr::Image selected = vr::DrawSkin(vr::Skin::Selected);
    const vr::Image pressed = vr::DrawSkin(vr::Skin::Pressed);
    const vr::Image disable = vr::DrawSkin(vr::Skin::Disable);
    ok &= Write(res / "skin_normal.bmp", vr::EncodeBmp24(normal));
    ok &= Write(res / "skin_highlight.bmp", vr::EncodeBmp24(highLight));
    ok &= Write(res / "skin_highlightselect.bmp", vr::EncodeBmp24(highLight));
    ok &= Write(res / "skin_selected.bmp", vr::EncodeBmp24(selected));
    ok &= Write(res / "skin_pressed.bmp", vr::EncodeBmp24(pressed));
    ok &= Write(res / "skin_disable.bmp", vr::EncodeBmp24(disable));

    const vr::Image texture = vr::DrawTexture();
    ok &= Write(res / "texture.bmp", vr::EncodeBmp24(texture));
    const vr::Image photo = vr::DrawSamplePhoto();
    ok &= Write(res / "sample_photo.bmp", vr::EncodeBmp24(photo));
    const vr::Image preview = vr::DrawPreview(kPreviewAngle);
    ok &= Write(res / "preview.bmp", vr::EncodeBmp24(preview));

    // Cursor: one 16-colour image; the directory's planes/bit-count fields carry the hot spot.
    const vr::IndexedPicture hand = vr::DrawHandCursor();
    ok &= Write(res / "hand.cur", vr::EncodeIconFile(2, {{32, 32, vr::EncodeIconDib(hand), 16,
                                                          vr::kHandHotX, vr::kHandHotY}}));

    // Icon: 256-colour images at 16, 32 and 48 pixels, and a 256-pixel PNG for large views.
    std::vector<vr::Image> icons;
    std::vector<vr::IconEntry> entries;
    for (int size : {16, 32, 48}) {
        icons.push_back(vr::DrawIcon(size, false));
        vr::IndexedPicture indexed;
        if (!vr::ToIndexed(icons.back(), 8, indexed)) {
            std::fprintf(stderr, "icon %d uses more than 255 colours\n", size);
            return 1;
        }
        entries.push_back({size, size, vr::EncodeIconDib(indexed), 0, 1, 8});
    }
    icons.push_back(vr::DrawIcon(256, true));
    vr::Bytes large = vr::EncodePng(icons.back(), true);
    if (large.empty()) {
        std::fprintf(stderr, "the 256x256 icon could not be encoded\n");
        return 1;
    }
    entries.push_back({256, 256, std::move(large), 0, 1, 32});
    ok &= Write(res / "veltrane.ico", vr::EncodeIconFile(1, entries));
    ok &= Write(res / "images.rc", std::string(kResourceScript));

    // Contact sheet: the cursor as it shows (transparent where its mask is set).
    vr::Image handImage(32, 32);
    for (std::size_t i = 0; i < handImage.pixels.size(); ++i)
        if (!hand.transparent[i]) handImage.pixels[i] = hand.palette[hand.indices[i]];
    const vr::Image sheet = vr::DrawContactSheet({
        {{"NORMAL", &normal, 4}, {"HIGHLIGHT", &highLight, 4}, {"SELECTED", &selected, 4}},
        {{"PRESSED", &pressed, 4}, {"DISABLE", &disable, 4}},
        {{"TEXTURE 579x21", &texture, 2}},
        {{"SAMPLE PHOTO 200x200", &photo, 2}, {"PREVIEW 152x112", &preview, 3}},
        {{"HAND CURSOR", &handImage, 8},
         {"ICON 16", &icons[0], 8},
         {"ICON 32", &icons[1], 8},
         {"ICON 48", &icons[2], 4},
         {"ICON 256", &icons[3], 1}},
    });
    ok &= Write(root / "docs" / "contact-sheet.png", vr::EncodePng(sheet, false));
    return ok ? 0 : 1;
}
