// What the editor shows: projection, the top-view and preview cameras, the
// cells of the level, the floor, the message line and the title and help
// images. Reads the editor state; changes only displayText.
#include <GL/glu.h>
#include <GL/glut.h>
#include <cmath>
#include <string>

#include "common/overlay.h"
#include "editor/gridcraft.h"

int viewPoint = VIEW_TOP;
int lookAt = 0;
float viewFrom = 5.0f;
BOOL gridOn = 1;
int g_Width = 1200;
int g_Height = 600;
float g_nearPlane = 1.0f;
float g_farPlane = 1000.0f;
GLfloat g_lightPos[4] = {10.0f, 10.0f, -100.0f, 1.0f};
const GLfloat wallColor[4] = {0.3f, 0.3f, 0.3f, 0.0f};
const GLfloat colorPanel[4] = {0.5f, 0.5f, 0.5f, 0.0f};

char text[kTextSize];
int textSize = 0;
BOOL displayText = 0;

static const GLfloat initial[3] = {25.0f, 570.0f, 0.0f};  // message line
// The set's status, in a small font under the message line, both on the
// title strip's dark left part.
static const GLfloat kStatusPos[3] = {25.0f, 553.0f, 0.0f};
static const GLfloat kStatusColor[4] = {0.62f, 0.85f, 0.68f, 1.0f};
constexpr float kStatusTextSize = 13.0f;
// A cheese kept from a file written by hand.
static const GLfloat kCheeseColor[4] = {1.0f, 0.8f, 0.0f, 1.0f};
static const GLfloat TitleBar[3] = {0.0f, 550.0f, 0.0f};
static const GLfloat HelpBar[3] = {25.0f, 35.0f, 0.0f};
static const GLfloat kEmissionWhite[4] = {1.0f, 1.0f, 1.0f, 1.0f};
// Cell squares float just above the floor so they win its depth test.
constexpr float kSquareZ = -0.45f;

void InitGraphicsState(void) {
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LESS);
  glShadeModel(GL_SMOOTH);
}

void InitGraphics(void) {
  InitGraphicsState();
  ReadImageFiles();
}

// The view fills the overlay's 2:1 picture, centred in the window with
// black bars beside or above it, so that the top view's cells lie where the
// pointer mapping of the 1200 x 600 window expects them at any size.
void reshape(int width, int height) {
  g_Width = width;
  g_Height = height;
  OverlayReshape(width, height);
  SetPictureViewport();
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(65.0, static_cast<double>(overlayPicture.width) / overlayPicture.height,
                 g_nearPlane, g_farPlane);
  glMatrixMode(GL_MODELVIEW);
}

static void PlaceCamera(void) {
  if (viewPoint == VIEW_TOP) {
    // World +x points up the screen, +y to the left.
    gluLookAt(15, 15, 30, 15, 15, 0, 1, 0, 0);
    return;
  }
  double theta = lookAt * TWOPI;
  gluLookAt(gridX - 7 * cos(theta), gridY + 7 * sin(theta), viewFrom, gridX, gridY, -0.5, 0, 0, 1);
}

void display(void) {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  PlaceCamera();
  glLightfv(GL_LIGHT0, GL_POSITION, g_lightPos);
  RenderObjects();
  glutSwapBuffers();
}

// Flat drawing goes into the overlay's fixed 1200 x 600 space.
void DrawString(char *string, int length) {
  std::string shown;
  for (int k = 0; k < length && string[k] != '\0'; k++) shown += string[k];
  OverlayText(shown.c_str());
}

void DisplayText(char *message, int length) {
  SetMaterialColor(colorWhite);
  glMaterialfv(GL_FRONT, GL_SPECULAR, colorWhite);
  BeginOverlay();
  OverlayTextPosition(initial[0], initial[1], initial[2]);
  DrawString(message, length);
  EndOverlay();
  glMaterialfv(GL_FRONT, GL_SPECULAR, colorNone);
}

static void DisplayStatus(void) {
  SetMaterialColor(kStatusColor);
  BeginOverlay();
  OverlayTextPosition(kStatusPos[0], kStatusPos[1], kStatusPos[2]);
  OverlayText(StatusLine().c_str(), kStatusTextSize);
  EndOverlay();
}

void DisplayInstructions(void) {
  SetMaterialColor(colorWhite);
  // Stays white afterwards: lit cells of the top view glow white.
  glMaterialfv(GL_FRONT, GL_EMISSION, kEmissionWhite);
  glMaterialfv(GL_FRONT, GL_SPECULAR, colorWhite);
  BeginOverlay();
  OverlayImage(kImageEditTitle, TitleBar[0], TitleBar[1], TitleBar[2]);
  OverlayImage(kImageEditHelp, HelpBar[0], HelpBar[1], HelpBar[2]);
  EndOverlay();
  glMaterialfv(GL_FRONT, GL_SPECULAR, colorNone);
}

