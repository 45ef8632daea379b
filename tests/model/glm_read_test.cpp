// The OBJ/MTL reader: groups and their names, fans, face forms, materials and
// their defaults, libraries, and every way a file can end the program.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "model/glm.h"

namespace {

std::string Write(const std::string &name, const std::string &text) {
  std::string path = testing::TempDir() + name;
  std::ofstream(path) << text;
  return path;
}

GLMmodel *Read(const std::string &text, const std::string &name = "read_test.obj") {
  return glmReadOBJ(Write(name, text).c_str());
}

std::string ReadError(const std::string &text, bool *toStdout = nullptr) {
  GLMreadError error{};
  GLMmodel *model = glmReadOBJFile(Write("read_bad.obj", text).c_str(), &error);
  EXPECT_EQ(model, nullptr);
  glmDelete(model);
  if (toStdout) *toStdout = error.toStdout;
  return error.message;
}

std::vector<std::string> GroupNames(const GLMmodel *model) {
  std::vector<std::string> names;
  for (GLMgroup *g = model->groups; g; g = g->next) names.push_back(g->name);
  return names;
}

std::vector<GLuint> Vertices(const GLMmodel *model, GLuint triangle) {
  const GLuint *v = model->triangles[triangle].vindices;
  return {v[0], v[1], v[2]};
}

const std::string kQuad = "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nv 0 2 0\n";

}  // namespace

TEST(GlmReadTest, VerticesAreOneBasedAndEveryOtherFieldStartsEmpty) {
  GLMmodel *model = Read("# a comment\nv 1 2 3\nv 4.5 -5 6e1\nf 1 2 1\n");
  EXPECT_STREQ(model->pathname, (testing::TempDir() + "read_test.obj").c_str());
  ASSERT_EQ(model->numvertices, 2u);
  EXPECT_FLOAT_EQ(model->vertices[3], 1.0f);
  EXPECT_FLOAT_EQ(model->vertices[7], -5.0f);
  EXPECT_FLOAT_EQ(model->vertices[8], 60.0f);
  EXPECT_EQ(model->normals, nullptr);
  EXPECT_EQ(model->texcoords, nullptr);
  EXPECT_EQ(model->facetnorms, nullptr);
  EXPECT_EQ(model->numfacetnorms, 0u);
  EXPECT_EQ(model->mtllibname, nullptr);
  EXPECT_EQ(model->nummaterials, 0u);
  EXPECT_EQ(model->materials, nullptr);
  glmDelete(model);
}

TEST(GlmReadTest, GroupsKeepTheBlankLoseTheLineEndAndComeNewestFirst) {
  GLMmodel *model = Read(kQuad +
                         "f 1 2 3\n"
                         "g body\nf 1 3 4\n"
                         "g tail\nf 2 3 4\n"
                         "g body\nf 1 2 4\n");
  EXPECT_EQ(GroupNames(model), (std::vector<std::string>{" tail", " body", "default"}));
  EXPECT_EQ(model->numgroups, 3u);
  GLMgroup *body = glmFindGroup(model, " body");
  ASSERT_NE(body, nullptr);
  ASSERT_EQ(body->numtriangles, 2u);
  EXPECT_EQ(body->triangles[0], 1u);
  EXPECT_EQ(body->triangles[1], 3u);
  EXPECT_EQ(glmFindGroup(model, "body"), nullptr);
  GLMgroup *fallback = glmFindGroup(model, "default");
  ASSERT_EQ(fallback->numtriangles, 1u);
  EXPECT_EQ(fallback->triangles[0], 0u);
  glmDelete(model);
}

TEST(GlmReadTest, DefaultGroupHoldsEverythingOrStaysEmpty) {
  GLMmodel *plain = Read(kQuad + "f 1 2 3\nf 1 3 4\n");
  EXPECT_EQ(GroupNames(plain), (std::vector<std::string>{"default"}));
  EXPECT_EQ(plain->groups->numtriangles, 2u);
  glmDelete(plain);

  GLMmodel *grouped = Read(kQuad + "g only\nf 1 2 3\n");
  EXPECT_EQ(glmFindGroup(grouped, "default")->numtriangles, 0u);
  EXPECT_EQ(grouped->numgroups, 2u);
  glmDelete(grouped);
}

