// Display lists for the static geometry (border walls, obstacles, the two
// floor sweeps, the stencil floor) and for the models, rebuilt whenever a
// cell changes class (a level loads, advances or a start cell is taken
// over). The lists hold the immediate-mode drawing's own calls, cut into
// pieces that can be skipped when they cannot change a pixel: sides and
// columns out of view, faces whose shadow misses the floor. The stencil
// floor alone is drawn differently, as rectangles that mark the same pixels.
#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "game/rendering.h"
#include "game/squeakling.h"
#include "model/glm.h"

BOOL g_bCompiledScene = 1;

// List numbers after the base: the stencil floor, the four border sides, the
// walls and the obstacles as each light's shadow pass draws them, and the
// obstacles and each floor sweep column by column.
constexpr int kSideLists = LIST_STENCIL_FLOOR + 1;
constexpr int kShadowWallLists = kSideLists + 4;
constexpr int kShadowObstacleLists = kShadowWallLists + 6;
constexpr int kObstacleColumnLists = kShadowObstacleLists + 6;
constexpr int kFloorColumnLists = kObstacleColumnLists + kGridSize;  // even, then odd
constexpr int kSceneLists = kFloorColumnLists + 2 * kGridSize;
static GLuint sceneListBase = 0;
// The cell classes the lists were built from; lists are stale when the
// current level's classes differ.
static unsigned char builtClasses[kGridSize][kGridSize];
// The light of the shadow pass in progress, -1 outside shadow passes.
static int shadowListLight = -1;

void SetShadowListLight(int light) { shadowListLight = light >= 0 && light < 6 ? light : -1; }

static BOOL ClassesChanged(void) {
  unsigned char now[kGridSize][kGridSize];
  for (int x = 0; x < kGridSize; x++)
    for (int y = 0; y < kGridSize; y++)
      now[x][y] = static_cast<unsigned char>(ClassifyCell(x, y, levels[levelNum][x][y]));
  if (std::memcmp(now, builtClasses, sizeof now) == 0) return FALSE;
  std::memcpy(builtClasses, now, sizeof now);
  return TRUE;
}

static void CompileList(GLuint list, void (*draw)(void)) {
  glNewList(list, GL_COMPILE);
  draw();
  glEndList();
}

// The border ring in four sides: the columns x = 0 and x = 29 with their
// corners, the rows y = 0 and y = 29 between them. Each side's bounding box
// (x0, y0, x1, y1; blocks reach from z = -0.5 to 0.5).
static const float kSideBoxes[4][4] = {{-0.5f, -0.5f, 0.5f, 29.5f},
                                       {28.5f, -0.5f, 29.5f, 29.5f},
                                       {0.5f, -0.5f, 28.5f, 0.5f},
                                       {0.5f, 28.5f, 28.5f, 29.5f}};
static int listSide = 0;    // the side being compiled
static int listColumn = 0;  // the obstacle column being compiled

static int FacesOnSide(int x, int y, int faces) {
  const float *box = kSideBoxes[listSide];
  return x > box[0] && x < box[2] && y > box[1] && y < box[3] ? faces : 0;
}

static const GLfloat *listShadowMatrix = nullptr;  // the light being compiled

static int FacesCastingOnFloor(int x, int y, int faces) {
  return FacesShadowReaches(x, y, faces, listShadowMatrix);
}

// The obstacles of one column x of cells, and the box they fill (x0, y0,
// x1, y1); an empty column has y0 > y1.
static float obstacleBoxes[kGridSize][4];

static int FacesInColumn(int x, int, int faces) { return x == listColumn ? faces : 0; }

// The floor squares of one column and parity, in sweep order.
static void DrawFloorColumn(int x, int parity) {
  const int(*grid)[kGridSize] = levels[levelNum];
  for (int y = 0; y < kGridSize; y++)
    if ((x + y) % 2 == parity && ClassifyCell(x, y, grid[x][y]) == CLASS_FLOOR)
      DrawFloorSquare(x, y);
}

