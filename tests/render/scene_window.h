// Opens the game's window with the scene set up as the game has it at its
// first play frame: GL state, textures, interface images, settings, the
// level file, the models and the shadow matrices. For the test programs and
// benchmarks that draw frames through the game's own code; run from the
// asset folder after glutInit. Returns whether the level file loaded.
#pragma once
#include <GL/glut.h>

#include <cstdlib>

#include "common/drawing.h"
#include "game/squeakling.h"

inline BOOL OpenSceneWindow(const char *title, const char *levelFile) {
  glutInitWindowSize(g_Width, g_Height);
  glutInitDisplayString("rgba double depth>=24 stencil>=8");
  glutCreateWindow(title);
  g_bWindowOpen = 1;
  InitGraphics();
  ReadImageFiles();
  glEnable(GL_TEXTURE_2D);
  // The blend function in force during play, which the game's interlude
  // sets before the first play frame.
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  InitSettings();
  srand(1);
  const BOOL loaded = LoadUserLevel(levelFile);
  ReadModels();
  BuildShadowMatrices();
  return loaded;
}
