// The editor's input: keys for editing and for typing a file name, moving
// through the set, undo and redo, saving, play-testing, mouse presses, drag
// painting and preview turning, and the pop-up menu. Every action changes
// the editor state, plays its cue and asks for a redraw; every change to the
// set is recorded first so that it can be undone.
#include <GL/glut.h>
#include <sys/stat.h>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "common/overlay.h"
#include "editor/gridcraft.h"

BOOL g_bButton1Down = 0;
int clickX = 0;
int dragX = 0;
int dragY = 0;

BOOL enteringFile = 0;
int fileTextIndex = 0;
int fileMode = 0;

BOOL g_bLightingEnabled = 1;
BOOL g_bFillPolygons = 1;
BOOL g_bTexture = 0;

// Indexed by FileMode: saving the whole set asks as saving one level does.
static const char *const kPrompts[3] = {
    "Please enter filename to save to: ", "Please enter filename to append to: ",
    "Please enter filename to save to: "};
// "appened" stays misspelt: the message is matched letter for letter by
// whatever reads the editor's output, the tests among them.
static const char *const kSavedMessages[3] = {
    "File has been saved to: ", "File has been appened to: ", "File has been saved to: "};
// Control keys as GLUT delivers them (Delete is in common/basics.h).
constexpr unsigned char kKeyEscape = 27;
constexpr unsigned char kKeyCtrlS = 19;
constexpr unsigned char kKeyCtrlY = 25;
constexpr unsigned char kKeyCtrlZ = 26;
// How often a running play-test is looked at, milliseconds.
constexpr int kPlayTestPollMs = 250;
static const char kCannotOpenMessage[] = "Cannot open file for saving: ";
static const char kCannotWriteMessage[] = "Cannot write file for saving: ";

int editorWindow = 0;

// Also from a timer, when no window may be current (one just closed).
static void Redraw(void) {
  if (!g_bWindowOpen) return;
  if (glutGetWindow() != editorWindow) glutSetWindow(editorWindow);
  glutPostRedisplay();
}

static void PlayCue(int id) { playSample(&soundFX, id, 1); }

// The message line shows prefix + name in full: the name was bounded when
// typed so that it always fits.
void ShowMessage(const char *prefix, const char *name) {
  int length = snprintf(text, sizeof text, "%s%s", prefix, name);
  textSize = length < static_cast<int>(sizeof text) ? length : static_cast<int>(strlen(text));
  displayText = 1;
}

// ---- Editing actions.

static void MoveCursor(int di, int dj) {
  int i = gridX + di, j = gridY + dj;
  if (i < 0 || j < 0 || i >= kGridSize || j >= kGridSize) return;
  if (level[i][j] == kCellWall) return;
  PlayCue(move_id);
  gridX = i;
  gridY = j;
  Redraw();
}

static void MoveCursorUp(void) { MoveCursor(1, 0); }
static void MoveCursorDown(void) { MoveCursor(-1, 0); }
static void MoveCursorLeft(void) { MoveCursor(0, 1); }
static void MoveCursorRight(void) { MoveCursor(0, -1); }

// An empty cell becomes an obstacle and an obstacle empty; other codes stay.
static void ToggleCell(int i, int j) {
  if (level[i][j] == kCellEmpty)
    level[i][j] = kCellObstacle;
  else if (level[i][j] == kCellObstacle)
    level[i][j] = kCellEmpty;
}

static BOOL Toggles(int i, int j) {
  return level[i][j] == kCellEmpty || level[i][j] == kCellObstacle;
}

static void ToggleCursorCell(void) {
  PlayCue(beep_id);
  if (Toggles(gridX, gridY)) RecordChange();
  ToggleCell(gridX, gridY);
  Redraw();
}

static void PlaceMouseStart(void) {
  if (level[gridX][gridY] != kCellEmpty) return;
  if (audioOn) PlayCue(mouseplace_id);
  RecordChange();
  level[gridX][gridY] = kCellMouseStart;
  level[mouseX][mouseY] = kCellEmpty;
  mouseX = gridX;
  mouseY = gridY;
  Redraw();
}

// Keeps the angle within 0..360 (both ends allowed).
static void TurnPreview(int degrees) {
  lookAt += degrees;
  if (lookAt > 360) lookAt -= 360;
  if (lookAt < 0) lookAt += 360;
  Redraw();
}

static void SetView(int view) {
  viewPoint = view;
  Redraw();
}

static void ClearLevel(void) {
  RecordChange();
  ClearMatrix();
  Redraw();
}

static void ShowChange(bool done, const char *none) {
  if (!done) ShowMessage(none, "");
  Redraw();
}

static void GoToLevel(void (*move)(void)) {
  move();
  Redraw();
}

static void BeginFileName(int mode) {
  ClearFileBuffer();
  fileTextIndex = 0;
  fileMode = mode;
  ShowMessage(kPrompts[mode], "");
  enteringFile = 1;
  Redraw();
}

// ---- File-name typing.

