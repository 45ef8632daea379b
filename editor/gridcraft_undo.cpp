// Undo and redo: each step keeps the whole set as it was before a change
// (its levels, the level shown, the cursor and the change's number), so
// undoing restores inserted and deleted levels as well as cells.
#include <cstring>
#include <deque>
#include <vector>

#include "editor/gridcraft.h"

namespace {

struct SetState {
  std::vector<EditorLevel> levels;
  int current;
  int cursorX, cursorY;
  int version;
};

}  // namespace

static std::deque<SetState> undoSteps;  // the newest at the back
static std::vector<SetState> redoSteps;
static int lastVersion = 0;      // the highest change number given so far
static BOOL inGesture = 0;       // between a press and its release
static BOOL gestureStepped = 0;  // the gesture made its step already

static SetState CurrentState(void) {
  StoreCurrentLevel();
  SetState state;
  state.levels.assign(setLevels, setLevels + setCount);
  state.current = setCurrent;
  state.cursorX = gridX;
  state.cursorY = gridY;
  state.version = setVersion;
  return state;
}

static void RestoreState(const SetState &state) {
  setCount = static_cast<int>(state.levels.size());
  for (int n = 0; n < setCount; n++) setLevels[n] = state.levels[n];
  setCurrent = state.current;
  // ShowLevel would store the level shown now over the restored one.
  memcpy(level, setLevels[setCurrent].cells, sizeof level);
  mouseX = setLevels[setCurrent].mouseX;
  mouseY = setLevels[setCurrent].mouseY;
  gridX = state.cursorX;
  gridY = state.cursorY;
  setVersion = state.version;
  deleteAsked = 0;
}

void RecordChange(void) {
  quitAsked = 0;
  if (inGesture && gestureStepped) return;
  gestureStepped = inGesture;
  undoSteps.push_back(CurrentState());
  if (undoSteps.size() > static_cast<size_t>(kUndoSteps)) undoSteps.pop_front();
  redoSteps.clear();
  setVersion = ++lastVersion;
}

void BeginGesture(void) {
  inGesture = 1;
  gestureStepped = 0;
}

void EndGesture(void) { inGesture = 0; }

bool Undo(void) {
  if (undoSteps.empty()) return false;
  redoSteps.push_back(CurrentState());
  RestoreState(undoSteps.back());
  undoSteps.pop_back();
  inGesture = 0;
  return true;
}

bool Redo(void) {
  if (redoSteps.empty()) return false;
  undoSteps.push_back(CurrentState());
  RestoreState(redoSteps.back());
  redoSteps.pop_back();
  inGesture = 0;
  return true;
}

void ForgetChanges(void) {
  undoSteps.clear();
  redoSteps.clear();
  setVersion = savedVersion = ++lastVersion;
  inGesture = gestureStepped = 0;
}