TEST(GlmReadTest, PolygonsBecomeFansAroundTheFirstVertex) {
  GLMmodel *model = Read(kQuad + "f 1 2 3 4\nf 5 4 3 2 1\n");
  ASSERT_EQ(model->numtriangles, 5u);
  EXPECT_EQ(Vertices(model, 0), (std::vector<GLuint>{1, 2, 3}));
  EXPECT_EQ(Vertices(model, 1), (std::vector<GLuint>{1, 3, 4}));
  EXPECT_EQ(Vertices(model, 2), (std::vector<GLuint>{5, 4, 3}));
  EXPECT_EQ(Vertices(model, 3), (std::vector<GLuint>{5, 3, 2}));
  EXPECT_EQ(Vertices(model, 4), (std::vector<GLuint>{5, 2, 1}));
  glmDelete(model);
}

TEST(GlmReadTest, AFaceRunsOnWhileWordsLookLikeNumbers) {
  // The face's vertex list is not bounded by its line.
  GLMmodel *model = Read(kQuad + "f 1 2\n3 4\ng next\nf 1 2 3");
  EXPECT_EQ(model->numtriangles, 3u);
  EXPECT_EQ(glmFindGroup(model, "default")->numtriangles, 2u);
  EXPECT_EQ(glmFindGroup(model, " next")->numtriangles, 1u);
  glmDelete(model);
}

TEST(GlmReadTest, FaceFormsSetTheirIndicesAndLeaveTheOthersZero) {
  GLMmodel *model = Read(kQuad +
                         "vn 0 0 1\nvn 0 0 -1\nvt 0 0\nvt 1 0\nvt 1 1\n"
                         "f 1//2 2//1 3//2\n"
                         "f 1/3 2/2 3/1\n"
                         "f 1/1/2 2/2/2 3/3/1\n"
                         "f 4 3 2\n");
  ASSERT_EQ(model->numtriangles, 4u);
  ASSERT_EQ(model->numnormals, 2u);
  ASSERT_EQ(model->numtexcoords, 3u);
  EXPECT_FLOAT_EQ(model->normals[5], 1.0f);
  EXPECT_FLOAT_EQ(model->texcoords[2 * 3 + 1], 1.0f);
  const GLMtriangle *t = model->triangles;
  EXPECT_EQ(t[0].nindices[0], 2u);
  EXPECT_EQ(t[0].nindices[1], 1u);
  EXPECT_EQ(t[0].tindices[0], 0u);
  EXPECT_EQ(t[1].tindices[0], 3u);
  EXPECT_EQ(t[1].tindices[2], 1u);
  EXPECT_EQ(t[1].nindices[0], 0u);
  EXPECT_EQ(t[2].tindices[2], 3u);
  EXPECT_EQ(t[2].nindices[2], 1u);
  EXPECT_EQ(t[3].vindices[0], 4u);
  EXPECT_EQ(t[3].nindices[0], 0u);
  EXPECT_EQ(t[3].tindices[0], 0u);
  glmDelete(model);
}

TEST(GlmReadTest, MaterialsGetDefaultsAndLibraryValues) {
  Write("read_mat.mtl",
        "# library\nKd 0.1 0.2 0.3\n"
        "newmtl red\nNs 500\nKd 1 0 0\nKa 0.5 0 0\nKs 0.25 0.25 0.25\nillum 2\nKe 9 9 9\n"
        "newmtl plain\n");
  GLMmodel *model = Read("mtllib read_mat.mtl\n" + kQuad +
                             "usemtl red\nf 1 2 3\n"
                             "g other\nf 1 3 4\n"
                             "g third\nusemtl nothing-like-it\nf 1 2 4\n",
                         "read_mat.obj");
  EXPECT_STREQ(model->mtllibname, "read_mat.mtl");
  ASSERT_EQ(model->nummaterials, 3u);
  const GLMmaterial *m = model->materials;
  EXPECT_STREQ(m[0].name, "default");
  EXPECT_STREQ(m[1].name, "red");
  EXPECT_STREQ(m[2].name, "plain");
  // Values before the first newmtl belong to the default material.
  EXPECT_FLOAT_EQ(m[0].diffuse[1], 0.2f);
  EXPECT_FLOAT_EQ(m[1].shininess, 64.0f);
  EXPECT_FLOAT_EQ(m[1].diffuse[0], 1.0f);
  EXPECT_FLOAT_EQ(m[1].diffuse[3], 1.0f);
  EXPECT_FLOAT_EQ(m[1].ambient[0], 0.5f);
  EXPECT_FLOAT_EQ(m[1].specular[2], 0.25f);
  EXPECT_FLOAT_EQ(m[2].shininess, 65.0f);
  EXPECT_FLOAT_EQ(m[2].diffuse[0], 0.8f);
  EXPECT_FLOAT_EQ(m[2].ambient[0], 0.2f);
  EXPECT_FLOAT_EQ(m[2].specular[0], 0.0f);
  EXPECT_FLOAT_EQ(m[2].specular[3], 1.0f);
  EXPECT_EQ(glmFindMaterial(model, "plain"), 2u);
  EXPECT_EQ(glmFindMaterial(model, "missing"), 0u);
  EXPECT_EQ(glmFindGroup(model, "default")->material, 1u);
  // A group made current takes the current material; an unknown name is 0.
  EXPECT_EQ(glmFindGroup(model, " other")->material, 1u);
  EXPECT_EQ(glmFindGroup(model, " third")->material, 0u);
  glmDelete(model);
}

