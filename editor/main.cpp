// gridcraft, the level editor: window, sound and the GLUT callbacks, then
// the main loop. Everything it runs lives in editor_core.
#include <GL/glut.h>
#include <cstdio>

#include "editor/gridcraft.h"

int main(int argc, char **argv) {
  glutInit(&argc, argv);
  glutInitWindowSize(g_Width, g_Height);
  glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
  glutCreateWindow("Dravel GLUT example");
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
  glutKeyboardFunc(Keyboard);
  glutSpecialFunc(SpecialKeys);
  glutMouseFunc(MouseButton);
  glutMotionFunc(MouseMotion);
  BuildPopupMenu();
  glutAttachMenu(GLUT_RIGHT_BUTTON);
  glutMainLoop();
  return 0;
}
