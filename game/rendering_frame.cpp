// GL set-up, the projection, the six lights, the three cameras and the
// drawing of the play frame, as the flow's AdvancePlayFrame decides it.
// Lights and settings are re-read and re-issued on every frame.
#include <GL/glu.h>
#include <GL/glut.h>

#include <sys/time.h>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "common/texture.h"
#include "game/rendering.h"
#include "game/scoreboard.h"
#include "game/squeakling.h"

float g_nearPlane = 1.0f, g_farPlane = 1000.0f;

// Two lamps outside opposite corners of the maze, high up, then four
// spotlights hanging over (5, 5), (25, 25), (5, 25) and (25, 5).
SceneLight g_lights[kLightCount] = {
    {{-15.0f, -5.0f, 50.0f, 1.0f}, {}}, {{45.0f, 35.0f, 50.0f, 1.0f}, {}},
    {{5.0f, 5.0f, 40.0f, 1.0f}, {}},    {{25.0f, 25.0f, 40.0f, 1.0f}, {}},
    {{5.0f, 25.0f, 40.0f, 1.0f}, {}},   {{25.0f, 5.0f, 40.0f, 1.0f}, {}},
};
GLfloat g_diffuse1[4] = {0.3f, 0.3f, 0.3f, 1.0f};
GLfloat g_diffuse2[4] = {1.0f, 1.0f, 1.0f, 1.0f};
GLfloat g_ambient1[4] = {0.0f, 0.0f, 0.0f, 1.0f};
GLfloat g_specular1[4] = {0.0f, 0.0f, 0.0f, 1.0f};
GLfloat g_spot_direction[3] = {0.0f, 0.0f, -1.0f};
float g_spot_exponent = 9.5f;

GLuint texName[kTexSlots];
int texWidth[kTexSlots], texHeight[kTexSlots];
unsigned int *cheeseTex, *furTex, *floorTex;

// Which scene textures have alpha 255 in every texel; see BoundTextureOpaque.
static BOOL texOpaque[kTexSlots];

static BOOL AllOpaque(const unsigned *pixels, int width, int height) {
  const unsigned char *bytes = reinterpret_cast<const unsigned char *>(pixels);
  const long count = static_cast<long>(width) * height;
  for (long i = 0; i < count; i++)
    if (bytes[i * 4 + 3] != 255) return FALSE;
  return TRUE;
}

BOOL BoundTextureOpaque(void) {
  GLint bound = 0;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
  if (bound == 0) return TRUE;  // object 0 holds no image: texturing has no effect
  for (int slot = 0; slot < kTexSlots; slot++)
    if (texName[slot] == static_cast<GLuint>(bound)) return texOpaque[slot];
  return FALSE;
}

static const char *const kSceneTextures[kTexSlots] = {"wood.rgb", "cheese.rgb", "images/fur.rgb",
                                                      "floortex.rgb"};

void InitGraphics(void) {
  for (int slot = 0; slot < kTexSlots; slot++) texName[slot] = static_cast<GLuint>(slot + 1);
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LESS);
  glShadeModel(GL_SMOOTH);
  glEnable(GL_LIGHTING);
  glEnable(GL_LIGHT0);
  glEnable(GL_BLEND);

  unsigned int **kept[kTexSlots] = {nullptr, &cheeseTex, &furTex, &floorTex};
  for (int slot = 0; slot < kTexSlots; slot++) {
    int components = 0;
    unsigned *pixels =
        read_texture(kSceneTextures[slot], &texWidth[slot], &texHeight[slot], &components);
    glBindTexture(GL_TEXTURE_2D, texName[slot]);
    // A buffer the reader could not allocate leaves the texture empty.
    if (pixels) {
      gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGBA, texWidth[slot], texHeight[slot], GL_RGBA,
                        GL_UNSIGNED_BYTE, pixels);
      texOpaque[slot] = AllOpaque(pixels, texWidth[slot], texHeight[slot]);
    }
    if (kept[slot])
      *kept[slot] = pixels;
    else
      free(pixels);
  }
  // Only the floor texture gets smooth filtering; the others keep OpenGL's
  // default filters. Nothing sets a wrap mode: all repeat.
  glBindTexture(GL_TEXTURE_2D, texName[kTexFloor]);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
}

// The one place that decides where and at how many pixels the scene is
// drawn: the overlay's 2:1 picture, centred in the window, at its full
// resolution or, reduced, in the picture's lower-left corner (see
// PresentScene); the aspect ratio is always 2 (a zero-height window gets a
// 2 x 1 picture). The overlay sets its own viewport to the picture.
static void SetSceneViewport(void) {
  UpdateSceneSize();
  if (sceneSize.reduced)
    glViewport(overlayPicture.left, overlayPicture.bottom, sceneSize.width, sceneSize.height);
  else
    SetPictureViewport();
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  const double aspect = static_cast<double>(overlayPicture.width) / overlayPicture.height;
  gluPerspective(65.0, aspect, g_nearPlane, g_farPlane);
  glMatrixMode(GL_MODELVIEW);
}

