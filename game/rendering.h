// The 3D scene: GL set-up, lights and cameras, the play frame's drawing,
// mirror floor, planar shadows, maze and actors. Everything here runs on the
// GLUT thread; the pure helpers (cameras, shadow matrices, wall faces, cell
// scan) make no GL call and suit unit tests.
#pragma once
#include <GL/gl.h>

#include "common/basics.h"

struct GLMmodel;

// ---- Window and projection: reshape keeps them in step with the window ----
extern int g_Width, g_Height;          // window size in pixels (defined with the flow)
extern float g_nearPlane, g_farPlane;  // clipping distances, world units

// ---- Lights: fixed for the run, issued by every frame set-up ----
extern GLfloat g_lightPos0[4], g_lightPos1[4], g_lightPos2[4];  // positional, w = 1
extern GLfloat g_lightPos3[4], g_lightPos4[4], g_lightPos5[4];
extern GLfloat g_diffuse1[4];  // light 1
extern GLfloat g_diffuse2[4];  // the four spotlights
extern GLfloat g_ambient1[4], g_specular1[4];
extern GLfloat g_spot_direction[3];  // straight down
extern float g_spot_exponent;
constexpr float kSpotCutoff = 14.0f;  // degrees

// ---- Scene textures: loaded once by InitGraphics, never freed ----
constexpr int kTexWood = 0, kTexCheese = 1, kTexFur = 2, kTexFloor = 3;
constexpr int kTexSlots = 4;
extern GLuint texName[kTexSlots];  // texture objects 1-4
extern int texWidth[kTexSlots], texHeight[kTexSlots];
extern unsigned int *cheeseTex, *furTex, *floorTex;

// ---- Floor plane and shadow matrices: built once at start-up ----
extern GLfloat floorV0[3], floorV1[3], floorV2[3];
extern GLfloat planeFloor[4];  // (nx, ny, nz, d): nx x + ny y + nz z + d = 0
// Column-major (m[column][row]), ready for glMultMatrixf.
extern GLfloat light0ShadowProj[4][4], light1ShadowProj[4][4], light2ShadowProj[4][4];
extern GLfloat light3ShadowProj[4][4], light4ShadowProj[4][4], light5ShadowProj[4][4];

// ---- Frame and cameras ----
void InitGraphics(void);
// The window's new size: the scene's viewport is the overlay's 2:1 picture in
// it (common/overlay.h), its aspect ratio always 2.
void reshape(int width, int height);
void display(void);            // the play screen's frame
void SetUpDisplay(void);       // lights, clears and camera: first step of every screen
void SetLightPositions(void);  // positions only, under the current model-view

// Eye, centre and up of the camera for a view mode; returns 0 (and leaves the
// arrays alone) for a mode that has no camera.
BOOL GetCamera(int view, double mx, double my, double orient, double eye[3], double centre[3],
               double up[3]);

// ---- Scene passes: mirror floor, lit scene, planar shadows ----
void RenderObjects(void);
void RenderObjectsNoRef(BOOL drawFloor, BOOL notShadowPass);
void DoReflections(void);
void DoShadows(const GLfloat *matrix);
void QuickDrawFloor(void);
void DoFloor(BOOL drawFloor, BOOL notShadowPass);

// Shadow passes for a shadow setting, in order: fills up to six matrices and
// colours and returns how many (0 for a setting outside 0 ... 3).
int ShadowPasses(int setting, const GLfloat *matrices[6], const GLfloat *colours[6]);

// ---- Shadow matrices (no GL) ----
void CreateShadowProjection(GLfloat projMatrix[4][4], const GLfloat *lightPosition,
                            const GLfloat *plane);
void GetPlane(GLfloat *plane, const GLfloat *vertex1, const GLfloat *vertex2,
              const GLfloat *vertex3);
void BuildShadowMatrices(void);  // floor plane and the six matrices, once at start-up
// Light n's shadow matrix (column-major) and position, n from 0 to 5; null
// for any other n.
const GLfloat *ShadowMatrix(int light);
const GLfloat *LightPosition(int light);

// ---- Maze and actor geometry ----
void DrawCubeFace(float fSize);
void DrawCubeWithTextureCoords(float fSize, float x, float y, int spin);
void DrawWallWithTextureCoords(float fSize, float x, float y, int spin);
void DoWall(BOOL notShadowPass);
void DoObstacles(BOOL notShadowPass);
void DrawBonus(float x, float y, BOOL notShadowPass);
void DrawMouse(float x, float y, BOOL notShadowPass);
void DrawCat(float x, float y, BOOL notShadowPass);
void DrawCheese(float x, float y, BOOL notShadowPass);

