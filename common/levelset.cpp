// The level-set reader and the writer of one level block. The reader works
// on the file's bytes in memory, so the game's load, the editor's open and
// the fuzzer all run the same chunking with its quirks.
#include "common/levelset.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <memory>

#include "common/safefile.h"

// The chunks are what a 31-character line buffer (30 characters and the
// terminator) holds: a full row arrives as its 30 digits, then its line
// feed alone.
constexpr size_t kChunkLength = kGridSize;

static void SetStart(LevelSetFile *set, int n, int x, int y) {
  set->grids[n][x][y] = 3;
  set->starts[n] = LevelStart{TRUE, x, y};
  set->lastStart = set->starts[n];
}

// Stores one chunk of row x of level n; returns whether the chunk ended the
// row.
static bool ReadRowChunk(LevelSetFile *set, int n, int x, const char *chunk, size_t length) {
  for (size_t y = 0; y < length && chunk[y] != '\0'; y++) {
    const unsigned char c = static_cast<unsigned char>(chunk[y]);
    if (isspace(c)) return true;
    if (x >= kGridSize) continue;  // rows past the 30th are ignored
    if (c == '3')
      SetStart(set, n, x, static_cast<int>(y));
    else if (c >= '0' && c <= '4')
      set->grids[n][x][y] = c - '0';
    // any other character keeps its column and changes nothing
  }
  return false;
}

// Length of the chunk at data: through the first line feed, at most
// kChunkLength characters.
static size_t ChunkAt(const char *data, size_t left) {
  const size_t most = left < kChunkLength ? left : kChunkLength;
  const void *feed = memchr(data, '\n', most);
  return feed ? static_cast<size_t>(static_cast<const char *>(feed) - data) + 1 : most;
}

void ParseLevelSet(const char *data, size_t size, LevelSetFile *set) {
  memset(set, 0, sizeof *set);
  if (size > kMaxLevelSetBytes) size = kMaxLevelSetBytes;
  int x = 0;
  for (size_t at = 0; at < size && set->count < kMaxLevels;) {
    const size_t length = ChunkAt(data + at, size - at);
    const char *chunk = data + at;
    at += length;
    if (isalpha(static_cast<unsigned char>(chunk[0]))) {
      set->count++;
      x = 0;
    } else if (ReadRowChunk(set, set->count, x, chunk, length)) {
      x++;
    }
  }
}

bool ReadLevelSet(const char *path, LevelSetFile *set, std::string *error, std::string *bytes) {
  std::unique_ptr<FILE, int (*)(FILE *)> file(OpenRegularFile(path), fclose);
  if (!file) {
    *error = errno == EINVAL ? "not a regular file" : strerror(errno);
    return false;
  }
  std::string contents;
  char buffer[1 << 14];
  size_t got;
  while (contents.size() < kMaxLevelSetBytes &&
         (got = fread(buffer, 1, std::min(sizeof buffer, kMaxLevelSetBytes - contents.size()),
                      file.get())) > 0)
    contents.append(buffer, got);
  if (ferror(file.get())) {
    *error = strerror(errno);
    return false;
  }
  ParseLevelSet(contents.data(), contents.size(), set);
  if (bytes) *bytes = std::move(contents);
  return true;
}

std::string FormatLevelBlock(const int grid[kGridSize][kGridSize]) {
  std::string block;
  block.reserve(kGridSize * (kGridSize + 1) + 9);
  for (int x = 0; x < kGridSize; x++) {
    for (int y = 0; y < kGridSize; y++) {
      const int cell = grid[x][y];
      block += static_cast<char>('0' + (cell >= 0 && cell <= 9 ? cell : 0));
    }
    block += '\n';
  }
  return block + "endLevel\n";
}
