// TEMPORARY stand-in until the 3D scene lands: a plain cleared frame, and the
// interlude's return to play so the flow can be driven end to end.
// Delete this file when the real scene exists.
#include <GL/glut.h>

#include "game/squeakling.h"

void InitGraphics(void) {
  glClearColor(0.1f, 0.1f, 0.2f, 1.0f);
  glEnable(GL_DEPTH_TEST);
}

void reshape(int width, int height) {
  g_Width = width;
  g_Height = height;
  glViewport(0, 0, width, height);
}

void SetUpDisplay(void) { glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT); }

void RenderObjects(void) {}

void display(void) {
  SetUpDisplay();
  if (time_since_death >= 5 && !PAUSED) animate = 1;
  glutSwapBuffers();
}

void BuildShadowMatrices(void) {}