// Faces of a cube in drawing order; a border wall block draws a subset.
enum CubeFace {
  FACE_TOP = 1 << 0,     // +z
  FACE_FRONT = 1 << 1,   // -y
  FACE_BOTTOM = 1 << 2,  // -z
  FACE_BACK = 1 << 3,    // +y
  FACE_RIGHT = 1 << 4,   // +x
  FACE_LEFT = 1 << 5,    // -x
};
constexpr int kAllFaces = 63;
// The faces a border wall block at cell (x, y) shows.
int WallFaces(int x, int y);

// What the cell scan draws, in scan order.
enum CellDrawKind { DRAW_CHEESE, DRAW_BONUS };
struct CellDraw {
  CellDrawKind kind;
  int x, y;
};
constexpr int kMaxCellDraws = 2 * kGridSize * kGridSize;
// Scans the current level: takes over start cells (moving mouse and cat onto
// them and emptying them), records cheeseX/Y and lists the cheese cubes and
// fruit to draw. Returns the number of entries written to draws.
int ScanCells(CellDraw *draws);

// ---- Speed: static geometry compiled into display lists ----
// Set (the default) to draw walls, obstacles, floors and models from display
// lists rebuilt whenever the level's cells change; clear to draw everything
// in immediate mode. Both give the same picture. The game's main clears it
// for the developers' diagnostic SQUEAKLING_PLAIN_SCENE (see the README).
extern BOOL g_bCompiledScene;
// Calls the display list for one piece of static geometry, building it first
// when the level's cells changed; returns 0 when lists are off.
enum SceneList { LIST_WALLS, LIST_OBSTACLES, LIST_FLOOR_EVEN, LIST_FLOOR_ODD, LIST_STENCIL_FLOOR };
// In a shadow pass the walls and obstacles come from that light's lists,
// which hold only the faces whose shadow can reach the floor; elsewhere the
// walls come as four border sides, each skipped when wholly out of view.
BOOL CallSceneList(SceneList which);
// The light (0 ... 5) whose shadow pass is drawing, -1 for none.
void SetShadowListLight(int light);
// Draws a model through a display list compiled on first use.
void DrawModel(GLMmodel *model);
// True when the texture bound now cannot change a shadow: every texel's
// alpha is 255 (or nothing is bound), so modulating black changes nothing.
BOOL BoundTextureOpaque(void);
// Immediate-mode bodies of the lists.
void DrawWallBlocks(void);
void DrawObstacleBlocks(void);
// The same blocks with only the faces a filter keeps (it gets the cell and
// the faces the block shows, and returns the subset to draw).
typedef int (*FaceFilter)(int x, int y, int faces);
void DrawWallBlocksFiltered(FaceFilter filter);
void DrawObstacleBlocksFiltered(FaceFilter filter);
// Of the given faces of the unit block at cell (x, y), those whose shadow
// under the shadow matrix (16 floats, column-major) can fall on a cell of the
// stencil floor of the current level. Conservative: never drops a face whose
// shadow could reach the floor.
int FacesShadowReaches(int x, int y, int faces, const GLfloat *matrix);
int FacesFacingLight(int x, int y, int faces, const GLfloat light[4]);
// Cells the stencil floor covers: empty, mouse start, cheese and fruit.
BOOL IsStencilCell(int code);
// The stencil floor as few triangles: rectangles from cell centre to cell
// centre over runs of cells whose eight neighbours are all stencil cells,
// and the squares of every other stencil cell. Marks exactly the pixels the
// cell squares mark. Fills rects (x0, y0, x1, y1 in cell units)
// and squares (cell x, y) with their counts.
struct FloorCover {
  int rects[30 * 30][4];
  int squares[30 * 30][2];
  int rectCount, squareCount;
};
void CoverStencilFloor(FloorCover *cover);
void DrawFloorSquares(int parity);
void DrawFloorSquare(int x, int y);  // one textured floor square
void DrawStencilSquares(void);
void DrawStencilCover(void);  // the same stencil from CoverStencilFloor

// Scene drawing's own classification of a cell for the static lists.
enum CellClass { CLASS_NONE, CLASS_WALL, CLASS_OBSTACLE, CLASS_FLOOR, CLASS_STENCIL_ONLY };
int ClassifyCell(int x, int y, int code);

// Frame-time log, a developers' diagnostic (SQUEAKLING_FRAME_LOG, see the
// README): once opened, display writes one line per play frame, the time in
// microseconds at the buffer swap. A file that cannot be created is reported
// on standard error and nothing is logged.
void OpenFrameLog(const char *fileName);
void LogFrameTime(void);
