// The simulation step driven at chosen times on chosen level states, with a
// fixed random seed and no window: deaths and lives, invincibility, fruit,
// cheese and levels, the cat, the camera, and what runs while paused.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "common/gaudio.h"
#include "game/squeakling.h"
#include "tests/common/gaudio_testing.h"

namespace {

constexpr GLfloat kGreen[4] = {0.0f, 1.0f, 0.0f, 1.0f};   // mc0
constexpr GLfloat kGreen2[4] = {0.2f, 1.0f, 0.2f, 1.0f};  // mc2
constexpr GLfloat kGreen4[4] = {0.4f, 1.0f, 0.4f, 1.0f};  // mc4
constexpr GLfloat kGreen6[4] = {0.6f, 1.0f, 0.6f, 1.0f};  // mc6
constexpr GLfloat kGreen8[4] = {0.8f, 1.0f, 0.8f, 1.0f};  // mc8
constexpr GLfloat kWhite[4] = {1.0f, 1.0f, 1.0f, 1.0f};

constexpr unsigned kSeed = 12345;

bool SameColor(const GLfloat *a, const GLfloat *b) {
  for (int k = 0; k < 4; k++)
    if (a[k] != b[k]) return false;
  return true;
}

// Two walled levels, the mouse at rest in open floor facing +x, the cat at
// rest far away; running play with sound off.
class Simulation : public ::testing::Test {
 protected:
  // No sound device here and no ALSA output to fall back on, on any
  // machine: the mixer refuses every cue, as in a game whose device did not
  // open.
  static void SetUpTestSuite() {
    NoAlsaOutput noAlsa;
    ASSERT_LT(startAudio(&soundFX, "/nonexistent/dsp"), 0);
  }

  void SetUp() override {
    ClearLevels();
    for (int n = 0; n < 2; n++)
      for (int k = 0; k < kGridSize; k++)
        levels[n][0][k] = levels[n][kGridSize - 1][k] = levels[n][k][0] =
            levels[n][k][kGridSize - 1] = CELL_WALL;
    numLevels = 2;
    levelNum = 0;
    cheeseX = cheeseY = 1;

    mousex = 5.0, mousey = 15.0, mouseorient = 0, mouseSize = 1.0f;
    mousespeed = mousespeedinit = 10.0;
    catX = 20.0, catY = 20.0, catOrient = 90, catSize = 2.2f;
    catSpeed = catSpeedInit = 10.0;
    viewOrient = 0;
    cheeseEaten = 0, score = 0, cheeseScore = 1000;
    initLives = 3, livesLeft = 3, initNumCheese = 10;
    collisionDetection = 1, invinceInterval = 0, mouseColor = kWhite;
    bonusOn = 0, bonusX = bonusY = 0, bonusInterval = 0, bonusDur = 0;
    bonusSlope = -10.0, bonusFreq = 1.0;
    cheeseRotation = 0, purTime = 0, change_level = 0;

    speedScale = 0.0, catSpeedScale = 0.0;  // at rest unless a test moves them
    CAT_EXISTS = 1, SOUND_ON = 0, animate = 1, PAUSED = 0;
    now = {1000, 0};
    last_idle_time = now;
    time_of_death = {900, 0};
    InstallScreen(&playScreen);
    srand(kSeed);
  }

  // One step dt seconds after the previous one.
  void Step(double dt) {
    long usec = now.tv_usec + std::lround(dt * 1e6);
    now.tv_sec += usec / 1000000;
    now.tv_usec = usec % 1000000;
    StepSimulation(now);
  }

  int &Cell(int x, int y) { return levels[levelNum][x][y]; }

  // Moves the level's cheese to (x, y).
  void PutCheese(int x, int y) {
    if (Cell(cheeseX, cheeseY) == CELL_CHEESE) Cell(cheeseX, cheeseY) = CELL_EMPTY;
    Cell(x, y) = CELL_CHEESE;
    cheeseX = x;
    cheeseY = y;
  }

  int CountCells(int code) {
    int n = 0;
    for (auto &row : levels[levelNum])
      for (int c : row) n += c == code;
    return n;
  }

