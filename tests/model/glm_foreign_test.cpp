// Files in the forms other modelling tools write: object and smoothing
// lines, texture coordinates and normals, every face form, polygons, several
// groups and materials, and libraries full of keywords this reader skips.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <string>

#include "model/glm.h"

namespace {

std::string Write(const std::string &name, const std::string &text) {
  std::string path = testing::TempDir() + name;
  std::ofstream(path) << text;
  return path;
}

// A cube with texture coordinates and normals in "v/t/n" quads, split over
// two materials, and a roof made of one polygon in "v//n" form.
const char *kExportedObj = R"(# exported OBJ file
# www.example.org
mtllib house.mtl
o Cube
v 1.000000 1.000000 -1.000000
v 1.000000 -1.000000 -1.000000
v 1.000000 1.000000 1.000000
v 1.000000 -1.000000 1.000000
v -1.000000 1.000000 -1.000000
v -1.000000 -1.000000 -1.000000
v -1.000000 1.000000 1.000000
v -1.000000 -1.000000 1.000000
vt 0.625000 0.500000
vt 0.875000 0.500000
vt 0.875000 0.750000
vt 0.625000 0.750000
vn 0.0000 1.0000 0.0000
vn 0.0000 0.0000 1.0000
vn -1.0000 0.0000 0.0000
vn 0.0000 -1.0000 0.0000
vn 1.0000 0.0000 0.0000
vn 0.0000 0.0000 -1.0000
usemtl Walls
s off
f 1/1/1 5/2/1 7/3/1 3/4/1
f 4/1/2 3/2/2 7/3/2 8/4/2
f 8/1/3 7/2/3 5/3/3 6/4/3
f 6/1/4 2/2/4 4/3/4 8/4/4
usemtl Floor
f 2/1/5 1/2/5 3/3/5 4/4/5
f 6/1/6 5/2/6 1/3/6 2/4/6
o Roof
v 0.000000 0.000000 2.000000
v 1.200000 0.000000 1.000000
v 0.600000 1.039230 1.000000
v -0.600000 1.039230 1.000000
v -1.200000 0.000000 1.000000
v -0.600000 -1.039230 1.000000
v 0.600000 -1.039230 1.000000
vn 0.0000 0.0000 1.0000
usemtl Roof.001
s 1
f 10//7 11//7 12//7 13//7 14//7 15//7
f 9//7 10//7 11//7
)";

const char *kExportedMtl = R"(# Material Count: 3

newmtl Floor
Ns 225.000000
Ka 1.000000 1.000000 1.000000
Kd 0.100000 0.100000 0.100000
Ks 0.500000 0.500000 0.500000
Ke 0.000000 0.000000 0.000000
d 1.000000
illum 2

newmtl Roof.001
Ns 96.078431
Ka 0.000000 0.000000 0.000000
Kd 0.640000 0.100000 0.050000
Ks 0.500000 0.500000 0.500000
Ni 1.000000
d 1.000000
illum 2
map_Kd roof tiles.png

newmtl Walls
Ns 250.0
Ka 0.2 0.2 0.2
Kd 0.8 0.7 0.6
Ks 0 0 0
Tr 0.0
)";

// Another family of tools writes groups instead of objects, plain "v/t"
// faces, triangles, and material lines inside the groups.
const char *kGroupedObj = R"(#
# object Box01
#
mtllib ./grouped.mtl
v  -10.0 -10.0 0.0
v  10.0 -10.0 0.0
v  10.0 10.0 0.0
v  -10.0 10.0 0.0
v  0.0 0.0 15.0
# 5 vertices

vt 0.0 0.0 0.0
vt 1.0 0.0 0.0
vt 0.5 1.0 0.0
# 3 texture coords

g Box01
usemtl Stone
s 2
f 1/1 4/2 3/3
f 3/1 2/2 1/3
s 4
f 1/1 2/2 5/3
f 2/1 3/2 5/3
g Box02
usemtl Moss
f 3/1 4/2 5/3
f 4 1 5
# 6 faces
)";

}  // namespace

