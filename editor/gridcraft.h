// The level editor: a level set of 1 to 10 levels of 30 x 30 cells, edited
// one level at a time from a top view or a 3D preview around the cursor,
// painted with keys and mouse drags, with undo and redo; saved as a whole
// set, or one level written as a new file or appended to one; play-tested
// in the game.
//
// Failure policy: a level file that cannot be opened or written is reported
// on standard output and on the message line; nothing else ends the editor
// but Escape, the menu's exit and the window's close button, which with
// unsaved changes ask a second time; a level set named on the command line
// that cannot be read ends it before its window opens.
#pragma once

#include <GL/gl.h>

#include <string>

#include "common/basics.h"
#include "common/drawing.h"
#include "common/gaudio.h"
#include "common/levelset.h"

constexpr int kTextSize = 100;  // text and fileText, terminator included

// Cell codes the editor writes (the level-set format knows more).
constexpr int kCellEmpty = 0;
constexpr int kCellWall = 1;
constexpr int kCellObstacle = 2;
constexpr int kCellMouseStart = 3;
// Kept from a file written by hand; the editor itself never puts one.
constexpr int kCellCheese = 4;

// Top-view square holding the 28 x 28 inner cells, in pixels of the
// 1200 x 600 window, y from the top. The view is drawn in the overlay's 2:1
// picture (common/overlay.h) at any window size, and the pointer callbacks
// map window pixels into these before testing them.
constexpr int kSquareLeft = 392;
constexpr int kSquareRight = 825;
constexpr int kSquareTop = 92;
constexpr int kSquareBottom = 525;
constexpr double kCellPixels = 15.46429;  // one top-view cell on screen

enum { MENU_LIGHTING = 1, MENU_POLYMODE, MENU_TEXTURING, MENU_EXIT };

// ---- The level and the cursor; the level lives only in memory until saved.
extern int level[kGridSize][kGridSize];  // level[i][j], cell (i, j) at world (i, j)
extern int gridX, gridY;                 // cursor cell (first, second index), start 1, 1
extern int mouseX, mouseY;               // the one cell holding kCellMouseStart

// ---- View state for the whole run.
// Views of viewPoint.
enum EditorView { VIEW_PREVIEW = 1, VIEW_TOP = 2 };
extern int viewPoint;   // an EditorView; VIEW_TOP at start
extern int lookAt;      // preview camera angle around the cursor, degrees 0..360
extern float viewFrom;  // preview camera height, 5.0
extern BOOL gridOn;     // draw cell outlines
extern int g_Width, g_Height;
extern float g_nearPlane, g_farPlane;
extern GLfloat g_lightPos[4];
extern const GLfloat wallColor[4];
extern const GLfloat colorPanel[4];

// ---- Message line: set by input, drawn by the next frame, which clears
// displayText. text holds at most kTextSize - 1 characters.
extern char text[kTextSize];
extern int textSize;  // characters of text to draw
extern BOOL displayText;

// ---- Pointer state.
extern BOOL g_bButton1Down;  // left button went down in the square, not yet released there
extern int clickX;           // pointer x at the last preview turn step
extern int dragX, dragY;     // last cell the pointer moved the cursor to or toggled

// ---- File-name entry.
extern BOOL enteringFile;  // keys go to fileText
extern char fileText[kTextSize];
extern int fileTextIndex;  // next position in fileText
// What a typed name is for.
enum FileMode { FILE_SAVE_LEVEL = 0, FILE_APPEND_LEVEL = 1, FILE_SAVE_SET = 2 };
extern int fileMode;  // a FileMode

// ---- Display toggles of the menu and the keys q, w, e.
extern BOOL g_bLightingEnabled;  // starts true while lighting starts disabled
extern BOOL g_bFillPolygons;
extern BOOL g_bTexture;

// ---- Sound: the mixer record and the five sample ids, -1 when a load failed.
extern gameaudio soundFX;
extern BOOL audioOn;  // false when the sound device did not open
extern int fox_id, beep_id, save_id, move_id, mouseplace_id;

// ---- View and drawing (need a current GL context).
void InitGraphics(void);
// The GL state InitGraphics sets, for a new window (no images read).
void InitGraphicsState(void);
void reshape(int width, int height);
void display(void);
void RenderObjects(void);
void DisplayText(char *message, int length);
void DisplayInstructions(void);
void DrawString(char *string, int length);
void DrawCubeFace(float fSize);
void DrawCubeWithTextureCoords(float fSize, float x, float y, int spin);
void DrawSquareFace(float x1, float y1, float x2, float y2, float z);
void DrawFloor(void);

// Pointer coordinate to a 1-based cell number counted back from max, one
// cell per kCellPixels; 1 for any val > max.
int GetGridNum(int max, int val);

// ---- Input callbacks; they work without a window (see g_bWindowOpen in common/drawing.h).
void Keyboard(unsigned char key, int x, int y);
// The arrows move the cursor as i, m, j and l do; Page Up / Page Down move
// through the set. Ignored while a file name is typed.
void SpecialKeys(int key, int x, int y);
// The editor's window, 0 before it opens; the close button replaces it.
extern int editorWindow;
// x, y: window pixels as GLUT gives them; nothing happens on the black bars.
void MouseButton(int button, int state, int x, int y);
void MouseMotion(int x, int y);
int BuildPopupMenu(void);
void SelectFromMenu(int idCommand);

