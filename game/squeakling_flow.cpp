// Screen flow: the screen table, the play frame's interlude and level
// advance, the play and start keys, the title-bar clicks, the
// display toggles and pop-up menu, restart, game over and win. Every way out
// of the game ends the process with status 0.
#include <GL/glut.h>

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "common/drawing.h"
#include "common/gaudio.h"
#include "common/overlay.h"
#include "common/window.h"
#include "game/gamepad.h"
#include "game/rendering.h"
#include "game/scoreboard.h"
#include "game/scores.h"
#include "game/settings.h"
#include "game/squeakling.h"
#include "model/glm.h"

// Start values: InitSettings.
int viewPoint;
BOOL g_bTexture;
BOOL g_bLightingEnabled;
BOOL g_bFillPolygons;
BOOL CAT_EXISTS;
BOOL SOUND_ON;
double speedScale, catSpeedScale, bonusFreq;
int initNumCheese;
int initLives;
int shadowsOn;
BOOL reflectionsOn;

BOOL animate = 1;
BOOL PAUSED = 0;
struct timeval time_of_death;
float time_since_death = 0;
struct timeval last_idle_time;

GLMmodel *mouse, *apple, *banana, *surfModel, *catModel;
gameaudio soundFX;

int g_Width = 1200, g_Height = 600;

const Screen startScreen = {displayStart, KeyboardStart, SpecialStart,
                            MouseButton,  MouseMotion,   StartGame};
const Screen playScreen = {display, Keyboard, SpecialKeys, MouseButton, MouseMotion, AnimateScene};
const Screen controlPanelScreen = {CPDisplay,     CPKeyboard,  nullptr,
                                   CPMouseButton, MouseMotion, CPIdle};
const Screen gameOverScreen = {DisplayDeath, KeyboardDeath, nullptr,
                               MouseDeath,   nullptr,       DeathIdle};
const Screen winScreen = {DisplayWin, KeyboardDeath, nullptr, MouseDeath, nullptr, WinIdle};

const Screen *currentScreen = nullptr;
void (*currentKeyboard)(unsigned char, int, int) = nullptr;

// The title bar's regions, in pixels of the 1200 x 600 window from its
// top-left corner; pointer positions are mapped there first.
constexpr int kTitleBarBottom = 50;
constexpr int kQuitLeft = 701, kRestartLeft = 801, kPanelLeft = 901, kPanelRight = 1050;
// Game-over and win buttons, in pixels from the bottom of the 1200 x 600
// window's picture, wherever and at whatever scale the window shows it.
constexpr int kDeathWindowHeight = 600;
constexpr int kDeathButtonsY = 500, kDeathRestartX = 450, kDeathQuitX = 650;
// The space key only pauses once the interlude is well over.
constexpr float kPauseAfter = 5.0f;
// The interlude lasts five whole seconds; after the first one the scene
// shows the mouse back on the start of the level about to be played.
constexpr float kInterludeEnd = 5.0f;
constexpr float kInterludeReset = 1.0f;

static void DispatchKeyboard(unsigned char key, int x, int y) { currentKeyboard(key, x, y); }

// Every idle turn, on every screen, first reads the pad, whose presses act
// like keys before the screen's own idle work draws their outcome, then takes
// note of the settings: the settings file and the game's record watch them
// here, whatever changed them (keys, pad, pop-up menu, control panel).
static void DispatchIdle(void) {
  PollGamepad();
  struct timeval now;
  gettimeofday(&now, nullptr);
  KeepSettings(static_cast<double>(now.tv_sec) + now.tv_usec / 1e6);
  NoteGameSettings();
  currentScreen->idle();
}

// F11 belongs to the window on every screen; the screen's own special keys
// get the rest.
static void DispatchSpecial(int key, int x, int y) {
  if (WindowSpecialKey(key)) return;
  if (currentScreen->special) currentScreen->special(key, x, y);
}

void InstallScreen(const Screen *screen) {
  currentScreen = screen;
  currentKeyboard = screen->keyboard;
  if (!g_bWindowOpen) return;
  glutDisplayFunc(screen->display);
  glutKeyboardFunc(DispatchKeyboard);
  glutSpecialFunc(DispatchSpecial);
  glutMouseFunc(screen->mouse);
  if (screen->motion) glutMotionFunc(screen->motion);
  glutIdleFunc(DispatchIdle);
}

void InstallKeyboard(void (*keyboard)(unsigned char, int, int)) { currentKeyboard = keyboard; }

void RequestRedisplay(void) {
  if (g_bWindowOpen) glutPostRedisplay();
}

void EndProgram(void) { exit(0); }

