// Model preparation: facet and vertex normals under the angle threshold,
// winding reversal, scaling, dimensions and planar texture coordinates.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <string>

#include "model/glm.h"

namespace {

GLMmodel *Read(const std::string &text) {
  std::string path = testing::TempDir() + "process_test.obj";
  std::ofstream(path) << text;
  return glmReadOBJ(path.c_str());
}

// An axis-aligned unit cube of 8 shared vertices, wound outwards.
const char *kCube =
    "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nv 0 0 1\nv 1 0 1\nv 1 1 1\nv 0 1 1\n"
    "f 1 4 3 2\nf 5 6 7 8\nf 1 2 6 5\nf 2 3 7 6\nf 3 4 8 7\nf 4 1 5 8\n";

const GLfloat *Normal(const GLMmodel *model, GLuint index) { return &model->normals[3 * index]; }

const GLfloat *Facet(const GLMmodel *model, GLuint triangle) {
  return &model->facetnorms[3 * model->triangles[triangle].findex];
}

void ExpectVector(const GLfloat *v, GLfloat x, GLfloat y, GLfloat z) {
  EXPECT_NEAR(v[0], x, 1e-6);
  EXPECT_NEAR(v[1], y, 1e-6);
  EXPECT_NEAR(v[2], z, 1e-6);
}

}  // namespace

TEST(GlmProcessTest, CubeKeepsSharpEdgesAtNinetyDegrees) {
  GLMmodel *cube = Read(kCube);
  glmFacetNormals(cube);
  ASSERT_EQ(cube->numfacetnorms, 12u);
  ExpectVector(Facet(cube, 0), 0, 0, -1);
  ExpectVector(Facet(cube, 2), 0, 0, 1);
  ExpectVector(Facet(cube, 11), -1, 0, 0);

  glmVertexNormals(cube, 90.0f);
  // Every corner gets the normal of its own face, as an average or a copy.
  for (GLuint t = 0; t < cube->numtriangles; t++) {
    for (int k = 0; k < 3; k++) {
      GLuint n = cube->triangles[t].nindices[k];
      ASSERT_GE(n, 1u);
      ASSERT_LE(n, cube->numnormals);
      const GLfloat *facet = Facet(cube, t);
      ExpectVector(Normal(cube, n), facet[0], facet[1], facet[2]);
    }
  }
  // Each vertex meets three faces: one averaged normal for the reference
  // face (and its coplanar twin, if it has one) and copies for the others.
  EXPECT_LT(cube->numnormals, 36u);
  EXPECT_GE(cube->numnormals, 24u);
  glmDelete(cube);
}

TEST(GlmProcessTest, NormalsComeGroupedByVertexNewestTriangleFirst) {
  // Two triangles folded at exactly 90 degrees along the edge 1-2.
  GLMmodel *fold = Read("v 0 0 0\nv 1 0 0\nv 0 1 0\nv 0 0 1\nf 1 2 3\nf 2 1 4\n");
  glmFacetNormals(fold);
  glmVertexNormals(fold, 90.0f);
  // Vertex 1: the reference is triangle 1 (newest first); triangle 0 is at
  // 90 degrees and not smoothed, so normal 1 is triangle 1's, normal 2 a
  // copy of triangle 0's. Vertex 2 the same; vertices 3 and 4 one each.
  ASSERT_EQ(fold->numnormals, 6u);
  ExpectVector(Normal(fold, 1), 0, 1, 0);
  ExpectVector(Normal(fold, 2), 0, 0, 1);
  EXPECT_EQ(fold->triangles[1].nindices[1], 1u);
  EXPECT_EQ(fold->triangles[0].nindices[0], 2u);
  EXPECT_EQ(fold->triangles[1].nindices[0], 3u);
  EXPECT_EQ(fold->triangles[0].nindices[1], 4u);
  EXPECT_EQ(fold->triangles[0].nindices[2], 5u);
  EXPECT_EQ(fold->triangles[1].nindices[2], 6u);
  glmDelete(fold);
}

TEST(GlmProcessTest, FlatPatchIsSmoothedAndThresholdDecidesAFold) {
  GLMmodel *patch = Read("v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nf 1 2 3 4\n");
  glmFacetNormals(patch);
  glmVertexNormals(patch, 90.0f);
  // Vertices 1 and 3 are shared by both triangles: one averaged normal each.
  EXPECT_EQ(patch->numnormals, 4u);
  EXPECT_EQ(patch->triangles[0].nindices[0], patch->triangles[1].nindices[0]);
  for (GLuint n = 1; n <= patch->numnormals; n++) ExpectVector(Normal(patch, n), 0, 0, 1);
  glmDelete(patch);

  GLMmodel *fold = Read("v 0 0 0\nv 1 0 0\nv 0 1 0\nv 0 0 1\nf 1 2 3\nf 2 1 4\n");
  glmFacetNormals(fold);
  glmVertexNormals(fold, 91.0f);
  EXPECT_EQ(fold->numnormals, 4u);
  const GLfloat s = static_cast<GLfloat>(1 / std::sqrt(2.0));
  ExpectVector(Normal(fold, 1), 0, s, s);
  glmDelete(fold);
}

