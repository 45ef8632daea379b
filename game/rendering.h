// The 3D scene: GL set-up, lights and cameras, the play frame's drawing,
// mirror floor, planar shadows, maze and actors. Everything here runs on the
// GLUT thread; the pure helpers (cameras, shadow matrices, wall faces, cell
// scan) make no GL call and suit unit tests.
#pragma once
#include <GL/gl.h>

#include "common/basics.h"
#include "common/window.h"

struct GLMmodel;

// ---- Window and projection: reshape keeps them in step with the window ----
extern int g_Width, g_Height;          // window size in pixels (defined with the flow)
extern float g_nearPlane, g_farPlane;  // clipping distances, world units

// ---- Lights: fixed for the run, issued by every frame set-up ----
// Light n is GL_LIGHT0 + n: the two lamps outside the maze's corners, then
// the four spotlights. Each casts its own planar shadow.
constexpr int kLightCount = 6;
constexpr int kFirstSpotlight = 2;  // lights 2 ... 5 are the spotlights
inline GLenum LightName(int n) { return static_cast<GLenum>(GL_LIGHT0 + n); }
struct SceneLight {
  GLfloat position[4];         // positional, w = 1
  GLfloat shadowMatrix[4][4];  // column-major (m[column][row]), by BuildShadowMatrices
};
extern SceneLight g_lights[kLightCount];
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

// ---- Floor corners, the plane the shadow matrices are built from ----
extern const GLfloat floorV0[3], floorV1[3], floorV2[3];

// ---- Frame and cameras ----
void InitGraphics(void);
// The window's new size: the scene's viewport is the overlay's 2:1 picture in
// it (common/overlay.h), its aspect ratio always 2.
void reshape(int width, int height);
void display(void);            // the play screen's frame
void SetUpDisplay(void);       // lights, clears and camera: first step of every screen
void SetLightPositions(void);  // the six positions only, under the current model-view
// The model-view matrix of the camera of viewPoint, at the mouse and
// viewOrient: the last step of SetUpDisplay.
void LoadCamera(void);

// ---- Scene scale: fewer pixels for the scene on a software renderer ----
// A renderer without a GPU pays for every pixel, so on one the scene of a
// picture larger than 1200 x 600 is drawn at 1200 x 600 in the picture's
// lower-left corner, copied into a texture and drawn smoothly filtered over
// the picture; the overlay is then drawn at the picture's own size over it,
// sharp. Every scene pass (mirror and shadows with their stencil) runs
// inside the smaller viewport unchanged.
constexpr int kReducedSceneWidth = 1200, kReducedSceneHeight = 600;
// Whether a GL_RENDERER string names a software rasteriser (llvmpipe,
// softpipe, swrast; any case); FALSE for nullptr.
BOOL IsSoftwareRenderer(const char *renderer);
// Where the scene is drawn for a picture of that size: the whole picture
// (reduced FALSE), or width x height pixels at the picture's lower-left
// corner, later scaled up. Reduced only where the option or, automatically,
// the renderer asks for it and the picture is larger than the reduced size;
// always 2:1. No GL.
struct SceneSize {
  int width, height;
  BOOL reduced;
};
SceneSize SceneSizeFor(const char *renderer, int pictureWidth, int pictureHeight,
                       SceneScaleOption option);
// After the window opens: reads the renderer's name, keeps the option and
// says once on standard error how the scene is drawn. Before it is called
// the scene is always drawn at full size.
void ChooseSceneScale(SceneScaleOption option);
// The scene's size for the current picture, set by UpdateSceneSize, which
// reshape calls.
extern SceneSize sceneSize;
void UpdateSceneSize(void);
// After the scene's passes and before the overlay: a reduced scene is
// scaled up over the whole picture, which also sets the picture's depth to
// the cleared value, so the overlay lies over the whole scene. The bars
// keep the frame's clear. Nothing at full size. Leaves GL state as it found
// it.
void PresentScene(void);

// Eye, centre and up of the camera for a view mode; returns 0 (and leaves the
// arrays alone) for a mode that has no camera.
BOOL GetCamera(int view, double mx, double my, double orient, double eye[3], double centre[3],
               double up[3]);

// ---- Scene passes: mirror floor, lit scene, planar shadows ----
void RenderObjects(void);
void RenderObjectsNoRef(BOOL drawFloor, BOOL notShadowPass);
void DoReflections(void);
void DoShadows(int light);  // the shadow of g_lights[light]
void QuickDrawFloor(void);
// SetUpDisplay's word that it has just cleared the stencil buffer; the
// first stencil mark of the frame then skips its own clear (lists only).
void NoteStencilCleared(void);
void DoFloor(BOOL drawFloor, BOOL notShadowPass);

// How many shadow passes a shadow setting draws (0 for a setting outside
// 0 ... 3): pass n is light n's, in the colour colours[n].
int ShadowPasses(int setting, const GLfloat *colours[kLightCount]);

// ---- Shadow matrices (no GL) ----
// plane (nx, ny, nz, d) holds the points with nx x + ny y + nz z + d = 0.
void CreateShadowProjection(GLfloat projMatrix[4][4], const GLfloat *lightPosition,
                            const GLfloat *plane);
void GetPlane(GLfloat *plane, const GLfloat *vertex1, const GLfloat *vertex2,
              const GLfloat *vertex3);
void BuildShadowMatrices(void);  // every light's shadow matrix, once at start-up

