// The control panel's screen: its frame, keys, the three hit-test columns in
// window pixels and the action of every button and slider. Writes the game's
// settings, which the other parts read next frame; the load prompt it opens
// lives in scoreboard_prompt.cpp.
#include <GL/glut.h>

#include <initializer_list>

#include "common/drawing.h"
#include "game/rendering.h"
#include "game/scoreboard.h"
#include "game/squeakling.h"

// Hit strips in pixels of the 1200 x 600 window, y down from the top,
// matching the drawing there; pointer positions are mapped into them first.
static constexpr int kLeftColumnX = 280;
static constexpr int kRightColumnX = 760;
// The slider strip starts 15 pixels into the track and ends 15 before its end.
static constexpr int kSliderInset = 15;
static constexpr int kRowsTop = 150;
static constexpr double kRowPitch = 80.0;
// A press counts in a row when y - top and y - (top - reach) fall in the same
// 80-pixel step: buttons take 50 rows of pixels, sliders 23.
static constexpr int kButtonReachTop = 120;
static constexpr int kSliderReachTop = 93;

// ---- Frame and keys ----

void CPDisplay(void) {
  SetUpDisplay();
  DrawControlPanel(text, displayText, fileText);
  glutSwapBuffers();
}

void CPIdle(void) { CPDisplay(); }

// The play screen comes back with the pause flag still set from entry.
static void ReturnToGame(void) {
  HideLoadPrompt();
  InstallScreen(&playScreen);
}

void CPKeyboard(unsigned char key, int, int) {
  if (key == 27) ReturnToGame();
}

// ---- Hit test ----

// Rows are computed in floating point and truncated toward zero.
static int RowAt(int y, int reachTop) {
  int row = static_cast<int>((y - kRowsTop) / kRowPitch);
  int reach = static_cast<int>((y - reachTop) / kRowPitch);
  if (reach != row || y <= kRowsTop || row >= kPanelRows) return -1;
  return row;
}

static BOOL InRange(int x, int low, int high) { return x >= low && x <= high; }

// One width serves each column: the buttons are tested with BCatOff's,
// every slider with SCheese's.
int CPHitRow(CPColumn column, int x, int y) {
  const int buttonWidth = imageWidth[kImageBCatOff];
  switch (column) {
    case CP_COLUMN_LEFT:
      if (!InRange(x, kLeftColumnX, kLeftColumnX + buttonWidth)) return -1;
      return RowAt(y, kButtonReachTop);
    case CP_COLUMN_MIDDLE:
      if (!InRange(x, kSliderTrackX + kSliderInset,
                   kSliderTrackX + imageWidth[kImageSCheese] - kSliderInset))
        return -1;
      return RowAt(y, kSliderReachTop);
    case CP_COLUMN_RIGHT:
      if (!InRange(x, kRightColumnX, kRightColumnX + buttonWidth)) return -1;
      return RowAt(y, kButtonReachTop);
  }
  return -1;
}

// ---- Slider mappings ----

static double SliderPosition(int x, int xpos) { return x - (xpos + kSliderInset); }

void DoSpeedSlider(int x, int xpos) { speedScale = SliderPosition(x, xpos) / 100.0 + 0.5; }
void DoCatSlider(int x, int xpos) { catSpeedScale = SliderPosition(x, xpos) / 100.0 + 0.5; }
void DoBonusSlider(int x, int xpos) { bonusFreq = SliderPosition(x, xpos) / 100.0 + 0.5; }
void DoCheeseSlider(int x, int xpos) {
  initNumCheese = static_cast<int>(SliderPosition(x, xpos) / 5.0 + 5);
}
void DoLivesSlider(int x, int xpos) {
  initLives = static_cast<int>(SliderPosition(x, xpos) / 10.0 + 1);
}

// ---- Actions ----

// Chase and overhead swap; first person, chosen from the keys, stays.
static void ToggleView(void) {
  if (viewPoint == VIEW_OVERHEAD)
    viewPoint = VIEW_CHASE;
  else if (viewPoint == VIEW_CHASE)
    viewPoint = VIEW_OVERHEAD;
}

static void RestartFromPanel(void) {
  DoRestart(1);
  PAUSED = 0;
  HideLoadPrompt();
}

static void PressLeft(int row) {
  switch (row) {
    case 0: ToggleView(); break;
    case 1: ToggleTextures(); break;
    case 2: ToggleSpotlights(); break;
    case 3: CAT_EXISTS = !CAT_EXISTS; break;
    case 4: SOUND_ON = !SOUND_ON; break;
    default: Impossible("a left-column row outside 0 ... 4");
  }
}

static void PressSlider(int row, int x) {
  switch (row) {
    case 0: DoSpeedSlider(x, kSliderTrackX); break;
    case 1: DoLivesSlider(x, kSliderTrackX); break;
    case 2: DoCheeseSlider(x, kSliderTrackX); break;
    case 3: DoCatSlider(x, kSliderTrackX); break;
    case 4: DoBonusSlider(x, kSliderTrackX); break;
    default: Impossible("a slider row outside 0 ... 4");
  }
}

static void PressRight(int row) {
  switch (row) {
    case 0: shadowsOn = (shadowsOn + 1) % 4; break;
    case 1: reflectionsOn = !reflectionsOn; break;
    case 2: ReturnToGame(); break;
    case 3: RestartFromPanel(); break;
    case 4: StartLoadPrompt(); break;
    default: Impossible("a right-column row outside 0 ... 4");
  }
}

void CPPress(CPColumn column, int row, int x) {
  switch (column) {
    case CP_COLUMN_LEFT: PressLeft(row); break;
    case CP_COLUMN_MIDDLE: PressSlider(row, x); break;
    case CP_COLUMN_RIGHT: PressRight(row); break;
  }
}

// Any button's press; releases and drags change nothing, and so does a
// press on the black bars beside the picture.
void CPMouseButton(int, int state, int windowX, int windowY) {
  int x, y;
  if (state != GLUT_DOWN || !OverlayPointFromWindow(windowX, windowY, &x, &y)) return;
  for (CPColumn column : {CP_COLUMN_LEFT, CP_COLUMN_MIDDLE, CP_COLUMN_RIGHT}) {
    int row = CPHitRow(column, x, y);
    if (row >= 0) CPPress(column, row, x);
  }
}
