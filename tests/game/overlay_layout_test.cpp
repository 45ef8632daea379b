// The interface images as the build makes them, checked against the places
// the overlay draws them and the strips the hit tests accept: every control
// reachable, every knob inside its track, no two columns overlapping.
#include <gtest/gtest.h>
#include <unistd.h>

#include "common/drawing.h"
#include "game/scoreboard.h"
#include "game/squeakling.h"

namespace {

class OverlayLayout : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ASSERT_EQ(chdir(SQ_DATA_DIR), 0);
    ReadImageFiles();
  }
  static int W(int index) { return imageWidth[index]; }
  static int H(int index) { return imageHeight[index]; }
};

constexpr int kButtonFaces[] = {
    kImageBFirstPerson,  kImageBThirdPerson,   kImageBTexturesOn,    kImageBTexturesOff,
    kImageBSpotlightsOn, kImageBSpotlightsOff, kImageBCatOn,         kImageBCatOff,
    kImageBSoundOn,      kImageBSoundOff,      kImageBShadowsOff,    kImageBOneShadow,
    kImageBTwoShadows,   kImageBAllShadows,    kImageBReflectionsOn, kImageBReflectionsOff,
    kImageBReturnToGame, kImageBRestart,       kImageBLoad};
constexpr int kTracks[] = {kImageSMouseSpeed, kImageSLives, kImageSCheese, kImageSCatSpeed,
                           kImageSBonus};

TEST_F(OverlayLayout, ButtonFacesFillTheirHitStripsExactly) {
  for (int face : kButtonFaces) {
    EXPECT_EQ(H(face), 50) << "face " << face << ": the strips take 50 pixel rows";
    EXPECT_EQ(W(face), W(kImageBCatOff)) << "face " << face << ": tested with BCatOff's width";
  }
  // Top and bottom pixel rows of each face, from the top of the window.
  for (int row = 0; row < kPanelRows; row++) {
    int faceTop = 600 - (400 - 80 * row + 50);
    EXPECT_EQ(CPHitRow(CP_COLUMN_LEFT, 290, faceTop + 1), row);
    EXPECT_EQ(CPHitRow(CP_COLUMN_RIGHT, 770, faceTop + 49), row);
  }
}

TEST_F(OverlayLayout, ColumnsAndLabelsDoNotOverlap) {
  EXPECT_LT(280 + W(kImageBCatOff), 510) << "left faces run into the slider tracks";
  EXPECT_LT(510 + W(kImageSCheese), 730) << "tracks run into the right column";
  EXPECT_LE(760 + W(kImageBCatOff), 1200);
  // Labels stand above their control, below the panel title (475).
  const int leftLabels[] = {kImageLView, kImageLTextures, kImageLLighting, kImageLCat,
                            kImageLSound};
  const int wideLabels[] = {kImageLMouseSpeed, kImageLLives,   kImageLNumCheese,  kImageLCatSpeed,
                            kImageLBonus,      kImageLShadows, kImageLReflections};
  for (int label : leftLabels) {
    EXPECT_LE(250 + W(label), 480) << "label " << label;
    EXPECT_LE(H(label), 25) << "label " << label;
  }
  for (int label : wideLabels) {
    EXPECT_LE(480 + W(label), 730) << "label " << label;
    EXPECT_LE(H(label), 25) << "label " << label;
  }
  EXPECT_LE(200 + W(kImageControlPanelTitle), 1200);
  for (int x = 0; x < 1200; x++) {
    int hits = (CPHitRow(CP_COLUMN_LEFT, x, 175) >= 0) + (CPHitRow(CP_COLUMN_MIDDLE, x, 160) >= 0) +
               (CPHitRow(CP_COLUMN_RIGHT, x, 175) >= 0);
    EXPECT_LE(hits, 1) << "x = " << x;
  }
}

TEST_F(OverlayLayout, KnobsStayInsideTheirTracksAndTheTracksGiveSensibleRanges) {
  const int knobW = W(kImageSliderFront), knobH = H(kImageSliderFront);
  // The knob is drawn 10 left of the pressed point: 20 wide centres it.
  EXPECT_EQ(knobW, 20);
  for (int track : kTracks) {
    EXPECT_EQ(W(track), W(kImageSCheese)) << "track " << track << ": tested with SCheese's width";
    EXPECT_GE(H(track), 30 + knobH) << "the knob stands 30 units above the track's foot";
    EXPECT_LE(400 + H(track), 450) << "track " << track << " runs into its label";
  }
  // What the strip's far end gives: factors, cheese per level, lives.
  const int farEnd = 495 + W(kImageSCheese);
  DoSpeedSlider(farEnd, kSliderTrackX);
  EXPECT_GE(speedScale, 1.5);
  EXPECT_LE(speedScale, 3.0);
  DoCheeseSlider(farEnd, kSliderTrackX);
  EXPECT_GE(initNumCheese, 20);
  DoLivesSlider(farEnd, kSliderTrackX);
  EXPECT_GE(initLives, 5);
  // Both ends of the strip, for the factors (the widest reach).
  const int left = 525, right = 495 + W(kImageSCheese);
  for (int x : {left, right}) {
    DoSpeedSlider(x, kSliderTrackX);
    double knobX = kSliderTrackX + 5 + FactorKnobOffset(speedScale);
    EXPECT_GE(knobX, kSliderTrackX) << "x = " << x;
    EXPECT_LE(knobX + knobW, kSliderTrackX + W(kImageSCheese)) << "x = " << x;
  }
  // The knob's rows lie in the slider's hit strip (window rows 150 ... 172).
  EXPECT_LE(430 + knobH, 450);
}

TEST_F(OverlayLayout, TitleBarAndEndScreenButtonsFit) {
  EXPECT_GE(W(kImageTitleBar), 1050) << "the panel region reaches x = 1050";
  EXPECT_EQ(H(kImageTitleBar), 50) << "the title-bar regions are rows 0 ... 50";
  EXPECT_LT(450 + W(kImageBRestart), 650) << "Restart runs into Quit";
  EXPECT_LE(500 + H(kImageBRestart), 600);
  EXPECT_LE(650 + W(kImageBQuit), 1200);
  EXPECT_GT(W(kImageTitle), 0);
  EXPECT_LT(W(kImageTitle), 1200) << "the start title needs room to slide";
  EXPECT_LE(475 + H(kImageControlPanelTitle), 600);
}

}  // namespace
