// The control panel without a window, with the shipped images' sizes: hit
// strips at their pixel edges, the slider mappings and knob positions, and
// what each button does.
#include <GL/glut.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "common/drawing.h"
#include "game/scoreboard.h"
#include "game/squeakling.h"

namespace {

// The widths of the shipped images the hit strips are measured with:
// BCatOff's serves both button columns, SCheese's every slider.
int buttonWidth = 0, trackWidth = 0;

// Window y (down from the top) inside row k of the buttons or the sliders.
int ButtonY(int row) { return 175 + 80 * row; }
int SliderY(int row) { return 160 + 80 * row; }

class ControlPanel : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ASSERT_EQ(chdir(SQ_DATA_DIR), 0);
    ReadImageFiles();
    buttonWidth = imageWidth[kImageBCatOff];
    trackWidth = imageWidth[kImageSCheese];
  }
  void SetUp() override {
    ASSERT_GT(buttonWidth, 0);
    ASSERT_GT(trackWidth, 30);
    InitSettings();
    g_bTexture = 1;
    PAUSED = 1;
    animate = 0;
    displayText = 0;
    InstallScreen(&controlPanelScreen);
  }
  static void Press(int x, int y) { CPMouseButton(GLUT_LEFT_BUTTON, GLUT_DOWN, x, y); }
  static void PressRight(int row) { Press(800, ButtonY(row)); }
  static void PressLeft(int row) { Press(300, ButtonY(row)); }
};

TEST_F(ControlPanel, ButtonRowsAcceptTheFiftyPixelRowsOfEachFace) {
  for (CPColumn column : {CP_COLUMN_LEFT, CP_COLUMN_RIGHT}) {
    int x = column == CP_COLUMN_LEFT ? 300 : 800;
    EXPECT_EQ(CPHitRow(column, x, 150), -1) << "the top edge itself is outside";
    EXPECT_EQ(CPHitRow(column, x, 151), 0);
    EXPECT_EQ(CPHitRow(column, x, 199), 0);
    EXPECT_EQ(CPHitRow(column, x, 200), -1);
    EXPECT_EQ(CPHitRow(column, x, 229), -1);
    EXPECT_EQ(CPHitRow(column, x, 230), 1);
    EXPECT_EQ(CPHitRow(column, x, 279), 1);
    EXPECT_EQ(CPHitRow(column, x, 280), -1);
    EXPECT_EQ(CPHitRow(column, x, 470), 4);
    EXPECT_EQ(CPHitRow(column, x, 519), 4);
    EXPECT_EQ(CPHitRow(column, x, 520), -1);
    EXPECT_EQ(CPHitRow(column, x, 560), -1) << "there is no sixth row";
    EXPECT_EQ(CPHitRow(column, x, 10), -1);
  }
}

TEST_F(ControlPanel, SliderRowsAcceptTwentyThreePixelRows) {
  EXPECT_EQ(CPHitRow(CP_COLUMN_MIDDLE, 600, 150), -1);
  EXPECT_EQ(CPHitRow(CP_COLUMN_MIDDLE, 600, 151), 0);
  EXPECT_EQ(CPHitRow(CP_COLUMN_MIDDLE, 600, 172), 0);
  EXPECT_EQ(CPHitRow(CP_COLUMN_MIDDLE, 600, 173), -1);
  EXPECT_EQ(CPHitRow(CP_COLUMN_MIDDLE, 600, 230), 1);
  EXPECT_EQ(CPHitRow(CP_COLUMN_MIDDLE, 600, 252), 1);
  EXPECT_EQ(CPHitRow(CP_COLUMN_MIDDLE, 600, 253), -1);
  EXPECT_EQ(CPHitRow(CP_COLUMN_MIDDLE, 600, 492), 4);
  EXPECT_EQ(CPHitRow(CP_COLUMN_MIDDLE, 600, 493), -1);
}

TEST_F(ControlPanel, ColumnsEndWhereTheirImagesEnd) {
  EXPECT_EQ(CPHitRow(CP_COLUMN_LEFT, 279, 175), -1);
  EXPECT_EQ(CPHitRow(CP_COLUMN_LEFT, 280, 175), 0);
  EXPECT_EQ(CPHitRow(CP_COLUMN_LEFT, 280 + buttonWidth, 175), 0);
  EXPECT_EQ(CPHitRow(CP_COLUMN_LEFT, 281 + buttonWidth, 175), -1);
  EXPECT_EQ(CPHitRow(CP_COLUMN_MIDDLE, 524, 160), -1);
  EXPECT_EQ(CPHitRow(CP_COLUMN_MIDDLE, 525, 160), 0);
  EXPECT_EQ(CPHitRow(CP_COLUMN_MIDDLE, 495 + trackWidth, 160), 0);
  EXPECT_EQ(CPHitRow(CP_COLUMN_MIDDLE, 496 + trackWidth, 160), -1);
  EXPECT_EQ(CPHitRow(CP_COLUMN_RIGHT, 759, 175), -1);
  EXPECT_EQ(CPHitRow(CP_COLUMN_RIGHT, 760, 175), 0);
  EXPECT_EQ(CPHitRow(CP_COLUMN_RIGHT, 760 + buttonWidth, 175), 0);
  EXPECT_EQ(CPHitRow(CP_COLUMN_RIGHT, 761 + buttonWidth, 175), -1);
}

