// glmDraw: its warnings (no window needed), and, when a display is present,
// the triangles it issues (through OpenGL feedback) and pictures of the five
// shipped models, prepared as the game's start-up does. With SQ_ARTIFACTS set
// the pictures are written there as PPM files.
#include <GL/glut.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "model/glm.h"
#include "tests/model/glm_testing.h"

namespace {

std::string WriteFile(const std::string &name, const std::string &text) {
  std::string path = testing::TempDir() + name;
  std::ofstream(path) << text;
  return path;
}

// Two triangles of a square, with a library so every flag can be honoured.
GLMmodel *ReadSquare() {
  WriteFile("draw_square.mtl", "newmtl red\nKd 1 0 0\n");
  return glmReadOBJ(WriteFile("draw_square.obj",
                              "mtllib draw_square.mtl\nv 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\n"
                              "usemtl red\nf 1 2 3 4\n")
                        .c_str());
}

std::string DrawAndCapture(GLMmodel *model, GLuint mode) {
  testing::internal::CaptureStdout();
  glmDraw(model, mode);
  return testing::internal::GetCapturedStdout();
}

}  // namespace

TEST(GlmDrawTest, UnusableFlagsWarnInOrderOnEveryCall) {
  WriteFile("draw_bare.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n");
  GLMmodel *bare = glmReadOBJ((testing::TempDir() + "draw_bare.obj").c_str());
  const std::string all =
      "glmDraw() warning: flat render mode requested with no facet normals defined.\n"
      "glmDraw() warning: smooth render mode requested with no normals defined.\n"
      "glmDraw() warning: texture render mode requested with no texture coordinates defined.\n"
      "glmDraw() warning: color render mode requested with no materials defined.\n"
      "glmDraw() warning: material render mode requested with no materials defined.\n";
  GLuint every =
      GLM_DRAW_FLAT | GLM_DRAW_SMOOTH | GLM_DRAW_TEXTURE | GLM_DRAW_COLOR | GLM_DRAW_MATERIAL;
  EXPECT_EQ(DrawAndCapture(bare, every), all);
  EXPECT_EQ(DrawAndCapture(bare, GLM_DRAW_SMOOTH),
            "glmDraw() warning: smooth render mode requested with no normals defined.\n");
  EXPECT_EQ(DrawAndCapture(bare, GLM_DRAW_SMOOTH),
            "glmDraw() warning: smooth render mode requested with no normals defined.\n");
  EXPECT_EQ(DrawAndCapture(bare, 0), "");
  glmDelete(bare);
}

TEST(GlmDrawTest, ConflictingFlagsKeepSmoothAndMaterial) {
  GLMmodel *square = ReadSquare();
  glmFacetNormals(square);
  glmVertexNormals(square, 90.0f);
  glmLinearTexture(square);
  EXPECT_EQ(DrawAndCapture(square, GLM_DRAW_FLAT | GLM_DRAW_SMOOTH | GLM_DRAW_TEXTURE),
            "glmDraw() warning: flat render mode requested and smooth render mode requested "
            "(using smooth).\n");
  EXPECT_EQ(DrawAndCapture(square, GLM_DRAW_COLOR | GLM_DRAW_MATERIAL),
            "glmDraw() warning: color and material render mode requested using only material "
            "mode.\n");
  EXPECT_EQ(DrawAndCapture(square, GLM_DRAW_SMOOTH), "");
  glmDelete(square);
}

// ---- With a window ----

namespace {

bool OpenWindow() {
  static int window = 0;
  if (window) return true;
  if (!getenv("DISPLAY")) return false;
  int argc = 1;
  char name[] = "glm_draw_test";
  char *argv[] = {name, nullptr};
  glutInit(&argc, argv);
  glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
  glutInitWindowSize(480, 360);
  window = glutCreateWindow("glm_draw_test");
  return window != 0;
}

void SetColor(GLfloat r, GLfloat g, GLfloat b) {
  GLfloat color[4] = {r, g, b, 1.0f};
  GLfloat specular[4] = {0.4f, 0.4f, 0.4f, 1.0f};
  glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE, color);
  glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, specular);
  glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, 40.0f);
}

