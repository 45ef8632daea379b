// The flat overlay of the game: scoreboard and title bar, pause message,
// level interlude, start, game-over and win screens, and the control panel.
// Everything is laid out in the fixed 1200 x 600 overlay space (origin
// bottom-left, y up; common/overlay.h); hit tests work in the pixels of the
// 1200 x 600 window (y down), into which pointer positions are mapped.
#pragma once
#include <GL/gl.h>

#include "common/basics.h"
#include "common/overlay.h"

// ---- Overlay materials (the overlay space is common/overlay.h's) ----
// Front emission while overlay text is drawn: lit bitmap text comes out white.
constexpr GLfloat emission[4] = {1.0f, 1.0f, 1.0f, 1.0f};
constexpr GLfloat nonemission[4] = {0.0f, 0.0f, 0.0f, 0.0f};

// ---- 2D drawing services (need a current GL context) ----
// Binds texture object 0, sets the overlay material (white, with white
// emission and specular), then BeginOverlay: the picture's viewport and
// both matrix stacks pushed with the 1200 x 600 orthographic projection;
// matrix mode is modelview on return. Lighting, depth test and blending
// are left alone: raster z and drawing order decide what covers what.
void SetUp2dDraw(void);
// EndOverlay (waiting text drawn, stacks popped, viewport back), then
// clears specular and emission.
void End2dDraw(void);
// Draws a NUL-terminated string at the text pen (OverlayTextPosition) in
// the 24-unit Times look; consecutive calls continue on one line.
void DrawString(const char *string);
// Draws an interface image (by its catalogue index) with its lower-left
// corner at (x, y, z), at its stored size (OverlayImage). An image whose
// pixels are missing is skipped.
void DrawImage(int index, float x, float y, float z);

// ---- Number strings (no GL) ----
// n in decimal ("%d"); a new string the caller releases with free().
char *IntegerToString(int n);
// A new copy of s the caller releases with free(). Running out of memory
// stops the program with a failed assertion.
char *CopyString(const char *s);

// ---- Scoreboard, interlude and the other screens ----
void DrawLevel(int level);        // "Level #" and the number
void DrawLives(int lives);        // "Squeaklings x " and the number
void DrawScore(int score);        // "Score: " and the number
void DrawCheeseLeft(int cheese);  // "Cheese Remaining: " and the number
// The play frame's overlay: the score line, the title bar over it, and the
// pause message while paused. speedScale is accepted and not drawn.
void DrawScoreBoard(int level, int lives, int score, int cheese, double speedScale, BOOL PAUSED);
// "Level <level> Get Ready!!" and the lives over the scene dimmed to 40 %.
// Leaves blending disabled.
void DrawLevelInterlude(int level, int lives);
// One frame of the start screen: moves the title 4 units and draws it, with
// the legend of the keys and the pad above it.
void DrawStartSequence(void);
// Game-over and win overlay: the message, Restart and Quit, then darkening.
void DrawDeath(const char *string);
// Keyboard of the game-over and win screens: every key is ignored.
void KeyboardDeath(unsigned char key, int x, int y);

// Start-screen title: left edge in overlay units and direction (1 right,
// 0 left); kept for the whole run, never reset.
extern double animatedX;
extern int animateDirection;
// Turns the title at either end of the window and moves it 4 units; no GL.
void StepStartTitle(int titleWidth);

// ---- Control panel ----
void CPDisplay(void);
void CPIdle(void);
// Escape returns to the game (still paused); every other key is ignored.
void CPKeyboard(unsigned char key, int x, int y);
// Presses of any button hit-test the three columns; releases do nothing.
// x and y are window pixels, mapped into the 1200 x 600 window's first.
void CPMouseButton(int button, int state, int x, int y);
// Draws the panel: title, labels, faces after the settings, sliders, and
// the prompt line fileString + fileName in blue when Draw is true.
void DrawControlPanel(const char *fileString, BOOL Draw, const char *fileName);

// ---- Load prompt: written only by its own file ----
constexpr int kTextSize = 100;
// The control panel's text while a name is typed, and on entering the panel.
constexpr char kLoadPrompt[] = "Please enter file to load: ";
extern char text[kTextSize];      // the control panel's prompt or result line
extern char fileText[kTextSize];  // name typed at the load prompt, at most 99 characters
extern int fileTextIndex;
extern BOOL displayText;  // the control panel shows the prompt line
// The panel's line back to the prompt text, as on entering the panel.
void ResetPanelText(void);
// The Load button: shows the prompt line with an empty name and sends the
// keys to KeyboardLoad until the panel is left.
void StartLoadPrompt(void);
// Leaving the panel: the prompt line is no longer drawn.
void HideLoadPrompt(void);
// A white-space key (Return, space, tab) loads the set named so far,
// relative to the working directory: on success the game is reset to its
// first level without leaving the panel, on failure the set is left alone;
// the line reports either. Backspace and Delete take back the last
// character; any other key is part of the name.
void KeyboardLoad(unsigned char key, int x, int y);

// Left edge of every slider track, in overlay units and window pixels.
constexpr int kSliderTrackX = 510;
// Slider mappings from the pointer's x; xpos is the track's left edge.
void DoSpeedSlider(int x, int xpos);
void DoLivesSlider(int x, int xpos);
void DoCheeseSlider(int x, int xpos);
void DoCatSlider(int x, int xpos);
void DoBonusSlider(int x, int xpos);
// Knobs at (x + 5 + offset, y, 0.01) for a track whose left edge is x. The
// lives and cheese knobs follow initLives / initNumCheese, not their argument.
void DrawSpeedSlider(double factor, float x, float y);
void DrawCatSlider(double factor, float x, float y);
void DrawBonusSlider(double factor, float x, float y);
void DrawLivesSlider(int numLives, float x, float y);
void DrawCheeseSlider(int numCheese, float x, float y);
// Knob offsets: the inverses of the slider mappings.
double FactorKnobOffset(double factor);
double LivesKnobOffset(int lives);
double CheeseKnobOffset(int cheese);

// Hit test of the panel in the 1200 x 600 window's pixels, one column at a time: the three
// columns are tested independently, in this order.
enum CPColumn { CP_COLUMN_LEFT, CP_COLUMN_MIDDLE, CP_COLUMN_RIGHT };
constexpr int kPanelRows = 5;
// Row 0 ... 4 of column at (x, y), or -1 when the press misses it.
int CPHitRow(CPColumn column, int x, int y);
// The press on one control: the button's or slider's action.
void CPPress(CPColumn column, int row, int x);

// Face shown for a left-column row (0 view ... 4 sound) and for shadows and
// reflections, as catalogue indices; -1 when no face is drawn.
int LeftColumnFace(int row);
int ShadowsFace(void);
int ReflectionsFace(void);
