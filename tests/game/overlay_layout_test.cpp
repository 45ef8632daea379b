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

TEST_F(OverlayLayout, ColumnsDoNotOverlap) {
  EXPECT_LT(280 + W(kImageBCatOff), 510) << "left faces run into the slider tracks";
  EXPECT_LT(510 + W(kImageSCheese), 730) << "tracks run into the right column";
  EXPECT_LE(760 + W(kImageBCatOff), 1200);
  for (int x = 0; x < 1200; x++) {
    int hits = (CPHitRow(CP_COLUMN_LEFT, x, 175) >= 0) + (CPHitRow(CP_COLUMN_MIDDLE, x, 160) >= 0) +
               (CPHitRow(CP_COLUMN_RIGHT, x, 175) >= 0);
    EXPECT_LE(hits, 1) << "x = " << x;
  }
}

TEST_F(OverlayLayout, KnobsStayInsideTheirTracks) {
  const int knobW = W(kImageSliderFront), knobH = H(kImageSliderFront);
  ASSERT_GT(knobW, 0);
  for (int track : kTracks) {
    EXPECT_EQ(W(track), W(kImageSCheese)) << "track " << track << ": tested with SCheese's width";
    EXPECT_GE(H(track), 30 + knobH) << "the knob stands 30 units above the track's foot";
  }
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
