// Screen flow: the screen table, the play, start and load-prompt keys, the
// title-bar clicks, the pop-up menu, restart, game over and win. Every way
// out of the game ends the process with status 0.
#include <GL/glut.h>

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "common/drawing.h"
#include "game/squeakling.h"

int viewPoint = 1;
BOOL g_bTexture = 1;
BOOL g_bLightingEnabled = 1;
BOOL g_bFillPolygons = 1;
BOOL CAT_EXISTS = 1;
BOOL SOUND_ON = 1;
double speedScale = 1.0, catSpeedScale = 1.0, bonusFreq = 1.0;
int initNumCheese = 10;
int initLives = 3;
int shadowsOn = 2;
BOOL reflectionsOn = 1;

BOOL animate = 1;
BOOL PAUSED = 0;
struct timeval time_of_death;
float time_since_death = 0;
struct timeval last_idle_time;
char text[kTextSize];
char fileText[kTextSize];
int fileTextIndex = 0;
BOOL displayText = 0;

GLMmodel *mouse, *apple, *banana, *surfModel, *catModel;
gameaudio soundFX;

int g_Width = 1200, g_Height = 600;

const Screen startScreen = {displayStart, KeyboardStart, MouseButton, MouseMotion, StartGame};
const Screen playScreen = {display, Keyboard, MouseButton, MouseMotion, AnimateScene};
const Screen controlPanelScreen = {CPDisplay, CPKeyboard, CPMouseButton, MouseMotion, CPIdle};
const Screen gameOverScreen = {DisplayDeath, KeyboardDeath, MouseDeath, nullptr, DeathIdle};
const Screen winScreen = {DisplayWin, KeyboardDeath, MouseDeath, nullptr, WinIdle};

const Screen *currentScreen = nullptr;
void (*currentKeyboard)(unsigned char, int, int) = nullptr;
BOOL g_bWindowOpen = 0;

// The title bar's regions, in window pixels from the top-left corner.
constexpr int kTitleBarBottom = 50;
constexpr int kQuitLeft = 701, kRestartLeft = 801, kPanelLeft = 901, kPanelRight = 1050;
// Game-over and win buttons, in pixels from the bottom of a 600-pixel window:
// the hit test keeps the window's first height even after a resize.
constexpr int kDeathWindowHeight = 600;
constexpr int kDeathButtonsY = 500, kDeathRestartX = 450, kDeathQuitX = 650;
// The space key only pauses once the interlude is well over.
constexpr float kPauseAfter = 5.0f;

void InstallScreen(const Screen *screen) {
  currentScreen = screen;
  currentKeyboard = screen->keyboard;
  if (!g_bWindowOpen) return;
  glutDisplayFunc(screen->display);
  glutKeyboardFunc(screen->keyboard);
  glutMouseFunc(screen->mouse);
  if (screen->motion) glutMotionFunc(screen->motion);
  glutIdleFunc(screen->idle);
}

void InstallKeyboard(void (*keyboard)(unsigned char, int, int)) {
  currentKeyboard = keyboard;
  if (g_bWindowOpen) glutKeyboardFunc(keyboard);
}

void RequestRedisplay(void) {
  if (g_bWindowOpen) glutPostRedisplay();
}

void EndProgram(void) { exit(0); }

void InitSettings(void) {
  CAT_EXISTS = 1;
  g_bLightingEnabled = 1;
  viewPoint = 1;
  speedScale = catSpeedScale = bonusFreq = 1.0;
  initNumCheese = 10;
  viewOrient = mouseOrientInit;
  initLives = 3;
  livesLeft = initLives;
  reflectionsOn = 1;
  SOUND_ON = 1;
  shadowsOn = 2;
  collisionDetection = 1;
}

// ---- Start-up ----

static GLMmodel *ReadModel(const char *file, GLfloat scale, BOOL reverse) {
  GLMmodel *model = glmReadOBJ(file);
  glmScale(model, scale);
  glmFacetNormals(model);
  glmVertexNormals(model, 90.0f);
  if (reverse) glmReverseWinding(model);
  glmLinearTexture(model);
  return model;
}

void ReadModels(void) {
  mouse = ReadModel("models/mouseFull1.obj", 0.65f, FALSE);
  apple = ReadModel("models/apple.obj", 0.003f, TRUE);
  banana = ReadModel("models/banana.obj", 0.003f, TRUE);
  surfModel = ReadModel("models/surfbord.obj", 0.2f, FALSE);
  catModel = ReadModel("models/cat2.obj", 0.2f, FALSE);
}

// ---- Start screen ----

void displayStart(void) {
  SetUpDisplay();
  DrawStartSequence();
  glutSwapBuffers();
}

void StartGame(void) { displayStart(); }

void KeyboardStart(unsigned char, int, int) {
  DoRestart(TRUE);
  stopBackground(&soundFX);
  ChangeMusic();
}

// ---- Play screen ----

// Keeps a heading in 0 ... 360; 360 itself stays (315 + 45 gives 360).
static void NormaliseHeading(void) {
  if (mouseorient > 360) mouseorient -= 360;
  if (mouseorient < 0) mouseorient += 360;
}

static void TurnMouse(int degrees) {
  mouseorient += degrees;
  NormaliseHeading();
}

static void StepMouse(double direction) {
  mousex += direction * cos(mouseorient * TWOPI);
  mousey -= direction * sin(mouseorient * TWOPI);
}

