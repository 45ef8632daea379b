// Probe geometry: cell rounding, the probe cells of mouse and cat, and the
// cat's square catch test.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "game/squeakling.h"

namespace {

struct Cell {
  int x, y;
  bool operator==(const Cell &o) const { return x == o.x && y == o.y; }
};

std::ostream &operator<<(std::ostream &os, const Cell &c) {
  return os << "(" << c.x << ", " << c.y << ")";
}

Cell MouseProbe(int i, double x, double y, int heading) {
  int pt[2] = {-99, -99};
  CheckGridAt(pt, i, x, y, heading, 1.0f);
  return {pt[0], pt[1]};
}

Cell CatProbe(int i, double x, double y, int heading) {
  int pt[2] = {-99, -99};
  CheckCatGridAt(pt, i, x, y, heading, 2.2f);
  return {pt[0], pt[1]};
}

TEST(GridValue, RoundsHalvesUpAndNegativesDown) {
  EXPECT_EQ(gridValue(2.5), 3);
  EXPECT_EQ(gridValue(2.4999), 2);
  EXPECT_EQ(gridValue(0.0), 0);
  EXPECT_EQ(gridValue(28.6), 29);
  EXPECT_EQ(gridValue(-0.3), -1);
  EXPECT_EQ(gridValue(-0.7), -1);
  EXPECT_EQ(gridValue(-1.0), -1);
}

TEST(GridValue, FarAndInvalidCoordinatesLandOutsideTheGrid) {
  // A runaway position must give a cell outside the grid, not undefined
  // behaviour in the conversion to int.
  EXPECT_GE(gridValue(1e300), kGridSize);
  EXPECT_LT(gridValue(-1e300), 0);
  EXPECT_GE(gridValue(std::numeric_limits<double>::infinity()), kGridSize);
  int nan = gridValue(std::numeric_limits<double>::quiet_NaN());
  EXPECT_TRUE(nan < 0 || nan >= kGridSize);
}

TEST(MouseProbes, HeadingZeroProbesTheCellAhead) {
  for (int i = 0; i < 3; i++) EXPECT_EQ(MouseProbe(i, 5.0, 5.0, 0), (Cell{6, 5})) << "probe " << i;
}

TEST(MouseProbes, HeadingNinetyLooksAheadAtTheSidesAndBehindInTheMiddle) {
  EXPECT_EQ(MouseProbe(0, 5.0, 5.0, 90), (Cell{5, 4}));
  EXPECT_EQ(MouseProbe(1, 5.0, 5.0, 90), (Cell{5, 6}));
  EXPECT_EQ(MouseProbe(2, 5.0, 5.0, 90), (Cell{5, 4}));
}

TEST(MouseProbes, SideProbesReachJustUnderHalfACellSideways) {
  // Probe 0 lands 0.49913 cells to the side, so the rounding flips between
  // 5.0008 and 5.0009.
  EXPECT_EQ(MouseProbe(0, 5.0, 5.0008, 0), (Cell{6, 5}));
  EXPECT_EQ(MouseProbe(0, 5.0, 5.0009, 0), (Cell{6, 6}));
  EXPECT_EQ(MouseProbe(2, 5.0, 4.9992, 0), (Cell{6, 5}));
  EXPECT_EQ(MouseProbe(2, 5.0, 4.9990, 0), (Cell{6, 4}));
}

TEST(MouseProbes, HeadingThreeSixtyProbesAsZero) {
  for (int i = 0; i < 3; i++)
    EXPECT_EQ(MouseProbe(i, 12.3, 7.8, 360), MouseProbe(i, 12.3, 7.8, 0)) << "probe " << i;
}

TEST(MouseProbes, OtherProbeNumbersLeaveTheCellAlone) {
  EXPECT_EQ(MouseProbe(3, 5.0, 5.0, 0), (Cell{-99, -99}));
  EXPECT_EQ(MouseProbe(-1, 5.0, 5.0, 0), (Cell{-99, -99}));
  EXPECT_EQ(CatProbe(3, 5.0, 5.0, 0), (Cell{-99, -99}));
}

TEST(CatProbes, HeadingZeroReachesFurtherThanTheMouse) {
  EXPECT_EQ(CatProbe(0, 5.0, 5.0, 0), (Cell{7, 6}));
  EXPECT_EQ(CatProbe(1, 5.0, 5.0, 0), (Cell{6, 5}));
  EXPECT_EQ(CatProbe(2, 5.0, 5.0, 0), (Cell{7, 4}));
}

TEST(CatProbes, NegativePositionsProbeOutsideTheGrid) {
  EXPECT_LT(CatProbe(1, -0.2, 5.0, 180).x, 0);
}

class Catch : public ::testing::Test {
 protected:
  void SetUp() override {
    mouseSize = 1.0f;
    catSize = 2.2f;
    mousex = 10.0;
    mousey = 10.0;
  }
};

TEST_F(Catch, IsASquareOfHalfTheMousePlusAThirdOfTheCat) {
  catX = 11.2;
  catY = 11.2;  // 1.70 apart on the diagonal: a square, not a circle
  EXPECT_TRUE(EatMouse());
  catX = 8.8;
  catY = 8.8;
  EXPECT_TRUE(EatMouse());
}

TEST_F(Catch, MissesJustOutsideTheReach) {
  catX = 11.24;
  catY = 10.0;
  EXPECT_FALSE(EatMouse());
  catX = 10.0;
  catY = 8.76;
  EXPECT_FALSE(EatMouse());
}

TEST_F(Catch, FollowsTheSizes) {
  catX = 11.24;
  catY = 10.0;
  catSize = 2.4f;  // reach 1.3
  EXPECT_TRUE(EatMouse());
}

}  // namespace
