// The level set: the ten grids, filled from the shared level-set reader,
// and the random placements of cheese and cat start. A file that cannot be
// opened leaves the set as it was; malformed lines are taken as they come,
// never reported.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "game/squeakling.h"

int levels[kMaxLevels][kGridSize][kGridSize];
int numLevels = 0;
int levelNum = 0;
int mousexInit = 2, mouseyInit = 2;
int mouseOrientInit = 0;
int cheeseX, cheeseY;
LevelStart levelStarts[kMaxLevels];

// The cat starts more than this many cells from the mouse in x or in y.
constexpr int kCatStartDistance = 9;

void ClearLevels(void) {
  for (auto &level : levels)
    for (auto &row : level)
      for (int &cell : row) cell = CELL_EMPTY;
  for (LevelStart &start : levelStarts) start = LevelStart{};
}

void WallCorner(void) { levels[levelNum][kCornerX][kCornerY] = CELL_WALL; }

void MouseStartOf(int n, int *x, int *y) {
  const BOOL own = n >= 0 && n < kMaxLevels && levelStarts[n].own;
  *x = own ? levelStarts[n].x : mousexInit;
  *y = own ? levelStarts[n].y : mouseyInit;
}

void PutMouseOnStart(int n) {
  int x, y;
  MouseStartOf(n, &x, &y);
  mousex = x;
  mousey = y;
  mouseorient = mouseOrientInit;
  viewOrient = mouseOrientInit;
}

static BOOL HasEmptyPlace(int grid[kGridSize][kGridSize]) {
  for (int x = 0; x < kPlaceRange; x++)
    for (int y = 0; y < kPlaceRange; y++)
      if (grid[x][y] == CELL_EMPTY) return TRUE;
  return FALSE;
}

BOOL RandomEmptyCell(int grid[kGridSize][kGridSize], int *x, int *y) {
  if (!HasEmptyPlace(grid)) return FALSE;
  do {
    *x = rand() % kPlaceRange;
    *y = rand() % kPlaceRange;
  } while (grid[*x][*y] != CELL_EMPTY);
  return TRUE;
}

static BOOL HoldsCheese(int grid[kGridSize][kGridSize]) {
  for (int x = 0; x < kGridSize; x++)
    for (int y = 0; y < kGridSize; y++)
      if (grid[x][y] == CELL_CHEESE) return TRUE;
  return FALSE;
}

void PutBackMissingCheese(void) {
  for (int n = 0; n < numLevels && n < kMaxLevels; n++) {
    int x, y;
    if (!HoldsCheese(levels[n]) && RandomEmptyCell(levels[n], &x, &y))
      levels[n][x][y] = CELL_CHEESE;
  }
}

static BOOL FarFromMouseStart(int x, int y, int startX, int startY) {
  return abs(x - startX) > kCatStartDistance || abs(y - startY) > kCatStartDistance;
}

static BOOL HasCatPlace(int grid[kGridSize][kGridSize], int startX, int startY) {
  for (int x = 0; x < kPlaceRange; x++)
    for (int y = 0; y < kPlaceRange; y++)
      if (grid[x][y] == CELL_EMPTY && FarFromMouseStart(x, y, startX, startY)) return TRUE;
  return FALSE;
}

void PlaceCat(void) {
  int(*grid)[kGridSize] = levels[levelNum];
  int startX, startY;
  MouseStartOf(levelNum, &startX, &startY);
  int x, y;
  if (HasCatPlace(grid, startX, startY)) {
    do {
      x = rand() % kPlaceRange;
      y = rand() % kPlaceRange;
    } while (grid[x][y] != CELL_EMPTY || !FarFromMouseStart(x, y, startX, startY));
  } else if (!RandomEmptyCell(grid, &x, &y)) {
    // A small or crowded level: nearer than usual, or no cat at all.
    return;
  }
  grid[x][y] = CELL_CAT_START;
}

static void PlaceCheeseAndCat(void) {
  int x, y;
  if (RandomEmptyCell(levels[levelNum], &x, &y)) {
    levels[levelNum][x][y] = CELL_CHEESE;
    cheeseX = x;
    cheeseY = y;
  }
  PlaceCat();
}

void UseLevelSet(const LevelSetFile &set) {
  ClearLevels();
  memcpy(levels, set.grids, sizeof levels);
  memcpy(levelStarts, set.starts, sizeof levelStarts);
  if (set.lastStart.own) {
    mousexInit = set.lastStart.x;
    mouseyInit = set.lastStart.y;
    mousex = mousexInit;
    mousey = mouseyInit;
    mouseorient = 0;
  }
  numLevels = set.count;
  // Placed once the whole file is read: a level without a start of its own
  // plays from the file's last start, which may come in a later level, and
  // its cat keeps its distance from that one. The draws are made in the
  // same order as level by level, cheese before cat.
  for (levelNum = 0; levelNum < numLevels; levelNum++) PlaceCheeseAndCat();
  levelNum = 0;
}

BOOL LoadUserLevel(const char *fileName, std::string *bytes) {
  auto set = std::make_unique<LevelSetFile>();
  std::string error;
  if (!ReadLevelSet(fileName, set.get(), &error, bytes)) return FALSE;
  UseLevelSet(*set);
  return TRUE;
}

const char kNoCompleteLevel[] = "it holds no complete level";

BOOL LoadPlayableLevelSet(const char *fileName, std::string *reason, std::string *bytes) {
  auto set = std::make_unique<LevelSetFile>();
  std::string read;
  if (!ReadLevelSet(fileName, set.get(), reason, &read)) return FALSE;
  if (set->count == 0) {
    *reason = kNoCompleteLevel;
    return FALSE;
  }
  if (bytes) *bytes = std::move(read);
  UseLevelSet(*set);
  return TRUE;
}