// A key that would not fit in fileText or in the message line is dropped.
static void TypeFileChar(unsigned char key) {
  size_t promptLength = strlen(kPrompts[fileMode]);
  if (key == '\0' || fileTextIndex >= kTextSize - 1 ||
      promptLength + fileTextIndex + 1 > kTextSize - 1)
    return;
  fileText[fileTextIndex++] = static_cast<char>(key);
  ShowMessage(kPrompts[fileMode], fileText);
  Redraw();
}

static void EraseFileChar(void) {
  if (fileTextIndex == 0) return;
  fileText[--fileTextIndex] = '\0';
  ShowMessage(kPrompts[fileMode], fileText);
  Redraw();
}

// The set takes the name only once it was saved under it.
static void SaveSetAs(const std::string &name) {
  const std::string previous = setFile;
  setFile = name;
  std::string failure;
  if (SaveLevelSet(&failure)) {
    PlayCue(save_id);
    ShowMessage(kSavedMessages[FILE_SAVE_SET], name.c_str());
  } else {
    setFile = previous;
    PlayCue(beep_id);
    ShowMessage(failure.c_str(), name.c_str());
  }
  Redraw();
}

// Ctrl-S: the set goes to its file; a set without one asks for a name first.
static void SaveSet(void) {
  if (setFile.empty())
    BeginFileName(FILE_SAVE_SET);
  else
    SaveSetAs(setFile);
}

static void PlayTestTimer(int) {
  if (PollPlayTest())
    glutTimerFunc(kPlayTestPollMs, PlayTestTimer, 0);
  else
    Redraw();
}

static void PlayTest(void) {
  std::string failure;
  if (StartPlayTest(&failure)) {
    ShowMessage("Play-testing from level ", std::to_string(setCurrent + 1).c_str());
    if (g_bWindowOpen) glutTimerFunc(kPlayTestPollMs, PlayTestTimer, 0);
  } else {
    ShowMessage("Cannot start the game: ", failure.c_str());
  }
  Redraw();
}

static void Quit(void) {
  if (MayQuit()) exit(0);
  Redraw();
}

// Whether fileName is the set's own file, under whatever name it was typed.
static bool IsSetFile(const char *fileName) {
  struct stat named, set;
  return !setFile.empty() && stat(fileName, &named) == 0 && stat(setFile.c_str(), &set) == 0 &&
         named.st_dev == set.st_dev && named.st_ino == set.st_ino;
}

static void EndFileName(void) {
  enteringFile = 0;
  fileTextIndex = 0;
  if (fileMode == FILE_SAVE_SET) {
    SaveSetAs(fileText);
    return;
  }
  const ExportResult result = ExportToFile(fileMode, fileText);
  if (result == EXPORT_WRITTEN) {
    // One level written over the set's file, or added to it: the file no
    // longer holds the set, so quitting asks first. No change has number -1.
    if (IsSetFile(fileText)) savedVersion = -1;
    PlayCue(save_id);
    ShowMessage(kSavedMessages[fileMode], fileText);
  } else {
    PlayCue(beep_id);
    ShowMessage(result == EXPORT_NOT_OPENED ? kCannotOpenMessage : kCannotWriteMessage, fileText);
  }
  Redraw();
}

static void FileNameKey(unsigned char key) {
  if (isspace(key))
    EndFileName();
  else if (IsEraseKey(key))
    EraseFileChar();
  else
    TypeFileChar(key);
}

// Ctrl-Z undoes; with Shift, like Ctrl-Y, it redoes.
static void UndoKey(bool redo) {
  ShowChange(redo ? Redo() : Undo(), redo ? "Nothing to redo" : "Nothing to undo");
}

static bool ShiftHeld(void) { return g_bWindowOpen && (glutGetModifiers() & GLUT_ACTIVE_SHIFT); }

static void EditingKey(unsigned char key) {
  EndGesture();  // a key is a step of its own, even with the button held
  if (key != kKeyEscape) quitAsked = 0;
  if (key != kKeyDelete) deleteAsked = 0;
  switch (key) {
    case kKeyEscape: Quit(); break;
    case kKeyCtrlS: SaveSet(); break;
    case kKeyCtrlZ: UndoKey(ShiftHeld()); break;
    case kKeyCtrlY: UndoKey(true); break;
    case kKeyDelete:
      DeleteLevelKey();
      Redraw();
      break;
    case 'n':
      InsertLevel();
      Redraw();
      break;
    case 'p': PlayTest(); break;
    case '1': SetView(VIEW_TOP); break;
    case '2': SetView(VIEW_PREVIEW); break;
    case 'i': MoveCursorUp(); break;
    case 'm': MoveCursorDown(); break;
    case 'j': MoveCursorLeft(); break;
    case 'l': MoveCursorRight(); break;
    case 'z': ToggleCursorCell(); break;
    case 'v': PlaceMouseStart(); break;
    case 'o': TurnPreview(15); break;
    case 'u': TurnPreview(-15); break;
    case 'x':
      gridOn = !gridOn;
      Redraw();
      break;
    case 'c': ClearLevel(); break;
    case 'a': BeginFileName(FILE_SAVE_LEVEL); break;
    case 's': BeginFileName(FILE_APPEND_LEVEL); break;
    case 'q': SelectFromMenu(MENU_LIGHTING); break;
    case 'w': SelectFromMenu(MENU_POLYMODE); break;
    case 'e': SelectFromMenu(MENU_TEXTURING); break;
    default: break;
  }
}

