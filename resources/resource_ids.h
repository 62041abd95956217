// Every resource of Veltrane, one row each: the id's name and number, the resource type, the file
// in this folder, how the generator draws it, and the display scale it is drawn for (percent). The
// one table for all who need it:
//   - C++ code reads each id as an int constant of that name (below);
//   - veltrane.rc expands the rows into resource statements (the resource compiler reads this
//     header too, so it stays plain preprocessor text outside the RC_INVOKED guard);
//   - the generator (generator/main.cpp) writes each file from the drawing in its row, an
//     expression of its own functions in which `scale` is the row's scale; nobody else expands
//     that column.
// A macro that expands the rows names the columns it uses and ends in "...", so that a column
// added at the end leaves it as it is.
// The bitmaps are drawn at 100, 150 and 200 %: the id of a picture at the k-th scale of
// kPictureScalePercent is its id at 100 % plus 1000 k (ScaledPictureId, checked below), and the
// host takes the one nearest to the size it needs. The icon and the cursor hold their sizes in
// one file each, where the system picks its own.
// The window icon has the lowest icon id, so the shell shows it as the program's icon. The cursor
// is not IDC_HAND: <windows.h> defines that name for the system's own hand pointer.
#pragma once

// clang-format off
#define VELTRANE_RESOURCES(ROW) \
    ROW(IDI_VELTRANE,                 1,    ICON,   "veltrane.ico",                 Icon(),                                    100) \
    ROW(IDC_HAND_CURSOR,              100,  CURSOR, "hand.cur",                     HandCursor(),                              100) \
    ROW(IDB_SKIN_NORMAL,              200,  BITMAP, "skin_normal.bmp",              Bitmap(DrawSkin(Skin::Normal, scale)),     100) \
    ROW(IDB_SKIN_HIGHLIGHT,           201,  BITMAP, "skin_highlight.bmp",           Bitmap(DrawSkin(Skin::HighLight, scale)),  100) \
    ROW(IDB_SKIN_HIGHLIGHTSELECT,     202,  BITMAP, "skin_highlightselect.bmp",     Bitmap(DrawSkin(Skin::HighLight, scale)),  100) \
    ROW(IDB_SKIN_SELECTED,            203,  BITMAP, "skin_selected.bmp",            Bitmap(DrawSkin(Skin::Selected, scale)),   100) \
    ROW(IDB_SKIN_PRESSED,             204,  BITMAP, "skin_pressed.bmp",             Bitmap(DrawSkin(Skin::Pressed, scale)),    100) \
    ROW(IDB_SKIN_DISABLE,             205,  BITMAP, "skin_disable.bmp",             Bitmap(DrawSkin(Skin::Disable, scale)),    100) \
    ROW(IDB_TEXTURE,                  210,  BITMAP, "texture.bmp",                  Bitmap(DrawTexture(scale)),                100) \
    ROW(IDB_SAMPLE_PHOTO,             211,  BITMAP, "sample_photo.bmp",             Bitmap(DrawSamplePhoto(scale)),            100) \
    ROW(IDB_PREVIEW,                  212,  BITMAP, "preview.bmp",                  Bitmap(DrawPreview(25, scale)),            100) \
    ROW(IDB_SKIN_NORMAL_150,          1200, BITMAP, "skin_normal_150.bmp",          Bitmap(DrawSkin(Skin::Normal, scale)),     150) \
    ROW(IDB_SKIN_HIGHLIGHT_150,       1201, BITMAP, "skin_highlight_150.bmp",       Bitmap(DrawSkin(Skin::HighLight, scale)),  150) \
    ROW(IDB_SKIN_HIGHLIGHTSELECT_150, 1202, BITMAP, "skin_highlightselect_150.bmp", Bitmap(DrawSkin(Skin::HighLight, scale)),  150) \
    ROW(IDB_SKIN_SELECTED_150,        1203, BITMAP, "skin_selected_150.bmp",        Bitmap(DrawSkin(Skin::Selected, scale)),   150) \
    ROW(IDB_SKIN_PRESSED_150,         1204, BITMAP, "skin_pressed_150.bmp",         Bitmap(DrawSkin(Skin::Pressed, scale)),    150) \
    ROW(IDB_SKIN_DISABLE_150,         1205, BITMAP, "skin_disable_150.bmp",         Bitmap(DrawSkin(Skin::Disable, scale)),    150) \
    ROW(IDB_TEXTURE_150,              1210, BITMAP, "texture_150.bmp",              Bitmap(DrawTexture(scale)),                150) \
    ROW(IDB_SAMPLE_PHOTO_150,         1211, BITMAP, "sample_photo_150.bmp",         Bitmap(DrawSamplePhoto(scale)),            150) \
    ROW(IDB_PREVIEW_150,              1212, BITMAP, "preview_150.bmp",              Bitmap(DrawPreview(25, scale)),            150) \
    ROW(IDB_SKIN_NORMAL_200,          2200, BITMAP, "skin_normal_200.bmp",          Bitmap(DrawSkin(Skin::Normal, scale)),     200) \
    ROW(IDB_SKIN_HIGHLIGHT_200,       2201, BITMAP, "skin_highlight_200.bmp",       Bitmap(DrawSkin(Skin::HighLight, scale)),  200) \
    ROW(IDB_SKIN_HIGHLIGHTSELECT_200, 2202, BITMAP, "skin_highlightselect_200.bmp", Bitmap(DrawSkin(Skin::HighLight, scale)),  200) \
    ROW(IDB_SKIN_SELECTED_200,        2203, BITMAP, "skin_selected_200.bmp",        Bitmap(DrawSkin(Skin::Selected, scale)),   200) \
    ROW(IDB_SKIN_PRESSED_200,         2204, BITMAP, "skin_pressed_200.bmp",         Bitmap(DrawSkin(Skin::Pressed, scale)),    200) \
    ROW(IDB_SKIN_DISABLE_200,         2205, BITMAP, "skin_disable_200.bmp",         Bitmap(DrawSkin(Skin::Disable, scale)),    200) \
    ROW(IDB_TEXTURE_200,              2210, BITMAP, "texture_200.bmp",              Bitmap(DrawTexture(scale)),                200) \
    ROW(IDB_SAMPLE_PHOTO_200,         2211, BITMAP, "sample_photo_200.bmp",         Bitmap(DrawSamplePhoto(scale)),            200) \
    ROW(IDB_PREVIEW_200,              2212, BITMAP, "preview_200.bmp",              Bitmap(DrawPreview(25, scale)),            200)