void reshape(int width, int height) {
  g_Width = width;
  g_Height = height;
  OverlayReshape(width, height);
  SetSceneViewport();
}

void SetLightPositions(void) {
  for (int n = 0; n < kLightCount; n++) glLightfv(LightName(n), GL_POSITION, g_lights[n].position);
}

// Issued before the camera is loaded, so positions and spot axes take the
// model-view matrix the previous frame left: a turning camera's spotlights
// lag one frame behind. Kept so: issuing them after the camera would move
// every lit pixel of a turning view, and the reference pictures with them.
static void IssueLights(void) {
  SetLightPositions();
  glLightfv(GL_LIGHT1, GL_DIFFUSE, g_diffuse1);
  for (int n = kFirstSpotlight; n < kLightCount; n++) {
    const GLenum spot = LightName(n);
    glLightfv(spot, GL_SPECULAR, g_specular1);
    glLightf(spot, GL_SPOT_CUTOFF, kSpotCutoff);
    glLightfv(spot, GL_SPOT_DIRECTION, g_spot_direction);
    glLightfv(spot, GL_AMBIENT, g_ambient1);
    glLightfv(spot, GL_DIFFUSE, g_diffuse2);
    glLightf(spot, GL_SPOT_EXPONENT, g_spot_exponent);
  }
  glEnable(GL_LIGHT1);
  // Never disabled here: the lighting toggle does that.
  if (g_bLightingEnabled)
    for (int n = kFirstSpotlight; n < kLightCount; n++) glEnable(LightName(n));
}

BOOL GetCamera(int view, double mx, double my, double orient, double eye[3], double centre[3],
               double up[3]) {
  const double theta = orient * TWOPI, c = cos(theta), s = sin(theta);
  switch (view) {
    case VIEW_FIRST_PERSON:  // first person: one unit ahead of the mouse, looking level
      eye[0] = mx + c, eye[1] = my - s, eye[2] = 0.5;
      centre[0] = mx + 5 * c, centre[1] = my - 5 * s, centre[2] = 0.5;
      up[0] = 0, up[1] = 0, up[2] = 1;
      return TRUE;
    case VIEW_CHASE:  // chase: seven units behind and 3.5 up, looking at the mouse
      eye[0] = mx - 7 * c, eye[1] = my + 7 * s, eye[2] = 3.5;
      centre[0] = mx, centre[1] = my, centre[2] = 0;
      up[0] = 0, up[1] = 0, up[2] = 1;
      return TRUE;
    case VIEW_OVERHEAD:  // overhead: straight down on the middle, +x up the screen
      eye[0] = 15, eye[1] = 15, eye[2] = 30;
      centre[0] = 15, centre[1] = 15, centre[2] = 0;
      up[0] = 1, up[1] = 0, up[2] = 0;
      return TRUE;
    default: return FALSE;
  }
}

void LoadCamera(void) {
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  double eye[3], centre[3], up[3];
  if (GetCamera(viewPoint, mousex, mousey, viewOrient, eye, centre, up))
    gluLookAt(eye[0], eye[1], eye[2], centre[0], centre[1], centre[2], up[0], up[1], up[2]);
}

void SetUpDisplay(void) {
  IssueLights();
  GLbitfield clear = GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT;
  if (shadowsOn || reflectionsOn) clear |= GL_STENCIL_BUFFER_BIT;
  glClear(clear);
  if (clear & GL_STENCIL_BUFFER_BIT) NoteStencilCleared();
  LoadCamera();
}

// The flow decides first what the frame shows; the drawing follows it.
void display(void) {
  SetUpDisplay();
  const PlayFrame frame = AdvancePlayFrame();
  if (frame.mouseMoved) SetUpDisplay();  // the camera follows the mouse back to its start
  RenderObjects();
  PresentScene();
  if (frame.interlude) {
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    DrawLevelInterlude(frame.interludeLevel, livesLeft);
  } else {
    DrawScoreBoard(levelNum + 1, livesLeft, score, initNumCheese - cheeseEaten, speedScale, PAUSED);
  }
  glutSwapBuffers();
  LogFrameTime();
}

static FILE *frameLog = nullptr;

void OpenFrameLog(const char *fileName) {
  // Close-on-exec: the music decoders must not hold the log open.
  frameLog = fopen(fileName, "we");
  if (!frameLog) perror(fileName);
}

void LogFrameTime(void) {
  if (!frameLog) return;
  struct timeval now;
  gettimeofday(&now, nullptr);
  fprintf(frameLog, "%lld\n", static_cast<long long>(now.tv_sec) * 1000000LL + now.tv_usec);
  fflush(frameLog);
}
