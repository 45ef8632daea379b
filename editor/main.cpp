// gridcraft, the level editor: window, sound and the GLUT callbacks, then
// the main loop. Everything it runs lives in editor_core.
#include <GL/glut.h>
#include <cstdio>

#include "common/window.h"
#include "editor/gridcraft.h"

static const ProgramUsage kUsage = {"gridcraft", "FILE",
                                    "Gridcraft: the level editor of Squeakling.",
                                    "the level-set file to edit"};

// F11 belongs to the window; the other special keys to the editor.
static void SpecialKey(int key, int x, int y) {
  if (!WindowSpecialKey(key)) SpecialKeys(key, x, y);
}

int main(int argc, char **argv) {
  // Read before glutInit, which takes its own options out of argv; --help
  // and --version answer without a display.
  const CommandLine command = ParseCommandLine(argc, argv);
  int status = 0;
  if (AnswerCommandLine(command, kUsage, &status)) return status;
  glutInit(&argc, argv);
  InitWindowSize(command);
  glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
  glutCreateWindow("Dravel GLUT example");
  StartWindow(command);
  g_bWindowOpen = 1;
  InitGraphics();
  if (startAudio(&soundFX, "/dev/dsp") < 0) {
    printf("Cannot intialize audio\n");
    audioOn = 0;
  }
  LoadSamples();
  playSample(&soundFX, fox_id, 1);
  ClearMatrix();
  glutDisplayFunc(display);
  glutReshapeFunc(reshape);
  glutSpecialFunc(SpecialKey);
  glutKeyboardFunc(Keyboard);
  glutMouseFunc(MouseButton);
  glutMotionFunc(MouseMotion);
  BuildPopupMenu();
  glutAttachMenu(GLUT_RIGHT_BUTTON);
  glutMainLoop();
  return 0;
}
