// Every resource of Veltrane, one row each: the id's name and number, the resource type, the file
// in this folder and how the generator draws it. The one table for all who need it:
//   - C++ code reads each id as an int constant of that name (below);
//   - veltrane.rc expands the rows into resource statements (the resource compiler reads this
//     header too, so it stays plain preprocessor text outside the RC_INVOKED guard);
//   - the generator (generator/main.cpp) writes each file from the drawing in its row, an
//     expression of its own functions; nobody else expands that column.
// A macro that expands the rows names the columns it uses and ends in "...", so that a column
// added at the end leaves it as it is.
// The window icon has the lowest icon id, so the shell shows it as the program's icon. The cursor
// is not IDC_HAND: <windows.h> defines that name for the system's own hand pointer.
#pragma once

// clang-format off
#define VELTRANE_RESOURCES(ROW) \
    ROW(IDI_VELTRANE,             1,   ICON,   "veltrane.ico",             Icon()) \
    ROW(IDC_HAND_CURSOR,          100, CURSOR, "hand.cur",                 HandCursor()) \
    ROW(IDB_SKIN_NORMAL,          200, BITMAP, "skin_normal.bmp",          Bitmap(DrawSkin(Skin::Normal))) \
    ROW(IDB_SKIN_HIGHLIGHT,       201, BITMAP, "skin_highlight.bmp",       Bitmap(DrawSkin(Skin::HighLight))) \
    ROW(IDB_SKIN_HIGHLIGHTSELECT, 202, BITMAP, "skin_highlightselect.bmp", Bitmap(DrawSkin(Skin::HighLight))) \
    ROW(IDB_SKIN_SELECTED,        203, BITMAP, "skin_selected.bmp",        Bitmap(DrawSkin(Skin::Selected))) \
    ROW(IDB_SKIN_PRESSED,         204, BITMAP, "skin_pressed.bmp",         Bitmap(DrawSkin(Skin::Pressed))) \
    ROW(IDB_SKIN_DISABLE,         205, BITMAP, "skin_disable.bmp",         Bitmap(DrawSkin(Skin::Disable))) \
    ROW(IDB_TEXTURE,              210, BITMAP, "texture.bmp",              Bitmap(DrawTexture())) \
    ROW(IDB_SAMPLE_PHOTO,         211, BITMAP, "sample_photo.bmp",         Bitmap(DrawSamplePhoto())) \
    ROW(IDB_PREVIEW,              212, BITMAP, "preview.bmp",              Bitmap(DrawPreview(25)))
// clang-format on

#ifndef RC_INVOKED
#define VELTRANE_RESOURCE_ID(id, number, ...) inline constexpr int id = number;
VELTRANE_RESOURCES(VELTRANE_RESOURCE_ID)
#undef VELTRANE_RESOURCE_ID

// The scales a bitmap may be drawn at; the id of a picture at the k-th is its id at 100 % plus
// 1000 k. The host takes the one nearest to the size it needs.
inline constexpr int kPictureScalePercent[] = {100, 150, 200};
constexpr int ScaledPictureId(int id, int k) {
    return id + 1000 * k;
}
#endif
