// Levels written by the editor load in the game as the same grids, in order,
// each with one cheese and one cat start. The fixture is the editor's own
// output: the editor's end-to-end test saves one level and appends two, and
// checks that the file it wrote is byte for byte this fixture.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "game/squeakling.h"

namespace {

const std::string kFixture = std::string(SQ_SOURCE_DIR) + "/tests/fixtures/editor_three_levels.txt";

using Grid = std::vector<std::string>;  // 30 rows of 30 digits

std::vector<Grid> ReadBlocks(const std::string &path) {
  std::ifstream in(path);
  std::vector<Grid> blocks(1);
  for (std::string line; std::getline(in, line);) {
    if (line == "endLevel")
      blocks.emplace_back();
    else
      blocks.back().push_back(line);
  }
  blocks.pop_back();
  return blocks;
}

TEST(EditorRoundTrip, SavedAndAppendedLevelsLoadInOrder) {
  std::vector<Grid> written = ReadBlocks(kFixture);
  ASSERT_EQ(written.size(), 3u);
  srand(7);
  ASSERT_EQ(LoadUserLevel(kFixture.c_str()), 1);
  ASSERT_EQ(numLevels, 3);

  for (int n = 0; n < 3; n++) {
    SCOPED_TRACE("level " + std::to_string(n));
    ASSERT_EQ(written[n].size(), 30u);
    int cheese = 0, cats = 0, starts = 0, startX = -1, startY = -1;
    for (int x = 0; x < kGridSize; x++) {
      ASSERT_EQ(written[n][x].size(), 30u);
      for (int y = 0; y < kGridSize; y++) {
        int want = written[n][x][y] - '0';
        int got = levels[n][x][y];
        if (want == CELL_MOUSE_START) {
          starts++;
          startX = x;
          startY = y;
        }
        if (got == CELL_CHEESE || got == CELL_CAT_START) {
          EXPECT_EQ(want, CELL_EMPTY) << "placed on a written cell " << x << "," << y;
          EXPECT_LT(x, 28);
          EXPECT_LT(y, 28);
          (got == CELL_CHEESE ? cheese : cats)++;
          continue;
        }
        EXPECT_EQ(got, want) << "cell " << x << "," << y;
      }
    }
    EXPECT_EQ(starts, 1);
    EXPECT_EQ(cheese, 1);
    EXPECT_EQ(cats, 1);
    for (int x = 0; x < kGridSize; x++)
      for (int y = 0; y < kGridSize; y++)
        if (levels[n][x][y] == CELL_CAT_START) {
          EXPECT_TRUE(abs(x - startX) > 9 || abs(y - startY) > 9) << "cat at " << x << "," << y;
        }
  }
  // The three levels are the editor's, in the order it wrote them.
  EXPECT_EQ(levels[0][10][20], CELL_OBSTACLE);
  EXPECT_EQ(levels[0][8][6], CELL_MOUSE_START);
  EXPECT_EQ(levels[1][6][7], CELL_MOUSE_START);
  EXPECT_EQ(levels[2][21][11], CELL_OBSTACLE);
  EXPECT_EQ(levels[2][2][2], CELL_MOUSE_START);
  EXPECT_EQ(mousexInit, 2);  // the start read last
  EXPECT_EQ(mouseyInit, 2);
}

}  // namespace