void DrawCubeFace(float fSize) {
  float h = fSize / 2.0f;
  glBegin(GL_QUADS);
  glVertex3f(-h, -h, h);
  glVertex3f(h, -h, h);
  glVertex3f(h, h, h);
  glVertex3f(-h, h, h);
  glEnd();
}

void DrawCubeWithTextureCoords(float fSize, float x, float y, int spin) {
  static const GLfloat kSideNormals[3][3] = {{0, -1, 0}, {0, 0, -1}, {0, 1, 0}};
  glPushMatrix();
  glTranslatef(x, y, 0.0f);
  glNormal3f(0, 0, 1);
  glRotatef(static_cast<float>(spin), 0, 0, 1);
  DrawCubeFace(fSize);
  for (const GLfloat *normal : kSideNormals) {
    glNormal3fv(normal);
    glRotatef(90, 1, 0, 0);
    DrawCubeFace(fSize);
  }
  glRotatef(90, 0, 1, 0);
  glNormal3f(1, 0, 0);
  DrawCubeFace(fSize);
  glRotatef(180, 0, 1, 0);
  glNormal3f(-1, 0, 0);
  DrawCubeFace(fSize);
  glPopMatrix();
}

void DrawSquareFace(float x1, float y1, float x2, float y2, float z) {
  glBegin(GL_QUADS);
  glVertex3f(x1, y1, z);
  glVertex3f(x1, y2, z);
  glVertex3f(x2, y2, z);
  glVertex3f(x2, y1, z);
  glEnd();
}

void DrawFloor(void) {
  glNormal3f(0, 0, 1);
  glMaterialfv(GL_FRONT, GL_DIFFUSE, colorWhite);
  glMaterialfv(GL_FRONT, GL_SPECULAR, colorWhite);
  glColor4fv(colorWhite);
  DrawSquareFace(0.5f, 0.5f, 29.5f, 29.5f, -0.5f);
}

static void DrawCellSquare(int i, int j) {
  DrawSquareFace(i - 0.5f, j - 0.5f, i + 0.5f, j + 0.5f, kSquareZ);
}

static void DrawCellOutline(int i, int j) {
  glBegin(GL_LINE_LOOP);
  glVertex3f(i - 0.5f, j - 0.5f, kSquareZ);
  glVertex3f(i - 0.5f, j + 0.5f, kSquareZ);
  glVertex3f(i + 0.5f, j + 0.5f, kSquareZ);
  glVertex3f(i + 0.5f, j - 0.5f, kSquareZ);
  glEnd();
}

// The order within a cell matters: squares share one plane and the depth
// test is less-than, so the first one drawn stays visible.
static void DrawCell(int i, int j) {
  BOOL isCursor = (i == gridX && j == gridY);
  int code = level[i][j];
  if (isCursor) {
    glColor4fv(colorBlue);
    glNormal3f(0, 0, 1);
    DrawCellSquare(i, j);
  }
  if (gridOn && code != kCellWall) {
    glColor4fv(colorNone);
    DrawCellOutline(i, j);
  }
  if (viewPoint == VIEW_PREVIEW && (i % 2) == (j % 2)) {
    glColor4fv(colorPanel);
    DrawCellSquare(i, j);
  }
  switch (code) {
    case kCellWall:
      glColor4fv(wallColor);
      DrawCubeWithTextureCoords(1.0f, static_cast<float>(i), static_cast<float>(j), 0);
      break;
    case kCellObstacle:
      glColor4fv(isCursor ? colorBlue : colorRed);
      DrawCubeWithTextureCoords(1.0f, static_cast<float>(i), static_cast<float>(j), 0);
      break;
    case kCellMouseStart:
      glColor4fv(colorDkGreen);
      DrawCellSquare(i, j);
      break;
    case kCellCheese:
      glColor4fv(kCheeseColor);
      DrawCellSquare(i, j);
      break;
    default: break;
  }
}

void RenderObjects(void) {
  glPushMatrix();
  if (displayText) {
    DisplayText(text, textSize);
    displayText = 0;
  }
  // Before the title image: at equal depth the first drawn stays on top.
  DisplayStatus();
  if (viewPoint == VIEW_TOP) DisplayInstructions();
  for (int i = 0; i < kGridSize; i++)
    for (int j = 0; j < kGridSize; j++) DrawCell(i, j);
  glColor4fv(colorWhite);
  DrawFloor();
  glPopMatrix();
}

int GetGridNum(int max, int val) {
  double t = static_cast<double>(max) - val;
  int n = 1;
  while (t >= kCellPixels) {
    t -= kCellPixels;
    n++;
  }
  return n;
}