// clang-format on

#ifndef RC_INVOKED
#define VELTRANE_RESOURCE_ID(id, number, ...) inline constexpr int id = number;
VELTRANE_RESOURCES(VELTRANE_RESOURCE_ID)
#undef VELTRANE_RESOURCE_ID

inline constexpr int kPictureScalePercent[] = {100, 150, 200};
constexpr int ScaledPictureId(int id, int k) {
    return id + 1000 * k;
}

// Every row drawn at a scale other than 100 % has the number ScaledPictureId gives for its
// picture at 100 %, which has a row of the same type.
namespace resource_table {
struct Row {
    int number, percent;
    const char* type;
};
#define VELTRANE_RESOURCE_ROW(id, number, type, file, drawing, percent, ...) {number, percent, #type},
inline constexpr Row kRows[] = {VELTRANE_RESOURCES(VELTRANE_RESOURCE_ROW)};
#undef VELTRANE_RESOURCE_ROW
constexpr bool SameText(const char* a, const char* b) {
    while (*a && *a == *b) ++a, ++b;
    return *a == *b;
}
constexpr bool HasItsPictureAt100(const Row& row) {
    int k = 0;
    while (k < 3 && kPictureScalePercent[k] != row.percent) ++k;
    if (k == 3) return false;
    for (const Row& other : kRows)
        if (other.percent == 100 && ScaledPictureId(other.number, k) == row.number &&
            SameText(other.type, row.type))
            return true;
    return false;
}
constexpr bool EveryRowHasItsPictureAt100() {
    for (const Row& row : kRows)
        if (!HasItsPictureAt100(row)) return false;
    return true;
}
static_assert(EveryRowHasItsPictureAt100(), "a scaled picture's number or type does not match");
}  // namespace resource_table
#endif
