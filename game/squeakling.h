// The game: level set, simulation, start-up and screen flow, sound cues.
// Declares the globals and operations of those parts; the 3D scene lives in
// rendering.h and the flat overlay in scoreboard.h, each included where used.
#pragma once
#include <GL/gl.h>
#include <sys/time.h>

#include <string>

#include "common/basics.h"
#include "common/levelset.h"

struct GLMmodel;
struct gameaudio;

constexpr char kGameTitle[] = "Dravel: Vimmo Squeakling";  // the window's title
// Random placements draw both indices from 0 ... kPlaceRange - 1, so row and
// column 28 and the outer ring never receive cheese, fruit or a cat start.
constexpr int kPlaceRange = 28;

// Cell codes of a level grid.
enum CellCode {
  CELL_EMPTY = 0,
  CELL_WALL = 1,
  CELL_OBSTACLE = 2,
  CELL_MOUSE_START = 3,
  CELL_CHEESE = 4,
  CELL_CAT_START = 5,
  CELL_BONUS = 6,
};

// ---- Level set: replaced wholesale by each successful load ----
extern int levels[kMaxLevels][kGridSize][kGridSize];  // levels[n][x][y]: x is the file's row
extern int numLevels;                                 // levels read by the last successful load
extern int levelNum;                                  // level being played, 0-based
extern int mousexInit, mouseyInit;                    // mouse start cell (last "3" of the file)
extern int mouseOrientInit;                           // start heading in degrees; always 0
extern int cheeseX, cheeseY;                          // cell of the current cheese

// Each level's own start (common/levelset.h); a level without one is played
// from mousexInit, mouseyInit.
extern LevelStart levelStarts[kMaxLevels];

// Empties every cell of all ten levels and forgets their own starts.
void ClearLevels(void);
// The corner cell that every play frame makes a wall in the current level,
// whatever the level file held there (WallCorner); the fruit tries it first.
constexpr int kCornerX = 0, kCornerY = 0;
void WallCorner(void);
// Reads a level-set file. Returns 0, leaving the level set untouched, when the
// file cannot be opened or is no regular file; otherwise replaces the whole
// set and returns 1, also when the file holds no complete level.
// Rows past the 30th of a level and levels past the tenth are ignored.
// Records each level's own start in levelStarts; mousexInit, mouseyInit end
// as the file's last start. With bytes, the file's bytes as read are left
// there (see ReadLevelSet).
BOOL LoadUserLevel(const char *fileName, std::string *bytes = nullptr);
// Puts a level set that was read into play as LoadUserLevel does: replaces
// the grids and starts, makes the placements, levelNum := 0.
void UseLevelSet(const LevelSetFile &set);
// Reads a level set for play. Returns 0, leaving the level set untouched,
// with *reason saying why, when the file cannot be opened, is no regular
// file or holds no complete level; otherwise puts it into play and returns 1.
// With bytes, the file's bytes as read are left there.
BOOL LoadPlayableLevelSet(const char *fileName, std::string *reason, std::string *bytes = nullptr);
// The reason given for a file without an end-of-level line.
extern const char kNoCompleteLevel[];
// Marks a cat start cell (code 5) in the current level, far from that level's
// mouse start when such a cell exists, else on any empty cell; nothing when
// the level has no empty cell in 0 ... 27.
void PlaceCat(void);
// Puts one cheese on a random empty cell of each level of the set that
// holds none: the last cheese of a level goes without a successor, and
// neither a win nor a restart before the interlude's reset puts it back.
void PutBackMissingCheese(void);
// The cell level n is played from: its own start, else mousexInit, mouseyInit.
void MouseStartOf(int n, int *x, int *y);
// Puts the mouse on level n's start, heading mouseOrientInit, the camera
// heading with it: the respawn, the restart and the start of a new level.
void PutMouseOnStart(int n);
// The one random-empty-cell draw of the game: x = rand() % 28, then
// y = rand() % 28, until the cell of grid holds 0. Returns 0 without drawing
// when no such cell exists, so a full level never hangs the game.
BOOL RandomEmptyCell(int grid[kGridSize][kGridSize], int *x, int *y);

