// The game's entry point: opens the window, loads everything in order and
// hands over to GLUT's main loop.
#include <GL/glut.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "common/drawing.h"
#include "game/squeakling.h"

static GLMmodel *ReadModel(const char *file, GLfloat scale, BOOL reverse) {
  GLMmodel *model = glmReadOBJ(file);
  glmScale(model, scale);
  glmFacetNormals(model);
  glmVertexNormals(model, 90.0f);
  if (reverse) glmReverseWinding(model);
  glmLinearTexture(model);
  return model;
}

static void ReadModels(void) {
  mouse = ReadModel("models/mouseFull1.obj", 0.65f, FALSE);
  apple = ReadModel("models/apple.obj", 0.003f, TRUE);
  banana = ReadModel("models/banana.obj", 0.003f, TRUE);
  surfModel = ReadModel("models/surfbord.obj", 0.2f, FALSE);
  catModel = ReadModel("models/cat2.obj", 0.2f, FALSE);
}

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
  glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH | GLUT_STENCIL);
  glutCreateWindow("Dravel: Vimmo Squeakling");
  g_bWindowOpen = 1;
  InitGraphics();
  ReadImageFiles();

  g_bTexture = 1;
  glEnable(GL_TEXTURE_2D);
  InitSettings();
  srand(time(nullptr));
  LoadUserLevel(argc == 2 ? argv[1] : "defaultlevel.txt");
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
