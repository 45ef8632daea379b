// Colour table, SetMaterialColor and the interface image catalogue, shared by
// the game and the editor.
// TEMPORARY: only the declarations the start-up and screen flow need; the
// images work replaces this header with the full catalogue and colour table.
#pragma once
#include <GL/gl.h>

constexpr int kImageCount = 60;
constexpr int kImageBQuit = 13;
constexpr int kImageBRestart = 14;

extern int imageWidth[kImageCount];
extern int imageHeight[kImageCount];

// Reads every interface image; ends the program on a file it cannot read.
void ReadImageFiles(void);