TEST(GlmReadTest, WithoutALibraryEveryGroupKeepsMaterialZero) {
  GLMmodel *model = Read(kQuad + "usemtl red\ng a\nf 1 2 3\n");
  EXPECT_EQ(model->nummaterials, 0u);
  for (GLMgroup *g = model->groups; g; g = g->next) EXPECT_EQ(g->material, 0u);
  glmDelete(model);
}

TEST(GlmReadTest, ASecondLibraryReplacesTheFirst) {
  Write("read_first.mtl", "newmtl a\nnewmtl b\nKd 0 1 0\n");
  Write("read_second.mtl", "newmtl c\nKd 0 0 1\n");
  GLMmodel *model = Read("mtllib read_first.mtl\nmtllib read_second.mtl\n" + kQuad +
                             "g x\nusemtl b\nf 1 2 3\ng y\nusemtl c\nf 1 3 4\n",
                         "read_libs.obj");
  EXPECT_STREQ(model->mtllibname, "read_second.mtl");
  ASSERT_EQ(model->nummaterials, 2u);
  EXPECT_STREQ(model->materials[1].name, "c");
  EXPECT_EQ(glmFindGroup(model, " x")->material, 0u);
  EXPECT_EQ(glmFindGroup(model, " y")->material, 1u);
  glmDelete(model);
}

TEST(GlmReadTest, LibraryIsLookedUpBesideTheModel) {
  char *dir = glmDirName("models/cat2.obj");
  EXPECT_STREQ(dir, "models/");
  free(dir);
  dir = glmDirName("cat2.obj");
  EXPECT_STREQ(dir, "");
  free(dir);
  dir = glmDirName("/a/b/");
  EXPECT_STREQ(dir, "/a/b/");
  free(dir);

  std::string path = Write("read_beside.obj", "mtllib no_such_library.mtl\n");
  EXPECT_EXIT(glmReadOBJ(path.c_str()), testing::ExitedWithCode(1),
              "glmReadMTL\\(\\) failed: can't open material file \"" + testing::TempDir() +
                  "no_such_library.mtl\"");
}

TEST(GlmReadTest, OtherKeywordsAreSkippedButUnknownVertexDataEndsTheProgram) {
  GLMmodel *model =
      Read("o thing\ns 1\ns off\nl 1 2\nvn 0 0 1\nvt 0 0\n" + kQuad + "usemtl any\nf 1 2 3\n");
  EXPECT_EQ(model->numtriangles, 1u);
  EXPECT_EQ(model->numgroups, 1u);
  glmDelete(model);

  bool toStdout = false;
  EXPECT_EQ(ReadError(kQuad + "vp 0.5 0.5\n", &toStdout),
            "glmFirstPass(): Unknown token \"vp\".\n");
  EXPECT_TRUE(toStdout);
  std::string path = Write("read_vp.obj", "vp 1\n");
  EXPECT_EXIT(glmReadOBJ(path.c_str()), testing::ExitedWithCode(1), "");
}

TEST(GlmReadTest, AMissingModelEndsTheProgram) {
  EXPECT_EXIT(glmReadOBJ("no/such/model.obj"), testing::ExitedWithCode(1),
              "glmReadOBJ\\(\\) failed: can't open data file \"no/such/model.obj\"");
}

// A folder opens like a file but cannot be read: that is no empty model.
TEST(GlmReadTest, AFolderInPlaceOfTheModelOrItsLibraryIsRefused) {
  const std::string folder = testing::TempDir() + "read_folder.obj";
  mkdir(folder.c_str(), 0700);
  GLMreadError error{};
  EXPECT_EQ(glmReadOBJFile(folder.c_str(), &error), nullptr);
  EXPECT_EQ(std::string(error.message),
            "glmReadOBJ() failed: can't read data file \"" + folder + "\".\n");
  mkdir((testing::TempDir() + "read_folder.mtl").c_str(), 0700);
  EXPECT_NE(ReadError(kQuad + "mtllib read_folder.mtl\nf 1 2 3\n")
                .find("glmReadMTL() failed: can't read material file"),
            std::string::npos);
}