// ---- Simulation state: written by the step, the keys and the restart ----
extern double mousex, mousey;  // mouse position, cells
extern int mouseorient;        // mouse heading, degrees 0 ... 360
extern float mouseSize;        // 1.0
extern double mousespeed;      // cells per second = mousespeed * speedScale / 4
extern double mousespeedinit;  // mouse speed at the start of the level
extern double viewOrient;      // camera heading, degrees 0 ... 360
extern double catX, catY;      // cat position, cells
extern int catOrient;          // cat heading, degrees 0 ... 359
extern float catSize;          // 2.2
extern double catSpeed, catSpeedInit;
extern int cheeseEaten;  // cheese the mouse ate in this level
extern int score;
extern int cheeseScore;            // worth of the next cheese; never reset
extern int livesLeft;              // lives besides the one being played
extern BOOL collisionDetection;    // clear while the mouse is invincible
extern double invinceInterval;     // seconds of invincibility elapsed
extern const GLfloat *mouseColor;  // colour the mouse is drawn in (the colour table is constant)
extern BOOL bonusOn;               // a fruit is out; its cell holds 6
extern int bonusX, bonusY;
extern double bonusInterval;   // seconds without a fruit out
extern double bonusDur;        // seconds the fruit has been out
extern double bonusSlope;      // -10.0: factor of bonusFreq in the fruit spacing
extern double cheeseRotation;  // spin of cheese and fruit, degrees
extern double purTime;         // seconds since the last purr
extern BOOL change_level;      // a level was finished; the interlude advances
extern const double ROOT2;

// The play screen's idle callback: one simulation step at the wall clock.
void AnimateScene(void);
// The step itself at a given time, without GLUT: what AnimateScene runs.
// Installs the game-over or win screen through InstallScreen when play ends.
void StepSimulation(struct timeval now);
// Writes into pt the cell of probe point i (0, 1, 2) of an animal at
// (animalX, animalY) facing animalOrient degrees; any other i leaves pt alone.
// The cell may lie outside the grid.
void CheckGridAtGeneral(int pt[2], int i, double animalX, double animalY, int animalOrient,
                        float animalSize, double angle, double gridScaleFactor);
void CheckGridAt(int pt[2], int i, double animalX, double animalY, int animalOrient,
                 float animalSize);
void CheckCatGridAt(int pt[2], int i, double animalX, double animalY, int animalOrient,
                    float animalSize);
// Cell index of a coordinate: halves round up, negatives always go down.
// Coordinates far outside the grid give a far-away index, never overflow.
int gridValue(double coord);
// Whether the cat is close enough to catch the mouse (a square test).
BOOL EatMouse(void);
// Puts a fruit on the corner cell when that is empty, else on a random empty
// cell of the current level; puts none when the level has no empty cell.
void PlaceBonus(void);

// ---- Settings: InitSettings writes the start values; the keys, the pop-up
// menu and the control panel change them ----
// Camera modes of viewPoint.
enum ViewMode { VIEW_FIRST_PERSON = 0, VIEW_CHASE = 1, VIEW_OVERHEAD = 2 };
extern int viewPoint;  // a ViewMode
extern BOOL g_bTexture;
extern BOOL g_bLightingEnabled;  // the four spotlights
extern BOOL g_bFillPolygons;
extern BOOL CAT_EXISTS;
extern BOOL SOUND_ON;
extern double speedScale, catSpeedScale, bonusFreq;
extern int initNumCheese;  // cheese to eat per level
extern int initLives;
extern int shadowsOn;  // 0 none, 1 light 0, 2 lights 0 and 1, 3 all six
extern BOOL reflectionsOn;

// ---- Flow state: screens and interludes ----
extern BOOL animate;                   // the simulation advances
extern BOOL PAUSED;                    // the player paused the game
extern struct timeval time_of_death;   // last lost life, finished level or restart
extern float time_since_death;         // whole seconds since time_of_death; < 5 is the interlude
extern struct timeval last_idle_time;  // time of the previous simulation step

// ---- Assets kept for the whole run ----
extern GLMmodel *mouse, *apple, *banana, *surfModel, *catModel;
extern gameaudio soundFX;

// ---- Screens: each a set of GLUT callbacks installed together ----
struct Screen {
  void (*display)(void);
  void (*keyboard)(unsigned char key, int x, int y);
  void (*special)(int key, int x, int y);  // arrows and the like, F11 aside; nullptr ignores them
  void (*mouse)(int button, int state, int x, int y);
  void (*motion)(int x, int y);  // nullptr leaves the motion handler as it is
  void (*idle)(void);
};
extern const Screen startScreen, playScreen, controlPanelScreen, gameOverScreen, winScreen;
extern const Screen *currentScreen;  // the screen last installed
// The handler every key goes to: GLUT calls one dispatcher that forwards here.
extern void (*currentKeyboard)(unsigned char, int, int);
// GLUT calls wait for g_bWindowOpen (common/drawing.h).

void InstallScreen(const Screen *screen);
// Sends the keys to keyboard until the next screen is installed.
void InstallKeyboard(void (*keyboard)(unsigned char key, int x, int y));
void RequestRedisplay(void);
// Every way out of the game: ends the process at once with status 0.
[[noreturn]] void EndProgram(void);