TEST_F(ControlPanel, CheeseAndLivesSlidersSnapToWholeSteps) {
  initNumCheese = 17;
  Press(524, SliderY(2));
  EXPECT_EQ(initNumCheese, 17) << "x = 524 is outside the strip";
  Press(525, SliderY(2));
  EXPECT_EQ(initNumCheese, 5);
  Press(529, SliderY(2));
  EXPECT_EQ(initNumCheese, 5);
  Press(530, SliderY(2));
  EXPECT_EQ(initNumCheese, 6);
  Press(495 + trackWidth, SliderY(2));
  EXPECT_EQ(initNumCheese, 5 + (trackWidth - 30) / 5);

  Press(525, SliderY(1));
  EXPECT_EQ(initLives, 1);
  Press(534, SliderY(1));
  EXPECT_EQ(initLives, 1);
  Press(535, SliderY(1));
  EXPECT_EQ(initLives, 2);
  Press(495 + trackWidth, SliderY(1));
  EXPECT_EQ(initLives, 1 + (trackWidth - 30) / 10);
}

TEST_F(ControlPanel, FactorSlidersRunFromHalfUpwardsAtOneHundredthPerPixel) {
  Press(525, SliderY(0));
  EXPECT_DOUBLE_EQ(speedScale, 0.5);
  Press(625, SliderY(3));
  EXPECT_DOUBLE_EQ(catSpeedScale, 1.5);
  Press(495 + trackWidth, SliderY(4));
  EXPECT_DOUBLE_EQ(bonusFreq, 0.5 + (trackWidth - 30) / 100.0);
  EXPECT_DOUBLE_EQ(speedScale, 0.5) << "each slider sets only its own setting";
  Press(524, SliderY(0));
  EXPECT_DOUBLE_EQ(speedScale, 0.5);
}

TEST_F(ControlPanel, KnobsInvertTheMappings) {
  for (int x : {525, 562, 600, 495 + trackWidth}) {
    DoSpeedSlider(x, kSliderTrackX);
    EXPECT_NEAR(kSliderTrackX + 5 + FactorKnobOffset(speedScale), x - 10, 1e-9);
  }
  DoCheeseSlider(532, kSliderTrackX);  // 6 cheese: the knob snaps back to 530 - 10
  EXPECT_DOUBLE_EQ(kSliderTrackX + 5 + CheeseKnobOffset(initNumCheese), 520);
  DoLivesSlider(549, kSliderTrackX);  // 3 lives: snaps back to 545 - 10
  EXPECT_DOUBLE_EQ(kSliderTrackX + 5 + LivesKnobOffset(initLives), 535);
  EXPECT_DOUBLE_EQ(CheeseKnobOffset(10), 25);  // start values
  EXPECT_DOUBLE_EQ(LivesKnobOffset(3), 20);
  EXPECT_DOUBLE_EQ(FactorKnobOffset(1.0), 50);
}

TEST_F(ControlPanel, ShadowsCycleThroughAllFourStates) {
  ASSERT_EQ(shadowsOn, 2);
  EXPECT_EQ(ShadowsFace(), kImageBTwoShadows);
  const int expected[] = {3, 0, 1, 2, 3, 0};
  const int faces[] = {kImageBAllShadows, kImageBShadowsOff, kImageBOneShadow,
                       kImageBTwoShadows, kImageBAllShadows, kImageBShadowsOff};
  for (int i = 0; i < 6; i++) {
    PressRight(0);
    EXPECT_EQ(shadowsOn, expected[i]);
    EXPECT_EQ(ShadowsFace(), faces[i]);
  }
  shadowsOn = 7;
  EXPECT_EQ(ShadowsFace(), -1) << "no face for a value outside 0 ... 3";
}

