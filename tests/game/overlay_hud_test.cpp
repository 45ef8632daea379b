// The overlay's window-free logic: number strings and the start title's
// bounce.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <string>

#include "game/scoreboard.h"

namespace {

std::string Taken(char *s) {
  std::string copy(s);
  free(s);
  return copy;
}

TEST(OverlayNumbers, IntegersAreWrittenPlainWithTheirSign) {
  EXPECT_EQ(Taken(IntegerToString(0)), "0");
  EXPECT_EQ(Taken(IntegerToString(7)), "7");
  EXPECT_EQ(Taken(IntegerToString(120)), "120");
  EXPECT_EQ(Taken(IntegerToString(-1)), "-1");
  EXPECT_EQ(Taken(IntegerToString(-250)), "-250");
  EXPECT_EQ(Taken(IntegerToString(INT_MIN)), std::to_string(INT_MIN));
  EXPECT_EQ(Taken(IntegerToString(INT_MAX)), std::to_string(INT_MAX));
}

TEST(OverlayNumbers, CopyStringMakesAnIndependentCopy) {
  char source[] = "Score: ";
  char *copy = CopyString(source);
  ASSERT_NE(copy, source);
  source[0] = 'X';
  EXPECT_STREQ(copy, "Score: ");
  free(copy);
  EXPECT_EQ(Taken(CopyString("")), "");
}

TEST(StartTitle, BouncesBetweenBothEdgesForever) {
  constexpr int kWidth = 400;
  const double rightEdge = kOverlayWidth - kWidth;
  animatedX = 4.0;
  animateDirection = 1;
  double lowest = animatedX, highest = animatedX;
  int turnsRight = 0, turnsLeft = 0;
  for (int frame = 0; frame < 2000; frame++) {
    double before = animatedX;
    int direction = animateDirection;
    StepStartTitle(kWidth);
    EXPECT_DOUBLE_EQ(std::abs(animatedX - before), 4.0) << "it never stops";
    if (animateDirection != direction) (animateDirection == 1 ? turnsRight : turnsLeft)++;
    lowest = std::min(lowest, animatedX);
    highest = std::max(highest, animatedX);
  }
  EXPECT_GE(turnsLeft, 2);
  EXPECT_GE(turnsRight, 2);
  // It turns once it reaches the right edge and once it drops below 1.
  EXPECT_GE(highest, rightEdge);
  EXPECT_LT(highest, rightEdge + 4.0 + 1e-9);
  EXPECT_LT(lowest, 1.0);
  EXPECT_GT(lowest, 1.0 - 4.0 - 1e-9);
}

TEST(StartTitle, TurnsAtTheRightEdgeAndBelowOne) {
  animatedX = 800.0;
  animateDirection = 1;
  StepStartTitle(400);
  EXPECT_EQ(animateDirection, 0);
  EXPECT_DOUBLE_EQ(animatedX, 796.0);
  animatedX = 0.5;
  StepStartTitle(400);
  EXPECT_EQ(animateDirection, 1);
  EXPECT_DOUBLE_EQ(animatedX, 4.5);
  animatedX = 1.0;  // 1.0 itself does not turn
  animateDirection = 0;
  StepStartTitle(400);
  EXPECT_DOUBLE_EQ(animatedX, -3.0);
}

}  // namespace
