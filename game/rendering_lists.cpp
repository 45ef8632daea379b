// Display lists for the static geometry (border walls, obstacles, the two
// floor sweeps, the stencil floor) and for the models. The static lists are
// made from the cells' classes alone and rebuilt whenever a class changes (a
// level loads or advances, a start cell is taken over). The maze is cut into
// square tiles of cells, each with lists of its own, and a tile wholly out of
// view is skipped in every pass. The lists hold the immediate-mode drawing's
// own calls, cut into pieces that can be skipped when they cannot change a
// pixel: tiles out of view, faces whose shadow misses the floor or that face
// away from their light. The stencil floor alone is drawn differently, as
// rectangles that mark the same pixels.
#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "game/rendering.h"
#include "game/squeakling.h"
#include "model/glm.h"

BOOL g_bCompiledScene = 1;

// Each tile's lists: one per kind of static geometry (SceneList's walls,
// obstacles and floor sweeps, in that order), then for every light the
// faces of its walls and of its obstacles whose shadow can reach the floor.
// After the last tile's lists comes the stencil floor's.
constexpr int kTileCells = 5;
constexpr int kTilesPerSide = (kGridSize + kTileCells - 1) / kTileCells;
constexpr int kTiles = kTilesPerSide * kTilesPerSide;
// Walls ... odd floor sweep: the kinds in tiles, each with a box of its own.
constexpr int kTileKinds = LIST_STENCIL_FLOOR;
constexpr int kListsPerTile = kTileKinds + 2 * kLightCount;
constexpr int kSceneLists = kTiles * kListsPerTile + 1;
static GLuint sceneListBase = 0;
// The classes the lists were built from: the one key of the cache.
static CellClasses builtCells;
// The light of the shadow pass in progress, -1 outside shadow passes.
static int shadowListLight = -1;

// Per tile and kind, the box its blocks or squares fill, if it has any.
struct TileBox {
  BOOL any;
  float lo[3], hi[3];
};
static TileBox tileBoxes[kTiles][kTileKinds];

void SetShadowListLight(int light) {
  shadowListLight = light >= 0 && light < kLightCount ? light : -1;
}

// The list within a tile that draws kind (walls, obstacles or a floor
// sweep): in a shadow pass a light's walls and obstacles come from their
// shadow lists.
static int TileList(SceneList kind, int light) {
  if (light < 0 || (kind != LIST_WALLS && kind != LIST_OBSTACLES)) return kind;
  return kTileKinds + 2 * light + (kind == LIST_OBSTACLES ? 1 : 0);
}

// The name of a tile's list; the tile after the last holds the stencil floor.
static GLuint ListName(int tile, int list) {
  return sceneListBase + static_cast<GLuint>(tile * kListsPerTile + list);
}
static GLuint StencilFloorList(void) { return ListName(kTiles, 0); }

static int TileOf(int x, int y) { return (x / kTileCells) * kTilesPerSide + y / kTileCells; }

static int listTile = 0;                       // the tile being compiled
static const SceneLight *listLight = nullptr;  // the light being compiled

static int FacesInTile(int x, int y, int faces) { return TileOf(x, y) == listTile ? faces : 0; }

static int FacesInTileCastingOnFloor(int x, int y, int faces) {
  if (TileOf(x, y) != listTile) return 0;
  return FacesShadowReaches(builtCells, x, y, FacesFacingLight(x, y, faces, listLight->position),
                            &listLight->shadowMatrix[0][0]);
}

// The floor squares of one tile and sweep, in sweep order.
static void DrawFloorInTile(int parity) {
  for (int x = 0; x < kGridSize; x++)
    for (int y = 0; y < kGridSize; y++)
      if (TileOf(x, y) == listTile && (x + y) % 2 == parity && builtCells.at[x][y] == CLASS_FLOOR)
        DrawFloorSquare(x, y);
}

static void GrowBox(TileBox *box, int x, int y, float z0, float z1) {
  const float lo[3] = {x - 0.5f, y - 0.5f, z0}, hi[3] = {x + 0.5f, y + 0.5f, z1};
  for (int i = 0; i < 3; i++) {
    box->lo[i] = box->any ? std::min(box->lo[i], lo[i]) : lo[i];
    box->hi[i] = box->any ? std::max(box->hi[i], hi[i]) : hi[i];
  }
  box->any = TRUE;
}