enum MenuCommand { MENU_LIGHTING = 1, MENU_POLYMODE = 2, MENU_TEXTURING = 3, MENU_EXIT = 4 };

void displayStart(void);
void StartGame(void);
void KeyboardStart(unsigned char key, int x, int y);
// The start screen's way into play, for any key, arrow or pad button: a
// restart and the first in-game track.
void BeginGame(void);
// The start screen's arrows begin a game as the other keys do.
void SpecialStart(int key, int x, int y);
void Keyboard(unsigned char key, int x, int y);
// The play screen's arrows: Left and Right turn as j and l, Up hops as i,
// Down turns around as k.
void SpecialKeys(int key, int x, int y);
// The moves of the mouse shared by the letter keys, the arrows and the pad.
enum PlayMove {
  MOVE_TURN_LEFT,    // -45 degrees
  MOVE_TURN_RIGHT,   // +45
  MOVE_NUDGE_LEFT,   // -10
  MOVE_NUDGE_RIGHT,  // +10
  MOVE_TURN_AROUND,  // +180
  MOVE_HOP_FORWARD,  // one cell along the heading, at once
  MOVE_HOP_BACK,     // one cell against it
};
// Ignored while paused or in an interlude (animate clear); the heading
// stays in 0 ... 360 after a turn.
void MoveMouse(PlayMove move);
// The space key's pause and resume: nothing until the interlude is over
// (time_since_death > 5), then SetPaused(!PAUSED).
void TogglePause(void);
// The pointer callbacks take window pixels and map them into the 1200 x 600
// window's (common/overlay.h) before their hit tests; the bars do nothing.
void MouseButton(int button, int state, int x, int y);
void MouseMotion(int x, int y);
// The one way to pause and resume play: PAUSED := on, animate := !on. The
// space key, the control panel and a hidden window go through it.
void SetPaused(BOOL on);
// A window minimised or fully covered pauses play as the space key does;
// the pause message greets the player on return. WindowStatus is the GLUT
// window-status callback around it.
void HideWindow(void);
void WindowStatus(int state);
int BuildPopupMenu(void);
void SelectFromMenu(int idCommand);
void DisplayDeath(void);
void DisplayWin(void);
void DeathIdle(void);
void WinIdle(void);
void MouseDeath(int button, int state, int x, int y);
void DoRestart(BOOL fullRestart);
// The one writer of the settings' start values (and of the collision flag),
// run at start-up before the level set loads. Lives and the mouse's heading
// are the restart's to set.
void InitSettings(void);
// The three display toggles, the same from the keys, the pop-up menu and the
// control panel: flip the setting and, once the window is open, the GL state.
// Only the four spotlights follow the lighting toggle; the lamps stay on.
void ToggleSpotlights(void);
void ToggleTextures(void);
void TogglePolygonFill(void);

// ---- Play-frame flow: the state the play screen's frame advances ----
// What one play frame shows, decided before it draws.
struct PlayFrame {
  BOOL interlude;      // the level interlude, not play with its scoreboard
  BOOL mouseMoved;     // the interlude reset put the mouse back: set the camera again
  int interludeLevel;  // number, from 1, of the level the interlude announces
};
// The frame's state changes, in order: the corner cell becomes a wall; after
// the interlude a reset it missed runs and play resumes unless paused; during
// it, after its first second, the reset runs and the simulation stays still.
PlayFrame AdvancePlayFrame(void);
// The interlude after its first second: advances a finished level (putting
// one cheese back into it) and puts the mouse back on its start.
void ResetForInterlude(void);
// Runs that reset once for an interlude that went by without it; returns
// whether it did.
BOOL CatchUpInterlude(void);
// Number, from 1, of the level the interlude announces.
int InterludeLevel(void);
// Reads and prepares the five models from the working directory; a model
// that cannot be read ends the program.
void ReadModels(void);

// ---- Sound cues ----
extern int crash_id, eaten_id, levelpassed_id, catpurL_id, catpurR_id, catpurC_id, boing_id,
    catmeow_id, bonus_id;
extern int backmusic;    // track last chosen, 1 ... 3 once the cycle began
extern double volSlope;  // purr volume lost per cell of distance
void LoadSoundSamples(void);
void ChangeMusic(void);
void PlayPositionSound(int soundId, double x1, double y1, double x2, double y2);
// The music upkeep, first thing of every simulation step: starts the next
// track when none plays and sound is on, stops the music when sound is off.
void KeepMusicGoing(void);