// ---- Maze and actor geometry ----
void DrawCubeFace(float fSize);
void DrawCubeWithTextureCoords(float fSize, float x, float y, int spin);
void DrawWallWithTextureCoords(float fSize, float x, float y, int spin);
// Walls and obstacles of sceneCells.
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

// ---- What the static geometry reads of the level ----
// The one thing the walls, obstacles, floor and stencil floor (and their
// display lists) read of a cell: its class. Codes that draw the same get the
// same class, so the lists stay valid as long as the classes do.
enum CellClass { CLASS_NONE, CLASS_WALL, CLASS_OBSTACLE, CLASS_FLOOR, CLASS_STENCIL_ONLY };
int ClassifyCell(int x, int y, int code);
struct CellClasses {
  unsigned char at[kGridSize][kGridSize];  // at[x][y], a CellClass
};
void ClassifyCells(const int grid[kGridSize][kGridSize], CellClasses *cells);
// Classes the stencil floor covers: floor squares and the mouse start.
BOOL IsStencilClass(int cellClass);
// The current level's classes for the frame being drawn: RenderObjects
// takes them once, after the start cells are taken over, before any pass.
extern CellClasses sceneCells;

// ---- The cell scan: cheese, fruit and start cells ----
// Takes over start cells: moves mouse and cat onto them and empties them.
// Run once per frame before the passes, so every pass sees the same cells.
void TakeOverStartCells(void);
// What the cell scan draws, in scan order.
enum CellDrawKind { DRAW_CHEESE, DRAW_BONUS };
struct CellDraw {
  CellDrawKind kind;
  int x, y;
};
constexpr int kMaxCellDraws = 2 * kGridSize * kGridSize;
// Scans the current level: records cheeseX/Y and lists the cheese cubes and
// fruit to draw. Returns the number of entries written to draws.
int ScanCells(CellDraw *draws);

// ---- Speed: static geometry compiled into display lists ----
// Set (the default) to draw walls, obstacles, floors and models from display
// lists rebuilt whenever the level's cell classes change; clear to draw
// everything in immediate mode. Both give the same picture but for a few
// edge pixels where depth ties decide (the lists cull the obstacles' back
// faces). The game's main
// clears it for the developers' diagnostic SQUEAKLING_PLAIN_SCENE (see the
// README).
extern BOOL g_bCompiledScene;
// The static geometry, in lists or drawn directly.
enum SceneList { LIST_WALLS, LIST_OBSTACLES, LIST_FLOOR_EVEN, LIST_FLOOR_ODD, LIST_STENCIL_FLOOR };
// Once per frame, before the passes: makes the lists match sceneCells,
// rebuilding them when the classes changed. Does nothing when lists are off.
void PrepareSceneLists(void);
// Calls the lists of one piece of static geometry; returns 0 when there are
// none to call (lists off or not to be had), and the caller draws directly.
// The maze is cut in tiles, and a tile wholly out of view is skipped; in a
// shadow pass the walls and obstacles come from that light's lists, which
// hold only the faces whose shadow can reach the floor.
BOOL CallSceneList(SceneList which);
// The light (0 ... kLightCount - 1) whose shadow pass is drawing, -1 for none.
void SetShadowListLight(int light);
// Draws a model through a display list compiled on first use.
void DrawModel(GLMmodel *model);
// True when the texture bound now cannot change a shadow: every texel's
// alpha is 255 (or nothing is bound), so modulating black changes nothing.
BOOL BoundTextureOpaque(void);
// The wall blocks (ring cells of class wall) and the obstacle blocks of
// cells, with only the faces a filter keeps (it gets the cell and the faces
// the block shows, and returns the subset to draw); a null filter keeps all.
// Batched (for the display lists), the faces go out pre-transformed as one
// set of triangles, which may move a few edge pixels by rounding.
typedef int (*FaceFilter)(int x, int y, int faces);
void DrawWallBlocksFiltered(const CellClasses &cells, FaceFilter filter, BOOL batched);
void DrawObstacleBlocksFiltered(const CellClasses &cells, FaceFilter filter, BOOL batched);
// Of the given faces of the unit block at cell (x, y), those whose shadow
// under the shadow matrix (16 floats, column-major) can fall on a stencil
// floor cell of cells. Conservative: never drops a face whose shadow could
// reach the floor.
int FacesShadowReaches(const CellClasses &cells, int x, int y, int faces, const GLfloat *matrix);
int FacesFacingLight(int x, int y, int faces, const GLfloat light[4]);
// The stencil floor as few triangles: rectangles from cell centre to cell
// centre over runs of cells whose eight neighbours are all stencil cells,
// and the squares of every other stencil cell. Marks exactly the pixels the
// cell squares mark. Fills rects (x0, y0, x1, y1 in cell units)
// and squares (cell x, y) with their counts.
struct FloorCover {
  int rects[kGridSize * kGridSize][4];
  int squares[kGridSize * kGridSize][2];
  int rectCount, squareCount;
};
void CoverStencilFloor(const CellClasses &cells, FloorCover *cover);
void DrawFloorSquares(const CellClasses &cells, int parity);
void DrawFloorSquare(int x, int y);  // one textured floor square
void DrawStencilSquares(const CellClasses &cells);
void DrawStencilCover(const CellClasses &cells);  // the same stencil from CoverStencilFloor

// Frame-time log, a developers' diagnostic (SQUEAKLING_FRAME_LOG, see the
// README): once opened, display writes one line per play frame, the time in
// microseconds at the buffer swap. A file that cannot be created is reported
// on standard error and nothing is logged.
void OpenFrameLog(const char *fileName);
void LogFrameTime(void);