static void MeasureTiles(void) {
  std::memset(tileBoxes, 0, sizeof tileBoxes);
  for (int x = 0; x < kGridSize; x++) {
    for (int y = 0; y < kGridSize; y++) {
      TileBox *boxes = tileBoxes[TileOf(x, y)];
      switch (builtCells.at[x][y]) {
        case CLASS_WALL: GrowBox(&boxes[LIST_WALLS], x, y, -0.5f, 0.5f); break;
        case CLASS_OBSTACLE: GrowBox(&boxes[LIST_OBSTACLES], x, y, -0.5f, 0.5f); break;
        case CLASS_FLOOR:
          GrowBox(&boxes[(x + y) % 2 ? LIST_FLOOR_ODD : LIST_FLOOR_EVEN], x, y, -0.5f, -0.5f);
          break;
        default: break;
      }
    }
  }
}

static void BuildSceneLists(void) {
  MeasureTiles();
  for (listTile = 0; listTile < kTiles; listTile++) {
    glNewList(ListName(listTile, LIST_WALLS), GL_COMPILE);
    DrawWallBlocksFiltered(builtCells, FacesInTile, TRUE);
    glEndList();
    glNewList(ListName(listTile, LIST_OBSTACLES), GL_COMPILE);
    DrawObstacleBlocksFiltered(builtCells, FacesInTile, TRUE);
    glEndList();
    for (int parity = 0; parity < 2; parity++) {
      glNewList(ListName(listTile, LIST_FLOOR_EVEN + parity), GL_COMPILE);
      DrawFloorInTile(parity);
      glEndList();
    }
    for (int n = 0; n < kLightCount; n++) {
      listLight = &g_lights[n];
      glNewList(ListName(listTile, TileList(LIST_WALLS, n)), GL_COMPILE);
      DrawWallBlocksFiltered(builtCells, FacesInTileCastingOnFloor, TRUE);
      glEndList();
      glNewList(ListName(listTile, TileList(LIST_OBSTACLES, n)), GL_COMPILE);
      DrawObstacleBlocksFiltered(builtCells, FacesInTileCastingOnFloor, TRUE);
      glEndList();
    }
  }
  glNewList(StencilFloorList(), GL_COMPILE);
  DrawStencilCover(builtCells);
  glEndList();
}

void PrepareSceneLists(void) {
  if (!g_bCompiledScene) return;
  BOOL stale = std::memcmp(&sceneCells, &builtCells, sizeof builtCells) != 0;
  if (sceneListBase == 0) {
    sceneListBase = glGenLists(kSceneLists);
    if (sceneListBase == 0) return;  // no lists to be had: the passes draw directly
    stale = TRUE;
  }
  if (!stale) return;
  builtCells = sceneCells;
  BuildSceneLists();
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

BOOL CallSceneList(SceneList which) {
  if (!g_bCompiledScene || sceneListBase == 0) return FALSE;
  if (which == LIST_STENCIL_FLOOR) {
    glCallList(StencilFloorList());
    return TRUE;
  }
  // A shadow pass's tiles are tested like the others: the flattened faces
  // go through the very matrix the box is tested with, and lie inside its
  // image.
  const int list = TileList(which, shadowListLight);
  // A block's back faces lie behind its front faces from any eye, so the
  // lit and mirrored passes cull them too (the shadow passes cull anyway);
  // only pixels where depth ties at the block's edges may come out apart.
  const BOOL cull = which == LIST_OBSTACLES && !glIsEnabled(GL_CULL_FACE);
  if (cull) glEnable(GL_CULL_FACE);
  double clip[16];
  CurrentClipMatrix(clip);
  for (int tile = 0; tile < kTiles; tile++) {
    const TileBox &box = tileBoxes[tile][which];
    if (box.any && BoxMayShow(clip, box.lo, box.hi)) glCallList(ListName(tile, list));
  }
  if (cull) glDisable(GL_CULL_FACE);
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

// The models are closed meshes, so their back faces never show: the lists
// are called with back faces culled (the mirror pass winds the other way and
// culls its own back faces), which spares the rasteriser half their triangles.
static void CallModelList(const ModelList &entry) {
  double clip[16];
  CurrentClipMatrix(clip);
  if (!BoxMayShow(clip, entry.lo, entry.hi)) return;
  const BOOL cull = !glIsEnabled(GL_CULL_FACE);
  if (cull) glEnable(GL_CULL_FACE);
  glCallList(entry.list);
  if (cull) glDisable(GL_CULL_FACE);
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
      CallModelList(entry);
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
  CallModelList(*slot);
}
