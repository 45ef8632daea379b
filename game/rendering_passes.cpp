// The scene passes: the mirrored scene through the stencil buffer, the lit
// scene on the translucent checkered floor, and the planar shadows of one,
// two or six lights. Reads the shadow and mirror settings every frame. The
// cell classes that the static geometry reads live here too.
#include <GL/gl.h>

#include "common/drawing.h"
#include "game/rendering.h"
#include "game/squeakling.h"

CellClasses sceneCells;

int ClassifyCell(int x, int y, int code) {
  const BOOL ring = x == 0 || y == 0 || x == kGridSize - 1 || y == kGridSize - 1;
  switch (code) {
    case CELL_WALL: return ring ? CLASS_WALL : CLASS_NONE;  // inside the ring: not drawn
    case CELL_OBSTACLE: return CLASS_OBSTACLE;
    case CELL_EMPTY:
    case CELL_CHEESE:
    case CELL_BONUS: return CLASS_FLOOR;
    // A stencil square without a floor square; the frame takes start cells
    // over before it classifies, so no pass draws one.
    case CELL_MOUSE_START: return CLASS_STENCIL_ONLY;
    default: return CLASS_NONE;
  }
}

void ClassifyCells(const int grid[kGridSize][kGridSize], CellClasses *cells) {
  for (int x = 0; x < kGridSize; x++)
    for (int y = 0; y < kGridSize; y++)
      cells->at[x][y] = static_cast<unsigned char>(ClassifyCell(x, y, grid[x][y]));
}

BOOL IsStencilClass(int cellClass) {
  return cellClass == CLASS_FLOOR || cellClass == CLASS_STENCIL_ONLY;
}

void TakeOverStartCells(void) {
  int(*grid)[kGridSize] = levels[levelNum];
  for (int i = 0; i < kGridSize; i++) {
    for (int j = 0; j < kGridSize; j++) {
      if (grid[i][j] == CELL_MOUSE_START) {
        mousex = i;
        mousey = j;
        grid[i][j] = CELL_EMPTY;
      } else if (grid[i][j] == CELL_CAT_START) {
        catX = i;
        catY = j;
        grid[i][j] = CELL_EMPTY;
      }
    }
  }
}

int ScanCells(CellDraw *draws) {
  const int(*grid)[kGridSize] = levels[levelNum];
  int n = 0;
  for (int i = 0; i < kGridSize; i++) {
    for (int j = 0; j < kGridSize; j++) {
      switch (grid[i][j]) {
        case CELL_CHEESE:
          cheeseX = i;
          cheeseY = j;
          if (!bonusOn) draws[n++] = {DRAW_CHEESE, i, j};
          break;
        case CELL_BONUS:
          // While a fruit is out the cheese is drawn from the fruit's cell,
          // at the cheese cell known so far, so it appears once per pass.
          draws[n++] = {DRAW_CHEESE, cheeseX, cheeseY};
          draws[n++] = {DRAW_BONUS, i, j};
          break;
        default: break;
      }
    }
  }
  return n;
}

static void DrawCellObjects(BOOL notShadowPass) {
  static CellDraw draws[kMaxCellDraws];
  const int n = ScanCells(draws);
  for (int k = 0; k < n; k++) {
    const float x = static_cast<float>(draws[k].x), y = static_cast<float>(draws[k].y);
    if (draws[k].kind == DRAW_CHEESE) {
      DrawCheese(x, y, notShadowPass);
    } else {
      glNormal3f(0.0f, 0.0f, 1.0f);
      glEnable(GL_NORMALIZE);
      DrawBonus(x, y, notShadowPass);
      glDisable(GL_NORMALIZE);
    }
  }
}

void RenderObjectsNoRef(BOOL drawFloor, BOOL notShadowPass) {
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glNormal3f(0.0f, 0.0f, 1.0f);
  DoWall(notShadowPass);
  DrawCellObjects(notShadowPass);
  glNormal3f(0.0f, 0.0f, 1.0f);
  DoObstacles(notShadowPass);
  DoFloor(drawFloor, notShadowPass);
  DrawMouse(static_cast<float>(mousex), static_cast<float>(mousey), notShadowPass);
  if (CAT_EXISTS) DrawCat(static_cast<float>(catX), static_cast<float>(catY), notShadowPass);
  glPopMatrix();
}

