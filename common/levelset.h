// The level-set file, read and written by both programs: up to ten levels,
// each 30 row lines of cell digits and an end-of-level line. One reader
// serves the game and the editor; it fills plain grids and leaves the
// game's placements (cheese, cat) and the editor's rules to them.
//
// Failure policy: the reader returns false with a reason for a file it
// cannot open or that is not a regular file; what a file holds is never an
// error: malformed lines are taken as they come.
#pragma once
#include <cstddef>
#include <string>

#include "common/basics.h"

constexpr int kMaxLevels = 10;
// Reading stops here as if the file ended: ten levels take under 10 KB, so
// only a file that is no level set reaches it.
constexpr size_t kMaxLevelSetBytes = 1 << 20;

// A level's own mouse start: the last "3" within that level. A level without
// one (own clear) is played from the file's last start.
struct LevelStart {
  BOOL own;
  int x, y;
};

// What a level-set file holds. grids[n][x][y] is cell (x, y) of level n: x is
// the file's row (line), y the column (character). Only codes 0 ... 4 are
// stored. The grid after the last complete level holds the rows of an
// unfinished one, if any; every other cell is 0.
struct LevelSetFile {
  int grids[kMaxLevels][kGridSize][kGridSize];
  LevelStart starts[kMaxLevels];  // each grid's own start, the unfinished one's too
  int count;                      // complete levels: those ended by an end-of-level line
  LevelStart lastStart;           // the file's last "3", own clear when it has none
};

// Reads the first size bytes of data (at most kMaxLevelSetBytes of them) as a
// level-set file. The text is taken in chunks of at most 30 characters: a
// chunk is the rest of the current line, line feed included, when that is at
// most 30 characters, and otherwise the line's next 30. A chunk that begins
// with a letter ends the level; otherwise its characters up to the first
// white space are columns 0, 1, ... of the current row ("0" ... "4" stored,
// anything else skipped but counted), and that white space moves on to the
// next row. A chunk without white space leaves the row where it is, so an
// overlong line wraps onto its own row's start; a NUL byte ends its chunk.
// Rows past the 30th and levels past the tenth are ignored.
void ParseLevelSet(const char *data, size_t size, LevelSetFile *set);

// Reads the regular file path into *set. Returns false, *set untouched and
// *error saying why, when the file cannot be opened (as strerror says) or is
// a directory, FIFO, device or socket ("not a regular file"). Never blocks on
// such a file and reads at most kMaxLevelSetBytes. With bytes, the bytes read
// and parsed are left there, so a caller that needs them too (the game names
// its scores table by them) never reads the file a second time, which could
// find it changed.
bool ReadLevelSet(const char *path, LevelSetFile *set, std::string *error,
                  std::string *bytes = nullptr);

// One level block as the editor saves it: rows x = 0 ... 29, each its 30
// cells (x, 0) ... (x, 29) as one digit each and a line feed, then
// "endLevel\n". Cells outside 0 ... 9 are written as 0.
std::string FormatLevelBlock(const int grid[kGridSize][kGridSize]);