// ---- Input the reader refuses, each with a message naming the file ----

TEST(GlmReadTest, OverlongWordsAreRefused) {
  GLMmodel *model = Read(kQuad + "x" + std::string(126, 'x') + "\n");
  EXPECT_EQ(model->numvertices, 5u);
  glmDelete(model);
  std::string file = testing::TempDir() + "read_bad.obj";
  EXPECT_EQ(
      ReadError(kQuad + "f 1 2 " + std::string(128, '3') + "\n"),
      "glmReadOBJ() failed: a word of 128 characters or more in data file \"" + file + "\".\n");
  Write("read_long.mtl", "newmtl a\n" + std::string(200, 'x') + "\n");
  EXPECT_NE(ReadError("mtllib read_long.mtl\n").find("glmReadMTL() failed: a word of 128"),
            std::string::npos);
}

TEST(GlmReadTest, FaceIndicesOutsideTheCountsAreRefused) {
  std::string base = kQuad + "vn 0 0 1\nvt 0 0\n";
  EXPECT_NE(ReadError(base + "f 0 1 2\n").find("a face index 0 outside 1 to 5"), std::string::npos);
  EXPECT_NE(ReadError(base + "f -1 -2 -3\n").find("a face index -1 outside"), std::string::npos);
  EXPECT_NE(ReadError(base + "f 1 2 6\n").find("a face index 6 outside 1 to 5"), std::string::npos);
  EXPECT_NE(ReadError(base + "f 1//1 2//2 3//1\n").find("a face index 2 outside 1 to 1"),
            std::string::npos);
  EXPECT_NE(ReadError(base + "f 1/2 2/1 3/1\n").find("index 2 outside 1 to 1"), std::string::npos);
  EXPECT_NE(ReadError(kQuad + "f 1//1 2//1 3//1\n").find("outside 1 to 0"), std::string::npos);
  EXPECT_NE(ReadError(base + "f 1 2 99999999999999999999\n").find("outside 1 to 5"),
            std::string::npos);
}

TEST(GlmReadTest, ShortAndMalformedFacesAreRefused) {
  const char *fewer = "a face with fewer than three vertices";
  EXPECT_NE(ReadError(kQuad + "f 1 2\ng x\n").find(fewer), std::string::npos);
  EXPECT_NE(ReadError(kQuad + "f\n").find(fewer), std::string::npos);
  EXPECT_NE(ReadError(kQuad + "f 1 2").find(fewer), std::string::npos);  // file ends in it
  EXPECT_NE(ReadError(kQuad + "f 1 2 3/1\n").find("a face vertex \"3/1\" unlike"),
            std::string::npos);
  EXPECT_NE(ReadError(kQuad + "vt 0 0\nf 1/1 2/1 3//1\n").find("unlike the face's form"),
            std::string::npos);
  EXPECT_NE(ReadError(kQuad + "f 1x 2 3\n").find("unlike"), std::string::npos);
}

TEST(GlmReadTest, PassesThatReadALineDifferentlyAreRefused) {
  // The first pass skips the rest of a vertex line; the second reads its
  // numbers and then takes the "g" as a group line nobody counted.
  EXPECT_NE(ReadError(kQuad + "v 1 2 3 g hidden\nf 1 2 3\n")
                .find("lines its two passes read differently"),
            std::string::npos);
  EXPECT_NE(ReadError(kQuad + "g a\nf 1 2 3\ng b\nf 1 2 3\nv 1 2 g a\nf 1 2 3\n")
                .find("read differently"),
            std::string::npos);
  Write("read_hidden.mtl", "newmtl a\nKd 1 1 1 newmtl b\n");
  EXPECT_NE(ReadError("mtllib read_hidden.mtl\n").find("more materials than"), std::string::npos);
}

TEST(GlmReadTest, AFileWithoutVerticesReadsAsAnEmptyModel) {
  GLMmodel *model = Read("# nothing here\ng empty\n");
  EXPECT_EQ(model->numvertices, 0u);
  EXPECT_EQ(model->numtriangles, 0u);
  GLfloat dimensions[3] = {1, 1, 1};
  glmDimensions(model, dimensions);
  EXPECT_EQ(dimensions[0], 0.0f);
  EXPECT_EQ(dimensions[2], 0.0f);
  glmFacetNormals(model);
  glmVertexNormals(model, 90.0f);
  glmLinearTexture(model);
  EXPECT_EQ(model->numtexcoords, 0u);
  EXPECT_EQ(model->numnormals, 0u);
  glmDelete(model);
}
