// The GLUT side of the window: its first size, full screen at start and
// the F11 toggle, which gives back the size the window had before.
#include <GL/freeglut.h>

#include "common/window.h"

BOOL windowFullScreen = FALSE;
// The size to give back on leaving full screen.
static int windowedWidth = 1200, windowedHeight = 600;

void InitWindowSize(const CommandLine &command) {
  // A size from -geometry has been taken by glutInit already.
  if (command.geometrySize) return;
  DesktopWindowSize(command.display, &windowedWidth, &windowedHeight);
  glutInitWindowSize(windowedWidth, windowedHeight);
}

static void EnterFullScreen(void) {
  windowFullScreen = TRUE;
  glutFullScreen();
}

void StartWindow(const CommandLine &command) {
  windowedWidth = glutGet(GLUT_INIT_WINDOW_WIDTH);
  windowedHeight = glutGet(GLUT_INIT_WINDOW_HEIGHT);
  if (command.fullScreen) EnterFullScreen();
}

void ToggleFullScreen(void) {
  if (!windowFullScreen) {
    windowedWidth = glutGet(GLUT_WINDOW_WIDTH);
    windowedHeight = glutGet(GLUT_WINDOW_HEIGHT);
    EnterFullScreen();
    return;
  }
  windowFullScreen = FALSE;
  glutLeaveFullScreen();
  glutReshapeWindow(windowedWidth, windowedHeight);
}

BOOL WindowSpecialKey(int key) {
  if (key != GLUT_KEY_F11) return FALSE;
  ToggleFullScreen();
  return TRUE;
}
