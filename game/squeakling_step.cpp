// The simulation state and its step: timers, motion, the camera heading, what
// the probes find (death, bounces, cheese, fruit, finished levels, winning)
// and lost lives. Only AnimateScene touches the clock and GLUT.
#include <cmath>
#include <cstdlib>
#include <iterator>

#include "common/drawing.h"
#include "common/gaudio.h"
#include "game/scores.h"
#include "game/squeakling.h"

double mousex = 0, mousey = 0;
int mouseorient = 0;
float mouseSize = 1.0f;
double mousespeed = 10.0;
double mousespeedinit = 10.0;
double viewOrient = 0;
double catX = 0, catY = 0;
int catOrient = 0;
float catSize = 2.2f;
double catSpeed = 15.0, catSpeedInit = 15.0;
int cheeseEaten = 0;
int score = 0;
int cheeseScore = 1000;
int livesLeft = 3;
BOOL collisionDetection = 1;
double invinceInterval = 0;
const GLfloat *mouseColor = colorWhite;
BOOL bonusOn = 0;
int bonusX = 0, bonusY = 0;
double bonusInterval = 0;
double bonusDur = 0;
double bonusSlope = -10.0;
double cheeseRotation = 0;
double purTime = 0;
BOOL change_level = 0;
const double ROOT2 = 1.414213562;

constexpr int kNumCheck = 3;             // probe points per animal and step
constexpr double kSpinRate = 100.0;      // cheese and fruit spin, degrees per second
constexpr double kPurrPeriod = 10.0;     // seconds between purrs
constexpr double kBonusBase = 35.0;      // fruit spacing: kBonusBase + bonusSlope * bonusFreq
constexpr double kBonusStay = 200.0;     // a fruit stays kBonusStay / mousespeedinit seconds
constexpr double kInvincibleFor = 10.0;  // seconds of invincibility per fruit
constexpr double kCameraRate = 150.0;    // camera heading chase, degrees per second
constexpr int kRandomTurnOdds = 100;     // the cat turns at random on one draw in this many
constexpr double kLevelSpeedUp = 5.0;    // start speeds gained per finished level
constexpr int kCheeseScoreStep = 100;

// The grid being played.
static auto &CurrentGrid(void) { return levels[levelNum]; }

static BOOL InGrid(const int pt[2]) {
  return pt[0] >= 0 && pt[0] < kGridSize && pt[1] >= 0 && pt[1] < kGridSize;
}

// Inside the outer ring: 1 ... 28 in both indices.
static BOOL InsideRing(const int pt[2]) {
  return pt[0] >= 1 && pt[0] <= kGridSize - 2 && pt[1] >= 1 && pt[1] <= kGridSize - 2;
}

// The cell's code, or empty for a cell outside the grid.
static int CellAt(const int pt[2]) { return InGrid(pt) ? CurrentGrid()[pt[0]][pt[1]] : CELL_EMPTY; }

static void PlayCue(int id) {
  if (SOUND_ON) playSample(&soundFX, id, 1);
}

// ---- Timers ----

static double SecondsSince(struct timeval then, struct timeval now) {
  return (now.tv_sec - then.tv_sec) + (now.tv_usec - then.tv_usec) * 1e-6;
}

static void CountPurr(double dt) {
  purTime += dt;
  if (purTime < kPurrPeriod || !CAT_EXISTS) return;
  if (SOUND_ON) PlayPositionSound(catpurL_id, mousex, mousey, catX, catY);
  purTime = 0;
}

static void ResetBonus(void) {
  bonusDur = 0;
  bonusInterval = 0;
  bonusOn = 0;
}

// Takes the fruit off the current level, if one is out.
static void RemoveBonus(void) {
  if (!bonusOn) return;
  auto &grid = CurrentGrid();
  if (grid[bonusX][bonusY] == CELL_BONUS) grid[bonusX][bonusY] = CELL_EMPTY;
  ResetBonus();
}

void PlaceBonus(void) {
  auto &grid = CurrentGrid();
  // The first candidate is the corner, which every play frame walls
  // (WallCorner): in play the fruit always goes to a random empty cell.
  int x = kCornerX, y = kCornerY;
  if (grid[x][y] != CELL_EMPTY && !RandomEmptyCell(grid, &x, &y)) return;
  grid[x][y] = CELL_BONUS;
  bonusX = x;
  bonusY = y;
  bonusOn = 1;
}

