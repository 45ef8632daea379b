// The OBJ/MTL model library: reading, preparing and drawing models.
// TEMPORARY: only what the game's start-up calls; the models work replaces
// this header with the full records and operations.
#pragma once
#include <GL/gl.h>

struct GLMmodel {
  unsigned int numvertices;
};

GLMmodel *glmReadOBJ(const char *filename);
void glmScale(GLMmodel *model, GLfloat scale);
void glmReverseWinding(GLMmodel *model);
void glmFacetNormals(GLMmodel *model);
void glmVertexNormals(GLMmodel *model, GLfloat angle);
void glmLinearTexture(GLMmodel *model);