// A floor square at z = -0.5, as its two triangles like a cube face, with one
// copy of the texture when asked.
static void DrawSquare(int x, int y, BOOL withTexture) {
  const float xs[4] = {x - 0.5f, x + 0.5f, x + 0.5f, x - 0.5f};
  const float ys[4] = {y - 0.5f, y - 0.5f, y + 0.5f, y + 0.5f};
  static const float s[4] = {0.0f, 1.0f, 1.0f, 0.0f}, t[4] = {0.0f, 0.0f, 1.0f, 1.0f};
  static const int corners[6] = {0, 1, 2, 0, 2, 3};
  glBegin(GL_TRIANGLES);
  for (int c : corners) {
    if (withTexture) glTexCoord2f(s[c], t[c]);
    glVertex3f(xs[c], ys[c], -0.5f);
  }
  glEnd();
}

// One sweep of the checkerboard: the squares whose x + y has this parity,
// one copy of the floor texture each. Cell (0, 0) is of the even sweep.
void DrawFloorSquares(const CellClasses &cells, int parity) {
  for (int x = 0; x < kGridSize; x++) {
    for (int y = 0; y < kGridSize; y++) {
      if ((x + y) % 2 == parity && cells.at[x][y] == CLASS_FLOOR) DrawSquare(x, y, TRUE);
    }
  }
}

void DrawFloorSquare(int x, int y) { DrawSquare(x, y, TRUE); }

void DrawStencilSquares(const CellClasses &cells) {
  for (int x = 0; x < kGridSize; x++) {
    for (int y = 0; y < kGridSize; y++) {
      if (!IsStencilClass(cells.at[x][y])) continue;
      glNormal3f(0.0f, 0.0f, 1.0f);
      DrawSquare(x, y, FALSE);
    }
  }
}

void CoverStencilFloor(const CellClasses &cells, FloorCover *cover) {
  BOOL inner[kGridSize][kGridSize] = {}, covered[kGridSize][kGridSize] = {};
  for (int x = 1; x < kGridSize - 1; x++) {
    for (int y = 1; y < kGridSize - 1; y++) {
      BOOL all = TRUE;
      for (int dx = -1; dx <= 1; dx++)
        for (int dy = -1; dy <= 1; dy++) all = all && IsStencilClass(cells.at[x + dx][y + dy]);
      inner[x][y] = all;
    }
  }
  cover->rectCount = cover->squareCount = 0;
  // Greedy blocks of inner cells: down the column first, then across while
  // the whole column run is free. Each block's rectangle runs from the
  // centres of the cells around it, so its edges lie half a cell inside the
  // floor, where the squares drawn around it already mark every pixel.
  for (int x = 0; x < kGridSize; x++) {
    for (int y = 0; y < kGridSize; y++) {
      if (!inner[x][y] || covered[x][y]) continue;
      int y1 = y;
      while (y1 + 1 < kGridSize && inner[x][y1 + 1] && !covered[x][y1 + 1]) y1++;
      int x1 = x;
      for (BOOL free = TRUE; free && x1 + 1 < kGridSize;) {
        for (int k = y; k <= y1 && free; k++) free = inner[x1 + 1][k] && !covered[x1 + 1][k];
        if (free) x1++;
      }
      for (int i = x; i <= x1; i++)
        for (int k = y; k <= y1; k++) covered[i][k] = TRUE;
      int *r = cover->rects[cover->rectCount++];
      r[0] = x - 1, r[1] = y - 1, r[2] = x1 + 1, r[3] = y1 + 1;
    }
  }
  for (int x = 0; x < kGridSize; x++) {
    for (int y = 0; y < kGridSize; y++) {
      if (!IsStencilClass(cells.at[x][y]) || covered[x][y]) continue;
      int *q = cover->squares[cover->squareCount++];
      q[0] = x, q[1] = y;
    }
  }
}

