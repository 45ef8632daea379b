// The level-set reader against files shaped the way the editor writes them
// and the ways they go wrong, and the random placements it makes.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include "game/squeakling.h"

namespace {

std::string BorderedRow(int x, int startY = -1) {
  std::string row(kGridSize, '0');
  if (x == 0 || x == kGridSize - 1) row.assign(kGridSize, '1');
  row[0] = row[kGridSize - 1] = '1';
  if (startY >= 0) row[startY] = '3';
  return row;
}

// One level as the editor saves it: rows of 30 digits, then "endLevel".
std::string EditorLevel(int startX, int startY, const std::string &eol = "\n") {
  std::string s;
  for (int x = 0; x < kGridSize; x++) s += BorderedRow(x, x == startX ? startY : -1) + eol;
  return s + "endLevel" + eol;
}

class LevelFile : public ::testing::Test {
 protected:
  void SetUp() override {
    srand(1234);
    char name[] = "/tmp/levelXXXXXX";
    int fd = mkstemp(name);
    ASSERT_GE(fd, 0);
    close(fd);
    path = name;
    ClearLevels();
    numLevels = levelNum = 0;
  }
  void TearDown() override { unlink(path.c_str()); }
  void Write(const std::string &contents) {
    FILE *f = fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    fwrite(contents.data(), 1, contents.size(), f);
    fclose(f);
  }
  BOOL Load() { return LoadUserLevel(path.c_str()); }
  int Count(int level, int code) {
    int n = 0;
    for (auto &row : levels[level])
      for (int cell : row) n += cell == code;
    return n;
  }
  // One cheese and one cat start, the cat far from the start the level is
  // played from.
  void ExpectPlacementsOf(int level) {
    int startX, startY;
    MouseStartOf(level, &startX, &startY);
    int cheese = 0, cats = 0;
    for (int x = 0; x < kGridSize; x++)
      for (int y = 0; y < kGridSize; y++) {
        int c = levels[level][x][y];
        if (c == CELL_CHEESE || c == CELL_CAT_START) {
          EXPECT_LT(x, kPlaceRange);
          EXPECT_LT(y, kPlaceRange);
        }
        if (c == CELL_CHEESE) cheese++;
        if (c == CELL_CAT_START) {
          cats++;
          EXPECT_TRUE(abs(x - startX) > 9 || abs(y - startY) > 9) << x << "," << y;
        }
      }
    EXPECT_EQ(cheese, 1);
    EXPECT_EQ(cats, 1);
  }
  std::string path;
};

TEST_F(LevelFile, SavedAndAppendedLevelsLoadInOrderWithCheeseAndCat) {
  Write(EditorLevel(3, 4) + EditorLevel(5, 6) + EditorLevel(7, 8));
  ASSERT_TRUE(Load());
  EXPECT_EQ(numLevels, 3);
  EXPECT_EQ(levelNum, 0);
  EXPECT_EQ(levels[0][3][4], CELL_MOUSE_START);
  EXPECT_EQ(levels[1][5][6], CELL_MOUSE_START);
  EXPECT_EQ(levels[2][7][8], CELL_MOUSE_START);
  // Each level is played from its own start; the file's last start stays
  // in mousexInit, mouseyInit.
  EXPECT_EQ(mousexInit, 7);
  EXPECT_EQ(mouseyInit, 8);
  const int starts[3][2] = {{3, 4}, {5, 6}, {7, 8}};
  for (int level = 0; level < 3; level++) {
    int x, y;
    MouseStartOf(level, &x, &y);
    EXPECT_EQ(x, starts[level][0]) << level;
    EXPECT_EQ(y, starts[level][1]) << level;
  }
  EXPECT_EQ(Count(3, CELL_MOUSE_START), 0);
  for (int level = 0; level < 3; level++) {
    SCOPED_TRACE(level);
    EXPECT_EQ(levels[level][0][0], CELL_WALL);
    EXPECT_EQ(levels[level][29][29], CELL_WALL);
    EXPECT_EQ(Count(level, CELL_WALL), 4 * 29);
  }
  for (int level = 0; level < 3; level++) {
    SCOPED_TRACE(level);
    ExpectPlacementsOf(level);
  }
}

// A level without a "3" plays from the file's last start, even one that
// comes in a later level, and its cat keeps away from that one; a level
// with two takes its last.
TEST_F(LevelFile, LevelsWithoutAStartOrWithTwo) {
  // Level 0: no start and four free cells, two near (3, 3) and two near
  // (21, 21); the cat may only take one near (3, 3), far from (22, 22).
  std::string none;
  for (int x = 0; x < kGridSize; x++) {
    std::string row(kGridSize, '2');
    if (x == 3 || x == 4) row[x] = '0';
    if (x == 20 || x == 21) row[x] = '0';
    none += row + "\n";
  }
  none += "endLevel\n";
  std::string two = EditorLevel(5, 6);
  two[12 * 31 + 13] = '3';
  Write(none + two + EditorLevel(22, 22));
  ASSERT_TRUE(Load());
  EXPECT_EQ(numLevels, 3);
  EXPECT_EQ(mousexInit, 22);
  EXPECT_EQ(mouseyInit, 22);
  int x, y;
  MouseStartOf(0, &x, &y);
  EXPECT_EQ(x, 22);
  EXPECT_EQ(y, 22);
  EXPECT_EQ(levels[0][3][3] == CELL_CAT_START || levels[0][4][4] == CELL_CAT_START, true);
  MouseStartOf(1, &x, &y);
  EXPECT_EQ(x, 12);
  EXPECT_EQ(y, 13);
  for (int level = 0; level < 3; level++) {
    SCOPED_TRACE(level);
    ExpectPlacementsOf(level);
  }

  // A load forgets the previous set's own starts.
  Write(EditorLevel(-1, -1) + EditorLevel(-1, -1));
  ASSERT_TRUE(Load());
  MouseStartOf(1, &x, &y);
  EXPECT_EQ(x, 22);
  EXPECT_EQ(y, 22);
}

TEST_F(LevelFile, EachLevelPlacesAgainstItsOwnStart) {
  Write(EditorLevel(3, 4));
  ASSERT_TRUE(Load());
  ExpectPlacementsOf(0);
}

TEST_F(LevelFile, ExtraCheeseInTheFileIsKept) {
  std::string level = EditorLevel(3, 4);
  level[5 * 31 + 10] = '4';
  Write(level);
  ASSERT_TRUE(Load());
  EXPECT_EQ(levels[0][5][10], CELL_CHEESE);
  EXPECT_EQ(Count(0, CELL_CHEESE), 2);
}

TEST_F(LevelFile, UnfinishedLastLevelIsStoredButNotCounted) {
  std::string unfinished = EditorLevel(5, 5);
  unfinished.resize(unfinished.size() - std::string("endLevel\n").size());
  Write(EditorLevel(3, 4) + unfinished);
  ASSERT_TRUE(Load());
  EXPECT_EQ(numLevels, 1);
  EXPECT_EQ(levels[1][5][5], CELL_MOUSE_START);
  EXPECT_EQ(Count(1, CELL_CHEESE), 0);
}

TEST_F(LevelFile, EarlyEndLevelLeavesTheRestEmpty) {
  std::string s;
  for (int x = 0; x < 12; x++) s += BorderedRow(x, x == 3 ? 4 : -1) + "\n";
  s += "endLevel\n" + EditorLevel(6, 6);
  Write(s);
  ASSERT_TRUE(Load());
  EXPECT_EQ(numLevels, 2);
  EXPECT_EQ(levels[0][11][0], CELL_WALL);
  for (int x = 12; x < kGridSize; x++) EXPECT_NE(levels[0][x][0], CELL_WALL) << x;
  EXPECT_EQ(levels[1][6][6], CELL_MOUSE_START);
  EXPECT_EQ(levels[1][0][5], CELL_WALL);
}

TEST_F(LevelFile, OverlongRowWrapsOntoItsOwnStart) {
  std::string s = std::string(30, '2') + "1\n" + std::string(30, '0') + "\nendLevel\n";
  Write(s);
  ASSERT_TRUE(Load());
  EXPECT_EQ(levels[0][0][0], CELL_WALL);  // the 31st digit
  EXPECT_EQ(levels[0][0][1], CELL_OBSTACLE);
  EXPECT_EQ(levels[0][0][29], CELL_OBSTACLE);
  EXPECT_EQ(levels[0][1][5] == CELL_OBSTACLE, false);
}

TEST_F(LevelFile, CrLfLinesLoadLikeLf) {
  Write(EditorLevel(3, 4, "\r\n") + EditorLevel(9, 9, "\r\n"));
  ASSERT_TRUE(Load());
  int crlf[2][kGridSize][kGridSize];
  memcpy(crlf, levels, sizeof crlf);
  Write(EditorLevel(3, 4) + EditorLevel(9, 9));
  ASSERT_TRUE(Load());
  EXPECT_EQ(numLevels, 2);
  for (int n = 0; n < 2; n++)
    for (int x = 0; x < kGridSize; x++)
      for (int y = 0; y < kGridSize; y++) {
        int a = crlf[n][x][y], b = levels[n][x][y];
        // Cheese and cat starts are random; everything else matches.
        if (a >= CELL_CHEESE || b >= CELL_CHEESE) continue;
        ASSERT_EQ(a, b) << n << ":" << x << "," << y;
      }
}

TEST_F(LevelFile, OddCharactersKeepTheirColumns) {
  Write("1a5!2\n9  2\nendLevel\n");
  ASSERT_TRUE(Load());
  EXPECT_EQ(levels[0][0][0], CELL_WALL);
  EXPECT_EQ(levels[0][0][4], CELL_OBSTACLE);
  EXPECT_EQ(levels[0][1][0], CELL_EMPTY);  // the blank ended row 1
  EXPECT_EQ(levels[0][1][3], CELL_EMPTY);
}

TEST_F(LevelFile, MoreThanTenLevelsAndThirtyRowsStayInBounds) {
  std::string s;
  for (int n = 0; n < 12; n++) {
    for (int x = 0; x < 40; x++) s += std::string(30, '2') + "\n";
    s += "endLevel\n";
  }
  Write(s);
  ASSERT_TRUE(Load());
  EXPECT_EQ(numLevels, kMaxLevels);
  // Full levels: no room for cheese or cat, and no hang.
  EXPECT_EQ(Count(9, CELL_CHEESE), 0);
  EXPECT_EQ(Count(9, CELL_OBSTACLE), kGridSize * kGridSize);
}

TEST_F(LevelFile, NoEndLevelMeansNoLevels) {
  Write(EditorLevel(3, 4).substr(0, 31 * 30));
  ASSERT_TRUE(Load());
  EXPECT_EQ(numLevels, 0);
}

TEST_F(LevelFile, MissingFileLeavesTheSetAsItWas) {
  Write(EditorLevel(3, 4) + EditorLevel(5, 6));
  ASSERT_TRUE(Load());
  levelNum = 1;
  EXPECT_FALSE(LoadUserLevel("/nonexistent/levels.txt"));
  EXPECT_EQ(numLevels, 2);
  EXPECT_EQ(levelNum, 1);
  EXPECT_EQ(levels[0][3][4], CELL_MOUSE_START);
}

// The load prompt and the command line take only sets that can be played;
// the set in play stays as it was.
TEST_F(LevelFile, UnplayableFilesAreRefusedAndLeaveTheSet) {
  Write(EditorLevel(3, 4) + EditorLevel(5, 6));
  ASSERT_TRUE(Load());
  const std::string fifo = path + ".fifo", folder = path + ".dir", partial = path + ".part";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  ASSERT_EQ(mkdir(folder.c_str(), 0700), 0);
  FILE *f = fopen(partial.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  fputs(EditorLevel(7, 7).substr(0, 31 * 30).c_str(), f);
  fclose(f);
  const struct {
    std::string name;
    const char *reason;
  } refused[] = {{fifo, "not a regular file"},
                 {folder, "Is a directory"},
                 {"/dev/zero", "not a regular file"},
                 {partial, kNoCompleteLevel},
                 {"/nonexistent/levels.txt", "No such file or directory"}};
  levelNum = 1;
  for (const auto &r : refused) {
    std::string reason, bytes = "kept";
    EXPECT_FALSE(LoadPlayableLevelSet(r.name.c_str(), &reason, &bytes)) << r.name;
    EXPECT_EQ(reason, r.reason) << r.name;
    EXPECT_EQ(bytes, "kept") << r.name;
  }
  EXPECT_FALSE(LoadUserLevel(fifo.c_str()));
  EXPECT_EQ(numLevels, 2);
  EXPECT_EQ(levelNum, 1);
  EXPECT_EQ(levels[1][5][6], CELL_MOUSE_START);
  std::string reason, bytes;
  EXPECT_TRUE(LoadPlayableLevelSet(path.c_str(), &reason, &bytes));
  EXPECT_EQ(levelNum, 0);
  std::ifstream in(path, std::ios::binary);
  EXPECT_EQ(bytes, std::string(std::istreambuf_iterator<char>(in), {}))
      << "the scores table is named by the bytes that were played";
  unlink(fifo.c_str());
  rmdir(folder.c_str());
  unlink(partial.c_str());
}

// The game's grids are the shared reader's, placements aside.
TEST_F(LevelFile, GridsAreTheSharedReadersPlusPlacements) {
  Write("1a5!2\r\n" + std::string(31, '2') + "\n" + BorderedRow(2, 7) + "\nendLevel\n" +
        EditorLevel(9, 9));
  ASSERT_TRUE(Load());
  LevelSetFile read;
  std::string error;
  ASSERT_TRUE(ReadLevelSet(path.c_str(), &read, &error));
  ASSERT_EQ(read.count, numLevels);
  for (int n = 0; n < kMaxLevels; n++)
    for (int x = 0; x < kGridSize; x++)
      for (int y = 0; y < kGridSize; y++) {
        const int cell = levels[n][x][y];
        if (cell == CELL_CHEESE || cell == CELL_CAT_START) continue;
        ASSERT_EQ(cell, read.grids[n][x][y]) << n << ":" << x << "," << y;
      }
}

TEST_F(LevelFile, ShippedDefaultSetHasTenPlayableLevels) {
  ASSERT_TRUE(LoadUserLevel(SQ_DATA_DIR "/defaultlevel.txt"));
  EXPECT_EQ(numLevels, kMaxLevels);
  for (int n = 0; n < numLevels; n++) {
    SCOPED_TRACE(n);
    EXPECT_EQ(Count(n, CELL_MOUSE_START), 1);
    EXPECT_EQ(Count(n, CELL_CHEESE), 1);
    EXPECT_EQ(Count(n, CELL_CAT_START), 1);
    EXPECT_GT(Count(n, CELL_OBSTACLE), 0);
  }
}

TEST(Placement, CatKeepsItsDistanceAndRelaxesOnlyWhenItMust) {
  srand(7);
  ClearLevels();
  levelNum = 0;
  mousexInit = mouseyInit = 14;
  for (int i = 0; i < 200; i++) {
    PlaceCat();
    for (int x = 0; x < kGridSize; x++)
      for (int y = 0; y < kGridSize; y++)
        if (levels[0][x][y] == CELL_CAT_START) {
          EXPECT_TRUE(abs(x - 14) > 9 || abs(y - 14) > 9);
          levels[0][x][y] = CELL_EMPTY;
        }
  }
  // A level with a start of its own measures from that start.
  levelNum = 1;
  levelStarts[1] = LevelStart{TRUE, 3, 3};
  for (int i = 0; i < 200; i++) {
    PlaceCat();
    for (int x = 0; x < kGridSize; x++)
      for (int y = 0; y < kGridSize; y++)
        if (levels[1][x][y] == CELL_CAT_START) {
          EXPECT_TRUE(abs(x - 3) > 9 || abs(y - 3) > 9) << x << "," << y;
          levels[1][x][y] = CELL_EMPTY;
        }
  }
  levelNum = 0;
  // Only cells near the start are free: the cat goes to one of them.
  for (auto &row : levels[0])
    for (int &cell : row) cell = CELL_OBSTACLE;
  levels[0][15][15] = CELL_EMPTY;
  PlaceCat();
  EXPECT_EQ(levels[0][15][15], CELL_CAT_START);
  // No free cell at all: nothing happens, and nothing hangs.
  PlaceCat();
  int x = -1, y = -1;
  EXPECT_FALSE(RandomEmptyCell(levels[0], &x, &y));
  EXPECT_EQ(x, -1);
}

TEST(Placement, RandomEmptyCellNeverUsesRowOrColumn28) {
  ClearLevels();
  for (int x = 0; x < kPlaceRange; x++)
    for (int y = 0; y < kPlaceRange; y++) levels[0][x][y] = CELL_OBSTACLE;
  EXPECT_EQ(levels[0][28][28], CELL_EMPTY);
  int x, y;
  EXPECT_FALSE(RandomEmptyCell(levels[0], &x, &y));
  levels[0][27][0] = CELL_EMPTY;
  ASSERT_TRUE(RandomEmptyCell(levels[0], &x, &y));
  EXPECT_EQ(x, 27);
  EXPECT_EQ(y, 0);
}

}  // namespace
