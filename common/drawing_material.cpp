// SetMaterialColor: the one way geometry of both programs is coloured, for
// lit drawing (material) and unlit drawing (current colour) alike.
#include "common/drawing.h"

void SetMaterialColor(const GLfloat *color)
{
  glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, color);
  glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, color);
  glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, colorNone);
  glColor4fv(color);
}
