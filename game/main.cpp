// The game's entry point: opens the window, loads everything in order and
// hands over to GLUT's main loop.
#include <GL/glut.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "common/assetpath.h"
#include "common/drawing.h"
#include "common/gaudio.h"
#include "game/gamepad.h"
#include "game/rendering.h"
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

// Developers' diagnostics, described in the README: the plain drawing path
// and the frame-time log, for the reference pictures and the benchmarks.
static void ReadDiagnostics(void) {
  if (getenv("SQUEAKLING_PLAIN_SCENE")) g_bCompiledScene = 0;
  const char *frameLog = getenv("SQUEAKLING_FRAME_LOG");
  if (frameLog && *frameLog) OpenFrameLog(frameLog);
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
  ReadDiagnostics();
  ReadImageFiles();

  InitSettings();
  glEnable(GL_TEXTURE_2D);  // texturing starts on, as InitSettings says
  srand(time(nullptr));
  // A level set named on the command line is opened as written, relative to
  // the folder the game was started from; only the default is an asset.
  LoadUserLevel(argc == 2 ? argv[1] : FindAsset("defaultlevel.txt").c_str());
  StartSound();
  StartGamepad();

  InstallScreen(&startScreen);
  glutReshapeFunc(reshape);
  glutWindowStatusFunc(WindowStatus);
  BuildPopupMenu();
  glutAttachMenu(GLUT_RIGHT_BUTTON);
  gettimeofday(&last_idle_time, nullptr);

  ReadModels();
  BuildShadowMatrices();
  if (checkBackground(&soundFX) == 0) playBackground(&soundFX, "./sound/hamster.mp3");
  glutMainLoop();
  return 0;
}