void InitSettings(void) {
  viewPoint = VIEW_CHASE;
  g_bTexture = 1;
  g_bLightingEnabled = 1;
  g_bFillPolygons = 1;
  CAT_EXISTS = 1;
  SOUND_ON = 1;
  speedScale = catSpeedScale = bonusFreq = 1.0;
  initNumCheese = 10;
  initLives = 3;
  shadowsOn = 2;
  reflectionsOn = 1;
  collisionDetection = 1;
}

// ---- Display toggles ----

void ToggleSpotlights(void) {
  g_bLightingEnabled = !g_bLightingEnabled;
  for (int n = kFirstSpotlight; n < kLightCount; n++)
    SetCapability(LightName(n), g_bLightingEnabled);
}

void ToggleTextures(void) {
  g_bTexture = !g_bTexture;
  SetCapability(GL_TEXTURE_2D, g_bTexture);
}

void TogglePolygonFill(void) {
  g_bFillPolygons = !g_bFillPolygons;
  SetPolygonFill(g_bFillPolygons);
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

void BeginGame(void) {
  DoRestart(TRUE);
  stopBackground(&soundFX);
  ChangeMusic();
}

void KeyboardStart(unsigned char, int, int) { BeginGame(); }

// The arrows only: freeglut also reports Shift, Ctrl and Alt as special
// keys, which no more begin a game than they type a letter.
void SpecialStart(int key, int, int) {
  if (key == GLUT_KEY_LEFT || key == GLUT_KEY_RIGHT || key == GLUT_KEY_UP || key == GLUT_KEY_DOWN)
    BeginGame();
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

void SetPaused(BOOL on) {
  PAUSED = on ? 1 : 0;
  animate = !PAUSED;
}

void TogglePause(void) {
  if (time_since_death > kPauseAfter) SetPaused(!PAUSED);
}

void MoveMouse(PlayMove move) {
  if (!animate) return;
  switch (move) {
    case MOVE_TURN_LEFT: TurnMouse(-45); break;
    case MOVE_TURN_RIGHT: TurnMouse(45); break;
    case MOVE_NUDGE_LEFT: TurnMouse(-10); break;
    case MOVE_NUDGE_RIGHT: TurnMouse(10); break;
    case MOVE_TURN_AROUND: TurnMouse(180); break;
    case MOVE_HOP_FORWARD: StepMouse(1.0); break;
    case MOVE_HOP_BACK: StepMouse(-1.0); break;
  }
}

void Keyboard(unsigned char key, int, int) {
  if (key == ' ') TogglePause();
  if (!animate) return;
  switch (key) {
    case 27: EndProgram();
    case '1': viewPoint = VIEW_FIRST_PERSON; break;
    case '2': viewPoint = VIEW_CHASE; break;
    case '3': viewPoint = VIEW_OVERHEAD; break;
    case 'q': SelectFromMenu(MENU_LIGHTING); break;
    case 'w': SelectFromMenu(MENU_POLYMODE); break;
    case 'e': SelectFromMenu(MENU_TEXTURING); break;
    case 'i': MoveMouse(MOVE_HOP_FORWARD); break;
    case 'm': MoveMouse(MOVE_HOP_BACK); break;
    case 'j': MoveMouse(MOVE_TURN_LEFT); break;
    case 'l': MoveMouse(MOVE_TURN_RIGHT); break;
    case 'u': MoveMouse(MOVE_NUDGE_LEFT); break;
    case 'o': MoveMouse(MOVE_NUDGE_RIGHT); break;
    case 'k': MoveMouse(MOVE_TURN_AROUND); break;
    default: break;
  }
}

// The arrows steer as j, l, i and k do; Down turns around, since a hop back
// would run the mouse into what it just passed.
void SpecialKeys(int key, int, int) {
  switch (key) {
    case GLUT_KEY_LEFT: MoveMouse(MOVE_TURN_LEFT); break;
    case GLUT_KEY_RIGHT: MoveMouse(MOVE_TURN_RIGHT); break;
    case GLUT_KEY_UP: MoveMouse(MOVE_HOP_FORWARD); break;
    case GLUT_KEY_DOWN: MoveMouse(MOVE_TURN_AROUND); break;
    default: break;
  }
}

static void EnterControlPanel(void) {
  SetPaused(TRUE);
  ResetPanelText();
  InstallScreen(&controlPanelScreen);
}

// Left button only; press and release both act, so a click on Restart
// restarts twice. A click on the black bars beside the picture does nothing.
void MouseButton(int button, int, int windowX, int windowY) {
  int x, y;
  if (!OverlayPointFromWindow(windowX, windowY, &x, &y)) return;
  if (button != GLUT_LEFT_BUTTON || y < 0 || y > kTitleBarBottom) return;
  if (x >= kPanelLeft && x <= kPanelRight)
    EnterControlPanel();
  else if (x >= kRestartLeft && x < kPanelLeft)
    DoRestart(TRUE);
  else if (x >= kQuitLeft && x < kRestartLeft)
    EndProgram();
}

void MouseMotion(int, int) {}

// Only play pauses: the other screens have no running game, and the control
// panel paused it on entry. In an interlude the pause waits for its end,
// as after a visit to the control panel.
void HideWindow(void) {
  if (currentScreen == &playScreen && !PAUSED) SetPaused(TRUE);
}

void WindowStatus(int state) {
  if (state == GLUT_HIDDEN || state == GLUT_FULLY_COVERED) HideWindow();
}

// ---- Pop-up menu ----

int BuildPopupMenu(void) {
  int menu = glutCreateMenu(SelectFromMenu);
  glutAddMenuEntry("Toggle lighting\tl", MENU_LIGHTING);
  glutAddMenuEntry("Toggle polygon fill\tp", MENU_POLYMODE);
  glutAddMenuEntry("Toggle texturing\tt", MENU_TEXTURING);
  glutAddMenuEntry("Exit demo\tEsc", MENU_EXIT);
  return menu;
}

void SelectFromMenu(int idCommand) {
  switch (idCommand) {
    case MENU_LIGHTING: ToggleSpotlights(); break;
    case MENU_POLYMODE: TogglePolygonFill(); break;
    case MENU_TEXTURING: ToggleTextures(); break;
    case MENU_EXIT: EndProgram();
    default: return;
  }
  RequestRedisplay();
}

// ---- Restart ----

// A new game starts at level 1 whenever it is made: a level finished just
// before must not advance the new game's first interlude.
void DoRestart(BOOL fullRestart) {
  animate = 0;
  change_level = 0;
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
  // A level finished last (the one won on, or one whose interlude the
  // restart cut short) has no cheese left; the new game must find one.
  PutBackMissingCheese();
  cheeseEaten = 0;
  levelNum = 0;
  livesLeft = initLives;
  mousespeedinit = 10.0;
  mousespeed = mousespeedinit;
  catSpeedInit = 10.0;
  catSpeed = catSpeedInit;
  score = 0;
  PAUSED = 0;
  BeginGameRecord();  // a game left unfinished is never recorded
  if (fullRestart) InstallScreen(&playScreen);
}

// ---- Play-frame flow ----

// The interlude whose reset has run last, named by its time_of_death.
static struct timeval interludeReset;

void ResetForInterlude(void) {
  interludeReset = time_of_death;
  if (change_level) {
    // The finished level gets one cheese back for a later replay.
    if (levelNum + 1 < kMaxLevels) {
      levelNum++;
      int x, y;
      if (RandomEmptyCell(levels[levelNum - 1], &x, &y)) levels[levelNum - 1][x][y] = CELL_CHEESE;
    }
    change_level = 0;
  }
  PutMouseOnStart(levelNum);
  animate = 0;
}

// An interlude can pass without a frame after its first second: the player
// opens the control panel in that second and comes back after the interlude
// is over. Its reset then runs on the first play frame instead, or the mouse
// would play on from inside the obstacle it died in, or on a finished level
// that has no cheese left.
BOOL CatchUpInterlude(void) {
  if (interludeReset.tv_sec == time_of_death.tv_sec &&
      interludeReset.tv_usec == time_of_death.tv_usec)
    return FALSE;
  ResetForInterlude();
  return TRUE;
}

// While change_level is still set the level has not advanced yet, but the
// interlude already announces the next one.
int InterludeLevel(void) { return change_level ? levelNum + 2 : levelNum + 1; }

PlayFrame AdvancePlayFrame(void) {
  WallCorner();
  PlayFrame frame = {FALSE, FALSE, 0};
  if (time_since_death >= kInterludeEnd) {
    frame.mouseMoved = CatchUpInterlude();
    if (!PAUSED) animate = 1;
    return frame;
  }
  if (time_since_death > kInterludeReset) {
    ResetForInterlude();
    frame.mouseMoved = TRUE;
  }
  frame.interlude = TRUE;
  frame.interludeLevel = InterludeLevel();
  animate = 0;
  return frame;
}

// ---- Game over and win ----

static void DisplayEnd(const char *message) {
  SetUpDisplay();
  glBlendFunc(GL_ONE, GL_ZERO);
  RenderObjects();
  PresentScene();
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
void MouseDeath(int, int, int windowX, int windowY) {
  int x, y;
  if (!OverlayPointFromWindow(windowX, windowY, &x, &y)) return;
  int up = kDeathWindowHeight - y;
  if (InButton(x, up, kDeathRestartX, kImageBRestart)) DoRestart(TRUE);
  if (InButton(x, up, kDeathQuitX, kImageBQuit)) EndProgram();
}
