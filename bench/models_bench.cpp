// Times the game's start-up work on its models: reading the five shipped
// models and preparing each with the scale, normals, winding and texture
// coordinates the game uses. Prints milliseconds per complete start-up.
// --smoke runs the work once.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>

#include "model/glm.h"

namespace {

struct ModelJob {
  const char *file;
  GLfloat scale;
  bool fruit;
};

constexpr ModelJob kJobs[] = {
    {"models/mouseFull1.obj", 0.65f, false}, {"models/apple.obj", 0.003f, true},
    {"models/banana.obj", 0.003f, true},     {"models/surfbord.obj", 0.2f, false},
    {"models/cat2.obj", 0.2f, false},
};

// Returns the triangles read, so the work cannot be optimised away.
unsigned ReadAndPrepareAll() {
  unsigned triangles = 0;
  for (const ModelJob &job : kJobs) {
    GLMmodel *model = glmReadOBJ(job.file);
    glmScale(model, job.scale);
    glmFacetNormals(model);
    glmVertexNormals(model, 90.0f);
    if (job.fruit) glmReverseWinding(model);
    glmLinearTexture(model);
    triangles += model->numtriangles;
    glmDelete(model);
  }
  return triangles;
}

}  // namespace

int main(int argc, char **argv) {
  bool smoke = argc > 1 && strcmp(argv[1], "--smoke") == 0;
  if (chdir(SQ_DATA_DIR) != 0) {
    perror(SQ_DATA_DIR);
    return 1;
  }
  int runs = smoke ? 1 : 50;
  unsigned triangles = 0;
  auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < runs; i++) triangles = ReadAndPrepareAll();
  std::chrono::duration<double, std::milli> elapsed = std::chrono::steady_clock::now() - start;
  printf("models: read and prepared 5 models (%u triangles) in %.2f ms per start-up (%d runs)\n",
         triangles, elapsed.count() / runs, runs);
  return 0;
}