void DrawStencilCover(const CellClasses &cells) {
  static FloorCover cover;
  CoverStencilFloor(cells, &cover);
  glNormal3f(0.0f, 0.0f, 1.0f);
  for (int n = 0; n < cover.squareCount; n++)
    DrawSquare(cover.squares[n][0], cover.squares[n][1], FALSE);
  glBegin(GL_TRIANGLES);
  for (int n = 0; n < cover.rectCount; n++) {
    const float x0 = static_cast<float>(cover.rects[n][0]),
                y0 = static_cast<float>(cover.rects[n][1]);
    const float x1 = static_cast<float>(cover.rects[n][2]),
                y1 = static_cast<float>(cover.rects[n][3]);
    const float xs[6] = {x0, x1, x1, x0, x1, x0}, ys[6] = {y0, y0, y1, y0, y1, y1};
    for (int c = 0; c < 6; c++) glVertex3f(xs[c], ys[c], -0.5f);
  }
  glEnd();
}

// Brown and white squares; under a mirror both are 70 % opaque, so the
// reflection drawn beneath shows through the blend in force during play.
void DoFloor(BOOL drawFloor, BOOL notShadowPass) {
  if (!drawFloor) return;
  if (notShadowPass) {
    glBindTexture(GL_TEXTURE_2D, texName[kTexFloor]);
    if (reflectionsOn) {
      glEnable(GL_BLEND);
      SetMaterialColor(colorBrownTrans);
    } else {
      SetMaterialColor(colorBrown);
    }
  }
  if (!CallSceneList(LIST_FLOOR_EVEN)) DrawFloorSquares(sceneCells, 0);
  if (notShadowPass) SetMaterialColor(reflectionsOn ? colorWhiteTrans : colorWhite);
  if (!CallSceneList(LIST_FLOOR_ODD)) DrawFloorSquares(sceneCells, 1);
  if (reflectionsOn) glDisable(GL_BLEND);
}

void QuickDrawFloor(void) {
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  if (!CallSceneList(LIST_STENCIL_FLOOR)) DrawStencilSquares(sceneCells);
  glPopMatrix();
}

// Whether the stencil buffer holds nothing since the frame's clear. Set by
// SetUpDisplay, which clears depth and stencil together; the fast path's
// first mark then needs no clear of its own, which on a combined
// depth-stencil buffer would read and rewrite every depth value.
static BOOL stencilClean = FALSE;

void NoteStencilCleared(void) { stencilClean = TRUE; }

// Marks every floor pixel with the stencil value, whatever stands in front
// of it. Colour writes are off, so the fast path also turns texturing off:
// the stencil comes out the same without the textured fragment work.
static void MarkFloorInStencil(GLuint value) {
  if (!(g_bCompiledScene && stencilClean)) glClear(GL_STENCIL_BUFFER_BIT);
  stencilClean = FALSE;
  glDisable(GL_DEPTH_TEST);
  glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
  glEnable(GL_STENCIL_TEST);
  glStencilOp(GL_REPLACE, GL_REPLACE, GL_REPLACE);
  glStencilFunc(GL_ALWAYS, static_cast<GLint>(value), ~0u);
  const BOOL textured = glIsEnabled(GL_TEXTURE_2D);
  if (g_bCompiledScene && textured) glDisable(GL_TEXTURE_2D);
  QuickDrawFloor();
  if (g_bCompiledScene && textured) glEnable(GL_TEXTURE_2D);
  glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
  glEnable(GL_DEPTH_TEST);
}

// The fast path marks the floor once per frame, with one stencil bit for
// each pass that needs the floor (the mirror's, then one per shadow pass in
// order); each pass tests and clears only its own bit, which gives it just
// the stencil a fresh mark would. Bits marked and not yet taken:
static GLuint frameStencilBits = 0;

static void MarkFloorForFrame(int passes) {
  frameStencilBits = 0;
  if (!g_bCompiledScene || passes == 0) return;
  static GLint stencilBits = -1;
  if (stencilBits < 0) glGetIntegerv(GL_STENCIL_BITS, &stencilBits);
  if (passes > stencilBits || passes > 8) return;  // each pass marks for itself
  frameStencilBits = (1u << passes) - 1;
  MarkFloorInStencil(frameStencilBits);
  glDisable(GL_STENCIL_TEST);
}

