// The play keys, the title-bar clicks, the load prompt and restart, and the
// play frame's interlude, driven without a window: screens are checked
// through the screen last installed.
#include <GL/glut.h>
#include <gtest/gtest.h>

#include <unistd.h>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <iterator>
#include <string>

#include "common/drawing.h"
#include "game/scoreboard.h"
#include "game/squeakling.h"

namespace {

class Flow : public ::testing::Test {
 protected:
  void SetUp() override {
    srand(99);
    InitSettings();
    ClearLevels();
    levelNum = 0;
    numLevels = 1;
    animate = 1;
    PAUSED = 0;
    time_since_death = 10;
    mouseorient = 0;
    mousex = mousey = 10;
    currentScreen = nullptr;
    fileTextIndex = 0;
    fileText[0] = '\0';
  }
  void Keys(const char *keys) {
    for (const char *k = keys; *k; k++) Keyboard(static_cast<unsigned char>(*k), 0, 0);
  }
};

TEST_F(Flow, TurnsKeepTheHeadingInZeroTo360) {
  struct Case {
    int from;
    char key;
    int to;
  };
  const Case cases[] = {{315, 'l', 360}, {0, 'j', 315},  {180, 'k', 360}, {355, 'o', 5},
                        {5, 'u', 355},   {360, 'l', 45}, {200, 'k', 20},  {0, 'u', 350}};
  for (const Case &c : cases) {
    mouseorient = c.from;
    Keyboard(c.key, 0, 0);
    EXPECT_EQ(mouseorient, c.to) << c.from << " " << c.key;
  }
}

TEST_F(Flow, ArrowsSteerAsTheirLettersUnderTheSameRules) {
  struct Pair {
    int arrow;
    char key;
  };
  const Pair pairs[] = {
      {GLUT_KEY_LEFT, 'j'}, {GLUT_KEY_RIGHT, 'l'}, {GLUT_KEY_UP, 'i'}, {GLUT_KEY_DOWN, 'k'}};
  for (const Pair &p : pairs)
    for (int from : {0, 45, 200, 315, 360}) {
      mouseorient = from, mousex = mousey = 10;
      Keyboard(static_cast<unsigned char>(p.key), 0, 0);
      const int heading = mouseorient;
      const double x = mousex, y = mousey;
      mouseorient = from, mousex = mousey = 10;
      SpecialKeys(p.arrow, 0, 0);
      EXPECT_EQ(mouseorient, heading) << p.key << " from " << from;
      EXPECT_DOUBLE_EQ(mousex, x) << p.key << " from " << from;
      EXPECT_DOUBLE_EQ(mousey, y) << p.key << " from " << from;
    }
  SpecialKeys(GLUT_KEY_PAGE_UP, 0, 0);
  SpecialKeys(GLUT_KEY_F1, 0, 0);
  EXPECT_EQ(mouseorient, 180);  // the last turn around, from 360

  // Paused, or in an interlude: the arrows are ignored like the letters.
  mouseorient = 90, mousex = mousey = 10;
  Keys(" ");
  ASSERT_EQ(PAUSED, 1);
  for (const Pair &p : pairs) SpecialKeys(p.arrow, 0, 0);
  Keys(" ");
  animate = 0;  // what the interlude's frames keep
  for (const Pair &p : pairs) SpecialKeys(p.arrow, 0, 0);
  EXPECT_EQ(mouseorient, 90);
  EXPECT_DOUBLE_EQ(mousex, 10);
  EXPECT_DOUBLE_EQ(mousey, 10);
}

TEST_F(Flow, StepsMoveAlongTheHeadingAtOnce) {
  mouseorient = 90;
  Keys("i");
  EXPECT_NEAR(mousex, 10.0, 1e-6);
  EXPECT_NEAR(mousey, 9.0, 1e-6);
  mouseorient = 0;
  Keys("m");
  EXPECT_NEAR(mousex, 9.0, 1e-6);
  EXPECT_NEAR(mousey, 9.0, 1e-6);
}

TEST_F(Flow, ViewKeysAndCaseSensitivity) {
  Keys("3");
  EXPECT_EQ(viewPoint, 2);
  Keys("1");
  EXPECT_EQ(viewPoint, 0);
  Keys("2");
  EXPECT_EQ(viewPoint, 1);
  Keys("LJKIM");
  EXPECT_EQ(mouseorient, 0);
  EXPECT_DOUBLE_EQ(mousex, 10.0);
}

TEST_F(Flow, MenuKeysToggleSettings) {
  Keys("q");
  EXPECT_EQ(g_bLightingEnabled, 0);
  Keys("e");
  EXPECT_EQ(g_bTexture, 0);
  Keys("w");
  EXPECT_EQ(g_bFillPolygons, 0);
  Keys("qew");
  EXPECT_EQ(g_bLightingEnabled, 1);
  EXPECT_EQ(g_bTexture, 1);
  EXPECT_EQ(g_bFillPolygons, 1);
}

TEST_F(Flow, SpacePausesOnlyAfterTheInterlude) {
  time_since_death = 5;
  Keys(" ");
  EXPECT_EQ(PAUSED, 0);
  time_since_death = 6;
  Keys(" ");
  EXPECT_EQ(PAUSED, 1);
  EXPECT_EQ(animate, 0);
  // Paused: every other key is ignored, Escape included.
  Keys("l3");
  Keyboard(27, 0, 0);
  EXPECT_EQ(mouseorient, 0);
  EXPECT_EQ(viewPoint, 1);
  Keys(" ");
  EXPECT_EQ(PAUSED, 0);
  EXPECT_EQ(animate, 1);
}

TEST_F(Flow, EscapeWhileRunningEndsWithStatusZero) {
  EXPECT_EXIT(Keyboard(27, 0, 0), ::testing::ExitedWithCode(0), "");
  EXPECT_EXIT(SelectFromMenu(MENU_EXIT), ::testing::ExitedWithCode(0), "");
}

TEST_F(Flow, TitleBarRegions) {
  MouseButton(GLUT_LEFT_BUTTON, GLUT_DOWN, 950, 51);
  EXPECT_EQ(currentScreen, nullptr);
  MouseButton(GLUT_MIDDLE_BUTTON, GLUT_DOWN, 950, 10);
  EXPECT_EQ(currentScreen, nullptr);
  MouseButton(GLUT_LEFT_BUTTON, GLUT_UP, 1051, 10);
  EXPECT_EQ(currentScreen, nullptr);

  MouseButton(GLUT_LEFT_BUTTON, GLUT_UP, 901, 0);
  EXPECT_EQ(currentScreen, &controlPanelScreen);
  EXPECT_EQ(PAUSED, 1);
  EXPECT_EQ(animate, 0);
  EXPECT_STREQ(text, "Please enter file to load: ");

  score = 500;
  MouseButton(GLUT_LEFT_BUTTON, GLUT_DOWN, 850, 50);
  EXPECT_EQ(currentScreen, &playScreen);
  EXPECT_EQ(score, 0);
  EXPECT_EQ(PAUSED, 0);

  EXPECT_EXIT(MouseButton(GLUT_LEFT_BUTTON, GLUT_DOWN, 701, 25), ::testing::ExitedWithCode(0), "");
  EXPECT_EXIT(MouseButton(GLUT_LEFT_BUTTON, GLUT_UP, 800, 0), ::testing::ExitedWithCode(0), "");
}

// A minimised or covered window during play pauses as the space key does,
// once, whatever else the window reports; the other screens are left alone.
TEST_F(Flow, AHiddenWindowPausesPlayAndSpaceResumes) {
  currentScreen = &playScreen;
  livesLeft = 2;
  WindowStatus(GLUT_FULLY_RETAINED);
  WindowStatus(GLUT_PARTIALLY_RETAINED);
  EXPECT_EQ(PAUSED, 0);
  EXPECT_EQ(animate, 1);
  WindowStatus(GLUT_HIDDEN);
  EXPECT_EQ(PAUSED, 1);
  EXPECT_EQ(animate, 0);
  WindowStatus(GLUT_FULLY_COVERED);  // a second report does not resume
  WindowStatus(GLUT_FULLY_RETAINED);
  EXPECT_EQ(PAUSED, 1);
  PlayFrame frame = AdvancePlayFrame();
  EXPECT_FALSE(frame.interlude);  // the scoreboard with its pause message
  EXPECT_EQ(animate, 0);
  EXPECT_EQ(livesLeft, 2);
  Keys(" ");
  EXPECT_EQ(PAUSED, 0);
  EXPECT_EQ(animate, 1);

  // Hidden in an interlude: play stays paused after it.
  time_since_death = 2;
  WindowStatus(GLUT_FULLY_COVERED);
  EXPECT_EQ(PAUSED, 1);
  time_since_death = 6;
  AdvancePlayFrame();
  EXPECT_EQ(animate, 0);
  Keys(" ");
  EXPECT_EQ(animate, 1);

  for (const Screen *screen : {&startScreen, &gameOverScreen, &winScreen}) {
    currentScreen = screen;
    WindowStatus(GLUT_HIDDEN);
    EXPECT_EQ(PAUSED, 0);
  }
}

TEST_F(Flow, RestartResetsTheGameButNotTheRunOrTheSettings) {
  levelNum = 1;
  livesLeft = 0;
  score = 4200;
  cheeseEaten = 7;
  cheeseScore = 2300;
  mousespeed = mousespeedinit = catSpeed = catSpeedInit = 25;
  collisionDetection = 0;
  invinceInterval = 4;
  mousexInit = 3;
  mouseyInit = 4;
  mouseorient = 135;
  viewOrient = 120;
  bonusOn = 1;
  bonusX = 6;
  bonusY = 7;
  levels[1][6][7] = CELL_BONUS;
  initLives = 5;
  speedScale = 2;
  PAUSED = 1;
  struct timeval before;
  gettimeofday(&before, nullptr);

  DoRestart(FALSE);

  EXPECT_EQ(currentScreen, nullptr);
  EXPECT_EQ(animate, 0);
  EXPECT_GE(time_of_death.tv_sec, before.tv_sec);
  EXPECT_EQ(levels[1][6][7], CELL_EMPTY);  // the fruit went from the level being played
  EXPECT_EQ(bonusOn, 0);
  EXPECT_EQ(levelNum, 0);
  EXPECT_EQ(livesLeft, 5);
  EXPECT_EQ(score, 0);
  EXPECT_EQ(cheeseEaten, 0);
  EXPECT_EQ(cheeseScore, 2300);
  EXPECT_DOUBLE_EQ(mousespeed, 10);
  EXPECT_DOUBLE_EQ(mousespeedinit, 10);
  EXPECT_DOUBLE_EQ(catSpeed, 10);
  EXPECT_DOUBLE_EQ(catSpeedInit, 10);
  EXPECT_EQ(collisionDetection, 0);
  EXPECT_DOUBLE_EQ(invinceInterval, 4);
  EXPECT_DOUBLE_EQ(mousex, 3);
  EXPECT_DOUBLE_EQ(mousey, 4);
  EXPECT_EQ(mouseorient, 0);
  EXPECT_DOUBLE_EQ(viewOrient, 0);
  EXPECT_DOUBLE_EQ(speedScale, 2);
  EXPECT_EQ(PAUSED, 0);
  int cats = 0;
  for (auto &row : levels[1])
    for (int cell : row) cats += cell == CELL_CAT_START;
  EXPECT_EQ(cats, 1);  // placed in the level being played before the reset

  DoRestart(TRUE);
  EXPECT_EQ(currentScreen, &playScreen);
}

// A set made in the editor, one start per level: the restart, the respawn
// after a lost life and the next level each put the mouse on the start of
// the level about to be played, and the restart's cat keeps away from it.
TEST_F(Flow, EveryLevelIsPlayedFromItsOwnStart) {
  char path[] = "/tmp/flowstartsXXXXXX";
  int fd = mkstemp(path);
  ASSERT_GE(fd, 0);
  std::string set;
  for (int n = 0; n < 2; n++) {
    for (int x = 0; x < kGridSize; x++) {
      std::string row(kGridSize, '0');
      if (n == 0 && x == 3) row[4] = '3';
      if (n == 1 && x == 20) row[22] = '3';
      set += row + "\n";
    }
    set += "endLevel\n";
  }
  ASSERT_EQ(write(fd, set.data(), set.size()), static_cast<ssize_t>(set.size()));
  close(fd);
  ASSERT_TRUE(LoadUserLevel(path));
  unlink(path);
  ASSERT_EQ(numLevels, 2);

  for (int i = 0; i < 50; i++) {
    for (auto &row : levels[0])
      for (int &cell : row)
        if (cell == CELL_CAT_START) cell = CELL_EMPTY;
    mousex = mousey = 15;
    mouseorient = 90;
    DoRestart(FALSE);
    ASSERT_EQ(levelNum, 0);
    ASSERT_DOUBLE_EQ(mousex, 3);
    ASSERT_DOUBLE_EQ(mousey, 4);
    EXPECT_EQ(mouseorient, 0);
    for (int x = 0; x < kGridSize; x++)
      for (int y = 0; y < kGridSize; y++) {
        if (levels[0][x][y] == CELL_CAT_START) {
          EXPECT_TRUE(abs(x - 3) > 9 || abs(y - 4) > 9) << x << "," << y;
        }
      }
  }

  struct Step {
    BOOL finished;
    int level;
    double x, y;
  };
  const Step steps[] = {{FALSE, 0, 3, 4},     // a lost life on level 1
                        {TRUE, 1, 20, 22},    // level 1 finished: level 2's start
                        {FALSE, 1, 20, 22}};  // a lost life on level 2
  for (const Step &step : steps) {
    mousex = mousey = 9;
    mouseorient = 90;
    viewOrient = 80;
    change_level = step.finished;
    ResetForInterlude();
    EXPECT_EQ(levelNum, step.level);
    EXPECT_DOUBLE_EQ(mousex, step.x);
    EXPECT_DOUBLE_EQ(mousey, step.y);
    EXPECT_EQ(mouseorient, 0);
    EXPECT_DOUBLE_EQ(viewOrient, 0);
  }

  DoRestart(FALSE);  // from level 2 back to level 1's start
  EXPECT_EQ(levelNum, 0);
  EXPECT_DOUBLE_EQ(mousex, 3);
  EXPECT_DOUBLE_EQ(mousey, 4);
}

TEST_F(Flow, LoadPromptTakesTheNameAndReportsTheResult) {
  char path[] = "/tmp/flowlevelsXXXXXX";
  int fd = mkstemp(path);
  ASSERT_GE(fd, 0);
  std::string level;
  for (int x = 0; x < kGridSize; x++) level += std::string(kGridSize, x == 5 ? '3' : '0') + "\n";
  level += "endLevel\n";
  ASSERT_EQ(write(fd, level.data(), level.size()), static_cast<ssize_t>(level.size()));
  close(fd);

  for (const char *k = path; *k; k++) KeyboardLoad(static_cast<unsigned char>(*k), 0, 0);
  EXPECT_STREQ(fileText, path);
  EXPECT_STREQ(text, "Please enter file to load: ");
  livesLeft = 0;
  KeyboardLoad('\r', 0, 0);
  EXPECT_STREQ(text, "Loaded Levelset: ");
  EXPECT_STREQ(fileText, path);  // kept for the result line
  EXPECT_EQ(fileTextIndex, 0);
  EXPECT_EQ(livesLeft, initLives);
  EXPECT_EQ(currentScreen, nullptr);  // a load restarts without leaving the panel
  EXPECT_EQ(levels[0][5][29], CELL_MOUSE_START);
  unlink(path);

  // Typing again starts a new name.
  KeyboardLoad('x', 0, 0);
  EXPECT_STREQ(fileText, "x");
  KeyboardLoad(' ', 0, 0);
  EXPECT_STREQ(text, "Unable to load levelset: ");
  EXPECT_EQ(levels[0][5][29], CELL_MOUSE_START);  // the failed load left the set alone
}

TEST_F(Flow, BackspaceAndDeleteMendTheNameAtTheLoadPrompt) {
  char path[] = "/tmp/flowmendXXXXXX";
  int fd = mkstemp(path);
  ASSERT_GE(fd, 0);
  std::string level;
  for (int x = 0; x < kGridSize; x++) level += std::string(kGridSize, x == 7 ? '3' : '0') + "\n";
  level += "endLevel\n";
  ASSERT_EQ(write(fd, level.data(), level.size()), static_cast<ssize_t>(level.size()));
  close(fd);

  // Two slips: one taken back with Backspace, one with Delete.
  const std::string name(path);
  auto type = [](const std::string &keys) {
    for (char k : keys) KeyboardLoad(static_cast<unsigned char>(k), 0, 0);
  };
  type(name.substr(0, 5) + "qq\b\x7f" + name.substr(5));
  EXPECT_EQ(std::string(fileText), name);
  EXPECT_EQ(fileTextIndex, static_cast<int>(name.size()));
  KeyboardLoad('\r', 0, 0);
  unlink(path);
  EXPECT_STREQ(text, "Loaded Levelset: ");
  EXPECT_EQ(levels[0][7][29], CELL_MOUSE_START);

  // After a submit the line shows the name tried: Backspace clears it, and
  // more of them than characters leave an empty name, nothing before it.
  KeyboardLoad(8, 0, 0);
  EXPECT_STREQ(fileText, "");
  EXPECT_STREQ(text, "Please enter file to load: ");
  type("ab\b\b\b\bc");
  EXPECT_STREQ(fileText, "c");
  EXPECT_EQ(fileTextIndex, 1);
}

TEST_F(Flow, LoadingWhileAFruitIsOutLeavesTheNewSetsCellsAlone) {
  char path[] = "/tmp/flowfruitXXXXXX";
  int fd = mkstemp(path);
  ASSERT_GE(fd, 0);
  std::string level;
  for (int x = 0; x < kGridSize; x++) {
    std::string row(kGridSize, '0');
    if (x == 6) row[7] = '2';  // an obstacle where the old fruit stood
    if (x == 3) row[3] = '3';
    level += row + "\n";
  }
  level += "endLevel\n";
  ASSERT_EQ(write(fd, level.data(), level.size()), static_cast<ssize_t>(level.size()));
  close(fd);

  // A fruit out on the third level of the old set.
  levelNum = 2;
  levels[2][6][7] = CELL_BONUS;
  bonusOn = 1;
  bonusX = 6;
  bonusY = 7;
  for (const char *k = path; *k; k++) KeyboardLoad(static_cast<unsigned char>(*k), 0, 0);
  KeyboardLoad('\r', 0, 0);
  unlink(path);
  ASSERT_STREQ(text, "Loaded Levelset: ");
  EXPECT_EQ(bonusOn, 0);
  EXPECT_EQ(levels[0][6][7], CELL_OBSTACLE);
}

TEST_F(Flow, LoadPromptStopsAtNinetyNineCharacters) {
  for (int i = 0; i < 150; i++) KeyboardLoad('a', 0, 0);
  EXPECT_EQ(fileTextIndex, kTextSize - 1);
  EXPECT_EQ(strlen(fileText), static_cast<size_t>(kTextSize - 1));
  KeyboardLoad('\t', 0, 0);
  EXPECT_STREQ(text, "Unable to load levelset: ");
}

TEST_F(Flow, EndScreenButtonsUseTheFirstWindowHeight) {
  imageWidth[kImageBRestart] = 150;
  imageHeight[kImageBRestart] = 50;
  imageWidth[kImageBQuit] = 150;
  imageHeight[kImageBQuit] = 50;
  score = 10;
  MouseDeath(GLUT_LEFT_BUTTON, GLUT_DOWN, 449, 75);
  EXPECT_EQ(currentScreen, nullptr);
  MouseDeath(GLUT_RIGHT_BUTTON, GLUT_UP, 600, 50);  // y' = 550: any button
  EXPECT_EQ(currentScreen, &playScreen);
  EXPECT_EQ(score, 0);
  currentScreen = nullptr;
  MouseDeath(GLUT_LEFT_BUTTON, GLUT_DOWN, 500, 101);  // y' = 499
  EXPECT_EQ(currentScreen, nullptr);
  EXPECT_EXIT(MouseDeath(GLUT_LEFT_BUTTON, GLUT_DOWN, 650, 100), ::testing::ExitedWithCode(0), "");
  EXPECT_EXIT(MouseDeath(GLUT_LEFT_BUTTON, GLUT_UP, 800, 50), ::testing::ExitedWithCode(0), "");
}

// The play frame's flow: the interlude's reset and level advance, and what
// each frame of the play screen shows.
class Interlude : public Flow {
 protected:
  void SetUp() override {
    Flow::SetUp();
    bonusOn = 0;
    change_level = 0;
  }
};

TEST_F(Interlude, InterludeAdvancesAFinishedLevelAndPutsOneCheeseBack) {
  for (int x = 0; x < kGridSize; x++)
    for (int y = 0; y < kGridSize; y++) levels[0][x][y] = (x + y) % 3 == 0 ? CELL_OBSTACLE : 0;
  change_level = 1;
  mousexInit = 5;
  mouseyInit = 6;
  mouseOrientInit = 0;
  mousex = mousey = 17;
  mouseorient = 90;
  viewOrient = 80;
  animate = 1;
  EXPECT_EQ(InterludeLevel(), 2);
  ResetForInterlude();
  EXPECT_EQ(levelNum, 1);
  EXPECT_EQ(change_level, 0);
  EXPECT_EQ(InterludeLevel(), 2);
  int cheese = 0;
  for (int x = 0; x < kGridSize; x++) {
    for (int y = 0; y < kGridSize; y++) {
      if (levels[0][x][y] != CELL_CHEESE) continue;
      cheese++;
      EXPECT_LT(x, 28);
      EXPECT_LT(y, 28);
      EXPECT_NE((x + y) % 3, 0);
    }
  }
  EXPECT_EQ(cheese, 1);
  EXPECT_EQ(mousex, 5.0);
  EXPECT_EQ(mousey, 6.0);
  EXPECT_EQ(mouseorient, 0);
  EXPECT_EQ(viewOrient, 0.0);
  EXPECT_EQ(animate, 0);

  // Later frames of the same interlude only hold the mouse at its start.
  ResetForInterlude();
  EXPECT_EQ(levelNum, 1);
  int again = 0;
  for (auto &column : levels[0])
    for (int cell : column) again += cell == CELL_CHEESE;
  EXPECT_EQ(again, 1);
}

// The player opens the control panel in an interlude's first second and
// comes back after its fifth: no interlude frame ran the reset.
TEST_F(Interlude, AnInterludeWithoutFramesIsCaughtUpOnTheFirstPlayFrame) {
  mousexInit = 5;
  mouseyInit = 6;
  mouseOrientInit = 0;
  time_of_death = {1000, 250};
  change_level = 1;
  mousex = mousey = 17;
  mouseorient = 90;
  EXPECT_TRUE(CatchUpInterlude());
  EXPECT_EQ(levelNum, 1);
  EXPECT_EQ(change_level, 0);
  EXPECT_EQ(mousex, 5.0);
  EXPECT_EQ(mousey, 6.0);
  EXPECT_EQ(mouseorient, 0);

  // Once caught up, play goes on from where the mouse runs.
  mousex = 9;
  EXPECT_FALSE(CatchUpInterlude());
  EXPECT_EQ(mousex, 9.0);
  EXPECT_EQ(levelNum, 1);

  // An interlude that had its frames needs nothing more.
  time_of_death = {1010, 0};
  ResetForInterlude();
  mousex = 12;
  EXPECT_FALSE(CatchUpInterlude());
  EXPECT_EQ(mousex, 12.0);
}

TEST_F(Interlude, InterludeNeverAdvancesPastTheLastGrid) {
  levelNum = kMaxLevels - 1;
  change_level = 1;
  ResetForInterlude();
  EXPECT_EQ(levelNum, kMaxLevels - 1);
  EXPECT_EQ(change_level, 0);
}

// A finished level, frame by frame: the interlude's first second, the reset
// after it, play after the fifth; then an interlude no frame saw.
TEST_F(Interlude, EachPlayFrameShowsWhatTheFlowDecides) {
  mousexInit = 5;
  mouseyInit = 6;
  levels[0][0][0] = CELL_EMPTY;
  gettimeofday(&time_of_death, nullptr);
  change_level = 1;
  mousex = mousey = 17;

  time_since_death = 0;
  PlayFrame frame = AdvancePlayFrame();
  EXPECT_EQ(levels[0][0][0], CELL_WALL);
  EXPECT_TRUE(frame.interlude);
  EXPECT_FALSE(frame.mouseMoved);
  EXPECT_EQ(frame.interludeLevel, 2);  // announced before the level advances
  EXPECT_EQ(levelNum, 0);
  EXPECT_EQ(animate, 0);

  time_since_death = 2;
  frame = AdvancePlayFrame();
  EXPECT_TRUE(frame.interlude);
  EXPECT_TRUE(frame.mouseMoved);
  EXPECT_EQ(frame.interludeLevel, 2);
  EXPECT_EQ(levelNum, 1);
  EXPECT_EQ(mousex, 5.0);

  time_since_death = 5;
  mousex = 9;
  frame = AdvancePlayFrame();
  EXPECT_FALSE(frame.interlude);
  EXPECT_FALSE(frame.mouseMoved);  // the reset ran in the interlude
  EXPECT_EQ(mousex, 9.0);
  EXPECT_EQ(animate, 1);

  PAUSED = 1;
  animate = 0;
  time_of_death.tv_sec += 10;  // a lost life whose interlude had no frame
  frame = AdvancePlayFrame();
  EXPECT_FALSE(frame.interlude);
  EXPECT_TRUE(frame.mouseMoved);
  EXPECT_EQ(mousex, 5.0);
  EXPECT_EQ(levelNum, 1);
  EXPECT_EQ(animate, 0);  // paused play stays still
}

}  // namespace

