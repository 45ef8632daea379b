// Drawing a prepared model in immediate mode, group by group, with a choice
// of facet or vertex normals, texture coordinates and material handling.
// The only file of the model library that calls OpenGL.
#include "model/glm.h"

#include <cstdio>

// Loop state of the drawing, kept at module level: glmDraw is not re-entrant.
static GLMgroup *glmDrawGroup;
static GLuint glmDrawIndex;
static GLMtriangle *glmDrawTriangle;

// Each flag the model cannot honour costs one warning line and is dropped
// for this call only; the warnings repeat on every call.
static GLuint glmUsableMode(const GLMmodel *model, GLuint mode) {
  if ((mode & GLM_DRAW_FLAT) && !model->facetnorms) {
    printf("glmDraw() warning: flat render mode requested with no facet normals defined.\n");
    mode &= ~GLM_DRAW_FLAT;
  }
  if ((mode & GLM_DRAW_SMOOTH) && !model->normals) {
    printf("glmDraw() warning: smooth render mode requested with no normals defined.\n");
    mode &= ~GLM_DRAW_SMOOTH;
  }
  if ((mode & GLM_DRAW_TEXTURE) && !model->texcoords) {
    printf(
        "glmDraw() warning: texture render mode requested with no texture coordinates "
        "defined.\n");
    mode &= ~GLM_DRAW_TEXTURE;
  }
  if ((mode & GLM_DRAW_FLAT) && (mode & GLM_DRAW_SMOOTH)) {
    printf(
        "glmDraw() warning: flat render mode requested and smooth render mode requested "
        "(using smooth).\n");
    mode &= ~GLM_DRAW_FLAT;
  }
  if ((mode & GLM_DRAW_COLOR) && !model->materials) {
    printf("glmDraw() warning: color render mode requested with no materials defined.\n");
    mode &= ~GLM_DRAW_COLOR;
  }
  if ((mode & GLM_DRAW_MATERIAL) && !model->materials) {
    printf("glmDraw() warning: material render mode requested with no materials defined.\n");
    mode &= ~GLM_DRAW_MATERIAL;
  }
  if ((mode & GLM_DRAW_COLOR) && (mode & GLM_DRAW_MATERIAL)) {
    printf(
        "glmDraw() warning: color and material render mode requested using only material "
        "mode.\n");
    mode &= ~GLM_DRAW_COLOR;
  }
  return mode;
}

static void glmDrawCorner(const GLMmodel *model, GLuint mode, int k) {
  if (mode & GLM_DRAW_SMOOTH) glNormal3fv(&model->normals[3 * glmDrawTriangle->nindices[k]]);
  if (mode & GLM_DRAW_TEXTURE) glTexCoord2fv(&model->texcoords[2 * glmDrawTriangle->tindices[k]]);
  glVertex3fv(&model->vertices[3 * glmDrawTriangle->vindices[k]]);
}

void glmDraw(GLMmodel *model, GLuint mode) {
  mode = glmUsableMode(model, mode);
  if (mode & GLM_DRAW_COLOR)
    glEnable(GL_COLOR_MATERIAL);
  else if (mode & GLM_DRAW_MATERIAL)
    glDisable(GL_COLOR_MATERIAL);

  for (glmDrawGroup = model->groups; glmDrawGroup; glmDrawGroup = glmDrawGroup->next) {
    const GLMmaterial *material =
        model->materials ? &model->materials[glmDrawGroup->material] : nullptr;
    if (mode & GLM_DRAW_MATERIAL) {
      glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, material->ambient);
      glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, material->diffuse);
      glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, material->specular);
      glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, material->shininess);
    }
    if (mode & GLM_DRAW_COLOR) glColor3fv(material->diffuse);

    glBegin(GL_TRIANGLES);
    for (glmDrawIndex = 0; glmDrawIndex < glmDrawGroup->numtriangles; glmDrawIndex++) {
      glmDrawTriangle = &model->triangles[glmDrawGroup->triangles[glmDrawIndex]];
      if (mode & GLM_DRAW_FLAT) glNormal3fv(&model->facetnorms[3 * glmDrawTriangle->findex]);
      for (int k = 0; k < 3; k++) glmDrawCorner(model, mode, k);
    }
    glEnd();
  }
}
