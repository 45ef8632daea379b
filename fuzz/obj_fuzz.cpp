// Fuzzes the OBJ/MTL reader and the preparation and drawing of whatever it
// accepts. The input is an OBJ file, optionally followed by a zero byte and
// the material library "lib.mtl" beside it; an odd first byte puts an
// "mtllib lib.mtl" line in front so libraries are reached from the start.
// Drawing runs without a GL context, where every GL call does nothing.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "model/glm.h"

static std::string FuzzDir() {
  static std::string dir;
  if (dir.empty()) {
    char path[] = "/tmp/obj_fuzz.XXXXXX";
    dir = std::string(mkdtemp(path)) + "/";
  }
  return dir;
}

static void WriteFile(const std::string &path, const uint8_t *data, size_t size) {
  FILE *file = fopen(path.c_str(), "wb");
  if (!file) return;
  fwrite(data, 1, size, file);
  fclose(file);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  if (size == 0) return 0;
  const std::string dir = FuzzDir();
  const uint8_t *zero = static_cast<const uint8_t *>(memchr(data + 1, 0, size - 1));
  size_t objSize = zero ? static_cast<size_t>(zero - data) : size;
  std::string obj = (data[0] & 1) ? "mtllib lib.mtl\n" : "";
  obj.append(reinterpret_cast<const char *>(data + 1), objSize - 1);
  WriteFile(dir + "model.obj", reinterpret_cast<const uint8_t *>(obj.data()), obj.size());
  if (zero)
    WriteFile(dir + "lib.mtl", zero + 1, size - objSize - 1);
  else
    WriteFile(dir + "lib.mtl", reinterpret_cast<const uint8_t *>("newmtl a\nKd 1 0 0\n"), 18);

  GLMreadError error;
  GLMmodel *model = glmReadOBJFile((dir + "model.obj").c_str(), &error);
  if (!model) return 0;
  // The file's own indices first, then those the preparation writes.
  GLuint mode = (model->normals ? GLM_DRAW_SMOOTH : 0) | (model->texcoords ? GLM_DRAW_TEXTURE : 0) |
                (model->materials ? GLM_DRAW_MATERIAL : 0);
  glmDraw(model, mode);
  glmScale(model, 0.5f);
  glmFacetNormals(model);
  glmVertexNormals(model, 90.0f);
  glmReverseWinding(model);
  glmLinearTexture(model);
  GLfloat dimensions[3];
  glmDimensions(model, dimensions);
  glmDraw(model, GLM_DRAW_FLAT | GLM_DRAW_TEXTURE | (model->materials ? GLM_DRAW_COLOR : 0));
  glmDraw(model, GLM_DRAW_SMOOTH);
  glmDelete(model);
  return 0;
}
