// The game's entry point: opens the window, loads everything in order and
// hands over to GLUT's main loop.
#include <GL/glut.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "common/assetpath.h"
#include "common/drawing.h"
#include "game/squeakling.h"

static void StartSound(void) {
  if (startAudio(&soundFX, "/dev/dsp") < 0) {
    printf("Cannot intialize audio\n");
    SOUND_ON = 0;
  } else {
    SOUND_ON = 1;
    LoadSoundSamples();
  }
}

int main(int argc, char **argv) {
  glutInit(&argc, argv);
  glutInitWindowSize(g_Width, g_Height);
  // At least 24 depth bits, so the shadow planes 0.001 apart stay in order at
  // the cameras' distances, and 8 stencil bits for the mirror and shadows.
  glutInitDisplayString("rgba double depth>=24 stencil>=8");
  glutCreateWindow("Dravel: Vimmo Squeakling");
  g_bWindowOpen = 1;
  InitGraphics();
  ReadImageFiles();

  g_bTexture = 1;
  glEnable(GL_TEXTURE_2D);
  InitSettings();
  srand(time(nullptr));
  // A level set named on the command line is opened as written, relative to
  // the folder the game was started from; only the default is an asset.
  LoadUserLevel(argc == 2 ? argv[1] : FindAsset("defaultlevel.txt").c_str());
  StartSound();

  InstallScreen(&startScreen);
  glutReshapeFunc(reshape);
  BuildPopupMenu();
  glutAttachMenu(GLUT_RIGHT_BUTTON);
  gettimeofday(&last_idle_time, nullptr);

  ReadModels();
  BuildShadowMatrices();
  if (checkBackground(&soundFX) == 0) playBackground(&soundFX, "./sound/hamster.mp3");
  glutMainLoop();
  return 0;
}
