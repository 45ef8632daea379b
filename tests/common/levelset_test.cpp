// The shared level-set reader on its own: files that are no regular files
// refused without blocking, the bound on what it reads, the chunk rules at
// their edges, and the writer's blocks read back as the same grids.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

#include "common/levelset.h"

namespace {

class LevelSetReader : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/levelset_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir = pattern;
  }
  void TearDown() override {
    std::string command = "rm -rf '" + dir + "'";
    ASSERT_EQ(system(command.c_str()), 0);
  }
  std::string Path(const char *name) { return dir + "/" + name; }
  std::string dir;
  std::unique_ptr<LevelSetFile> set = std::make_unique<LevelSetFile>();
};

TEST_F(LevelSetReader, RefusesWhatIsNoRegularFileWithoutBlocking) {
  ASSERT_EQ(mkfifo(Path("fifo").c_str(), 0600), 0);  // no writer: an open for reading would wait
  const struct {
    std::string path;
    const char *error;
  } refused[] = {{Path("fifo"), "not a regular file"},
                 {dir, "Is a directory"},
                 {"/dev/zero", "not a regular file"},
                 {Path("missing"), "No such file or directory"}};
  for (const auto &r : refused) {
    set->count = 7;
    std::string error;
    EXPECT_FALSE(ReadLevelSet(r.path.c_str(), set.get(), &error)) << r.path;
    EXPECT_EQ(error, r.error) << r.path;
    EXPECT_EQ(set->count, 7) << "a refused file changed the set: " << r.path;
  }
}

TEST_F(LevelSetReader, StopsAtItsBound) {
  int grid[kGridSize][kGridSize] = {};
  grid[4][5] = 2;
  const std::string block = FormatLevelBlock(grid);
  // Digits without an end up to the bound, then a level: never reached.
  std::string big(kMaxLevelSetBytes, '0');
  for (size_t at = 30; at < big.size(); at += 31) big[at] = '\n';
  big += block;
  std::ofstream(Path("big.txt"), std::ios::binary) << big;
  std::string error, bytes;
  ASSERT_TRUE(ReadLevelSet(Path("big.txt").c_str(), set.get(), &error, &bytes)) << error;
  EXPECT_EQ(set->count, 0);
  EXPECT_EQ(bytes, big.substr(0, kMaxLevelSetBytes)) << "the bytes handed back are those parsed";
  ParseLevelSet(big.data(), big.size(), set.get());
  EXPECT_EQ(set->count, 0);
  // Within the bound the same level is read.
  ParseLevelSet(block.data(), block.size(), set.get());
  EXPECT_EQ(set->count, 1);
}

TEST_F(LevelSetReader, WrittenBlocksReadBackAndChunkEdgesHold) {
  static const int kCodes[4] = {0, 1, 2, 4};  // every code but the start
  int grid[kGridSize][kGridSize] = {};
  for (int x = 0; x < kGridSize; x++)
    for (int y = 0; y < kGridSize; y++) grid[x][y] = kCodes[(x * 7 + y * 3) % 4];
  grid[9][9] = 3;
  std::string two = FormatLevelBlock(grid);
  grid[9][9] = 0;
  grid[1][2] = 3;
  two += FormatLevelBlock(grid);
  ParseLevelSet(two.data(), two.size(), set.get());
  ASSERT_EQ(set->count, 2);
  EXPECT_EQ(set->starts[0].x, 9);
  EXPECT_EQ(set->starts[1].x, 1);
  EXPECT_EQ(set->lastStart.y, 2);
  for (int x = 0; x < kGridSize; x++)
    for (int y = 0; y < kGridSize; y++) ASSERT_EQ(set->grids[1][x][y], grid[x][y]) << x << "," << y;

  // A NUL ends its chunk: the row's line feed after it is not seen, so the
  // next line continues the same row from column 0.
  const std::string nul("22\0\n1\nendLevel\n", 15);
  ParseLevelSet(nul.data(), nul.size(), set.get());
  EXPECT_EQ(set->count, 1);
  EXPECT_EQ(set->grids[0][0][0], 1);
  EXPECT_EQ(set->grids[0][0][1], 2);
  EXPECT_EQ(set->grids[0][1][0], 0);
  // A 31st character is the next chunk's first: a letter there ends the level.
  const std::string letter = std::string(30, '2') + "x\n" + std::string(30, '1') + "\n";
  ParseLevelSet(letter.data(), letter.size(), set.get());
  EXPECT_EQ(set->count, 1);
  EXPECT_EQ(set->grids[0][0][0], 2);
  EXPECT_EQ(set->grids[1][0][0], 1);  // the unfinished level's first row
  EXPECT_EQ(set->grids[1][1][0], 0);
}

}  // namespace