TEST(GlmProcessTest, TriangleWithTwoEqualCornersGetsANormalAtBoth) {
  GLMmodel *model = Read(
      "v 0 0 0\nv 1 0 0\nv 0 1 0\nvn 0 0 1\n"
      "f 1//1 2//1 3//1\nf 1//1 1//1 2//1\n");
  glmFacetNormals(model);
  glmVertexNormals(model, 90.0f);
  for (GLuint t = 0; t < model->numtriangles; t++) {
    for (int k = 0; k < 3; k++) {
      EXPECT_GE(model->triangles[t].nindices[k], 1u);
      EXPECT_LE(model->triangles[t].nindices[k], model->numnormals);
    }
  }
  glmDelete(model);
}

TEST(GlmProcessTest, ReversingTwiceRestoresTrianglesAndNormals) {
  GLMmodel *cube = Read(kCube);
  glmFacetNormals(cube);
  glmVertexNormals(cube, 90.0f);
  glmLinearTexture(cube);
  GLMmodel *before = Read(kCube);
  glmFacetNormals(before);
  glmVertexNormals(before, 90.0f);
  glmLinearTexture(before);

  glmReverseWinding(cube);
  EXPECT_EQ(cube->triangles[0].vindices[0], before->triangles[0].vindices[2]);
  EXPECT_EQ(cube->triangles[0].nindices[2], before->triangles[0].nindices[0]);
  EXPECT_EQ(cube->triangles[0].tindices[0], before->triangles[0].tindices[2]);
  ExpectVector(Facet(cube, 0), 0, 0, 1);
  EXPECT_EQ(Normal(cube, 1)[2], -Normal(before, 1)[2]);

  glmReverseWinding(cube);
  for (GLuint t = 0; t < cube->numtriangles; t++) {
    for (int k = 0; k < 3; k++) {
      EXPECT_EQ(cube->triangles[t].vindices[k], before->triangles[t].vindices[k]);
      EXPECT_EQ(cube->triangles[t].nindices[k], before->triangles[t].nindices[k]);
      EXPECT_EQ(cube->triangles[t].tindices[k], before->triangles[t].tindices[k]);
    }
  }
  for (GLuint i = 3; i < 3 * (cube->numnormals + 1); i++)
    EXPECT_EQ(cube->normals[i], before->normals[i]);
  for (GLuint i = 3; i < 3 * (cube->numfacetnorms + 1); i++)
    EXPECT_EQ(cube->facetnorms[i], before->facetnorms[i]);
  glmDelete(cube);
  glmDelete(before);
}

TEST(GlmProcessTest, ScaleMovesVerticesOnly) {
  GLMmodel *model = Read("v 1 -2 3\nv 0 0 0\nv 1 1 1\nvn 0 0 1\nf 1//1 2//1 3//1\n");
  glmScale(model, 0.5f);
  ExpectVector(&model->vertices[3], 0.5f, -1.0f, 1.5f);
  ExpectVector(Normal(model, 1), 0, 0, 1);
  glmDelete(model);
}

TEST(GlmProcessTest, DimensionsAddMagnitudesRatherThanMeasureExtents) {
  GLMmodel *model = Read("v 2 -1 0\nv 3 1 -4\nv 2.5 0.5 -2\nf 1 2 3\n");
  GLfloat dimensions[3];
  glmDimensions(model, dimensions);
  EXPECT_FLOAT_EQ(dimensions[0], 5.0f);
  EXPECT_FLOAT_EQ(dimensions[1], 2.0f);
  EXPECT_FLOAT_EQ(dimensions[2], 4.0f);
  glmDelete(model);
}

TEST(GlmProcessTest, LinearTextureSpansZeroToOneAcrossACentredModel) {
  GLMmodel *model = Read("v -2 0 -1\nv 2 0.5 1\nv 0 -0.5 0.5\nv 1 0 -0.5\ng a\nf 1 2 3\nf 1 3 4\n");
  glmLinearTexture(model);
  ASSERT_EQ(model->numtexcoords, 4u);
  // D = 4 along x: s = x / 4 + 0.5, t = z / 4 + 0.5.
  EXPECT_FLOAT_EQ(model->texcoords[2], 0.0f);
  EXPECT_FLOAT_EQ(model->texcoords[3], 0.25f);
  EXPECT_FLOAT_EQ(model->texcoords[4], 1.0f);
  EXPECT_FLOAT_EQ(model->texcoords[5], 0.75f);
  EXPECT_FLOAT_EQ(model->texcoords[6], 0.5f);
  EXPECT_FLOAT_EQ(model->texcoords[8], 0.75f);
  for (GLuint t = 0; t < model->numtriangles; t++)
    for (int k = 0; k < 3; k++)
      EXPECT_EQ(model->triangles[t].tindices[k], model->triangles[t].vindices[k]);
  glmDelete(model);
}
