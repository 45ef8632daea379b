// Shared by the model tests: a shipped model read from the asset folder and
// prepared as the game's start-up prepares it.
#pragma once

#include <string>

#include "model/glm.h"

inline GLMmodel *ReadPrepared(const char *file, GLfloat scale, bool fruit) {
  GLMmodel *model = glmReadOBJ((std::string(SQ_DATA_DIR) + "/models/" + file).c_str());
  glmScale(model, scale);
  glmFacetNormals(model);
  glmVertexNormals(model, 90.0f);
  if (fruit) glmReverseWinding(model);
  glmLinearTexture(model);
  return model;
}