static void TimeBonus(double dt) {
  if (!bonusOn) {
    if (animate) bonusInterval += dt;
    if (bonusInterval > kBonusBase + bonusSlope * bonusFreq) {
      bonusInterval = 0;
      bonusDur = 0;
      PlaceBonus();
    }
  } else {
    if (animate) bonusDur += dt;
    if (bonusDur > kBonusStay / mousespeedinit) RemoveBonus();
  }
}

// Colour by whole seconds of invincibility elapsed; past 10 (a long step
// jumped over the eleventh second) the colour stays as it was.
static const GLfloat *InvincibleColor(int seconds, const GLfloat *current) {
  static const GLfloat *const kFade[] = {mc0, mc0, mc0, mc0, mc0,       mc0,
                                         mc2, mc4, mc6, mc8, colorWhite};
  if (seconds < 0 || seconds >= static_cast<int>(std::size(kFade))) return current;
  return kFade[seconds];
}

static void TimeInvincibility(double dt) {
  if (collisionDetection) return;
  if (animate) invinceInterval += dt;
  // Bounded before the conversion: a huge step must not overflow the int.
  int n = invinceInterval < kInvincibleFor + 1 ? static_cast<int>(invinceInterval)
                                               : static_cast<int>(kInvincibleFor) + 1;
  if (invinceInterval > kInvincibleFor) {
    collisionDetection = 1;
    invinceInterval = 0;
  }
  mouseColor = InvincibleColor(n, mouseColor);
}

// ---- Motion ----

static void MoveAnimals(double dt) {
  double mouseStep = dt * mousespeed * speedScale / 4.0;
  mousex += mouseStep * cos(mouseorient * TWOPI);
  mousey -= mouseStep * sin(mouseorient * TWOPI);
  // The cat moves whether or not it is switched on; it is only invisible.
  double catStep = dt * catSpeed * catSpeedScale / 4.0;
  catX += catStep * cos(catOrient * TWOPI);
  catY -= catStep * sin(catOrient * TWOPI);
}

// Swings the camera towards the mouse's heading through the smaller angle.
// The gap is truncated to whole degrees, so the camera may come to rest up
// to a degree short of the heading. Kept so: the swing is part of how the
// chase view plays and looks, and rounding would move every view after a turn.
static void TurnCamera(double dt) {
  if (viewOrient == mouseorient) return;
  int gap = abs(static_cast<int>(viewOrient - mouseorient));
  double reach = dt * kCameraRate;
  double turn = gap < reach ? gap : reach;
  BOOL up = (viewOrient > mouseorient && gap >= 180) || (viewOrient < mouseorient && gap < 180);
  viewOrient += up ? turn : -turn;
  if (viewOrient > 360) viewOrient -= 360;
  if (viewOrient < 0) viewOrient += 360;
}

// ---- What the probes find ----

// Checks the mouse's probe cell against the ring, obstacles and the cat;
// returns whether the mouse died.
static BOOL HitMaze(const int m[2]) {
  BOOL died = FALSE;
  if (collisionDetection) {
    if (!InsideRing(m) || CellAt(m) == CELL_OBSTACLE) {
      died = TRUE;
      PlayCue(crash_id);
    }
    if (EatMouse() && CAT_EXISTS) {
      PlayCue(catmeow_id);
      died = TRUE;
    }
  } else if (!InsideRing(m)) {
    // Invincible: the ring turns the mouse back; obstacles and the cat can't hurt it.
    mouseorient -= 180;
    if (mouseorient < 0) mouseorient += 360;
    PlayCue(boing_id);
  }
  return died;
}

// Moves the cheese at cell from to a random empty cell; returns 0, leaving it
// where it is, when the level has no free cell.
static BOOL MoveCheese(const int from[2]) {
  auto &grid = CurrentGrid();
  int x, y;
  if (!RandomEmptyCell(grid, &x, &y)) return FALSE;
  grid[x][y] = CELL_CHEESE;
  grid[from[0]][from[1]] = CELL_EMPTY;
  cheeseX = x;
  cheeseY = y;
  return TRUE;
}

// The cat against its probe cell; returns whether it bounced.
static BOOL ApplyCatProbe(const int c[2]) {
  BOOL bounced = FALSE;
  if (!InsideRing(c) || CellAt(c) == CELL_OBSTACLE) {
    catOrient += (rand() % 45) - 180;
    if (catOrient < 0) catOrient += 360;
    bounced = TRUE;
  }
  // The cat moves the cheese it touched. Should that be a second cheese from
  // the level file rather than the one at (cheeseX, cheeseY), clearing the
  // latter instead would leave the touched one under the cat, to be taken
  // again on every step while it stays there.
  if (CellAt(c) == CELL_CHEESE && MoveCheese(c)) catSpeed += 2.0;
  if (CellAt(c) == CELL_BONUS) {
    CurrentGrid()[c[0]][c[1]] = CELL_EMPTY;
    catSpeed += 1.0;
    bonusOn = 0;
  }
  return bounced;
}

