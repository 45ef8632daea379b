// The interface images and scene textures the asset build made: every one
// loads, and each has a size that fits where the screens draw it and where
// their mouse handlers look for it.
#include "common/drawing.h"
#include "common/texture.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>

namespace {

class ImageCatalogue : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ASSERT_EQ(chdir(SQ_DATA_DIR), 0);
    ReadImageFiles();
  }
  static int W(int index) { return imageWidth[index]; }
  static int H(int index) { return imageHeight[index]; }
};

TEST_F(ImageCatalogue, EveryImageLoadsAtItsIndex) {
  for (const ImageEntry &entry : imageCatalogue) {
    SCOPED_TRACE(entry.file);
    EXPECT_NE(*entry.pixels, nullptr);
    EXPECT_GT(W(entry.index), 0);
    EXPECT_GT(H(entry.index), 0);
  }
  for (int unused : {0, 1, 4, 52, 55, 59}) EXPECT_EQ(W(unused) + H(unused), 0) << unused;
  // Only the upper-case extension exists on a case-sensitive file system.
  EXPECT_NE(access("images/EditorTitle.rgb", F_OK), 0);
}

TEST_F(ImageCatalogue, TitleBarCoversTheTopStripWithTheGoldRuleAtTheBottom) {
  EXPECT_EQ(W(kImageTitleBar), 1200);
  EXPECT_EQ(H(kImageTitleBar), 50);
  // Row 0 is the bottom row: the gold rule under the bar.
  const auto *bottom = reinterpret_cast<const unsigned char *>(titleBar);
  EXPECT_GT(bottom[0], 200);
  EXPECT_LT(bottom[2], 40);
}

TEST_F(ImageCatalogue, ControlPanelFitsItsColumnsAndHitStrips) {
  const int faces[] = {
      kImageBFirstPerson,  kImageBThirdPerson,   kImageBTexturesOn,    kImageBTexturesOff,
      kImageBSpotlightsOn, kImageBSpotlightsOff, kImageBCatOn,         kImageBCatOff,
      kImageBSoundOn,      kImageBSoundOff,      kImageBShadowsOff,    kImageBOneShadow,
      kImageBTwoShadows,   kImageBAllShadows,    kImageBReflectionsOn, kImageBReflectionsOff,
      kImageBReturnToGame, kImageBRestart,       kImageBLoad,          kImageBQuit};
  // Hit tests use BCatOff's width for every face and assume 50 rows.
  for (int face : faces) {
    EXPECT_EQ(W(face), W(kImageBCatOff)) << face;
    EXPECT_EQ(H(face), 50) << face;
  }
  EXPECT_LT(280 + W(kImageBCatOff), 510);   // left faces end before the tracks
  EXPECT_LE(760 + W(kImageBCatOff), 1200);  // right faces stay in the window
  EXPECT_LT(450 + W(kImageBRestart), 650);  // game-over Restart and Quit apart

  const int leftLabels[] = {kImageLView, kImageLTextures, kImageLLighting, kImageLCat,
                            kImageLSound};
  const int wideLabels[] = {kImageLMouseSpeed, kImageLLives,   kImageLNumCheese,  kImageLCatSpeed,
                            kImageLBonus,      kImageLShadows, kImageLReflections};
  for (int label : leftLabels) EXPECT_LE(250 + W(label), 480) << label;
  for (int label : wideLabels) EXPECT_LE(480 + W(label), 730) << label;
  for (int label : leftLabels)
    EXPECT_LE(H(label), 25) << label;  // between face (450) and panel title (475)
  for (int label : wideLabels) EXPECT_LE(H(label), 25) << label;
  EXPECT_LE(200 + W(kImageControlPanelTitle), 1200);
  EXPECT_LE(475 + H(kImageControlPanelTitle), 600);
}

TEST_F(ImageCatalogue, SliderTracksGiveSensibleRanges) {
  const int tracks[] = {kImageSMouseSpeed, kImageSLives, kImageSCheese, kImageSCatSpeed,
                        kImageSBonus};
  for (int track : tracks) {
    EXPECT_EQ(W(track), W(kImageSCheese)) << track;  // one hit strip for all
    EXPECT_EQ(H(track), 50) << track;                // 400..450, label above
  }
  const int w = W(kImageSCheese);
  EXPECT_LT(510 + w, 730);
  const double topFactor = 0.5 + (w - 30) / 100.0;
  EXPECT_GE(topFactor, 1.5);
  EXPECT_LE(topFactor, 3.0);
  EXPECT_GE(5 + (w - 30) / 5, 20);  // cheese per level
  EXPECT_GE(1 + (w - 30) / 10, 5);  // lives
  // The knob sits 10 left of the pressed point: 20 wide centres it.
  EXPECT_EQ(W(kImageSliderFront), 20);
  EXPECT_LE(430 + H(kImageSliderFront), 450);
}

TEST_F(ImageCatalogue, StartAndEditorImagesFitBesideTheirContent) {
  EXPECT_LT(W(kImageTitle), 1200 - 8);  // room to slide
  EXPECT_LE(150 + H(kImageTitle), 600);
  EXPECT_EQ(W(kImageEditTitle), 1200);
  EXPECT_EQ(H(kImageEditTitle), 50);
  EXPECT_LT(25 + W(kImageEditHelp), 366);  // the grid's walls start near x 366
  EXPECT_LE(35 + H(kImageEditHelp), 550);
  // The legend at (40, 425): inside the window, above the title's band
  // (150 ... 410) and under the top edge.
  EXPECT_LE(40 + W(kImageControlsLegend), 1200 - 40);
  EXPECT_GE(425, 150 + H(kImageTitle));
  EXPECT_LE(425 + H(kImageControlsLegend), 590);
}

TEST_F(ImageCatalogue, SceneTexturesArePowersOfTwo) {
  for (const char *file : {"wood.rgb", "cheese.rgb", "images/fur.rgb", "floortex.rgb"}) {
    SCOPED_TRACE(file);
    int w = 0, h = 0, c = 0;
    unsigned *pixels = read_texture(file, &w, &h, &c);
    EXPECT_NE(pixels, nullptr);
    EXPECT_GE(w, 64);
    EXPECT_EQ(w & (w - 1), 0);
    EXPECT_EQ(h & (h - 1), 0);
    free(pixels);
  }
}

}  // namespace
