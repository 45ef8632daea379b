// Test program: renders known frames of the game's scene under X and saves
// them as PPM files, so end-to-end tests can look at the pixels of a state
// they set exactly (positions, settings, fast or plain drawing).
//
//   scene_shot LEVELFILE [setting=value | shot=FILE.ppm | frame=FILE.ppm |
//                         camera=NAME]...
//
// Run from the asset folder. Settings apply in order; "shot" draws the scene
// alone (frame set-up and scene passes), "frame" the whole play frame with
// its overlay, through the game's own display callback. "camera" draws
// nothing: it prints on standard output the line
//   camera NAME WIDTH HEIGHT VIEWPORT(4) MODELVIEW(16) PROJECTION(16)
// with the window size, the viewport and the column-major matrices the
// frame set-up would give the scene now, so tests map world points to
// window pixels with the game's own camera and projection.
#include <GL/glut.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "common/drawing.h"
#include "game/rendering.h"
#include "game/squeakling.h"
#include "tests/render/scene_window.h"

static std::vector<std::string> commands;

static void SavePixels(const std::string &path, GLenum buffer) {
  std::vector<unsigned char> rgb(static_cast<size_t>(g_Width) * g_Height * 3);
  glFinish();
  glReadBuffer(buffer);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, g_Width, g_Height, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
  FILE *f = fopen(path.c_str(), "wb");
  if (!f) {
    perror(path.c_str());
    exit(1);
  }
  fprintf(f, "P6\n%d %d\n255\n", g_Width, g_Height);
  for (int row = g_Height - 1; row >= 0; row--)  // GL rows run bottom-up
    fwrite(&rgb[static_cast<size_t>(row) * g_Width * 3], 1, static_cast<size_t>(g_Width) * 3, f);
  fclose(f);
}

static void PrintCamera(const std::string &name) {
  GLint viewport[4];
  GLfloat modelview[16], projection[16];
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  LoadCamera();
  glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
  glPopMatrix();
  glGetFloatv(GL_PROJECTION_MATRIX, projection);
  glGetIntegerv(GL_VIEWPORT, viewport);
  printf("camera %s %d %d", name.c_str(), g_Width, g_Height);
  for (GLint v : viewport) printf(" %d", v);
  for (GLfloat m : modelview) printf(" %.9g", m);
  for (GLfloat m : projection) printf(" %.9g", m);
  printf("\n");
  fflush(stdout);
}

static void ClearCode(int code) {
  for (auto &column : levels[levelNum])
    for (int &cell : column)
      if (cell == code) cell = CELL_EMPTY;
}

static void Apply(const std::string &key, const char *value) {
  double a = 0, b = 0;
  sscanf(value, "%lf,%lf", &a, &b);
  const int n = atoi(value);
  if (key == "view")
    viewPoint = n;
  else if (key == "shadows")
    shadowsOn = n;
  else if (key == "mirror")
    reflectionsOn = n;
  else if (key == "plain")
    g_bCompiledScene = !n;
  else if (key == "cat")
    CAT_EXISTS = n;
  else if (key == "spots") {
    g_bLightingEnabled = n;
    for (GLenum light = GL_LIGHT2; light <= GL_LIGHT5; light++)
      n ? glEnable(light) : glDisable(light);
  } else if (key == "texture") {
    g_bTexture = n;
    n ? glEnable(GL_TEXTURE_2D) : glDisable(GL_TEXTURE_2D);
  } else if (key == "level")
    levelNum = n;
  else if (key == "mouse")
    mousex = a, mousey = b;
  else if (key == "orient")
    mouseorient = n, viewOrient = n;
  else if (key == "catpos")
    ClearCode(CELL_CAT_START), catX = a, catY = b;
  else if (key == "catorient")
    catOrient = n;
  else if (key == "spin")
    cheeseRotation = a;
  else if (key == "cheese") {
    ClearCode(CELL_CHEESE);
    if (n >= 0) levels[levelNum][static_cast<int>(a)][static_cast<int>(b)] = CELL_CHEESE;
  } else if (key == "bonus") {
    ClearCode(CELL_BONUS);
    bonusOn = n >= 0;
    if (bonusOn) levels[levelNum][static_cast<int>(a)][static_cast<int>(b)] = CELL_BONUS;
  } else if (key == "since")
    time_since_death = static_cast<float>(a);
  else if (key == "changelevel")
    change_level = n;
  else {
    fprintf(stderr, "scene_shot: unknown setting %s\n", key.c_str());
    exit(2);
  }
}

static void RunCommands(void) {
  reshape(g_Width, g_Height);
  for (const std::string &command : commands) {
    const size_t eq = command.find('=');
    const std::string key = command.substr(0, eq), value = command.substr(eq + 1);
    if (key == "shot") {
      // A frame carries state into the next (the spot axes take the previous
      // frame's camera, the blend function the last shadow pass), so the
      // saved frame follows a warm-up frame of the same state.
      for (int pass = 0; pass < 2; pass++) {
        WallCorner();
        SetUpDisplay();
        RenderObjects();
      }
      SavePixels(value, GL_BACK);
    } else if (key == "frame") {
      display();
      SavePixels(value, GL_BACK);  // the software rasteriser swaps by copying
    } else if (key == "camera") {
      PrintCamera(value);
    } else {
      Apply(key, value.c_str());
    }
  }
  exit(0);
}

int main(int argc, char **argv) {
  glutInit(&argc, argv);
  if (argc < 2) {
    fprintf(stderr,
            "usage: scene_shot LEVELFILE [setting=value | shot=FILE | frame=FILE | "
            "camera=NAME]...\n");
    return 2;
  }
  for (int i = 2; i < argc; i++) commands.push_back(argv[i]);
  OpenSceneWindow("scene_shot", argv[1]);
  time_since_death = 10.0f;
  PAUSED = 1;
  glutDisplayFunc(RunCommands);
  glutMainLoop();
  return 0;
}