static void EatBonus(const int m[2]) {
  if (CellAt(m) != CELL_BONUS) return;
  CurrentGrid()[m[0]][m[1]] = CELL_EMPTY;
  // invinceInterval runs on: a second fruit does not lengthen the period.
  collisionDetection = 0;
  bonusOn = 0;
  PlayCue(bonus_id);
}

static void FinishLevel(struct timeval now) {
  PlayCue(levelpassed_id);
  // A fruit left out would time out later into another level's grid.
  RemoveBonus();
  // At or past the last level: an empty level past the set can never be
  // finished, but winning there keeps levelNum inside the set regardless.
  if (levelNum >= numLevels - 1) {
    EndGameRecord();
    InstallScreen(&winScreen);
    time_of_death = now;
  } else {
    change_level = 1;
    time_of_death = now;
    ChangeMusic();
    animate = 0;
  }
  cheeseEaten = 0;
  mousespeedinit += kLevelSpeedUp;
  mousespeed = mousespeedinit;
  catSpeedInit += kLevelSpeedUp;
  catSpeed = catSpeedInit;
}

// Returns whether the mouse ate a cheese, which ends the examination.
static BOOL EatCheese(const int m[2], struct timeval now) {
  if (CellAt(m) != CELL_CHEESE) return FALSE;
  score += cheeseScore;
  cheeseScore += kCheeseScoreStep;
  // The level's last cheese has no successor; nor has one eaten on a level
  // without a free cell.
  if (cheeseEaten + 1 != initNumCheese) MoveCheese(m);
  CurrentGrid()[m[0]][m[1]] = CELL_EMPTY;
  mousespeed += 1.0;
  cheeseEaten += 1;
  if (cheeseEaten < initNumCheese) PlayCue(eaten_id);
  // Equality, not at-least: a cheese setting lowered below the count eaten
  // leaves the level unfinishable until a restart.
  if (cheeseEaten == initNumCheese) FinishLevel(now);
  return TRUE;
}

// Examines probe points 0, 1, 2 in order until one ends the examination;
// returns whether the mouse died.
static BOOL ExamineProbes(struct timeval now) {
  int m[2] = {0, 0}, c[2] = {0, 0};
  BOOL catBounced = FALSE;
  for (int i = 0; i < kNumCheck; i++) {
    CheckGridAt(m, i, mousex, mousey, mouseorient, mouseSize);
    // Once the cat bounced its probe cell stands still, so the same cell
    // turns it again at each remaining probe point of the step.
    if (!catBounced && CAT_EXISTS) CheckCatGridAt(c, i, catX, catY, catOrient, catSize);
    if (HitMaze(m)) return TRUE;
    if (CAT_EXISTS && ApplyCatProbe(c)) catBounced = TRUE;
    EatBonus(m);
    if (EatCheese(m, now)) break;
  }
  return FALSE;
}

// ---- Random turn and lost lives ----

static void TurnCatAtRandom(void) {
  // Drawn on every step, so the random sequence does not depend on the flags.
  if (rand() % kRandomTurnOdds == 1 && CAT_EXISTS && animate) catOrient = rand() % 360;
}

static void LoseLife(struct timeval now) {
  if (livesLeft <= 0) {
    EndGameRecord();
    InstallScreen(&gameOverScreen);
    animate = 0;
  } else {
    livesLeft -= 1;
    time_of_death = now;
    // The interlude begins now, not at the next frame: a step that comes
    // first (a hidden window draws none) would find the mouse in what
    // killed it and take another life.
    animate = 0;
  }
}

void StepSimulation(struct timeval now) {
  KeepMusicGoing();
  double dt = SecondsSince(last_idle_time, now);
  cheeseRotation += dt * kSpinRate;
  CountPurr(dt);
  TimeBonus(dt);
  TimeInvincibility(dt);
  if (animate) {
    MoveAnimals(dt);
    TurnCamera(dt);
  }
  BOOL died = animate ? ExamineProbes(now) : FALSE;
  TurnCatAtRandom();
  if (died) LoseLife(now);
  last_idle_time = now;
  // Whole seconds: the microseconds are ignored.
  time_since_death = static_cast<float>(now.tv_sec - time_of_death.tv_sec);
}

void AnimateScene(void) {
  struct timeval now;
  gettimeofday(&now, nullptr);
  StepSimulation(now);
  RequestRedisplay();
}
