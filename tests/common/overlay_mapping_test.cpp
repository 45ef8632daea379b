// The picture's place in windows of every shape and the mapping of pointer
// positions into the 1200 x 600 window's pixels and back; the scalable
// font's sizes.
#include <gtest/gtest.h>

#include "common/overlay.h"

namespace {

struct Point {
  int x, y;
};

// The default-window pixel under window pixel (x, y), or (-1, -1) on a bar.
Point Map(const OverlayPicture &p, int x, int y) {
  Point got = {-1, -1};
  if (!PictureFromWindow(p, x, y, &got.x, &got.y)) return {-1, -1};
  return got;
}

void ExpectPoint(Point got, int x, int y) {
  EXPECT_EQ(got.x, x);
  EXPECT_EQ(got.y, y);
}

TEST(OverlayPicture, FillsTheDefaultWindowOneToOne) {
  const OverlayPicture p = PictureFor(1200, 600);
  EXPECT_EQ(p.left, 0);
  EXPECT_EQ(p.bottom, 0);
  EXPECT_EQ(p.top, 0);
  EXPECT_EQ(p.width, 1200);
  EXPECT_EQ(p.height, 600);
  EXPECT_DOUBLE_EQ(PictureScale(p), 1.0);
  for (int x = 0; x < 1200; x += 7)
    for (int y = 0; y < 600; y += 5) ExpectPoint(Map(p, x, y), x, y);
  ExpectPoint(Map(p, 1199, 599), 1199, 599);
  ExpectPoint(Map(p, 1200, 10), -1, -1);
  ExpectPoint(Map(p, 10, 600), -1, -1);
  ExpectPoint(Map(p, -1, 10), -1, -1);
}

TEST(OverlayPicture, DoubleSizeMapsPixelPairsAndBack) {
  const OverlayPicture p = PictureFor(2400, 1200);
  EXPECT_DOUBLE_EQ(PictureScale(p), 2.0);
  ExpectPoint(Map(p, 0, 0), 0, 0);
  ExpectPoint(Map(p, 1, 1), 0, 0);
  ExpectPoint(Map(p, 2, 3), 1, 1);
  ExpectPoint(Map(p, 1901, 51), 950, 25);
  ExpectPoint(Map(p, 2399, 1199), 1199, 599);
  for (int px = 0; px < 1200; px += 3) {
    int x = 0, y = 0;
    WindowFromPicture(p, px, 599 - px / 2, &x, &y);
    ExpectPoint(Map(p, x, y), px, 599 - px / 2);
  }
}

TEST(OverlayPicture, WideWindowHasBarsLeftAndRight) {
  const OverlayPicture p = PictureFor(1800, 600);  // 3:1
  EXPECT_EQ(p.left, 300);
  EXPECT_EQ(p.width, 1200);
  EXPECT_EQ(p.top, 0);
  ExpectPoint(Map(p, 100, 300), -1, -1);  // a click on the left bar
  ExpectPoint(Map(p, 299, 300), -1, -1);
  ExpectPoint(Map(p, 300, 300), 0, 300);
  ExpectPoint(Map(p, 1499, 0), 1199, 0);
  ExpectPoint(Map(p, 1500, 0), -1, -1);
  const OverlayPicture big = PictureFor(3600, 1200);
  EXPECT_EQ(big.left, 600);
  ExpectPoint(Map(big, 600 + 1901, 51), 950, 25);
}

TEST(OverlayPicture, TallWindowHasBarsAboveAndBelow) {
  const OverlayPicture p = PictureFor(1200, 1000);
  EXPECT_EQ(p.left, 0);
  EXPECT_EQ(p.height, 600);
  EXPECT_EQ(p.bottom, 200);
  EXPECT_EQ(p.top, 200);
  ExpectPoint(Map(p, 600, 199), -1, -1);
  ExpectPoint(Map(p, 600, 200), 600, 0);
  ExpectPoint(Map(p, 600, 799), 600, 599);
  ExpectPoint(Map(p, 600, 800), -1, -1);
  int x = 0, y = 0;
  WindowFromPicture(p, 950, 25, &x, &y);
  EXPECT_EQ(x, 950);
  EXPECT_EQ(y, 225);
}

// Odd sizes leave the odd pixel below or right of the picture; every pixel
// inside maps into the default window and its corners reach its corners.
TEST(OverlayPicture, OddSizesStayTwoToOneAndInRange) {
  const OverlayPicture p = PictureFor(1001, 777);
  EXPECT_EQ(p.width, 1000);
  EXPECT_EQ(p.height, 500);
  EXPECT_EQ(p.left, 0);
  EXPECT_EQ(p.bottom, 138);
  EXPECT_EQ(p.top, 139);
  EXPECT_EQ(p.top + p.height + p.bottom, 777);
  for (int x = 0; x < 1001; x++)
    for (int y = 0; y < 777; y += 11) {
      Point got = Map(p, x, y);
      const bool inside = x < 1000 && y >= 139 && y < 639;
      EXPECT_EQ(got.x >= 0, inside) << x << ", " << y;
      if (inside) {
        EXPECT_TRUE(got.x < 1200 && got.y >= 0 && got.y < 600);
      }
    }
  ExpectPoint(Map(p, 0, 139), 0, 0);
  ExpectPoint(Map(p, 999, 638), 1199, 599);
  const OverlayPicture odd = PictureFor(1201, 601);
  EXPECT_EQ(odd.height, 600);
  EXPECT_EQ(odd.top, 1);
  ExpectPoint(Map(odd, 1200, 300), -1, -1);
  ExpectPoint(Map(odd, 0, 0), -1, -1);
  ExpectPoint(Map(odd, 0, 1), 0, 0);
}

TEST(OverlayPicture, DegenerateWindowsGetAPictureAndNoCrash) {
  for (const OverlayPicture &p : {PictureFor(0, 0), PictureFor(1, 500), PictureFor(500, 0)}) {
    EXPECT_EQ(p.height, 1);
    EXPECT_EQ(p.width, 2);
    EXPECT_GE(p.left, 0);
    EXPECT_GE(p.top, 0);
  }
  ExpectPoint(Map(PictureFor(0, 0), 0, 0), 300, 300);  // the left half of the top row
}

TEST(OverlayPicture, CurrentWindowFollowsReshape) {
  OverlayReshape(2400, 1300);
  EXPECT_EQ(overlayPicture.top, 50);
  int x = 0, y = 0;
  EXPECT_FALSE(OverlayPointFromWindow(1000, 20, &x, &y));
  EXPECT_TRUE(OverlayPointFromWindow(1901, 101, &x, &y));
  ExpectPoint({x, y}, 950, 25);
  OverlayReshape(1200, 600);
}

// The scalable font draws a size anew: twice the pixel size is about twice
// as wide and as tall, not the same glyphs stretched.
TEST(OverlayFont, GlyphsFollowThePixelSize) {
  if (!OverlayFontAvailable()) GTEST_SKIP() << "no scalable serif font installed";
  const int small = FontTextPixels("Cheese Remaining: 10", 24);
  const int large = FontTextPixels("Cheese Remaining: 10", 48);
  EXPECT_GT(small, 150);
  EXPECT_NEAR(large, 2 * small, 8);
  const FontGlyph *a = FontGlyphOf('H', 24);
  ASSERT_NE(a, nullptr);
  const int rows24 = a->rows, width24 = a->width;
  const FontGlyph *b = FontGlyphOf('H', 48);
  ASSERT_NE(b, nullptr);
  EXPECT_NEAR(b->rows, 2 * rows24, 2);
  EXPECT_NEAR(b->width, 2 * width24, 3);
  EXPECT_EQ(b->coverage.size(), static_cast<size_t>(b->width) * b->rows);
  EXPECT_EQ(FontGlyphOf('H', 0), nullptr);
  EXPECT_EQ(FontTextPixels("", 30), 0);
}

}  // namespace