// A lit view of a few maze cells with a checkered floor at z = -0.5, so the
// size of a model reads against the one-unit cells.
void BeginScene(double distance, double targetZ) {
  glClearColor(0.15f, 0.17f, 0.22f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glViewport(0, 0, 480, 360);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(40.0, 480.0 / 360.0, 0.05, 50.0);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  gluLookAt(distance * 0.8, -distance, distance * 0.55 + targetZ, 0, 0, targetZ, 0, 0, 1);
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_LIGHTING);
  glEnable(GL_LIGHT0);
  glEnable(GL_NORMALIZE);
  GLfloat position[4] = {2.0f, -3.0f, 5.0f, 0.0f};
  glLightfv(GL_LIGHT0, GL_POSITION, position);
  glNormal3f(0, 0, 1);
  glBegin(GL_QUADS);
  for (int x = -3; x <= 3; x++) {
    for (int y = -3; y <= 3; y++) {
      GLfloat shade = ((x + y) & 1) ? 0.35f : 0.55f;
      SetColor(shade, shade, shade);
      glVertex3f(x - 0.5f, y - 0.5f, -0.5f);
      glVertex3f(x + 0.5f, y - 0.5f, -0.5f);
      glVertex3f(x + 0.5f, y + 0.5f, -0.5f);
      glVertex3f(x - 0.5f, y + 0.5f, -0.5f);
    }
  }
  glEnd();
}

// Writes the back buffer as a binary PPM; returns how many pixels differ
// from the background colour.
int SavePicture(const std::string &name) {
  std::vector<unsigned char> pixels(480 * 360 * 3);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadBuffer(GL_BACK);
  glReadPixels(0, 0, 480, 360, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
  const char *dir = getenv("SQ_ARTIFACTS");
  if (dir) {
    std::ofstream out(std::string(dir) + "/" + name + ".ppm", std::ios::binary);
    out << "P6\n480 360\n255\n";
    for (int row = 359; row >= 0; row--)
      out.write(reinterpret_cast<const char *>(&pixels[row * 480 * 3]), 480 * 3);
  }
  glutSwapBuffers();
  int differing = 0;
  for (size_t i = 0; i < pixels.size(); i += 3)
    if (std::abs(pixels[i] - 38) + std::abs(pixels[i + 2] - 56) > 12) differing++;
  return differing;
}

}  // namespace

TEST(GlmDrawWindowTest, IssuesEveryTriangleOfEveryGroupWithItsNormals) {
  if (!OpenWindow()) GTEST_SKIP() << "no display";
  GLMmodel *square = ReadSquare();
  glmFacetNormals(square);
  glmVertexNormals(square, 90.0f);
  std::vector<GLfloat> buffer(1024);
  glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D, buffer.data());
  glRenderMode(GL_FEEDBACK);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(-1, 2, -1, 2, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glDisable(GL_CULL_FACE);
  glmDraw(square, GLM_DRAW_SMOOTH);
  GLint values = glRenderMode(GL_RENDER);
  int polygons = 0;
  for (GLint i = 0; i < values;) {
    ASSERT_EQ(buffer[i], GL_POLYGON_TOKEN);
    ASSERT_EQ(buffer[i + 1], 3.0f);
    polygons++;
    i += 2 + 3 * 3;
  }
  EXPECT_EQ(polygons, 2);
  glmDelete(square);
}

