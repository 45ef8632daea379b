// The overlay's drawing services and the screens laid over the scene: score
// line and title bar, pause message, level interlude, start title, game-over
// and win screens. Reads the image catalogue and the colour table.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "common/drawing.h"
#include "game/scoreboard.h"
#include "game/scores.h"

// Raster positions in overlay units. What covers what depends on them and
// on the drawing order under the scene's less-than depth test: a later
// drawing at the same z does not replace what is already there.
static constexpr GLfloat initial[3] = {25.0f, 570.0f, 0.0f};
static constexpr GLfloat bar[3] = {0.0f, 550.0f, 0.0f};
static constexpr GLfloat paused[3] = {400.0f, 530.0f, 0.0f};
static constexpr GLfloat interludepos[3] = {500.0f, 300.0f, 0.0f};
static constexpr GLfloat interludepos2[3] = {540.0f, 270.0f, 0.0f};
static constexpr GLfloat DeadPos[3] = {550.0f, 300.0f, 0.0f};
static constexpr GLfloat RestartPos[3] = {450.0f, 500.0f, 0.0f};
static constexpr GLfloat QuitPos[3] = {650.0f, 500.0f, 0.0f};
static constexpr float kStartTitleY = 150.0f;
// The controls legend over the title's band: 40 ... 1160, 425 ... 585.
static constexpr float kLegendX = 40.0f, kLegendY = 425.0f;
// The interlude's darkening lies just behind the text drawn at z = 0.
static constexpr float kInterludeShadeZ = -0.1f;
// Title speed in overlay units per drawn frame: it follows the frame rate.
static constexpr double kTitleStep = 4.0;

double animatedX = 4.0;
int animateDirection = 1;

// ---- Drawing services ----

static void SetOverlayMaterial(void) {
  SetMaterialColor(colorWhite);
  glMaterialfv(GL_FRONT, GL_EMISSION, emission);
  glMaterialfv(GL_FRONT, GL_SPECULAR, colorWhite);
}

// Texture object 0 is bound so that no scene texture, still enabled and bound
// from the last pass, tints the pixel rectangles and glyphs drawn here.
void SetUp2dDraw(void) {
  glBindTexture(GL_TEXTURE_2D, 0);
  SetOverlayMaterial();
  BeginOverlay();
}

// Specular and emission go back to none, so the scene's next frame does not
// inherit the overlay's white glow.
static void ClearOverlayMaterial(void) {
  glMaterialfv(GL_FRONT, GL_SPECULAR, colorNone);
  glMaterialfv(GL_FRONT, GL_EMISSION, nonemission);
}

void End2dDraw(void) {
  EndOverlay();
  ClearOverlayMaterial();
}

void DrawString(const char *string) { OverlayText(string); }

void DrawImage(int index, float x, float y, float z) { OverlayImage(index, x, y, z); }

// ---- Number strings ----

char *CopyString(const char *s) {
  size_t size = strlen(s) + 1;
  char *copy = static_cast<char *>(malloc(size));
  // Checked in every build, not only where assert is compiled in: a null
  // copy would otherwise be written through.
  if (copy == nullptr) {
    fprintf(stderr, "%s:%d: CopyString: Assertion `copy != ((void *)0)' failed.\n", __FILE__,
            __LINE__);
    abort();
  }
  memcpy(copy, s, size);
  return copy;
}

char *IntegerToString(int n) {
  char buffer[100];
  snprintf(buffer, sizeof buffer, "%d", n);
  return CopyString(buffer);
}

// ---- Labels ----

static void DrawLabelled(const char *label, int value) {
  DrawString(label);
  char *number = IntegerToString(value);
  DrawString(number);
  free(number);
}

void DrawLevel(int level) { DrawLabelled("Level #", level); }
void DrawLives(int lives) { DrawLabelled("Squeaklings x ", lives); }
void DrawScore(int score) { DrawLabelled("Score: ", score); }
void DrawCheeseLeft(int cheese) { DrawLabelled("Cheese Remaining: ", cheese); }

// ---- Scoreboard and interlude ----

// The text goes down before the bar so that the bar, at the same depth,
// cannot cover it.
void DrawScoreBoard(int level, int lives, int score, int cheese, double, BOOL PAUSED) {
  glBindTexture(GL_TEXTURE_2D, 0);
  SetUp2dDraw();
  OverlayTextPosition(initial[0], initial[1], initial[2]);
  DrawLevel(level);
  DrawString("    ");
  DrawLives(lives);
  DrawString("    ");
  DrawCheeseLeft(cheese);
  DrawString("    ");
  DrawScore(score);
  DrawImage(kImageTitleBar, bar[0], bar[1], bar[2]);
  if (PAUSED) {
    OverlayTextPosition(paused[0], paused[1], paused[2]);
    DrawString("Game paused - press spacebar to continue");
  }
  End2dDraw();
}

// Black at 60 % alpha, unlit by specular or emission: the shade quads.
static void SetShadeMaterial(void) {
  SetMaterialColor(colorDarken);
  glMaterialfv(GL_FRONT, GL_SPECULAR, colorNone);
  glMaterialfv(GL_FRONT, GL_EMISSION, nonemission);
}

static void DrawWindowQuad(float z) {
  glBegin(GL_QUADS);
  glVertex3f(0.0f, 0.0f, z);
  glVertex3f(kOverlayWidth, 0.0f, z);
  glVertex3f(kOverlayWidth, kOverlayHeight, z);
  glVertex3f(0.0f, kOverlayHeight, z);
  glEnd();
}

void DrawLevelInterlude(int level, int lives) {
  SetUp2dDraw();
  OverlayTextPosition(interludepos[0], interludepos[1], interludepos[2]);
  DrawLabelled("Level ", level);
  DrawString(" Get Ready!!");
  OverlayTextPosition(interludepos2[0], interludepos2[1], interludepos2[2]);
  DrawLives(lives);
  SetShadeMaterial();
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  DrawWindowQuad(kInterludeShadeZ);
  glDisable(GL_BLEND);
  End2dDraw();
}

// ---- Start screen ----

void StepStartTitle(int titleWidth) {
  if (animatedX < 1.0) animateDirection = 1;
  if (animatedX >= kOverlayWidth - titleWidth) animateDirection = 0;
  animatedX += animateDirection == 1 ? kTitleStep : -kTitleStep;
}

void DrawStartSequence(void) {
  SetUp2dDraw();
  StepStartTitle(imageWidth[kImageTitle]);
  DrawImage(kImageTitle, static_cast<float>(animatedX), kStartTitleY, 0.0f);
  DrawImage(kImageControlsLegend, kLegendX, kLegendY, 0.0f);
  DrawStartScores();
  End2dDraw();
}

// ---- Game-over and win screens ----

// Message and buttons go first so the darkening at the same depth leaves
// them bright; blending is as the scene left it, so the scene is dimmed or
// covered in black.
void DrawDeath(const char *string) {
  SetUp2dDraw();
  OverlayTextPosition(DeadPos[0], DeadPos[1], DeadPos[2]);
  DrawString(string);
  DrawImage(kImageBRestart, RestartPos[0], RestartPos[1], RestartPos[2]);
  DrawImage(kImageBQuit, QuitPos[0], QuitPos[1], QuitPos[2]);
  DrawEndScores();
  SetShadeMaterial();
  DrawWindowQuad(0.0f);
  End2dDraw();
}

void KeyboardDeath(unsigned char, int, int) {}