namespace {

// A level just finished (change_level set, its interlude begun): a restart
// by any of its three ways begins the new game's interlude at level 1.
TEST_F(Interlude, ARestartAfterAFinishedLevelStartsTheNewGameAtLevelOne) {
  char path[] = "/tmp/flowrestartXXXXXX";
  int fd = mkstemp(path);
  ASSERT_GE(fd, 0);
  std::string set;
  for (int n = 0; n < 2; n++) {
    for (int x = 0; x < kGridSize; x++) set += std::string(kGridSize, x == 4 ? '3' : '0') + "\n";
    set += "endLevel\n";
  }
  ASSERT_EQ(write(fd, set.data(), set.size()), static_cast<ssize_t>(set.size()));
  close(fd);
  ASSERT_TRUE(LoadUserLevel(path));

  const auto load = [&path] {
    for (const char *k = path; *k; k++) KeyboardLoad(static_cast<unsigned char>(*k), 0, 0);
    KeyboardLoad('\r', 0, 0);
  };
  const std::function<void()> restarts[] = {
      [] { MouseButton(GLUT_LEFT_BUTTON, GLUT_DOWN, 850, 10); },  // title bar
      [] { CPPress(CP_COLUMN_RIGHT, 3, 0); },                     // control panel
      load};
  for (size_t way = 0; way < std::size(restarts); way++) {
    levelNum = 0;
    score = 2900;
    livesLeft = 1;
    change_level = 1;
    gettimeofday(&time_of_death, nullptr);
    time_since_death = 0;
    AdvancePlayFrame();
    restarts[way]();
    ASSERT_EQ(score, 0) << way;
    EXPECT_EQ(AdvancePlayFrame().interludeLevel, 1) << way;
    time_since_death = 2;
    PlayFrame frame = AdvancePlayFrame();
    EXPECT_EQ(frame.interludeLevel, 1) << way;
    EXPECT_EQ(levelNum, 0) << way;
    time_since_death = 5;
    AdvancePlayFrame();
    EXPECT_EQ(levelNum, 0) << way;
    EXPECT_EQ(livesLeft, initLives) << way;
  }
  unlink(path);
}

}  // namespace