TEST(GlmForeignTest, ReadsAnObjectStyleExportWithEveryFaceForm) {
  Write("house.mtl", kExportedMtl);
  GLMmodel *model = glmReadOBJ(Write("house.obj", kExportedObj).c_str());
  EXPECT_EQ(model->numvertices, 15u);
  EXPECT_EQ(model->numtexcoords, 4u);
  EXPECT_EQ(model->numnormals, 7u);
  // Six quads, a hexagon and a triangle.
  EXPECT_EQ(model->numtriangles, 6u * 2 + 4 + 1);
  EXPECT_EQ(model->numgroups, 1u);
  ASSERT_EQ(model->nummaterials, 4u);
  EXPECT_STREQ(model->materials[3].name, "Walls");
  EXPECT_FLOAT_EQ(model->materials[3].shininess, 32.0f);
  EXPECT_FLOAT_EQ(model->materials[3].diffuse[1], 0.7f);
  // Every word beginning with N is the exponent, so Ni overrides Ns.
  EXPECT_FLOAT_EQ(model->materials[2].shininess, 0.128f);
  EXPECT_FLOAT_EQ(model->materials[1].shininess, 28.8f);
  // The one group takes the last usemtl.
  EXPECT_EQ(model->groups->material, 2u);

  const GLMtriangle &first = model->triangles[0];
  EXPECT_EQ(first.vindices[1], 5u);
  EXPECT_EQ(first.tindices[1], 2u);
  EXPECT_EQ(first.nindices[1], 1u);
  const GLMtriangle &hexagonEnd = model->triangles[15];
  EXPECT_EQ(hexagonEnd.vindices[0], 10u);
  EXPECT_EQ(hexagonEnd.vindices[2], 15u);
  EXPECT_EQ(hexagonEnd.nindices[2], 7u);
  EXPECT_EQ(hexagonEnd.tindices[2], 0u);

  // The cube's faces wind outwards, as the file's own normals say.
  glmFacetNormals(model);
  for (GLuint t = 0; t < 12; t++) {
    const GLMtriangle &triangle = model->triangles[t];
    GLfloat *facet = &model->facetnorms[3 * triangle.findex];
    GLfloat *given = &model->normals[3 * triangle.nindices[0]];
    EXPECT_FLOAT_EQ(glmDot(facet, given), 1.0f) << "triangle " << t;
  }
  glmDelete(model);
}

TEST(GlmForeignTest, ReadsAGroupStyleExportWithMaterialsPerGroup) {
  Write("grouped.mtl",
        "newmtl Stone\n\tNs 10.0000\n\tKa 0.5880 0.5880 0.5880\n\tKd 0.5 0.5 0.5\n"
        "\tKs 0 0 0\n\tKe 0 0 0\n\tmap_Ka stone.tga\n\n"
        "newmtl Moss\n\tKd 0.1 0.6 0.1\n\tillum 1\n");
  GLMmodel *model = glmReadOBJ(Write("grouped.obj", kGroupedObj).c_str());
  EXPECT_STREQ(model->mtllibname, "./grouped.mtl");
  EXPECT_EQ(model->numvertices, 5u);
  EXPECT_EQ(model->numtexcoords, 3u);
  EXPECT_EQ(model->numtriangles, 6u);
  GLMgroup *stone = glmFindGroup(model, " Box01");
  GLMgroup *moss = glmFindGroup(model, " Box02");
  ASSERT_NE(stone, nullptr);
  ASSERT_NE(moss, nullptr);
  EXPECT_EQ(stone->numtriangles, 4u);
  EXPECT_EQ(moss->numtriangles, 2u);
  EXPECT_STREQ(model->materials[stone->material].name, "Stone");
  EXPECT_STREQ(model->materials[moss->material].name, "Moss");
  EXPECT_FLOAT_EQ(model->materials[moss->material].diffuse[1], 0.6f);
  EXPECT_EQ(model->triangles[moss->triangles[1]].vindices[0], 4u);
  EXPECT_EQ(model->triangles[moss->triangles[1]].tindices[0], 0u);

  glmFacetNormals(model);
  glmVertexNormals(model, 90.0f);
  glmLinearTexture(model);
  EXPECT_EQ(model->numtexcoords, 5u);
  for (GLuint i = 1; i <= model->numnormals; i++) EXPECT_TRUE(std::isfinite(model->normals[3 * i]));
  glmDelete(model);
}