  // Fills every placeable cell (0 ... 27) with obstacles, leaving the mouse's
  // probe cell (6, 15) and the cat's surroundings as given.
  void FillLevel() {
    for (int x = 0; x < kPlaceRange; x++)
      for (int y = 0; y < kPlaceRange; y++)
        if (Cell(x, y) == CELL_EMPTY) Cell(x, y) = CELL_OBSTACLE;
  }

  struct timeval now;
};

// ---- Deaths and lives ----

TEST_F(Simulation, ObstacleAheadCostsALifeAndLeavesTheMouseWhereItDied) {
  Cell(6, 15) = CELL_OBSTACLE;
  Step(0.02);
  EXPECT_EQ(livesLeft, 2);
  EXPECT_EQ(time_of_death.tv_sec, now.tv_sec);
  EXPECT_EQ(time_of_death.tv_usec, now.tv_usec);
  EXPECT_DOUBLE_EQ(mousex, 5.0);
  EXPECT_EQ(currentScreen, &playScreen);

  // The interlude holds the mouse still from the step that lost the life:
  // a hidden window draws no frame, and steps without one (play resumed from
  // the pad) must not find the mouse in the obstacle again and again.
  EXPECT_EQ(animate, 0);
  for (int k = 0; k < 3; k++) Step(0.02);
  EXPECT_EQ(livesLeft, 2);
}

TEST_F(Simulation, TheOuterRingKillsWhateverItHolds) {
  mousex = 28.4;  // probes cell 29, which holds a wall code that is never tested
  Step(0.02);
  EXPECT_EQ(livesLeft, 2);
}

TEST_F(Simulation, AnInteriorWallCodeIsPassable) {
  Cell(6, 15) = CELL_WALL;
  Step(0.02);
  EXPECT_EQ(livesLeft, 3);
}

TEST_F(Simulation, FourthDeathWithThreeLivesEndsTheGame) {
  Cell(6, 15) = CELL_OBSTACLE;
  for (int lives = 3; lives > 0; lives--) {
    EXPECT_EQ(livesLeft, lives);
    animate = 1;  // the interlude would have resumed play
    Step(6.0);
    EXPECT_EQ(currentScreen, &playScreen);
  }
  EXPECT_EQ(livesLeft, 0);
  animate = 1;
  Step(6.0);
  EXPECT_EQ(currentScreen, &gameOverScreen);
  EXPECT_EQ(animate, 0);
  EXPECT_EQ(livesLeft, 0);
}

TEST_F(Simulation, TheCatCatchesTheMouse) {
  catX = 6.0;
  catY = 15.0;
  Step(0.02);
  EXPECT_EQ(livesLeft, 2);
}

TEST_F(Simulation, CrashAndCatchInOneStepCostOneLife) {
  Cell(6, 15) = CELL_OBSTACLE;
  catX = 6.0;
  catY = 15.0;
  Step(0.02);
  EXPECT_EQ(livesLeft, 2);
}

TEST_F(Simulation, DeathAtAnEarlyProbeStopsTheExamination) {
  // Heading 90 at (5, 5): probes 0 and 2 in (5, 4), probe 1 behind in (5, 6).
  mousex = mousey = 5.0;
  mouseorient = 90;
  Cell(5, 4) = CELL_OBSTACLE;
  PutCheese(5, 6);
  Step(0.02);
  EXPECT_EQ(livesLeft, 2);
  EXPECT_EQ(Cell(5, 6), CELL_CHEESE);
  EXPECT_EQ(score, 0);
}

TEST_F(Simulation, CheeseAtAnEarlyProbeStopsTheExamination) {
  mousex = mousey = 5.0;
  mouseorient = 90;
  PutCheese(5, 4);
  Cell(5, 6) = CELL_OBSTACLE;
  Step(0.02);
  EXPECT_EQ(livesLeft, 3);
  EXPECT_EQ(score, 1000);
}

// ---- Invincibility ----

TEST_F(Simulation, EatingAFruitMakesTheMouseInvincible) {
  PlaceBonus();
  int x = bonusX, y = bonusY;
  EXPECT_EQ(Cell(x, y), CELL_BONUS);
  Cell(x, y) = CELL_EMPTY;
  Cell(6, 15) = CELL_BONUS;
  bonusX = 6, bonusY = 15;
  Step(0.02);
  EXPECT_EQ(collisionDetection, 0);
  EXPECT_EQ(bonusOn, 0);
  EXPECT_EQ(Cell(6, 15), CELL_EMPTY);
}

TEST_F(Simulation, ASecondFruitDoesNotLengthenInvincibility) {
  collisionDetection = 0;
  invinceInterval = 7.5;
  Cell(6, 15) = CELL_BONUS;
  bonusOn = 1, bonusX = 6, bonusY = 15;
  Step(0.5);
  EXPECT_DOUBLE_EQ(invinceInterval, 8.0);
  EXPECT_EQ(Cell(6, 15), CELL_EMPTY);
}

TEST_F(Simulation, InvincibleMouseIgnoresObstaclesAndTheCat) {
  collisionDetection = 0;
  Cell(6, 15) = CELL_OBSTACLE;
  catX = 5.5;
  catY = 15.0;
  Step(0.02);
  EXPECT_EQ(livesLeft, 3);
}

TEST_F(Simulation, InvincibleMouseTurnsBackAtTheRing) {
  collisionDetection = 0;
  mousex = 28.4;
  Step(0.02);
  EXPECT_EQ(livesLeft, 3);
  EXPECT_EQ(mouseorient, 180);
  mouseorient = 90;
  mousex = 10.0;
  mousey = 0.9;  // probes 0 and 2 fall in row y = 0
  Step(0.02);
  EXPECT_EQ(mouseorient, 270);
}

TEST_F(Simulation, InvincibilityColoursFollowWholeSeconds) {
  collisionDetection = 0;
  const GLfloat *expected[] = {kGreen,  kGreen,  kGreen,  kGreen,  kGreen, kGreen,
                               kGreen2, kGreen4, kGreen6, kGreen8, kWhite};
  for (int half = 1; half <= 20; half++) {
    Step(0.5);
    ASSERT_EQ(collisionDetection, 0) << "at " << half * 0.5 << " s";
    EXPECT_TRUE(SameColor(mouseColor, expected[half / 2])) << "at " << half * 0.5 << " s";
  }
  Step(0.5);  // 10.5 s: over
  EXPECT_EQ(collisionDetection, 1);
  EXPECT_DOUBLE_EQ(invinceInterval, 0.0);
  EXPECT_TRUE(SameColor(mouseColor, kWhite));
}

TEST_F(Simulation, InvincibilityPausesWithThePlay) {
  collisionDetection = 0;
  invinceInterval = 3.0;
  animate = 0;
  Step(30.0);
  EXPECT_EQ(collisionDetection, 0);
  EXPECT_DOUBLE_EQ(invinceInterval, 3.0);
}

TEST_F(Simulation, ALongStepPastTheTenthSecondKeepsTheLastGreen) {
  collisionDetection = 0;
  invinceInterval = 9.5;
  Step(0.2);
  EXPECT_TRUE(SameColor(mouseColor, kGreen8));
  Step(1.5);  // 11.2 s
  EXPECT_EQ(collisionDetection, 1);
  EXPECT_TRUE(SameColor(mouseColor, kGreen8));
  Step(5.0);  // no longer invincible: the colour is left as it is
  EXPECT_TRUE(SameColor(mouseColor, kGreen8));
}

TEST_F(Simulation, AHugeStepEndsInvincibilityWithoutOverflow) {
  collisionDetection = 0;
  animate = 0;  // so nothing moves by the huge step
  invinceInterval = 1e12;
  Step(0.1);
  EXPECT_EQ(collisionDetection, 1);
}

// ---- Fruit ----

TEST_F(Simulation, FirstFruitComesJustAfterTwentyFiveSecondsOfRunningPlay) {
  for (int k = 0; k < 40; k++) Step(0.5);  // 20 s of play
  animate = 0;
  Step(100.0);  // a pause does not count
  animate = 1;
  for (int k = 0; k < 10; k++) Step(0.5);  // 25 s in all
  EXPECT_EQ(bonusOn, 0);
  Step(0.01);
  ASSERT_EQ(bonusOn, 1);
  EXPECT_EQ(Cell(bonusX, bonusY), CELL_BONUS);
  EXPECT_LT(bonusX, kPlaceRange);
  EXPECT_LT(bonusY, kPlaceRange);
  EXPECT_EQ(CountCells(CELL_BONUS), 1);
  EXPECT_DOUBLE_EQ(bonusInterval, 0.0);
}

TEST_F(Simulation, FruitSpacingFollowsTheBonusSetting) {
  bonusFreq = 2.0;  // 35 - 20 = 15 s
  Step(15.0);
  EXPECT_EQ(bonusOn, 0);
  Step(0.01);
  EXPECT_EQ(bonusOn, 1);
}

TEST_F(Simulation, FruitLastsShorterAtTheSecondLevelsSpeed) {
  mousespeedinit = 15.0;  // 200 / 15 = 13.33 s
  PlaceBonus();
  int x = bonusX, y = bonusY;
  Step(13.3);
  EXPECT_EQ(bonusOn, 1);
  Step(0.04);
  EXPECT_EQ(bonusOn, 0);
  EXPECT_EQ(Cell(x, y), CELL_EMPTY);
  EXPECT_DOUBLE_EQ(bonusDur, 0.0);
  EXPECT_DOUBLE_EQ(bonusInterval, 0.0);
}

TEST_F(Simulation, FruitTimeoutIsCheckedWhilePaused) {
  PlaceBonus();
  bonusDur = 25.0;
  animate = 0;
  Step(0.1);
  EXPECT_EQ(bonusOn, 0);
  EXPECT_EQ(CountCells(CELL_BONUS), 0);
}

TEST_F(Simulation, PlaceBonusTakesCellZeroZeroOnlyWhenItIsFree) {
  PlaceBonus();
  EXPECT_TRUE(bonusX != 0 || bonusY != 0);  // (0, 0) is part of the ring here
  Cell(bonusX, bonusY) = CELL_EMPTY;
  Cell(0, 0) = CELL_EMPTY;
  PlaceBonus();
  EXPECT_EQ(bonusX, 0);
  EXPECT_EQ(bonusY, 0);
}

TEST_F(Simulation, PlaceBonusOnAFullLevelPlacesNothing) {
  FillLevel();
  PlaceBonus();
  EXPECT_EQ(bonusOn, 0);
  EXPECT_EQ(CountCells(CELL_BONUS), 0);
}

TEST_F(Simulation, TheCatTakesAFruit) {
  catX = catY = 5.0;
  catOrient = 0;
  Cell(6, 5) = CELL_BONUS;
  bonusOn = 1, bonusX = 6, bonusY = 5;
  Step(0.02);
  EXPECT_EQ(bonusOn, 0);
  EXPECT_EQ(Cell(6, 5), CELL_EMPTY);
  EXPECT_DOUBLE_EQ(catSpeed, 11.0);
  EXPECT_EQ(collisionDetection, 1);
}

// ---- Cheese and levels ----

TEST_F(Simulation, EatingCheeseScoresMovesItAndSpeedsTheMouseUp) {
  PutCheese(6, 15);
  Step(0.02);
  EXPECT_EQ(score, 1000);
  EXPECT_EQ(cheeseScore, 1100);
  EXPECT_EQ(cheeseEaten, 1);
  EXPECT_DOUBLE_EQ(mousespeed, 11.0);
  EXPECT_EQ(Cell(6, 15), CELL_EMPTY);
  EXPECT_EQ(Cell(cheeseX, cheeseY), CELL_CHEESE);
  EXPECT_EQ(CountCells(CELL_CHEESE), 1);
  EXPECT_LT(cheeseX, kPlaceRange);
  EXPECT_LT(cheeseY, kPlaceRange);
}

TEST_F(Simulation, CheeseScoreGrowsAcrossCheesesLevelsAndRestarts) {
  for (int k = 0; k < 10; k++) {
    int before = score;
    PutCheese(6, 15);
    Step(0.02);
    EXPECT_EQ(score - before, 1000 + 100 * k) << "cheese " << k + 1;
  }
  EXPECT_EQ(score, 14500);
  EXPECT_EQ(change_level, 1);
  EXPECT_EQ(cheeseEaten, 0);

  DoRestart(TRUE);
  EXPECT_EQ(score, 0);
  mousex = 5.0, mousey = 15.0, mouseorient = 0;
  animate = 1;
  PutCheese(6, 15);
  Step(0.02);
  EXPECT_EQ(score, 2000);
}

TEST_F(Simulation, FinishingALevelStartsTheNextOnesInterlude) {
  cheeseEaten = 9;
  mousespeed = 19.0;
  catSpeed = 14.0;
  PutCheese(6, 15);
  Step(0.02);
  EXPECT_EQ(change_level, 1);
  EXPECT_EQ(animate, 0);
  EXPECT_EQ(time_of_death.tv_sec, now.tv_sec);
  EXPECT_EQ(cheeseEaten, 0);
  EXPECT_EQ(CountCells(CELL_CHEESE), 0);  // the interlude puts one back
  EXPECT_DOUBLE_EQ(mousespeedinit, 15.0);
  EXPECT_DOUBLE_EQ(mousespeed, 15.0);
  EXPECT_DOUBLE_EQ(catSpeedInit, 15.0);
  EXPECT_DOUBLE_EQ(catSpeed, 15.0);
  EXPECT_EQ(currentScreen, &playScreen);
  EXPECT_EQ(levelNum, 0);  // advanced by the interlude, not here
}

TEST_F(Simulation, FinishingTheLastLevelWins) {
  levelNum = 1;
  cheeseEaten = 9;
  PutCheese(6, 15);
  Step(0.02);
  EXPECT_EQ(currentScreen, &winScreen);
  EXPECT_EQ(time_of_death.tv_sec, now.tv_sec);
  EXPECT_EQ(change_level, 0);
  EXPECT_EQ(cheeseEaten, 0);
  EXPECT_DOUBLE_EQ(mousespeedinit, 15.0);
}

// A level's last cheese goes without a successor. The interlude puts one
// back into a finished level, but no interlude follows a win, and a restart
// made before the interlude's reset drops the advance that would. A new game
// finds a cheese on every level all the same: a level without one could
// never be finished.
TEST_F(Simulation, EveryLevelHoldsACheeseWhenANewGameBegins) {
  const auto cheeseIn = [](int level) {
    int n = 0;
    for (int x = 0; x < kPlaceRange; x++)
      for (int y = 0; y < kPlaceRange; y++) n += levels[level][x][y] == CELL_CHEESE;
    return n;
  };
  levelNum = 1;
  cheeseEaten = 9;
  PutCheese(6, 15);
  Step(0.02);
  ASSERT_EQ(currentScreen, &winScreen);
  ASSERT_EQ(cheeseIn(1), 0);
  DoRestart(TRUE);
  EXPECT_EQ(cheeseIn(1), 1) << "the level won on";

  for (auto &row : levels[0])
    for (int &cell : row)
      if (cell == CELL_CHEESE) cell = CELL_EMPTY;
  mousex = 5.0, mousey = 15.0, mouseorient = 0;
  animate = 1;
  cheeseEaten = 9;
  PutCheese(6, 15);
  Step(0.02);
  ASSERT_EQ(change_level, 1);
  ASSERT_EQ(cheeseIn(0), 0);
  DoRestart(TRUE);
  EXPECT_EQ(cheeseIn(0), 1) << "the level finished just before the restart";
  EXPECT_EQ(cheeseIn(1), 1);
}

TEST_F(Simulation, AFruitStillOutIsRemovedWhenTheLevelIsFinished) {
  PlaceBonus();
  int x = bonusX, y = bonusY;
  bonusDur = 3.0;
  cheeseEaten = 9;
  PutCheese(6, 15);
  Step(0.02);
  EXPECT_EQ(bonusOn, 0);
  EXPECT_EQ(levels[0][x][y], CELL_EMPTY);
  EXPECT_DOUBLE_EQ(bonusDur, 0.0);
  EXPECT_DOUBLE_EQ(bonusInterval, 0.0);
}

TEST_F(Simulation, ACheeseSettingBelowTheCountEatenNeverFinishesTheLevel) {
  cheeseEaten = 5;
  initNumCheese = 3;
  PutCheese(6, 15);
  Step(0.02);
  EXPECT_EQ(cheeseEaten, 6);
  EXPECT_EQ(change_level, 0);
  EXPECT_EQ(animate, 1);
  EXPECT_EQ(CountCells(CELL_CHEESE), 1);
}

TEST_F(Simulation, EatingCheeseOnAFullLevelDoesNotHang) {
  PutCheese(6, 15);
  FillLevel();
  Step(0.02);
  EXPECT_EQ(cheeseEaten, 1);
  EXPECT_EQ(Cell(6, 15), CELL_EMPTY);
  EXPECT_EQ(CountCells(CELL_CHEESE), 0);
}

TEST_F(Simulation, TheCatMovesTheCheeseWithoutItCountingAsEaten) {
  catX = catY = 5.0;
  catOrient = 0;
  PutCheese(6, 5);
  Step(0.02);
  EXPECT_DOUBLE_EQ(catSpeed, 12.0);
  EXPECT_EQ(Cell(6, 5), CELL_EMPTY);
  EXPECT_EQ(Cell(cheeseX, cheeseY), CELL_CHEESE);
  EXPECT_EQ(CountCells(CELL_CHEESE), 1);
  EXPECT_EQ(cheeseEaten, 0);
  EXPECT_EQ(score, 0);
}

TEST_F(Simulation, TheCatMovesTheCheeseItTouchedNotAnother) {
  // A level file may hold a second cheese; the one the cat touches moves, so
  // the cat cannot take it again on every step.
  catX = catY = 5.0;
  catOrient = 0;
  PutCheese(20, 20);
  Cell(6, 5) = CELL_CHEESE;
  Step(0.02);
  Step(0.02);
  EXPECT_EQ(Cell(6, 5), CELL_EMPTY);
  EXPECT_EQ(Cell(20, 20), CELL_CHEESE);
  EXPECT_EQ(CountCells(CELL_CHEESE), 2);
  EXPECT_DOUBLE_EQ(catSpeed, 12.0);
}

// ---- The cat ----

// The cat's heading after n bounce turns and the step's random-turn draw,
// from the seeded sequence.
int HeadingAfterTurns(int heading, int turns) {
  srand(kSeed);
  for (int k = 0; k < turns; k++) {
    heading += rand() % 45 - 180;
    if (heading < 0) heading += 360;
  }
  if (rand() % 100 == 1) heading = rand() % 360;
  return heading;
}

TEST_F(Simulation, ABounceAtTheFirstProbeTurnsTheCatThreeTimes) {
  catX = catY = 5.0;
  catOrient = 0;
  Cell(7, 6) = CELL_OBSTACLE;  // probe 0 only
  Step(0.02);
  EXPECT_EQ(catOrient, HeadingAfterTurns(0, 3));
}

TEST_F(Simulation, ABounceAtTheMiddleProbeTurnsTheCatTwice) {
  catX = catY = 5.0;
  catOrient = 0;
  Cell(6, 5) = CELL_OBSTACLE;  // probe 1 only
  Step(0.02);
  EXPECT_EQ(catOrient, HeadingAfterTurns(0, 2));
}

TEST_F(Simulation, ACatOutsideTheGridTurnsOnEveryStep) {
  catX = catY = 40.0;
  for (int k = 0; k < 5; k++) {
    int before = catOrient;
    srand(kSeed + k);
    Step(0.02);
    EXPECT_NE(catOrient, before) << "step " << k;
    EXPECT_GE(catOrient, 0);
    EXPECT_LT(catOrient, 360);
  }
}

TEST_F(Simulation, TheCatTurnsAtRandomOnlyWhileItExistsAndPlayRuns) {
  int start = catOrient;
  animate = 0;
  for (int k = 0; k < 2000; k++) Step(0.001);
  EXPECT_EQ(catOrient, start);
  animate = 1;
  CAT_EXISTS = 0;
  for (int k = 0; k < 2000; k++) Step(0.001);
  EXPECT_EQ(catOrient, start);
  CAT_EXISTS = 1;
  for (int k = 0; k < 2000; k++) Step(0.001);
  EXPECT_NE(catOrient, start);
}

TEST_F(Simulation, WithTheCatOffItCannotCatchPurrOrBounceButStillMoves) {
  CAT_EXISTS = 0;
  catX = 5.5;
  catY = 15.0;
  catOrient = 0;
  catSpeedScale = 1.0;  // 2.5 cells per second
  Cell(7, 15) = CELL_OBSTACLE;
  Step(0.4);
  EXPECT_EQ(livesLeft, 3);
  EXPECT_NEAR(catX, 6.5, 1e-9);
  EXPECT_EQ(catOrient, 0);
  Step(10.0);
  EXPECT_NEAR(purTime, 10.4, 1e-9);
}

TEST_F(Simulation, ThePurrIntervalRestartsEveryTenSeconds) {
  Step(9.9);
  EXPECT_NEAR(purTime, 9.9, 1e-9);
  Step(0.2);
  EXPECT_DOUBLE_EQ(purTime, 0.0);
}

// ---- Motion and the camera ----

TEST_F(Simulation, MotionIsProportionalToTime) {
  speedScale = 1.0, catSpeedScale = 2.0;
  catOrient = 90;
  Step(0.2);
  EXPECT_NEAR(mousex, 5.5, 1e-9);
  EXPECT_NEAR(mousey, 15.0, 1e-9);
  EXPECT_NEAR(catX, 20.0, 1e-6);
  EXPECT_NEAR(catY, 19.0, 1e-9);
}

TEST_F(Simulation, HeadingThreeSixtyMovesAsZero) {
  speedScale = 1.0;
  mouseorient = 360;
  viewOrient = 360;
  Step(0.2);
  EXPECT_NEAR(mousex, 5.5, 1e-6);
  EXPECT_NEAR(mousey, 15.0, 1e-6);
  EXPECT_EQ(livesLeft, 3);
}

TEST_F(Simulation, ALargeStepCarriesTheMousePastAnObstacle) {
  speedScale = 1.0;
  Cell(6, 15) = CELL_OBSTACLE;
  Cell(7, 15) = CELL_OBSTACLE;
  Step(1.2);  // three cells at once
  EXPECT_NEAR(mousex, 8.0, 1e-9);
  EXPECT_EQ(livesLeft, 3);
}

TEST_F(Simulation, TheCameraChasesAtOneHundredFiftyDegreesPerSecond) {
  mouseorient = 90;
  Step(0.2);
  EXPECT_NEAR(viewOrient, 30.0, 1e-9);
  Step(0.5);
  EXPECT_DOUBLE_EQ(viewOrient, 90.0);
}

TEST_F(Simulation, TheCameraTurnsThroughTheSmallerAngle) {
  viewOrient = 10;
  mouseorient = 350;
  Step(0.1);
  EXPECT_NEAR(viewOrient, 355.0, 1e-9);
  viewOrient = 350;
  mouseorient = 10;
  Step(0.1);
  EXPECT_NEAR(viewOrient, 5.0, 1e-9);
}

TEST_F(Simulation, TheCameraComesToRestWithinADegree) {
  mouseorient = 45;
  viewOrient = 44.5;
  Step(0.1);
  EXPECT_DOUBLE_EQ(viewOrient, 44.5);
}

// ---- Paused and in interludes ----

TEST_F(Simulation, WhilePausedTimeIsKeptButNothingMoves) {
  speedScale = 1.0, catSpeedScale = 1.0;
  Cell(6, 15) = CELL_OBSTACLE;
  animate = 0;
  mouseorient = 90;
  Step(2.5);
  EXPECT_DOUBLE_EQ(mousex, 5.0);
  EXPECT_DOUBLE_EQ(catY, 20.0);
  EXPECT_DOUBLE_EQ(viewOrient, 0.0);
  EXPECT_EQ(livesLeft, 3);
  EXPECT_NEAR(cheeseRotation, 250.0, 1e-9);
  EXPECT_NEAR(purTime, 2.5, 1e-9);
  EXPECT_DOUBLE_EQ(bonusInterval, 0.0);
  EXPECT_EQ(last_idle_time.tv_sec, now.tv_sec);
  EXPECT_EQ(last_idle_time.tv_usec, now.tv_usec);
}

TEST_F(Simulation, TimeSinceDeathCountsWholeSeconds) {
  time_of_death = {1000, 900000};
  Step(3.95);  // 1003.95
  EXPECT_FLOAT_EQ(time_since_death, 3.0f);
}

TEST_F(Simulation, MusicUpkeepMovesOnWhenNoTrackPlays) {
  SOUND_ON = 1;
  backmusic = 0;
  Step(0.02);
  EXPECT_EQ(backmusic, 1);
  SOUND_ON = 0;
  Step(0.02);
  EXPECT_EQ(backmusic, 1);
}

}  // namespace
