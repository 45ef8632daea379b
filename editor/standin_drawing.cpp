// TEMPORARY stand-in until common/drawing.cpp lands: SetMaterialColor and
// the two editor images (null: nothing drawn). Delete with standin_drawing.h.
#include "editor/standin_drawing.h"

unsigned int *EditTitle = nullptr;
unsigned int *EditHelp = nullptr;

void SetMaterialColor(const GLfloat *color) {
  glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, color);
  glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, color);
  glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, colorNone);
  glColor4fv(color);
}
