// The level in memory and its way out: the empty bordered grid, the file-name
// buffer, the one writer of every file the editor writes (through the safe
// writer: a failure leaves the file as it was), and the editor's five sound
// samples.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "common/safefile.h"
#include "editor/gridcraft.h"

// The largest file a level is appended to; a level set is a few KB.
constexpr size_t kMaxAppendBytes = 64u << 20;

int level[kGridSize][kGridSize];
int gridX = 1;
int gridY = 1;
int mouseX = 2;
int mouseY = 2;

char fileText[kTextSize];

gameaudio soundFX;
BOOL audioOn = 1;
int fox_id = -1;
int beep_id = -1;
int save_id = -1;
int move_id = -1;
int mouseplace_id = -1;

void ClearMatrix(void) {
  for (int i = 0; i < kGridSize; i++)
    for (int j = 0; j < kGridSize; j++) {
      bool ring = i == 0 || j == 0 || i == kGridSize - 1 || j == kGridSize - 1;
      level[i][j] = ring ? kCellWall : kCellEmpty;
    }
  level[2][2] = kCellMouseStart;
  mouseX = 2;
  mouseY = 2;
}

void ClearFileBuffer(void) { memset(fileText, 0, sizeof fileText); }

// Whether fileName can be written at all: a regular file (or none yet) that
// is writable, in a folder that is. The safe writer could replace a
// read-only file by renaming over it; the editor leaves it alone, as
// opening it for writing always did.
static bool Writable(const char *fileName) {
  if (fileName[0] == '\0') return false;
  struct stat info;
  if (stat(fileName, &info) == 0) return S_ISREG(info.st_mode) && access(fileName, W_OK) == 0;
  if (errno != ENOENT) return false;
  std::string folder(fileName);
  const size_t slash = folder.rfind('/');
  folder = slash == std::string::npos ? "." : folder.substr(0, slash == 0 ? 1 : slash);
  return access(folder.c_str(), W_OK) == 0;
}

ExportResult WriteLevelFile(const char *fileName, const std::string &contents, bool keepBackup) {
  if (!Writable(fileName)) {
    printf("Cannot open file for saving\n");
    return EXPORT_NOT_OPENED;
  }
  std::string error;
  if (!WriteFileSafely(fileName, contents, keepBackup, &error)) {
    printf("Cannot write file for saving\n");
    return EXPORT_NOT_WRITTEN;
  }
  return EXPORT_WRITTEN;
}

// An append is the old file and the new block written as one new file, so
// that a write failing part-way never leaves half a level at the end.
ExportResult ExportToFile(int mode, char *fileName) {
  std::string contents;
  if (mode == FILE_APPEND_LEVEL && Writable(fileName) && access(fileName, F_OK) == 0) {
    std::string error;
    if (!ReadRegularFile(fileName, kMaxAppendBytes, &contents, &error)) {
      printf("Cannot open file for saving\n");
      return EXPORT_NOT_OPENED;
    }
  }
  return WriteLevelFile(fileName, contents + FormatLevelBlock(level), false);
}

void LoadSamples(void) {
  fox_id = loadSample(&soundFX, "./sound/20th.raw");
  beep_id = loadSample(&soundFX, "./sound/bleep.raw");
  save_id = loadSample(&soundFX, "./sound/scan1.raw");
  move_id = loadSample(&soundFX, "./sound/report.raw");
  mouseplace_id = loadSample(&soundFX, "./sound/tone.raw");
}