void Keyboard(unsigned char key, int, int) {
  if (enteringFile)
    FileNameKey(key);
  else
    EditingKey(key);
}

void SpecialKeys(int key, int, int) {
  if (enteringFile) return;
  quitAsked = deleteAsked = 0;
  switch (key) {
    case GLUT_KEY_UP: MoveCursorUp(); break;
    case GLUT_KEY_DOWN: MoveCursorDown(); break;
    case GLUT_KEY_LEFT: MoveCursorLeft(); break;
    case GLUT_KEY_RIGHT: MoveCursorRight(); break;
    case GLUT_KEY_PAGE_DOWN: GoToLevel(NextLevel); break;
    case GLUT_KEY_PAGE_UP: GoToLevel(PreviousLevel); break;
    default: break;
  }
}

// ---- Mouse.

static bool InActiveSquare(int x, int y) {
  return x >= kSquareLeft && x <= kSquareRight && y >= kSquareTop && y <= kSquareBottom;
}

static void PreviewButton(int button, int state, int x) {
  if (button != GLUT_LEFT_BUTTON) {
    if (state == GLUT_UP) g_bButton1Down = 0;
    return;
  }
  if (state == GLUT_DOWN) {
    g_bButton1Down = 1;
    clickX = x;
    return;
  }
  // Letting go always snaps the preview back to its start angle.
  g_bButton1Down = 0;
  lookAt = 0;
  viewFrom = 5.0f;
  Redraw();
}

// A press on the cursor cell toggles it and makes it the drag cell too, so
// that a drag starting there does not toggle it back on its first motion.
static void TopViewPress(int x, int y) {
  g_bButton1Down = 1;
  int i = GetGridNum(kSquareBottom, y);
  int j = GetGridNum(kSquareRight, x);
  BeginGesture();
  if (i == gridX && j == gridY) {
    PlayCue(beep_id);
    if (Toggles(i, j)) RecordChange();
    ToggleCell(i, j);
  } else {
    gridX = i;
    gridY = j;
  }
  dragX = i;
  dragY = j;
  Redraw();
}

// Pointer positions are first taken into the 1200 x 600 window's pixels,
// where the top view's square lies; a press on the black bars does nothing.
void MouseButton(int button, int state, int windowX, int windowY) {
  if (state == GLUT_UP) EndGesture();  // wherever the button comes up
  int x, y;
  if (!OverlayPointFromWindow(windowX, windowY, &x, &y) || !InActiveSquare(x, y)) return;
  if (viewPoint == VIEW_PREVIEW) {
    PreviewButton(button, state, x);
  } else if (state == GLUT_DOWN) {
    if (button == GLUT_LEFT_BUTTON) TopViewPress(x, y);
  } else {
    g_bButton1Down = 0;
  }
}

static void PreviewDrag(int x) {
  TurnPreview(x >= clickX ? 3 : -3);
  clickX = x;
}

// Paints each cell once as the pointer enters it; walls and the mouse start
// are left alone and the cursor waits on the last cell it could take.
static void TopViewDrag(int x, int y) {
  PlayCue(beep_id);
  int i = GetGridNum(kSquareBottom, y);
  int j = GetGridNum(kSquareRight, x);
  if ((i != dragX || j != dragY) && Toggles(i, j)) {
    RecordChange();
    ToggleCell(i, j);
    gridX = dragX = i;
    gridY = dragY = j;
  }
  Redraw();
}

void MouseMotion(int windowX, int windowY) {
  int x, y;
  if (!OverlayPointFromWindow(windowX, windowY, &x, &y)) return;
  if (!InActiveSquare(x, y) || !g_bButton1Down) return;
  if (viewPoint == VIEW_PREVIEW)
    PreviewDrag(x);
  else
    TopViewDrag(x, y);
}

// ---- Pop-up menu (the keys q, w, e act as its first three entries).

int BuildPopupMenu(void) {
  int menu = glutCreateMenu(SelectFromMenu);
  glutAddMenuEntry("Toggle lighting\tl", MENU_LIGHTING);
  glutAddMenuEntry("Toggle polygon fill\tp", MENU_POLYMODE);
  glutAddMenuEntry("Toggle texturing\tt", MENU_TEXTURING);
  glutAddMenuEntry("Exit demo\tEsc", MENU_EXIT);
  return menu;
}

void SelectFromMenu(int idCommand) {
  switch (idCommand) {
    case MENU_LIGHTING:
      g_bLightingEnabled = !g_bLightingEnabled;
      SetCapability(GL_LIGHTING, g_bLightingEnabled);
      break;
    case MENU_POLYMODE:
      g_bFillPolygons = !g_bFillPolygons;
      SetPolygonFill(g_bFillPolygons);
      break;
    case MENU_TEXTURING:
      g_bTexture = !g_bTexture;
      SetCapability(GL_TEXTURE_2D, g_bTexture);
      break;
    case MENU_EXIT: Quit(); return;
    default: return;
  }
  Redraw();
}