TEST(GlmDrawWindowTest, PicturesOfTheShippedModels) {
  if (!OpenWindow()) GTEST_SKIP() << "no display";
  GLMmodel *mouse = ReadPrepared("mouseFull1.obj", 0.65f, false);
  GLMmodel *apple = ReadPrepared("apple.obj", 0.003f, true);
  GLMmodel *banana = ReadPrepared("banana.obj", 0.003f, true);
  GLMmodel *board = ReadPrepared("surfbord.obj", 0.2f, false);
  GLMmodel *cat = ReadPrepared("cat2.obj", 0.2f, false);

  // The mouse heading 30 degrees, placed as the game places it.
  BeginScene(2.0, -0.3);
  SetColor(1, 1, 1);
  glPushMatrix();
  glTranslatef(0, 0, -0.75f);
  glRotatef(-(30 + 90), 0, 0, 1);
  glmDraw(mouse, GLM_DRAW_SMOOTH);
  glPopMatrix();
  EXPECT_GT(SavePicture("model_mouse"), 3000);

  // The fruit in their cells, turned as the game turns them.
  BeginScene(1.2, 0.0);
  glPushMatrix();
  glTranslatef(-0.25f, 0.25f, 0.1f);
  SetColor(1, 0, 0);
  glmDraw(apple, GLM_DRAW_SMOOTH);
  glPopMatrix();
  glPushMatrix();
  glTranslatef(0.25f, -0.25f, 0.1f);
  glRotatef(30, 0, 0, 1);
  glRotatef(-90, 1, 0, 0);
  glRotatef(120, 0, 1, 0);
  SetColor(1, 1, 0);
  glmDraw(banana, GLM_DRAW_SMOOTH);
  glPopMatrix();
  EXPECT_GT(SavePicture("model_fruit"), 3000);

  // The cat on its board, heading 0 (towards +x), placed as the game does.
  BeginScene(3.2, -0.2);
  const float catOrient = 0;
  SetColor(0, 1, 0);
  glPushMatrix();
  glTranslatef(0, 0, -0.2f);
  glRotatef(180 - catOrient, 0, 0, 1);
  glTranslatef(-0.2f, 0, 0.2f);
  glRotatef(90, 1, 0, 0);
  glmDraw(board, GLM_DRAW_SMOOTH);
  glPopMatrix();
  SetColor(1, 1, 0);
  glPushMatrix();
  glTranslatef(0, 0, -0.4f);
  glRotatef(90 - catOrient, 0, 0, 1);
  glScalef(1.5f, 1.5f, 2.5f);
  glTranslatef(0, 0.2f, 0.14f);
  glmDraw(cat, GLM_DRAW_SMOOTH);
  glPopMatrix();
  EXPECT_GT(SavePicture("model_cat"), 3000);

  // Each model in its own materials, side by side.
  BeginScene(2.6, -0.2);
  glPushMatrix();
  glTranslatef(-0.9f, 0.6f, -0.75f);
  glRotatef(-90, 0, 0, 1);
  glmDraw(mouse, GLM_DRAW_SMOOTH | GLM_DRAW_MATERIAL);
  glPopMatrix();
  glPushMatrix();
  glTranslatef(0.9f, 0.9f, 0.1f);
  glmDraw(apple, GLM_DRAW_SMOOTH | GLM_DRAW_MATERIAL);
  glTranslatef(0.0f, -0.6f, 0.0f);
  glRotatef(-90, 1, 0, 0);
  glRotatef(120, 0, 1, 0);
  glmDraw(banana, GLM_DRAW_SMOOTH | GLM_DRAW_MATERIAL);
  glPopMatrix();
  glPushMatrix();
  glTranslatef(0.3f, -0.9f, -0.2f);
  glRotatef(180 + 20, 0, 0, 1);
  glTranslatef(-0.2f, 0, 0.2f);
  glRotatef(90, 1, 0, 0);
  glmDraw(board, GLM_DRAW_SMOOTH | GLM_DRAW_MATERIAL);
  glPopMatrix();
  glPushMatrix();
  glTranslatef(0.3f, -0.9f, -0.4f);
  glRotatef(90 + 20, 0, 0, 1);
  glScalef(1.5f, 1.5f, 2.5f);
  glTranslatef(0, 0.2f, 0.14f);
  glmDraw(cat, GLM_DRAW_SMOOTH | GLM_DRAW_MATERIAL);
  glPopMatrix();
  EXPECT_GT(SavePicture("model_materials"), 3000);

  for (GLMmodel *model : {mouse, apple, banana, board, cat}) glmDelete(model);
}
