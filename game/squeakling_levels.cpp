// The level set: the ten grids, the level-set file reader and the random
// placements of cheese and cat start. A file that cannot be opened leaves the
// set as it was; malformed lines are taken as they come, never reported.
#include <cctype>
#include <cstdio>
#include <cstdlib>
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
// The reader takes a line in chunks of at most 30 characters (a 31-character
// buffer with its terminator), so a full row arrives as 30 digits and then
// its line feed alone.
constexpr int kChunkSize = kGridSize + 1;

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

static void SetMouseStart(int x, int y) {
  levels[levelNum][x][y] = CELL_MOUSE_START;
  levelStarts[levelNum] = LevelStart{TRUE, x, y};
  mousexInit = x;
  mouseyInit = y;
  mousex = x;
  mousey = y;
  mouseorient = 0;
}

// Stores one chunk of row x; returns whether the chunk ended the row.
static BOOL ReadRowChunk(const char *chunk, int x) {
  for (int y = 0; chunk[y] != '\0'; y++) {
    unsigned char c = static_cast<unsigned char>(chunk[y]);
    if (isspace(c)) return TRUE;
    if (x >= kGridSize) continue;  // rows past the 30th are ignored
    switch (c) {
      case '0':
      case '1':
      case '2':
      case '4': levels[levelNum][x][y] = c - '0'; break;
      case '3': SetMouseStart(x, y); break;
      default: break;  // any other character keeps its column and changes nothing
    }
  }
  return FALSE;
}

BOOL LoadUserLevel(const char *fileName) {
  std::unique_ptr<FILE, int (*)(FILE *)> file(fopen(fileName, "re"), fclose);  // close-on-exec
  if (!file) return FALSE;

  ClearLevels();
  levelNum = 0;
  int x = 0;
  char chunk[kChunkSize];
  while (levelNum < kMaxLevels && fgets(chunk, sizeof chunk, file.get())) {
    if (isalpha(static_cast<unsigned char>(chunk[0]))) {
      levelNum++;
      x = 0;
    } else if (ReadRowChunk(chunk, x)) {
      x++;
    }
  }
  numLevels = levelNum;
  // Placed once the whole file is read: a level without a start of its own
  // plays from the file's last start, which may come in a later level, and
  // its cat keeps its distance from that one. The draws are made in the
  // same order as level by level, cheese before cat.
  for (levelNum = 0; levelNum < numLevels; levelNum++) PlaceCheeseAndCat();
  levelNum = 0;
  return TRUE;
}
