// Resource ids of the images. Plain #defines so that both C++ and the resource compiler read them.
// The window icon has the lowest icon id, so the shell shows it as the program's icon.
#pragma once

#define IDI_VELTRANE 1

// Not IDC_HAND: <windows.h> defines that name for the system's own hand pointer.
#define IDC_HAND_CURSOR 100

#define IDB_SKIN_NORMAL 200
#define IDB_SKIN_HIGHLIGHT 201
#define IDB_SKIN_HIGHLIGHTSELECT 202
#define IDB_SKIN_SELECTED 203
#define IDB_SKIN_PRESSED 204
#define IDB_SKIN_DISABLE 205
#define IDB_TEXTURE 210
#define IDB_SAMPLE_PHOTO 211
#define IDB_PREVIEW 212
