// TEMPORARY stand-in until the overlay and control panel land: blank screens;
// Escape leaves the panel for play. Delete this file when they exist.
#include <GL/glut.h>

#include "game/squeakling.h"

void DrawStartSequence(void) {}
void DrawDeath(const char *) {}
void KeyboardDeath(unsigned char, int, int) {}

void CPDisplay(void) {
  SetUpDisplay();
  glutSwapBuffers();
}

void CPIdle(void) { CPDisplay(); }

void CPKeyboard(unsigned char key, int, int) {
  if (key == 27) InstallScreen(&playScreen);
}

void CPMouseButton(int, int, int, int) {}
