// The five shipped models: they load from the asset folder, are prepared as
// the game's start-up prepares them, and have the sizes, placements and
// outward normals the maze drawing relies on.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "model/glm.h"
#include "tests/model/glm_testing.h"

namespace {

struct Box {
  GLfloat min[3], max[3];
  GLfloat Size(int axis) const { return max[axis] - min[axis]; }
};

Box Bounds(const GLMmodel *model, const char *group = nullptr) {
  Box box = {{1e9f, 1e9f, 1e9f}, {-1e9f, -1e9f, -1e9f}};
  for (GLMgroup *g = model->groups; g; g = g->next) {
    if (group && std::string(g->name) != group) continue;
    for (GLuint i = 0; i < g->numtriangles; i++) {
      for (GLuint v : model->triangles[g->triangles[i]].vindices) {
        for (int axis = 0; axis < 3; axis++) {
          box.min[axis] = std::fmin(box.min[axis], model->vertices[3 * v + axis]);
          box.max[axis] = std::fmax(box.max[axis], model->vertices[3 * v + axis]);
        }
      }
    }
  }
  return box;
}

// Closed surfaces wound outwards enclose a positive volume, and their
// smoothed normals lean the way their faces do.
void ExpectOutward(const GLMmodel *model, const char *name) {
  double volume = 0;
  int against = 0;
  for (GLuint t = 0; t < model->numtriangles; t++) {
    const GLMtriangle &triangle = model->triangles[t];
    const GLfloat *p[3];
    for (int k = 0; k < 3; k++) p[k] = &model->vertices[3 * triangle.vindices[k]];
    volume += (p[0][0] * (p[1][1] * p[2][2] - p[1][2] * p[2][1]) -
               p[0][1] * (p[1][0] * p[2][2] - p[1][2] * p[2][0]) +
               p[0][2] * (p[1][0] * p[2][1] - p[1][1] * p[2][0])) /
              6.0;
    const GLfloat *facet = &model->facetnorms[3 * triangle.findex];
    for (int k = 0; k < 3; k++) {
      const GLfloat *normal = &model->normals[3 * triangle.nindices[k]];
      ASSERT_TRUE(std::isfinite(normal[0]) && std::isfinite(normal[1]) && std::isfinite(normal[2]))
          << name << " triangle " << t;
      if (normal[0] * facet[0] + normal[1] * facet[1] + normal[2] * facet[2] <= 0) against++;
    }
  }
  EXPECT_GT(volume, 0) << name;
  EXPECT_EQ(against, 0) << name;
}

void ExpectShape(const GLMmodel *model, const char *name, int minGroups) {
  EXPECT_GE(model->numtriangles, 300u) << name;
  EXPECT_LE(model->numtriangles, 5000u) << name;
  EXPECT_GE(static_cast<int>(model->numgroups), minGroups + 1) << name;  // + "default"
  EXPECT_GE(model->nummaterials, 3u) << name;
  EXPECT_EQ(glmFindGroup(const_cast<GLMmodel *>(model), "default")->numtriangles, 0u) << name;
}

}  // namespace

TEST(GlmModelsTest, MouseStandsOnTheFloorWithItsNoseAlongY) {
  GLMmodel *mouse = ReadPrepared("mouseFull1.obj", 0.65f, false);
  ExpectShape(mouse, "mouse", 6);
  ExpectOutward(mouse, "mouse");
  Box body = Bounds(mouse);
  // Drawn at z = -0.75 over a floor at -0.5.
  EXPECT_NEAR(body.min[2] - 0.75f, -0.5f, 0.02f);
  GLfloat length = Bounds(mouse, " nose").max[1] - Bounds(mouse, " body").min[1];
  EXPECT_GT(length, 0.5f);
  EXPECT_LT(length, 0.85f);
  EXPECT_LT(body.Size(0), 0.5f);
  EXPECT_GT(Bounds(mouse, " nose").min[1], 0.3f);
  EXPECT_LT(Bounds(mouse, " tail").max[1], -0.2f);
  glmDelete(mouse);
}

TEST(GlmModelsTest, FruitAreAboutAThirdOfACellAndWindOutwardsOnceReversed) {
  for (const char *file : {"apple.obj", "banana.obj"}) {
    GLMmodel *fruit = ReadPrepared(file, 0.003f, true);
    ExpectShape(fruit, file, 2);
    ExpectOutward(fruit, file);
    Box box = Bounds(fruit);
    GLfloat largest = std::fmax(box.Size(0), std::fmax(box.Size(1), box.Size(2)));
    EXPECT_GT(largest, 0.25f) << file;
    EXPECT_LT(largest, 0.4f) << file;
    glmDelete(fruit);
  }
  GLMmodel *apple = ReadPrepared("apple.obj", 0.003f, true);
  EXPECT_GT(Bounds(apple, " stem").max[2], Bounds(apple, " apple").max[2]);
  glmDelete(apple);
}

TEST(GlmModelsTest, BoardIsTwoCellsLongAndTheCatRidesOnIt) {
  GLMmodel *board = ReadPrepared("surfbord.obj", 0.2f, false);
  GLMmodel *cat = ReadPrepared("cat2.obj", 0.2f, false);
  ExpectShape(board, "board", 2);
  ExpectShape(cat, "cat", 6);
  ExpectOutward(board, "board");
  ExpectOutward(cat, "cat");

  // The board's length is along x, its thickness along y (upright in the
  // maze, where it is lifted by 0 and its y becomes height).
  Box deck = Bounds(board, " deck");
  EXPECT_NEAR(deck.Size(0), 2.0f, 0.1f);
  EXPECT_GT(deck.min[1], -0.5f);
  EXPECT_LT(deck.max[1], -0.2f);
  // The cat is stretched by (1.5, 1.5, 2.5) after a shift of (0, 0.2, 0.14):
  // its feet must meet the deck's top, its nose point along -y.
  GLfloat deckTop = -1.0f;
  for (GLuint i = 1; i <= board->numvertices; i++)
    if (std::fabs(board->vertices[3 * i]) < 0.3f)
      deckTop = std::fmax(deckTop, board->vertices[3 * i + 1]);
  Box legs = Bounds(cat, " legs");
  GLfloat feet = -0.4f + 2.5f * (0.14f + legs.min[2]);
  EXPECT_NEAR(feet, deckTop, 0.03f);
  EXPECT_LT(Bounds(cat, " head").min[1], Bounds(cat, " tail").min[1]);
  Box whole = Bounds(cat);
  EXPECT_GT(1.5f * whole.Size(1), 0.5f);
  EXPECT_LT(1.5f * whole.Size(1), 1.2f);
  glmDelete(board);
  glmDelete(cat);
}
