// Display lists for the static geometry (border walls, obstacles, the two
// floor sweeps, the stencil floor) and for the models. The lists hold the
// very calls of the immediate-mode drawing and are rebuilt whenever a cell
// changes class (a level loads, advances or a start cell is taken over).
#include <GL/gl.h>

#include <cstring>

#include "game/rendering.h"
#include "game/squeakling.h"
#include "model/glm.h"

BOOL g_bCompiledScene = 1;

constexpr int kSceneLists = LIST_STENCIL_FLOOR + 1;
static GLuint sceneListBase = 0;
// The cell classes the lists were built from; lists are stale when the
// current level's classes differ.
static unsigned char builtClasses[kGridSize][kGridSize];

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

static void DrawEvenSquares(void) { DrawFloorSquares(0); }
static void DrawOddSquares(void) { DrawFloorSquares(1); }

static void BuildSceneLists(void) {
  CompileList(sceneListBase + LIST_WALLS, DrawWallBlocks);
  CompileList(sceneListBase + LIST_OBSTACLES, DrawObstacleBlocks);
  CompileList(sceneListBase + LIST_FLOOR_EVEN, DrawEvenSquares);
  CompileList(sceneListBase + LIST_FLOOR_ODD, DrawOddSquares);
  CompileList(sceneListBase + LIST_STENCIL_FLOOR, DrawStencilSquares);
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
  glCallList(sceneListBase + which);
  return TRUE;
}

// The five models never change after start-up, so each is compiled once.
// Room for a few more; a model past the last slot is drawn in immediate mode.
constexpr int kModelLists = 8;
struct ModelList {
  GLMmodel *model;
  GLuint list;
};
static ModelList modelLists[kModelLists];

void DrawModel(GLMmodel *model) {
  if (!model) return;
  if (!g_bCompiledScene) {
    glmDraw(model, GLM_DRAW_SMOOTH);
    return;
  }
  ModelList *slot = nullptr;
  for (ModelList &entry : modelLists) {
    if (entry.model == model) {
      glCallList(entry.list);
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
  *slot = {model, list};
  glCallList(list);
}