// ---- The level set: levels 0 ... setCount - 1. The current one is edited
// in level, mouseX, mouseY; setLevels holds the others and receives the
// current one back through StoreCurrentLevel.
struct EditorLevel {
  int cells[kGridSize][kGridSize];
  int mouseX, mouseY;  // the start cell
};
extern EditorLevel setLevels[kMaxLevels];
extern int setCount;         // 1 ... kMaxLevels
extern int setCurrent;       // the level shown, 0-based
extern std::string setFile;  // where Ctrl-S saves; empty until named
// The set's changes: every change gets a new number; the saved one is kept.
extern int setVersion, savedVersion;
extern BOOL quitAsked;    // Escape was pressed with unsaved changes
extern BOOL deleteAsked;  // Delete was pressed once on this level

// Starts a set of one new level (ClearMatrix) to be saved as fileName
// ("" for none yet); nothing unsaved.
void NewLevelSet(const char *fileName);
// Opens fileName at its first level: an existing level-set file, or a new
// one-level set for a name that does not exist yet. Returns false, the set
// untouched, with *error saying why, for a file that cannot be read, is no
// regular file or holds no complete level. A level without a start of its
// own gets one on the cell the game plays it from (the file's last start,
// else (2, 2)); of several starts in a level the last one stays.
bool OpenLevelSet(const char *fileName, std::string *error);
// Copies level, mouseX, mouseY into setLevels[setCurrent].
void StoreCurrentLevel(void);
// Stores the current level and shows level n (0-based, within the set).
void ShowLevel(int n);
// Page Down / Page Up: the next / previous level; nothing at the ends.
void NextLevel(void);
void PreviousLevel(void);
// "n": a new bordered level after the current one, shown. Refused with a
// message when the set holds kMaxLevels levels; returns whether it was made.
BOOL InsertLevel(void);
// Delete: the first press asks on the message line, the second removes the
// current level; the only level of a set is never removed.
void DeleteLevelKey(void);
// Writes every level to setFile through the safe writer, the old file kept
// as setFile~. Returns false with *error, the file as it was, on failure.
bool SaveLevelSet(std::string *error);
// The whole set as the game reads it, levels from..setCount - 1.
std::string FormatLevelSet(int from);
// Whether the set differs from the last one saved (or opened).
BOOL HasUnsavedChanges(void);
// The status in the header: the file's name, "level 3 of 5", unsaved changes
// (the question itself while Escape has asked it).
std::string StatusLine(void);
// Escape, the menu's exit and the window's close button: true when the
// editor may end now (nothing unsaved, or asked already); otherwise asks on
// the message line and returns false.
bool MayQuit(void);

// ---- Undo and redo of every change: cells, start, clear, insert, delete.
constexpr int kUndoSteps = 100;
// Called before a change: keeps the set as it is as one undo step and forgets
// the redo steps. Within a gesture (a press and its drag) only the first
// change makes a step.
void RecordChange(void);
void BeginGesture(void);
void EndGesture(void);
// Go back / forward one step; false when there is none.
bool Undo(void);
bool Redo(void);
// Forgets every step (a set just opened).
void ForgetChanges(void);

// ---- Play-test: the game on a temporary copy of the set from the current
// level on, as a child process in the editor's folder; one at a time.
// Returns false with *error when it cannot be started.
bool StartPlayTest(std::string *error);
// The game to run: squeakling beside the editor's program, else "squeakling"
// looked up on PATH.
std::string PlayTestProgram(void);
// Starts program on setPath; the test seam of StartPlayTest.
bool StartGame(const std::string &program, const std::string &setPath, std::string *error);
// Reaps a game that has ended and removes its temporary set; returns whether
// a game still runs. Called from a timer while one runs.
BOOL PollPlayTest(void);

// ---- Level and file.
// Border ring := wall, the rest empty, start cell (2, 2). The cursor stays.
void ClearMatrix(void);
// Zero-fills all of fileText.
void ClearFileBuffer(void);
// What ExportToFile did with the level.
enum ExportResult { EXPORT_NOT_OPENED = 0, EXPORT_WRITTEN = 1, EXPORT_NOT_WRITTEN = 2 };
// Writes the level as one level block: mode 0 replaces fileName by a file of
// this one level, mode 1 appends it; both through the safe writer, so a
// failure leaves the file byte for byte as it was. EXPORT_NOT_OPENED (no such
// folder, no permission, not a regular file) prints "Cannot open file for
// saving\n" on standard output; EXPORT_NOT_WRITTEN (a full disk, a size
// limit) prints "Cannot write file for saving\n".
ExportResult ExportToFile(int mode, char *fileName);
// Writes contents as fileName through the safe writer, the old file kept as
// fileName~ when keepBackup; reports as ExportToFile does.
ExportResult WriteLevelFile(const char *fileName, const std::string &contents, bool keepBackup);
// Shows prefix + name on the message line in the next frame.
void ShowMessage(const char *prefix, const char *name);
// Loads the five samples from ./sound/ into soundFX.
void LoadSamples(void);
