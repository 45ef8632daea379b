// TEMPORARY stand-in until the model library lands: every model is empty.
// Delete this file when the real reader exists.
#include "model/glm.h"

GLMmodel *glmReadOBJ(const char *) { return new GLMmodel{0}; }
void glmScale(GLMmodel *, GLfloat) {}
void glmReverseWinding(GLMmodel *) {}
void glmFacetNormals(GLMmodel *) {}
void glmVertexNormals(GLMmodel *, GLfloat) {}
void glmLinearTexture(GLMmodel *) {}
