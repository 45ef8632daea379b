// libFuzzer target for the shared level-set reader: arbitrary bytes as a
// level-set file, read as the editor opens it and loaded as the game does.
// Checks that neither leaves the grids, starts or level count outside what
// editing and play can handle.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "game/squeakling.h"

static bool InGrid(int x, int y) { return x >= 0 && x < kGridSize && y >= 0 && y < kGridSize; }

static void CheckRead(const uint8_t *data, size_t size) {
  static LevelSetFile set;
  ParseLevelSet(reinterpret_cast<const char *>(data), size, &set);
  if (set.count < 0 || set.count > kMaxLevels) abort();
  for (auto &grid : set.grids)
    for (auto &row : grid)
      for (int cell : row)
        if (cell < CELL_EMPTY || cell > CELL_CHEESE) abort();
  for (const LevelStart &start : set.starts)
    if (start.own && !InGrid(start.x, start.y)) abort();
  if (set.lastStart.own && !InGrid(set.lastStart.x, set.lastStart.y)) abort();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  CheckRead(data, size);
  static const std::string path = "/tmp/level_fuzz_" + std::to_string(getpid()) + ".txt";
  FILE *file = std::fopen(path.c_str(), "wb");
  if (!file) return 0;
  std::fwrite(data, 1, size, file);
  std::fclose(file);

  srand(1);
  if (!LoadUserLevel(path.c_str())) abort();
  std::remove(path.c_str());  // else every run leaves its last input behind
  if (numLevels < 0 || numLevels > kMaxLevels || levelNum != 0) abort();
  for (auto &level : levels)
    for (auto &row : level)
      for (int cell : row)
        if (cell < CELL_EMPTY || cell > CELL_CAT_START) abort();
  if (mousexInit < 0 || mousexInit >= kGridSize || mouseyInit < 0 || mouseyInit >= kGridSize)
    abort();
  for (int n = 0; n < kMaxLevels; n++) {
    int x, y;
    MouseStartOf(n, &x, &y);
    if (x < 0 || x >= kGridSize || y < 0 || y >= kGridSize) abort();
  }
  return 0;
}
