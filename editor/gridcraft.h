// The level editor: one 30 x 30 level edited from a top view or a 3D preview
// around the cursor, painted with keys and mouse drags, and written as one
// level block into a level-set file (new file or appended).
//
// Failure policy: a level file that cannot be opened or written is reported
// on standard output and on the message line; nothing else ends the editor but Escape
// and the menu's exit.
#pragma once

#include <GL/gl.h>

#include "common/basics.h"
#include "common/drawing.h"
#include "common/gaudio.h"

constexpr int kTextSize = 100;  // text and fileText, terminator included

// Cell codes the editor writes (the level-set format knows more).
constexpr int kCellEmpty = 0;
constexpr int kCellWall = 1;
constexpr int kCellObstacle = 2;
constexpr int kCellMouseStart = 3;

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
extern int fileMode;       // 0 save to a new file, 1 append

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
// The arrows move the cursor as i, m, j and l do; ignored while a file name
// is typed.
void SpecialKeys(int key, int x, int y);
// x, y: window pixels as GLUT gives them; nothing happens on the black bars.
void MouseButton(int button, int state, int x, int y);
void MouseMotion(int x, int y);
int BuildPopupMenu(void);
void SelectFromMenu(int idCommand);

// ---- Level and file.
// Border ring := wall, the rest empty, start cell (2, 2). The cursor stays.
void ClearMatrix(void);
// Zero-fills all of fileText.
void ClearFileBuffer(void);
// What ExportToFile did with the level.
enum ExportResult { EXPORT_NOT_OPENED = 0, EXPORT_WRITTEN = 1, EXPORT_NOT_WRITTEN = 2 };
// Writes the level as one level block: mode 0 creates or empties fileName,
// mode 1 appends. EXPORT_NOT_OPENED prints "Cannot open file for saving\n" on
// standard output; EXPORT_NOT_WRITTEN (a write or the close failed: a full
// disk, a size limit) prints "Cannot write file for saving\n" and cuts the
// file back to its size before the call.
ExportResult ExportToFile(int mode, char *fileName);
// Loads the five samples from ./sound/ into soundFX.
void LoadSamples(void);
