// The level in memory and its way out: the empty bordered grid, the file-name
// buffer, the writer of one level block in the level-set format, and the
// editor's five sound samples.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "editor/gridcraft.h"

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

ExportResult ExportToFile(int mode, char *fileName) {
  FILE *file = fopen(fileName, mode == 0 ? "w" : "a");
  if (file == nullptr) {
    printf("Cannot open file for saving\n");
    return EXPORT_NOT_OPENED;
  }
  // A write that fails part-way (disk full, size limit) must not leave half a
  // level block: the next append would run on into it and the game would read
  // one broken level. A regular file goes back to its size before the call;
  // its descriptor outlives fclose, which is where stdio's last write fails.
  struct stat before;
  bool regular = fstat(fileno(file), &before) == 0 && S_ISREG(before.st_mode);
  int fd = regular ? dup(fileno(file)) : -1;
  for (int i = 0; i < kGridSize; i++) {
    for (int j = 0; j < kGridSize; j++) fprintf(file, "%d", level[i][j]);
    fprintf(file, "\n");
  }
  fprintf(file, "endLevel\n");
  bool written = !ferror(file);
  if (fclose(file) != 0) written = false;
  if (fd >= 0) {
    if (!written && ftruncate(fd, before.st_size) != 0) perror(fileName);
    close(fd);
  }
  if (!written) {
    printf("Cannot write file for saving\n");
    return EXPORT_NOT_WRITTEN;
  }
  return EXPORT_WRITTEN;
}

void LoadSamples(void) {
  fox_id = loadSample(&soundFX, "./sound/20th.raw");
  beep_id = loadSample(&soundFX, "./sound/bleep.raw");
  save_id = loadSample(&soundFX, "./sound/scan1.raw");
  move_id = loadSample(&soundFX, "./sound/report.raw");
  mouseplace_id = loadSample(&soundFX, "./sound/tone.raw");
}
