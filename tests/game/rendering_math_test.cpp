// The scene's arithmetic, without a window: shadow matrices and planes, the
// cameras, the border walls' faces and the cell scan.
#include <gtest/gtest.h>

#include <cmath>

#include "game/rendering.h"
#include "game/squeakling.h"

namespace {

// Applies a column-major matrix to a point and divides by w.
void Project(const GLfloat m[4][4], const double p[3], double out[3]) {
  double r[4];
  for (int i = 0; i < 4; i++) r[i] = m[0][i] * p[0] + m[1][i] * p[1] + m[2][i] * p[2] + m[3][i];
  for (int i = 0; i < 3; i++) out[i] = r[i] / r[3];
}

TEST(ShadowMatrix, FlattensAlongTheLightRayAndKeepsPointsOnThePlane) {
  const GLfloat light[4] = {-15.0f, -5.0f, 50.0f, 1.0f};
  const GLfloat plane[4] = {0.0f, 0.0f, 1.0f, 0.5f};  // z = -0.5
  GLfloat m[4][4];
  CreateShadowProjection(m, light, plane);

  const double onFloor[3] = {3.0, 7.0, -0.5};
  double out[3];
  Project(m, onFloor, out);
  for (int i = 0; i < 3; i++) EXPECT_NEAR(out[i], onFloor[i], 1e-4);

  const double above[3] = {10.0, 12.0, 0.5};
  Project(m, above, out);
  EXPECT_NEAR(out[2], -0.5, 1e-4);
  // The shadow lies on the line from the light through the point, beyond it.
  const double t = (light[2] - out[2]) / (light[2] - above[2]);
  EXPECT_GT(t, 1.0);
  EXPECT_NEAR(out[0], light[0] + t * (above[0] - light[0]), 1e-3);
  EXPECT_NEAR(out[1], light[1] + t * (above[1] - light[1]), 1e-3);
}

// Any light and plane: a point on the plane stays put, a point off it lands
// on the plane on the line from the light through it; a light at infinity
// (w = 0) casts along its direction.
TEST(ShadowMatrix, ProjectsOntoAnyPlaneAlongTheLightsRay) {
  const GLfloat plane[4] = {0.5f, -1.0f, 2.0f, 4.0f};  // 0.5 x - y + 2 z + 4 = 0
  auto onPlane = [&](const double p[3]) {
    return plane[0] * p[0] + plane[1] * p[1] + plane[2] * p[2] + plane[3];
  };
  const GLfloat lights[2][4] = {{1.0f, 2.0f, 3.0f, 1.0f}, {0.2f, -0.4f, 1.0f, 0.0f}};
  for (const GLfloat *light : lights) {
    GLfloat m[4][4];
    CreateShadowProjection(m, light, plane);
    const double on[3] = {2.0, 3.0, -1.0};  // 1 - 3 - 2 + 4 = 0
    double out[3];
    Project(m, on, out);
    for (int i = 0; i < 3; i++) EXPECT_NEAR(out[i], on[i], 1e-4) << "w " << light[3];

    const double off[3] = {-1.0, 4.0, 2.5};
    Project(m, off, out);
    EXPECT_NEAR(onPlane(out), 0.0, 1e-4) << "w " << light[3];
    // out - off is parallel to the light's ray through off.
    double ray[3];
    for (int i = 0; i < 3; i++) ray[i] = light[3] ? off[i] - light[i] : light[i];
    const double d[3] = {out[0] - off[0], out[1] - off[1], out[2] - off[2]};
    const double cross[3] = {d[1] * ray[2] - d[2] * ray[1], d[2] * ray[0] - d[0] * ray[2],
                             d[0] * ray[1] - d[1] * ray[0]};
    for (double c : cross) EXPECT_NEAR(c, 0.0, 1e-3) << "w " << light[3];
  }
}

TEST(ShadowMatrix, PlaneThroughThreePoints) {
  auto side = [](const GLfloat *plane, const GLfloat *p) {
    return plane[0] * p[0] + plane[1] * p[1] + plane[2] * p[2] + plane[3];
  };
  // The floor's corners: a plane of constant z through all three, with the
  // corners left alone.
  GLfloat plane[4];
  GetPlane(plane, floorV0, floorV1, floorV2);
  for (const GLfloat *corner : {floorV0, floorV1, floorV2}) EXPECT_FLOAT_EQ(side(plane, corner), 0);
  EXPECT_FLOAT_EQ(plane[0], 0.0f);
  EXPECT_FLOAT_EQ(plane[1], 0.0f);
  EXPECT_NE(plane[2], 0.0f);
  EXPECT_FLOAT_EQ(floorV0[2], -0.5f);

  // A slanted triangle: x + y + z = 1, the normal on the side the corners
  // turn counter-clockwise around.
  const GLfloat a[3] = {1, 0, 0}, b[3] = {0, 1, 0}, c[3] = {0, 0, 1};
  GetPlane(plane, a, b, c);
  for (const GLfloat *corner : {a, b, c}) EXPECT_FLOAT_EQ(side(plane, corner), 0);
  const GLfloat outside[3] = {1, 1, 1}, origin[3] = {0, 0, 0};
  EXPECT_GT(side(plane, outside), 0);
  EXPECT_LT(side(plane, origin), 0);
}

TEST(ShadowMatrix, SixLightsOnPlanesAMillimetreApart) {
  BuildShadowMatrices();
  const double heights[kLightCount] = {-0.494, -0.495, -0.496, -0.497, -0.498, -0.499};
  const double cube[3] = {12.0, 9.0, 0.5};
  for (int n = 0; n < kLightCount; n++) {
    double out[3];
    Project(g_lights[n].shadowMatrix, cube, out);
    EXPECT_NEAR(out[2], heights[n], 2e-6) << "light " << n;
  }
}

TEST(ShadowPassList, FollowsTheSetting) {
  const GLfloat *c[kLightCount];
  EXPECT_EQ(ShadowPasses(0, c), 0);
  EXPECT_EQ(ShadowPasses(4, c), 0);
  EXPECT_EQ(ShadowPasses(-1, c), 0);
  EXPECT_EQ(ShadowPasses(1, c), 1);
  EXPECT_EQ(ShadowPasses(2, c), 2);
  ASSERT_EQ(ShadowPasses(3, c), kLightCount);
  EXPECT_FLOAT_EQ(c[0][3], 0.6f);  // light 0's shadow is the darker
  for (int n = 1; n < kLightCount; n++) EXPECT_FLOAT_EQ(c[n][3], 0.3f);
}

TEST(Camera, EyeAndCentreForEachView) {
  double eye[3], centre[3], up[3];
  ASSERT_TRUE(GetCamera(0, 10, 20, 90, eye, centre, up));  // facing (0, -1)
  EXPECT_NEAR(eye[0], 10, 1e-6);
  EXPECT_NEAR(eye[1], 19, 1e-6);
  EXPECT_NEAR(eye[2], 0.5, 1e-9);
  EXPECT_NEAR(centre[1], 15, 1e-6);
  EXPECT_NEAR(centre[2], 0.5, 1e-9);
  EXPECT_EQ(up[2], 1.0);

  ASSERT_TRUE(GetCamera(1, 10, 20, 0, eye, centre, up));  // facing +x: eye behind on -x
  EXPECT_NEAR(eye[0], 3, 1e-6);
  EXPECT_NEAR(eye[1], 20, 1e-6);
  EXPECT_NEAR(eye[2], 3.5, 1e-9);
  EXPECT_EQ(centre[0], 10.0);
  EXPECT_EQ(centre[1], 20.0);
  EXPECT_EQ(centre[2], 0.0);

  ASSERT_TRUE(GetCamera(1, 0, 0, 45, eye, centre, up));
  EXPECT_NEAR(eye[0], -7 * cos(M_PI / 4), 1e-6);
  EXPECT_NEAR(eye[1], 7 * sin(M_PI / 4), 1e-6);

  ASSERT_TRUE(GetCamera(2, 3, 4, 77, eye, centre, up));  // ignores the mouse
  EXPECT_EQ(eye[0], 15.0);
  EXPECT_EQ(eye[1], 15.0);
  EXPECT_EQ(eye[2], 30.0);
  EXPECT_EQ(centre[2], 0.0);
  EXPECT_EQ(up[0], 1.0);
  EXPECT_EQ(up[2], 0.0);

  EXPECT_FALSE(GetCamera(3, 0, 0, 0, eye, centre, up));
  EXPECT_FALSE(GetCamera(-1, 0, 0, 0, eye, centre, up));
}

TEST(WallFaces, CornersRunsAndGaps) {
  // Corners: top, both x faces and the outer y face; never the bottom.
  EXPECT_EQ(WallFaces(0, 0), FACE_TOP | FACE_FRONT | FACE_RIGHT | FACE_LEFT);
  EXPECT_EQ(WallFaces(0, 29), FACE_TOP | FACE_BACK | FACE_RIGHT | FACE_LEFT);
  EXPECT_EQ(WallFaces(29, 0), FACE_TOP | FACE_FRONT | FACE_RIGHT | FACE_LEFT);
  EXPECT_EQ(WallFaces(29, 29), FACE_TOP | FACE_BACK | FACE_RIGHT | FACE_LEFT);
  // Side columns: no y faces between neighbours of the run.
  EXPECT_EQ(WallFaces(0, 13), FACE_TOP | FACE_RIGHT | FACE_LEFT);
  EXPECT_EQ(WallFaces(29, 11), FACE_TOP | FACE_RIGHT | FACE_LEFT);
  // Top and bottom rows: both long sides, no x end faces, even beside a gap.
  EXPECT_EQ(WallFaces(12, 0), FACE_TOP | FACE_FRONT | FACE_BACK);
  EXPECT_EQ(WallFaces(1, 29), FACE_TOP | FACE_FRONT | FACE_BACK);
  for (int x = 0; x < 30; x++)
    for (int y = 0; y < 30; y++) EXPECT_FALSE(WallFaces(x, y) & FACE_BOTTOM);
}

class Scene : public ::testing::Test {
 protected:
  void SetUp() override {
    srand(7);
    ClearLevels();
    levelNum = 0;
    numLevels = 2;
    bonusOn = 0;
    change_level = 0;
    cheeseX = cheeseY = 0;
  }
  int (&grid())[kGridSize][kGridSize] { return levels[levelNum]; }
};

TEST_F(Scene, StartCellsAreTakenOverOnce) {
  grid()[4][6] = CELL_MOUSE_START;
  grid()[20][21] = CELL_CAT_START;
  grid()[3][3] = CELL_CHEESE;
  mousex = mousey = catX = catY = 0;
  TakeOverStartCells();
  CellDraw draws[kMaxCellDraws];
  ASSERT_EQ(ScanCells(draws), 1);
  EXPECT_EQ(draws[0].kind, DRAW_CHEESE);
  EXPECT_EQ(mousex, 4.0);
  EXPECT_EQ(mousey, 6.0);
  EXPECT_EQ(catX, 20.0);
  EXPECT_EQ(catY, 21.0);
  EXPECT_EQ(grid()[4][6], CELL_EMPTY);
  EXPECT_EQ(grid()[20][21], CELL_EMPTY);
  EXPECT_EQ(cheeseX, 3);
  EXPECT_EQ(cheeseY, 3);
  mousex = 9;  // a later frame leaves the actors where the game moved them
  TakeOverStartCells();
  EXPECT_EQ(mousex, 9.0);
}

TEST_F(Scene, CheeseIsDrawnOnceWhileAFruitIsOut) {
  // Cheese before the fruit in scan order: drawn from the fruit's cell.
  grid()[2][5] = CELL_CHEESE;
  grid()[8][1] = CELL_BONUS;
  bonusOn = 1;
  CellDraw draws[kMaxCellDraws];
  ASSERT_EQ(ScanCells(draws), 2);
  EXPECT_EQ(draws[0].kind, DRAW_CHEESE);
  EXPECT_EQ(draws[0].x, 2);
  EXPECT_EQ(draws[0].y, 5);
  EXPECT_EQ(draws[1].kind, DRAW_BONUS);
  EXPECT_EQ(draws[1].x, 8);

  // Cheese after the fruit: drawn at the cheese cell known from before.
  ClearLevels();
  grid()[20][5] = CELL_CHEESE;
  grid()[8][1] = CELL_BONUS;
  cheeseX = 20;
  cheeseY = 5;
  ASSERT_EQ(ScanCells(draws), 2);
  EXPECT_EQ(draws[0].kind, DRAW_CHEESE);
  EXPECT_EQ(draws[0].x, 20);

  // No fruit: the cheese cell draws itself.
  bonusOn = 0;
  grid()[8][1] = CELL_EMPTY;
  ASSERT_EQ(ScanCells(draws), 1);
  EXPECT_EQ(draws[0].x, 20);
  EXPECT_EQ(draws[0].y, 5);
}

TEST_F(Scene, ClassesForTheStaticLists) {
  EXPECT_EQ(ClassifyCell(0, 5, CELL_WALL), CLASS_WALL);
  EXPECT_EQ(ClassifyCell(5, 5, CELL_WALL), CLASS_NONE);  // inside the ring: not drawn
  EXPECT_EQ(ClassifyCell(0, 5, CELL_OBSTACLE), CLASS_OBSTACLE);
  EXPECT_EQ(ClassifyCell(5, 5, CELL_CHEESE), CLASS_FLOOR);
  EXPECT_EQ(ClassifyCell(5, 5, CELL_BONUS), CLASS_FLOOR);
  EXPECT_EQ(ClassifyCell(5, 5, CELL_MOUSE_START), CLASS_STENCIL_ONLY);
  EXPECT_EQ(ClassifyCell(5, 5, CELL_CAT_START), CLASS_NONE);
}

// A ring with obstacle runs, a wall code inside, a start cell and cheese.
static void MixedLevel(int (&g)[kGridSize][kGridSize]) {
  for (int x = 0; x < kGridSize; x++)
    for (int y = 0; y < kGridSize; y++)
      g[x][y] = x == 0 || y == 0 || x == 29 || y == 29 ? CELL_WALL : CELL_EMPTY;
  for (int y = 4; y < 9; y++) g[20][y] = CELL_OBSTACLE;
  g[10][10] = g[11][10] = g[5][22] = CELL_OBSTACLE;
  g[7][7] = CELL_WALL;
  g[15][15] = CELL_MOUSE_START;
  g[25][14] = CELL_CHEESE;
  g[0][12] = CELL_EMPTY;  // a gap in the ring
}

TEST_F(Scene, StencilCoverMarksTheCellSquaresWithFewerTriangles) {
  MixedLevel(grid());
  CellClasses cells;
  ClassifyCells(grid(), &cells);
  static FloorCover cover;
  CoverStencilFloor(cells, &cover);
  // Where each cell's pixels come from: its own square, or a rectangle it
  // lies strictly inside, every cell under which is a stencil cell.
  int squares[kGridSize][kGridSize] = {}, inside[kGridSize][kGridSize] = {};
  for (int n = 0; n < cover.squareCount; n++) squares[cover.squares[n][0]][cover.squares[n][1]]++;
  for (int n = 0; n < cover.rectCount; n++) {
    const int *r = cover.rects[n];
    ASSERT_TRUE(r[0] >= 0 && r[1] >= 0 && r[2] < kGridSize && r[3] < kGridSize);
    for (int x = r[0]; x <= r[2]; x++)
      for (int y = r[1]; y <= r[3]; y++) {
        EXPECT_TRUE(IsStencilClass(cells.at[x][y])) << x << "," << y;
        if (x > r[0] && x < r[2] && y > r[1] && y < r[3]) inside[x][y]++;
      }
  }
  int stencilCells = 0;
  for (int x = 0; x < kGridSize; x++)
    for (int y = 0; y < kGridSize; y++) {
      const bool stencil = IsStencilClass(cells.at[x][y]);
      stencilCells += stencil;
      EXPECT_EQ(squares[x][y] + inside[x][y], stencil ? 1 : 0) << x << "," << y;
    }
  EXPECT_LT(cover.squareCount + cover.rectCount, stencilCells / 3);
}

// Conservative: every face with a point whose shadow lands in a stencil
// floor cell is kept, for every light; faces whose shadow lands elsewhere
// (beyond the ring, on obstacle cells) are dropped.
TEST_F(Scene, ShadowListsKeepEveryFaceWhoseShadowReachesTheFloor) {
  MixedLevel(grid());
  CellClasses cells;
  ClassifyCells(grid(), &cells);
  BuildShadowMatrices();
  const GLfloat *matrices[kLightCount];
  for (int n = 0; n < kLightCount; n++) matrices[n] = &g_lights[n].shadowMatrix[0][0];
  int kept = 0, dropped = 0;
  for (const GLfloat *m : matrices) {
    for (int x = 0; x < kGridSize; x++) {
      for (int y = 0; y < kGridSize; y++) {
        if (grid()[x][y] != CELL_WALL && grid()[x][y] != CELL_OBSTACLE) continue;
        const int faces = FacesShadowReaches(cells, x, y, kAllFaces, m);
        for (int face = 1; face <= FACE_LEFT; face <<= 1) {
          // Points over the face: a 9 x 9 grid on its side of the block.
          bool reaches = false;
          for (int a = 0; a <= 8 && !reaches; a++)
            for (int b = 0; b <= 8 && !reaches; b++) {
              const double u = a / 8.0 - 0.5, v = b / 8.0 - 0.5;
              double p[3] = {u, v, 0.5};
              if (face == FACE_BOTTOM) p[2] = -0.5;
              if (face == FACE_FRONT || face == FACE_BACK)
                p[0] = u, p[1] = face == FACE_FRONT ? -0.5 : 0.5, p[2] = v;
              if (face == FACE_RIGHT || face == FACE_LEFT)
                p[0] = face == FACE_LEFT ? -0.5 : 0.5, p[1] = u, p[2] = v;
              p[0] += x, p[1] += y;
              double r[4];
              for (int i = 0; i < 4; i++)
                r[i] = m[i] * p[0] + m[4 + i] * p[1] + m[8 + i] * p[2] + m[12 + i];
              const int cx = static_cast<int>(std::floor(r[0] / r[3] + 0.5));
              const int cy = static_cast<int>(std::floor(r[1] / r[3] + 0.5));
              reaches = cx >= 0 && cy >= 0 && cx < kGridSize && cy < kGridSize &&
                        IsStencilClass(cells.at[cx][cy]);
            }
          if (reaches) {
            EXPECT_TRUE(faces & face) << x << "," << y << " face " << face;
          }
          if (faces & face)
            kept++;
          else
            dropped++;
        }
      }
    }
  }
  EXPECT_GT(kept, 0);
  EXPECT_GT(dropped, 0);
  // Light 0 stands beyond the corner (0, 0): the right column's outer face
  // casts outside the maze, the left column's inner face onto the floor.
  EXPECT_EQ(FacesShadowReaches(cells, 29, 15, FACE_RIGHT, matrices[0]), 0);
  EXPECT_EQ(FacesShadowReaches(cells, 0, 15, FACE_RIGHT, matrices[0]), FACE_RIGHT);
  // No floor at all: nothing casts onto it.
  for (int x = 0; x < kGridSize; x++)
    for (int y = 0; y < kGridSize; y++) grid()[x][y] = CELL_OBSTACLE;
  ClassifyCells(grid(), &cells);
  EXPECT_EQ(FacesShadowReaches(cells, 15, 15, kAllFaces, matrices[0]), 0);
}

// The shadow passes cull faces whose flattened image is turned away from an
// eye above the floor; the lists may leave out exactly those. Each face's
// corners go through the light's shadow matrix, and the signed area of the
// image seen from above tells which way it turns.
TEST_F(Scene, ShadowListsDropOnlyFacesTheShadowPassCulls) {
  BuildShadowMatrices();
  // Each face's corners counter-clockwise seen from outside the block.
  struct Face {
    int face;
    double corners[4][3];
  };
  static const Face faces[6] = {
      {FACE_TOP, {{-.5, -.5, .5}, {.5, -.5, .5}, {.5, .5, .5}, {-.5, .5, .5}}},
      {FACE_BOTTOM, {{-.5, -.5, -.5}, {-.5, .5, -.5}, {.5, .5, -.5}, {.5, -.5, -.5}}},
      {FACE_FRONT, {{-.5, -.5, -.5}, {.5, -.5, -.5}, {.5, -.5, .5}, {-.5, -.5, .5}}},
      {FACE_BACK, {{-.5, .5, -.5}, {-.5, .5, .5}, {.5, .5, .5}, {.5, .5, -.5}}},
      {FACE_RIGHT, {{.5, -.5, -.5}, {.5, .5, -.5}, {.5, .5, .5}, {.5, -.5, .5}}},
      {FACE_LEFT, {{-.5, -.5, -.5}, {-.5, -.5, .5}, {-.5, .5, .5}, {-.5, .5, -.5}}}};
  int kept = 0, dropped = 0;
  for (int n = 0; n < kLightCount; n++) {
    const GLfloat *m = &g_lights[n].shadowMatrix[0][0];
    for (int x = 0; x < kGridSize; x += 3) {
      for (int y = 0; y < kGridSize; y += 2) {
        const int facing = FacesFacingLight(x, y, kAllFaces, g_lights[n].position);
        for (const Face &f : faces) {
          double px[4], py[4];
          for (int c = 0; c < 4; c++) {
            const double p[3] = {f.corners[c][0] + x, f.corners[c][1] + y, f.corners[c][2]};
            double r[4];
            for (int i = 0; i < 4; i++)
              r[i] = m[i] * p[0] + m[4 + i] * p[1] + m[8 + i] * p[2] + m[12 + i];
            px[c] = r[0] / r[3], py[c] = r[1] / r[3];
          }
          double area = 0;
          for (int c = 0; c < 4; c++) area += px[c] * py[(c + 1) % 4] - px[(c + 1) % 4] * py[c];
          if (area > 1e-6) {
            EXPECT_TRUE(facing & f.face) << n << ": " << x << "," << y;
          }
          if (facing & f.face) {
            kept++;
          } else {
            dropped++;
            EXPECT_LT(area, 0.0) << n << ": " << x << "," << y;
          }
        }
      }
    }
  }
  EXPECT_GT(kept, 0);
  EXPECT_GT(dropped, 0);
  // A light straight above a block: the top alone faces it.
  const GLfloat above[4] = {5.0f, 5.0f, 40.0f, 1.0f};
  EXPECT_EQ(FacesFacingLight(5, 5, kAllFaces, above), FACE_TOP);
  EXPECT_EQ(FacesFacingLight(5, 5, FACE_BOTTOM | FACE_LEFT, above), 0);
}

}  // namespace
