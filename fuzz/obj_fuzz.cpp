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

static void WriteFile(const std::string &path, const uint8_t *data, size_t size) {
  FILE *file = fopen(path.c_str(), "wb");
  if (!file) return;
  fwrite(data, 1, size, file);
  fclose(file);
}

// Reads the model written into dir, then prepares and draws what it accepts.
static void ReadAndUse(const std::string &dir) {
  GLMreadError error;
  GLMmodel *model = glmReadOBJFile((dir + "model.obj").c_str(), &error);
  if (!model) return;
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
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  if (size == 0) return 0;
  // A folder of its own per input, removed once the input passes: else
  // every run leaves its folder and last input behind.
  char folder[] = "/tmp/obj_fuzz.XXXXXX";
  if (!mkdtemp(folder)) return 0;
  const std::string dir = std::string(folder) + "/";
  const uint8_t *zero = static_cast<const uint8_t *>(memchr(data + 1, 0, size - 1));
  size_t objSize = zero ? static_cast<size_t>(zero - data) : size;
  std::string obj = (data[0] & 1) ? "mtllib lib.mtl\n" : "";
  obj.append(reinterpret_cast<const char *>(data + 1), objSize - 1);
  WriteFile(dir + "model.obj", reinterpret_cast<const uint8_t *>(obj.data()), obj.size());
  if (zero)
    WriteFile(dir + "lib.mtl", zero + 1, size - objSize - 1);
  else
    WriteFile(dir + "lib.mtl", reinterpret_cast<const uint8_t *>("newmtl a\nKd 1 0 0\n"), 18);

  ReadAndUse(dir);
  std::remove((dir + "model.obj").c_str());
  std::remove((dir + "lib.mtl").c_str());
  rmdir(folder);
  return 0;
}