static void BuildSceneLists(void) {
  for (int parity = 0; parity < 2; parity++)
    for (int x = 0; x < kGridSize; x++) {
      glNewList(sceneListBase + kFloorColumnLists + parity * kGridSize + x, GL_COMPILE);
      DrawFloorColumn(x, parity);
      glEndList();
    }
  for (listColumn = 0; listColumn < kGridSize; listColumn++) {
    glNewList(sceneListBase + kObstacleColumnLists + listColumn, GL_COMPILE);
    DrawObstacleBlocksFiltered(FacesInColumn);
    glEndList();
    float *box = obstacleBoxes[listColumn];
    box[0] = listColumn - 0.5f, box[2] = listColumn + 0.5f, box[1] = 1e9f, box[3] = -1e9f;
    for (int y = 0; y < kGridSize; y++)
      if (levels[levelNum][listColumn][y] == CELL_OBSTACLE)
        box[1] = std::min(box[1], y - 0.5f), box[3] = std::max(box[3], y + 0.5f);
  }
  CompileList(sceneListBase + LIST_STENCIL_FLOOR, DrawStencilCover);
  for (listSide = 0; listSide < 4; listSide++) {
    glNewList(sceneListBase + kSideLists + listSide, GL_COMPILE);
    DrawWallBlocksFiltered(FacesOnSide);
    glEndList();
  }
  const GLfloat *matrices[6] = {&light0ShadowProj[0][0], &light1ShadowProj[0][0],
                                &light2ShadowProj[0][0], &light3ShadowProj[0][0],
                                &light4ShadowProj[0][0], &light5ShadowProj[0][0]};
  for (int n = 0; n < 6; n++) {
    listShadowMatrix = matrices[n];
    glNewList(sceneListBase + kShadowWallLists + n, GL_COMPILE);
    DrawWallBlocksFiltered(FacesCastingOnFloor);
    glEndList();
    glNewList(sceneListBase + kShadowObstacleLists + n, GL_COMPILE);
    DrawObstacleBlocksFiltered(FacesCastingOnFloor);
    glEndList();
  }
}

// The current projection times model-view, column-major: model coordinates
// to clip space. Read once per call of a list set, not once per box.
static void CurrentClipMatrix(double m[16]) {
  GLfloat mv[16], pr[16];
  glGetFloatv(GL_MODELVIEW_MATRIX, mv);
  glGetFloatv(GL_PROJECTION_MATRIX, pr);
  for (int c = 0; c < 4; c++)
    for (int r = 0; r < 4; r++) {
      m[c * 4 + r] = 0;
      for (int k = 0; k < 4; k++)
        m[c * 4 + r] += static_cast<double>(pr[k * 4 + r]) * mv[c * 4 + k];
    }
}

// Whether a box (corners lo, hi in model coordinates) may show under the
// clip matrix m: false only when all eight corners lie
// beyond one plane of the view volume, where clipping would drop every
// triangle inside it anyway. Each plane is moved outward a little so that
// rounding can only keep a box.
static BOOL BoxMayShow(const double m[16], const float lo[3], const float hi[3]) {
  int outside[6] = {0, 0, 0, 0, 0, 0};
  for (int corner = 0; corner < 8; corner++) {
    const double p[3] = {corner & 1 ? hi[0] : lo[0], corner & 2 ? hi[1] : lo[1],
                         corner & 4 ? hi[2] : lo[2]};
    double q[4];
    for (int r = 0; r < 4; r++) q[r] = m[r] * p[0] + m[4 + r] * p[1] + m[8 + r] * p[2] + m[12 + r];
    for (int axis = 0; axis < 3; axis++) {
      const double slack = 1e-3 * (std::fabs(q[axis]) + std::fabs(q[3])) + 1e-6;
      if (q[axis] > q[3] + slack) outside[axis * 2]++;
      if (q[axis] < -q[3] - slack) outside[axis * 2 + 1]++;
    }
  }
  for (int plane : outside)
    if (plane == 8) return FALSE;
  return TRUE;
}

