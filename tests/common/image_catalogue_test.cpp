// The interface images and scene textures the asset build made: every one
// loads, and the start and editor screens' images fit beside what they
// frame. The control panel's layout is tested in tests/game/overlay_layout_test.cpp.
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