TEST_F(ControlPanel, ViewButtonSwapsChaseAndOverheadOnly) {
  viewPoint = 1;
  EXPECT_EQ(LeftColumnFace(0), kImageBFirstPerson);
  PressLeft(0);
  EXPECT_EQ(viewPoint, 2);
  EXPECT_EQ(LeftColumnFace(0), kImageBThirdPerson);
  PressLeft(0);
  EXPECT_EQ(viewPoint, 1);
  viewPoint = 0;  // first person, set from the keyboard
  EXPECT_EQ(LeftColumnFace(0), kImageBThirdPerson);
  PressLeft(0);
  EXPECT_EQ(viewPoint, 0);
}

TEST_F(ControlPanel, TogglesFlipTheirSettingAndFace) {
  struct Toggle {
    int row;
    BOOL *setting;
    int onFace, offFace;
  } toggles[] = {{1, &g_bTexture, kImageBTexturesOn, kImageBTexturesOff},
                 {2, &g_bLightingEnabled, kImageBSpotlightsOn, kImageBSpotlightsOff},
                 {3, &CAT_EXISTS, kImageBCatOn, kImageBCatOff},
                 {4, &SOUND_ON, kImageBSoundOn, kImageBSoundOff}};
  for (const Toggle &t : toggles) {
    ASSERT_TRUE(*t.setting) << "row " << t.row;
    EXPECT_EQ(LeftColumnFace(t.row), t.onFace);
    PressLeft(t.row);
    EXPECT_FALSE(*t.setting) << "row " << t.row;
    EXPECT_EQ(LeftColumnFace(t.row), t.offFace);
    PressLeft(t.row);
    EXPECT_TRUE(*t.setting) << "row " << t.row;
  }
  EXPECT_EQ(ReflectionsFace(), kImageBReflectionsOn);
  PressRight(1);
  EXPECT_FALSE(reflectionsOn);
  EXPECT_EQ(ReflectionsFace(), kImageBReflectionsOff);
}

TEST_F(ControlPanel, OnlyPressesCountButAnyButtonDoes) {
  CPMouseButton(GLUT_LEFT_BUTTON, GLUT_UP, 800, ButtonY(0));
  CPMouseButton(GLUT_LEFT_BUTTON, GLUT_UP, 600, SliderY(0));
  EXPECT_EQ(shadowsOn, 2);
  EXPECT_DOUBLE_EQ(speedScale, 1.0);
  CPMouseButton(GLUT_MIDDLE_BUTTON, GLUT_DOWN, 800, ButtonY(0));
  EXPECT_EQ(shadowsOn, 3);
  MouseMotion(600, SliderY(0));  // dragging does not move a knob
  EXPECT_DOUBLE_EQ(speedScale, 1.0);
}

TEST_F(ControlPanel, ReturnAndEscapeResumePlayStillPaused) {
  PressRight(2);
  EXPECT_EQ(currentScreen, &playScreen);
  EXPECT_TRUE(PAUSED);
  EXPECT_FALSE(displayText);

  InstallScreen(&controlPanelScreen);
  CPKeyboard('x', 0, 0);
  CPKeyboard(' ', 0, 0);
  EXPECT_EQ(currentScreen, &controlPanelScreen) << "keys other than Escape do nothing";
  CPKeyboard(27, 0, 0);
  EXPECT_EQ(currentScreen, &playScreen);
  EXPECT_TRUE(PAUSED);
}

TEST_F(ControlPanel, RestartStartsAnUnpausedGameWithTheNewLives) {
  score = 1234;
  DoLivesSlider(555, kSliderTrackX);  // 4 lives
  PressRight(3);
  EXPECT_EQ(currentScreen, &playScreen);
  EXPECT_FALSE(PAUSED);
  EXPECT_FALSE(displayText);
  EXPECT_EQ(score, 0);
  EXPECT_EQ(livesLeft, 4);
}

TEST_F(ControlPanel, LoadOpensAFreshPromptThatKeepsTheKeyboard) {
  snprintf(text, sizeof text, "%s", "Unable to load levelset: ");
  PressRight(4);
  EXPECT_TRUE(displayText);
  EXPECT_EQ(currentKeyboard, &KeyboardLoad);
  EXPECT_STREQ(text, "Please enter file to load: ");
  EXPECT_STREQ(fileText, "");

  // Half a name, then Load again: the new name starts from scratch.
  currentKeyboard('a', 0, 0);
  currentKeyboard('b', 0, 0);
  PressRight(4);
  currentKeyboard('c', 0, 0);
  EXPECT_STREQ(fileText, "c");

  // Escape now belongs to the prompt: it is part of the name.
  currentKeyboard(27, 0, 0);
  EXPECT_EQ(currentScreen, &controlPanelScreen);
  EXPECT_STREQ(fileText, "c\x1b");

  PressRight(2);
  EXPECT_FALSE(displayText) << "leaving the panel turns the prompt off";
  EXPECT_EQ(currentKeyboard, &Keyboard);
}

}  // namespace
