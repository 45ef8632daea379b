// The level set being edited: its levels, the one shown, its file, moving
// between levels, inserting and deleting them, saving the whole set, and the
// rule that unsaved changes are never dropped without a second request.
// Reads files through the shared level-set reader; writes through the
// editor's one file writer.
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "editor/gridcraft.h"

EditorLevel setLevels[kMaxLevels];
int setCount = 1;
int setCurrent = 0;
std::string setFile;
int setVersion = 0;
int savedVersion = 0;
BOOL quitAsked = 0;
BOOL deleteAsked = 0;

static const char kUnsavedMessage[] = "Unsaved changes: Ctrl-S saves, Escape again quits";
// The start of a level without one when the file has none at all.
constexpr int kDefaultStart = 2;

void StoreCurrentLevel(void) {
  EditorLevel &stored = setLevels[setCurrent];
  memcpy(stored.cells, level, sizeof level);
  stored.mouseX = mouseX;
  stored.mouseY = mouseY;
}

static void LoadCurrentLevel(void) {
  const EditorLevel &stored = setLevels[setCurrent];
  memcpy(level, stored.cells, sizeof level);
  mouseX = stored.mouseX;
  mouseY = stored.mouseY;
}

void ShowLevel(int n) {
  if (n < 0 || n >= setCount) return;
  StoreCurrentLevel();
  setCurrent = n;
  LoadCurrentLevel();
  deleteAsked = 0;
}

void NextLevel(void) { ShowLevel(setCurrent + 1); }
void PreviousLevel(void) { ShowLevel(setCurrent - 1); }

void NewLevelSet(const char *fileName) {
  ClearMatrix();
  setCount = 1;
  setCurrent = 0;
  StoreCurrentLevel();
  setFile = fileName;
  ForgetChanges();
}

// One cell holds the start: the level's own (its last "3"), else the cell
// the game would play the level from; other "3"s play as empty floor.
static void TakeLevel(EditorLevel *to, const int grid[kGridSize][kGridSize], const LevelStart &own,
                      const LevelStart &fileStart) {
  memcpy(to->cells, grid, sizeof to->cells);
  for (auto &row : to->cells)
    for (int &cell : row)
      if (cell == kCellMouseStart) cell = kCellEmpty;
  const LevelStart &start = own.own ? own : fileStart;
  to->mouseX = start.own ? start.x : kDefaultStart;
  to->mouseY = start.own ? start.y : kDefaultStart;
  to->cells[to->mouseX][to->mouseY] = kCellMouseStart;
}

bool OpenLevelSet(const char *fileName, std::string *error) {
  struct stat info;
  if (stat(fileName, &info) != 0 && errno == ENOENT) {
    NewLevelSet(fileName);
    return true;
  }
  auto file = std::make_unique<LevelSetFile>();
  if (!ReadLevelSet(fileName, file.get(), error)) return false;
  if (file->count == 0) {
    *error = "it holds no complete level";
    return false;
  }
  for (int n = 0; n < file->count; n++)
    TakeLevel(&setLevels[n], file->grids[n], file->starts[n], file->lastStart);
  setCount = file->count;
  setCurrent = 0;
  LoadCurrentLevel();
  setFile = fileName;
  ForgetChanges();
  return true;
}

static void BorderedLevel(EditorLevel *to) {
  int savedLevel[kGridSize][kGridSize];
  memcpy(savedLevel, level, sizeof level);
  const int savedX = mouseX, savedY = mouseY;
  ClearMatrix();
  memcpy(to->cells, level, sizeof level);
  to->mouseX = mouseX;
  to->mouseY = mouseY;
  memcpy(level, savedLevel, sizeof level);
  mouseX = savedX;
  mouseY = savedY;
}

BOOL InsertLevel(void) {
  if (setCount >= kMaxLevels) {
    ShowMessage("A level set holds at most 10 levels", "");
    return FALSE;
  }
  RecordChange();
  StoreCurrentLevel();
  for (int n = setCount; n > setCurrent + 1; n--) setLevels[n] = setLevels[n - 1];
  BorderedLevel(&setLevels[setCurrent + 1]);
  setCount++;
  ShowLevel(setCurrent + 1);
  return TRUE;
}

void DeleteLevelKey(void) {
  char number[32];
  snprintf(number, sizeof number, "%d", setCurrent + 1);
  if (setCount == 1) {
    ShowMessage("The only level of a set cannot be deleted", "");
    return;
  }
  if (!deleteAsked) {
    deleteAsked = 1;
    ShowMessage("Press Delete again to delete level ", number);
    return;
  }
  RecordChange();
  for (int n = setCurrent; n + 1 < setCount; n++) setLevels[n] = setLevels[n + 1];
  setCount--;
  if (setCurrent >= setCount) setCurrent = setCount - 1;
  LoadCurrentLevel();
  deleteAsked = 0;
  ShowMessage("Deleted level ", number);
}

std::string FormatLevelSet(int from) {
  StoreCurrentLevel();
  std::string contents;
  for (int n = from; n < setCount; n++) contents += FormatLevelBlock(setLevels[n].cells);
  return contents;
}

bool SaveLevelSet(std::string *error) {
  const ExportResult result = WriteLevelFile(setFile.c_str(), FormatLevelSet(0), true);
  if (result != EXPORT_WRITTEN) {
    *error = result == EXPORT_NOT_OPENED ? "Cannot open file for saving: "
                                         : "Cannot write file for saving: ";
    return false;
  }
  savedVersion = setVersion;
  return true;
}

BOOL HasUnsavedChanges(void) { return setVersion != savedVersion; }

std::string StatusLine(void) {
  char where[64];
  snprintf(where, sizeof where, "level %d of %d", setCurrent + 1, setCount);
  std::string line = (setFile.empty() ? std::string("new level set") : setFile) + " - " + where;
  // The question stays in the header as long as it stands, the message line
  // showing it only until the next redraw.
  if (quitAsked)
    line += std::string(" - ") + kUnsavedMessage;
  else if (HasUnsavedChanges())
    line += " - unsaved changes";
  return line;
}

bool MayQuit(void) {
  if (!HasUnsavedChanges() || quitAsked) return true;
  quitAsked = 1;
  ShowMessage(kUnsavedMessage, "");
  return false;
}
