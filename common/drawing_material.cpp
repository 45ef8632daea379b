// SetMaterialColor: the one way geometry of both programs is coloured, for
// lit drawing (material) and unlit drawing (current colour) alike; and the
// window flag that guards both programs' GL state changes.
#include "common/drawing.h"

BOOL g_bWindowOpen = 0;

void SetCapability(GLenum capability, BOOL on) {
  if (!g_bWindowOpen) return;
  if (on)
    glEnable(capability);
  else
    glDisable(capability);
}

void SetPolygonFill(BOOL fill) {
  if (g_bWindowOpen) glPolygonMode(GL_FRONT_AND_BACK, fill ? GL_FILL : GL_LINE);
}

void SetMaterialColor(const GLfloat *color) {
  glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, color);
  glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, color);
  glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, colorNone);
  glColor4fv(color);
}
