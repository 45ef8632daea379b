// TEMPORARY: the colours, SetMaterialColor and editor images the editor uses,
// until the full colour table and catalogue land in common/drawing.h.
// Delete with editor/standin_drawing.cpp then.
#pragma once
#include <GL/gl.h>

constexpr GLfloat colorRed[4] = {1.0f, 0.0f, 0.0f, 1.0f};
constexpr GLfloat colorDkGreen[4] = {0.0f, 0.3f, 0.0f, 1.0f};
constexpr GLfloat colorBlue[4] = {0.0f, 0.0f, 1.0f, 1.0f};
constexpr GLfloat colorNone[4] = {0.0f, 0.0f, 0.0f, 0.0f};
constexpr GLfloat colorWhite[4] = {1.0f, 1.0f, 1.0f, 1.0f};
constexpr int kImageEditTitle = 49;
constexpr int kImageEditHelp = 50;

void SetMaterialColor(const GLfloat *color);
extern unsigned int *EditTitle, *EditHelp;
