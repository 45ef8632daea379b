// gridcraft, the level editor: the level set named on the command line,
// window, sound and the GLUT callbacks, then the main loop. Everything it
// runs lives in editor_core.
#include <GL/freeglut.h>
#include <cstdio>
#include <string>

#include "common/overlay.h"
#include "common/window.h"
#include "editor/gridcraft.h"

static const ProgramUsage kUsage = {"gridcraft", "FILE",
                                    "Gridcraft: the level editor of Squeakling.",
                                    "the level-set file to edit"};

static int popupMenu = 0;
static void WindowClosed(void);

// F11 for the window, the rest for the editor.
static void WindowKey(int key, int x, int y) {
  if (!WindowSpecialKey(key)) SpecialKeys(key, x, y);
}

static void OpenWindow(void) {
  editorWindow = glutCreateWindow("Dravel GLUT example");
  glutDisplayFunc(display);
  glutReshapeFunc(reshape);
  glutKeyboardFunc(Keyboard);
  glutSpecialFunc(WindowKey);
  glutMouseFunc(MouseButton);
  glutMotionFunc(MouseMotion);
  glutCloseFunc(WindowClosed);
  if (popupMenu == 0) return;
  glutSetMenu(popupMenu);
  glutAttachMenu(GLUT_RIGHT_BUTTON);
}

// The close button destroys the window whatever the program does. With
// unsaved changes a new window takes its place, with the same set, the same
// display toggles and the question on its message line.
static void WindowClosed(void) {
  if (MayQuit()) exit(0);
  const BOOL lit = glIsEnabled(GL_LIGHTING), textured = glIsEnabled(GL_TEXTURE_2D);
  OpenWindow();
  OverlayForgetTextures();
  InitGraphicsState();
  SetCapability(GL_LIGHTING, lit);
  SetCapability(GL_TEXTURE_2D, textured);
  SetPolygonFill(g_bFillPolygons);
}

int main(int argc, char **argv) {
  // Read before glutInit, which takes its own options out of argv; --help
  // and --version answer without a display.
  const CommandLine command = ParseCommandLine(argc, argv);
  int status = 0;
  if (AnswerCommandLine(command, kUsage, &status)) return status;
  glutInit(&argc, argv);
  const char *named = command.positional;
  std::string error;
  if (named && !OpenLevelSet(named, &error)) {
    fprintf(stderr, "gridcraft: cannot open level set \"%s\": %s\n", named, error.c_str());
    return 1;
  }
  if (!named) NewLevelSet("");
  InitWindowSize(command);
  glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
  glutSetOption(GLUT_ACTION_ON_WINDOW_CLOSE, GLUT_ACTION_CONTINUE_EXECUTION);
  OpenWindow();
  StartWindow(command);
  g_bWindowOpen = 1;
  InitGraphics();
  if (startAudio(&soundFX, "/dev/dsp") < 0) {
    printf("Cannot intialize audio\n");
    audioOn = 0;
  }
  LoadSamples();
  playSample(&soundFX, fox_id, 1);
  popupMenu = BuildPopupMenu();
  glutAttachMenu(GLUT_RIGHT_BUTTON);
  glutMainLoop();
  return 0;
}