// Sets up the stencil test for a pass that draws only on the floor and
// returns the bits it may clear: its bit of the frame's mark, or all bits of
// a fresh mark of 1.
static GLuint StencilForPass(void) {
  const GLuint bit = frameStencilBits & (~frameStencilBits + 1);
  if (bit == 0) {
    MarkFloorInStencil(1);
    glStencilFunc(GL_EQUAL, 1, ~0u);
    return ~0u;
  }
  frameStencilBits &= ~bit;
  glEnable(GL_STENCIL_TEST);
  glStencilFunc(GL_EQUAL, static_cast<GLint>(bit), bit);
  return bit;
}

// Leaves the stencil state as a freshly marked pass leaves it.
static void EndStencilPass(void) {
  glStencilMask(~0u);
  glStencilFunc(GL_EQUAL, 1, ~0u);
}

// The scene mirrored in the floor plane z = -0.5, only inside floor cells.
// The spot axes are not re-issued, so the mirrored spotlights point away
// from the mirrored scene and only lights 0 and 1 light the reflection.
void DoReflections(void) {
  StencilForPass();
  glStencilOp(GL_KEEP, GL_KEEP, GL_KEEP);
  glPushMatrix();
  glTranslatef(0.0f, 0.0f, -1.0f);
  glEnable(GL_NORMALIZE);
  glDisable(GL_CULL_FACE);
  glScalef(1.0f, 1.0f, -1.0f);
  SetLightPositions();
  glFrontFace(GL_CW);  // the mirror reverses the winding
  RenderObjectsNoRef(FALSE, TRUE);
  glFrontFace(GL_CCW);
  glPopMatrix();
  glDisable(GL_NORMALIZE);
  glDisable(GL_STENCIL_TEST);
  EndStencilPass();
}

// One light's shadow: the scene flattened onto that light's plane in the
// current colour. GL_ZERO on depth pass darkens each floor pixel at most once
// per light; depth writes stay on, so a later light's lower plane loses the
// depth test where an earlier shadow lies and shadows never add up.
void DoShadows(int light) {
  glStencilMask(StencilForPass());
  glStencilOp(GL_KEEP, GL_KEEP, GL_ZERO);
  glEnable(GL_CULL_FACE);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glDisable(GL_LIGHTING);
  // The pass binds no texture, so the one bound stays for all of it; when its
  // texels are all opaque the black shadow comes out the same untextured.
  const BOOL untextured = g_bCompiledScene && glIsEnabled(GL_TEXTURE_2D) && BoundTextureOpaque();
  if (untextured) glDisable(GL_TEXTURE_2D);
  glPushMatrix();
  glMultMatrixf(&g_lights[light].shadowMatrix[0][0]);
  SetShadowListLight(light);
  RenderObjectsNoRef(FALSE, FALSE);
  SetShadowListLight(-1);
  glPopMatrix();
  if (untextured) glEnable(GL_TEXTURE_2D);
  glEnable(GL_LIGHTING);
  glDisable(GL_STENCIL_TEST);
  glDisable(GL_CULL_FACE);
  EndStencilPass();
}

int ShadowPasses(int setting, const GLfloat *colours[kLightCount]) {
  int count = 0;
  switch (setting) {
    case 1: count = 1; break;
    case 2: count = 2; break;
    case 3: count = kLightCount; break;
    default: return 0;
  }
  for (int n = 0; n < count; n++)
    colours[n] = n == 0 ? colorShadow : colorShadow2;  // light 0's shadow is the darker
  return count;
}

// The cells are settled before any pass: start cells taken over, their
// classes taken once and the lists made to match them.
void RenderObjects(void) {
  TakeOverStartCells();
  ClassifyCells(levels[levelNum], &sceneCells);
  PrepareSceneLists();
  const GLfloat *colours[kLightCount];
  const int passes = ShadowPasses(shadowsOn, colours);
  MarkFloorForFrame((reflectionsOn ? 1 : 0) + passes);
  if (reflectionsOn) DoReflections();
  SetLightPositions();
  RenderObjectsNoRef(TRUE, TRUE);
  for (int n = 0; n < passes; n++) {
    SetMaterialColor(colours[n]);
    DoShadows(n);
  }
}