static BOOL ColumnMayShow(const double clip[16], const float box[4]) {
  const float lo[3] = {box[0], box[1], -0.5f}, hi[3] = {box[2], box[3], 0.5f};
  return box[1] <= box[3] && BoxMayShow(clip, lo, hi);
}

BOOL CallSceneList(SceneList which) {
  if (!g_bCompiledScene) return FALSE;
  BOOL stale = ClassesChanged();
  if (sceneListBase == 0) {
    sceneListBase = glGenLists(kSceneLists);
    if (sceneListBase == 0) return FALSE;  // no lists to be had: draw directly
    stale = TRUE;
  }
  if (stale) BuildSceneLists();
  double clip[16];
  CurrentClipMatrix(clip);
  // A shadow pass draws only the faces whose shadow can reach the floor;
  // the other passes skip the border sides that lie wholly out of view.
  if (shadowListLight >= 0 && which == LIST_WALLS) {
    glCallList(sceneListBase + kShadowWallLists + shadowListLight);
  } else if (shadowListLight >= 0 && which == LIST_OBSTACLES) {
    glCallList(sceneListBase + kShadowObstacleLists + shadowListLight);
  } else if (which == LIST_WALLS) {
    for (int side = 0; side < 4; side++)
      if (ColumnMayShow(clip, kSideBoxes[side])) glCallList(sceneListBase + kSideLists + side);
  } else if (which == LIST_OBSTACLES) {
    for (int x = 0; x < kGridSize; x++)
      if (ColumnMayShow(clip, obstacleBoxes[x]))
        glCallList(sceneListBase + kObstacleColumnLists + x);
  } else if (which == LIST_FLOOR_EVEN || which == LIST_FLOOR_ODD) {
    const int parity = which == LIST_FLOOR_ODD;
    for (int x = 0; x < kGridSize; x++) {
      const float lo[3] = {x - 0.5f, -0.5f, -0.5f}, hi[3] = {x + 0.5f, kGridSize - 0.5f, -0.5f};
      if (BoxMayShow(clip, lo, hi))
        glCallList(sceneListBase + kFloorColumnLists + parity * kGridSize + x);
    }
  } else {
    glCallList(sceneListBase + which);
  }
  return TRUE;
}

// The five models never change after start-up, so each is compiled once,
// with its bounding box: a model wholly out of view is not sent at all.
// Room for a few more; a model past the last slot is drawn in immediate mode.
constexpr int kModelLists = 8;
struct ModelList {
  GLMmodel *model;
  GLuint list;
  float lo[3], hi[3];
};
static ModelList modelLists[kModelLists];

static void ModelBox(const GLMmodel *model, float lo[3], float hi[3]) {
  for (int i = 0; i < 3; i++) lo[i] = 1e30f, hi[i] = -1e30f;
  for (GLuint v = 1; v <= model->numvertices; v++)
    for (int i = 0; i < 3; i++) {
      lo[i] = std::min(lo[i], model->vertices[3 * v + i]);
      hi[i] = std::max(hi[i], model->vertices[3 * v + i]);
    }
}

void DrawModel(GLMmodel *model) {
  if (!model) return;
  if (!g_bCompiledScene) {
    glmDraw(model, GLM_DRAW_SMOOTH);
    return;
  }
  ModelList *slot = nullptr;
  for (ModelList &entry : modelLists) {
    if (entry.model == model) {
      double clip[16];
      CurrentClipMatrix(clip);
      if (BoxMayShow(clip, entry.lo, entry.hi)) glCallList(entry.list);
      return;
    }
    if (!slot && !entry.model) slot = &entry;
  }
  const GLuint list = slot ? glGenLists(1) : 0;
  if (list == 0) {
    glmDraw(model, GLM_DRAW_SMOOTH);
    return;
  }
  glNewList(list, GL_COMPILE);
  glmDraw(model, GLM_DRAW_SMOOTH);
  glEndList();
  slot->model = model;
  slot->list = list;
  ModelBox(model, slot->lo, slot->hi);
  glCallList(list);
}