void Keyboard(unsigned char key, int, int) {
  if (key == ' ' && time_since_death > kPauseAfter) {
    PAUSED = !PAUSED;
    animate = !animate;
  }
  if (!animate) return;
  switch (key) {
    case 27: EndProgram();
    case '1': viewPoint = 0; break;
    case '2': viewPoint = 1; break;
    case '3': viewPoint = 2; break;
    case 'q': SelectFromMenu(MENU_LIGHTING); break;
    case 'w': SelectFromMenu(MENU_POLYMODE); break;
    case 'e': SelectFromMenu(MENU_TEXTURING); break;
    case 'i': StepMouse(1.0); break;
    case 'm': StepMouse(-1.0); break;
    case 'j': TurnMouse(-45); break;
    case 'l': TurnMouse(45); break;
    case 'u': TurnMouse(-10); break;
    case 'o': TurnMouse(10); break;
    case 'k': TurnMouse(180); break;
    default: break;
  }
}

static void EnterControlPanel(void) {
  animate = 0;
  PAUSED = 1;
  snprintf(text, sizeof text, "%s", "Please enter file to load: ");
  InstallScreen(&controlPanelScreen);
}

// Left button only; press and release both act, so a click on Restart
// restarts twice.
void MouseButton(int button, int, int x, int y) {
  if (button != GLUT_LEFT_BUTTON || y < 0 || y > kTitleBarBottom) return;
  if (x >= kPanelLeft && x <= kPanelRight)
    EnterControlPanel();
  else if (x >= kRestartLeft && x < kPanelLeft)
    DoRestart(TRUE);
  else if (x >= kQuitLeft && x < kRestartLeft)
    EndProgram();
}

void MouseMotion(int, int) {}

// ---- Pop-up menu ----

int BuildPopupMenu(void) {
  int menu = glutCreateMenu(SelectFromMenu);
  glutAddMenuEntry("Toggle lighting\tl", MENU_LIGHTING);
  glutAddMenuEntry("Toggle polygon fill\tp", MENU_POLYMODE);
  glutAddMenuEntry("Toggle texturing\tt", MENU_TEXTURING);
  glutAddMenuEntry("Exit demo\tEsc", MENU_EXIT);
  return menu;
}

static void SetSpotlights(BOOL on) {
  for (GLenum light = GL_LIGHT2; light <= GL_LIGHT5; light++) {
    if (on)
      glEnable(light);
    else
      glDisable(light);
  }
}

void SelectFromMenu(int idCommand) {
  switch (idCommand) {
    case MENU_LIGHTING:
      g_bLightingEnabled = !g_bLightingEnabled;
      SetSpotlights(g_bLightingEnabled);
      break;
    case MENU_POLYMODE:
      g_bFillPolygons = !g_bFillPolygons;
      glPolygonMode(GL_FRONT_AND_BACK, g_bFillPolygons ? GL_FILL : GL_LINE);
      break;
    case MENU_TEXTURING:
      g_bTexture = !g_bTexture;
      if (g_bTexture)
        glEnable(GL_TEXTURE_2D);
      else
        glDisable(GL_TEXTURE_2D);
      break;
    case MENU_EXIT:
      EndProgram();
    default:
      return;
  }
  RequestRedisplay();
}

// ---- Load prompt ----

void KeyboardLoad(unsigned char key, int, int) {
  if (!isspace(key)) {
    // No editing: every key but white space is part of the name, up to the
    // buffer's 99 characters; further keys are dropped.
    if (fileTextIndex < kTextSize - 1) {
      fileText[fileTextIndex++] = static_cast<char>(key);
      fileText[fileTextIndex] = '\0';
    }
    snprintf(text, sizeof text, "%s", "Please enter file to load: ");
    RequestRedisplay();
    return;
  }
  fileTextIndex = 0;
  if (LoadUserLevel(fileText)) {
    snprintf(text, sizeof text, "%s", "Loaded Levelset: ");
    DoRestart(FALSE);
  } else {
    snprintf(text, sizeof text, "%s", "Unable to load levelset: ");
  }
}

// ---- Restart ----

void DoRestart(BOOL fullRestart) {
  animate = 0;
  gettimeofday(&time_of_death, nullptr);
  PlaceCat();
  PutMouseOnStart(0);  // the first level's start: levelNum goes back to 0 below
  // Only a cell that still holds the fruit: after a load the coordinates
  // point into the new set, where they may hold a wall, the cheese or a start.
  if (bonusOn) {
    int &cell = levels[levelNum][bonusX][bonusY];
    if (cell == CELL_BONUS) cell = CELL_EMPTY;
    bonusOn = 0;
  }
  cheeseEaten = 0;
  levelNum = 0;
  livesLeft = initLives;
  mousespeedinit = 10.0;
  mousespeed = mousespeedinit;
  catSpeedInit = 10.0;
  catSpeed = catSpeedInit;
  score = 0;
  PAUSED = 0;
  if (fullRestart) InstallScreen(&playScreen);
}

// ---- Game over and win ----

static void DisplayEnd(const char *message) {
  SetUpDisplay();
  glBlendFunc(GL_ONE, GL_ZERO);
  RenderObjects();
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  DrawDeath(message);
  glutSwapBuffers();
}

void DisplayDeath(void) { DisplayEnd("Game Over"); }
void DisplayWin(void) { DisplayEnd("Congratulations!! You Win!!"); }
void DeathIdle(void) { DisplayDeath(); }
void WinIdle(void) { DisplayWin(); }

static BOOL InButton(int x, int y, int left, int image) {
  return x >= left && x <= left + imageWidth[image] && y >= kDeathButtonsY &&
         y <= kDeathButtonsY + imageHeight[image];
}

// Any button, press and release alike.
void MouseDeath(int, int, int x, int y) {
  int up = kDeathWindowHeight - y;
  if (InButton(x, up, kDeathRestartX, kImageBRestart)) DoRestart(TRUE);
  if (InButton(x, up, kDeathQuitX, kImageBQuit)) EndProgram();
}
