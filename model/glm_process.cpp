// Preparing a model once after reading: uniform scale, winding reversal,
// facet normals, smoothed vertex normals, planar texture coordinates and the
// model's dimensions, with the small vector helpers. No OpenGL here.
// Every array these operations replace is released first; the model owns the
// new one. Arithmetic stays in single precision except where noted.
#include "model/glm.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {
// One triangle corner in a vertex's corner list, while vertex normals are
// computed. A list starts with the highest-numbered triangle using the vertex.
struct GLMnode {
  GLuint index;  // 0-based triangle
  bool averaged;
  GLMnode *next;
};
}  // namespace

GLfloat glmAbs(GLfloat f) { return f < 0 ? -f : f; }

GLfloat glmMax(GLfloat a, GLfloat b) { return b > a ? b : a; }

GLfloat glmDot(GLfloat *u, GLfloat *v) { return u[0] * v[0] + u[1] * v[1] + u[2] * v[2]; }

void glmCross(GLfloat *u, GLfloat *v, GLfloat *n) {
  n[0] = u[1] * v[2] - u[2] * v[1];
  n[1] = u[2] * v[0] - u[0] * v[2];
  n[2] = u[0] * v[1] - u[1] * v[0];
}

// A zero vector has no direction and comes out as not-a-number; that is the
// facet normal of a triangle of zero area.
void glmNormalize(GLfloat *v) {
  GLfloat squares = v[0] * v[0] + v[1] * v[1] + v[2] * v[2];
  GLfloat length = static_cast<GLfloat>(sqrt(static_cast<double>(squares)));
  v[0] /= length;
  v[1] /= length;
  v[2] /= length;
}

static GLfloat *glmVector(GLfloat *array, GLuint index) {
  return &array[3 * static_cast<size_t>(index)];
}

static GLfloat *glmAllocVectors(size_t count) {
  return static_cast<GLfloat *>(calloc(3 * (count + 1), sizeof(GLfloat)));
}

void glmScale(GLMmodel *model, GLfloat scale) {
  for (GLuint i = 1; i <= model->numvertices; i++) {
    GLfloat *v = glmVector(model->vertices, i);
    v[0] *= scale;
    v[1] *= scale;
    v[2] *= scale;
  }
}

static void glmSwapEnds(GLuint *corners) {
  GLuint swap = corners[0];
  corners[0] = corners[2];
  corners[2] = swap;
}

static void glmNegate(GLfloat *array, GLuint count) {
  for (size_t i = 3; i < 3 * (static_cast<size_t>(count) + 1); i++) array[i] = -array[i];
}

void glmReverseWinding(GLMmodel *model) {
  for (GLuint i = 0; i < model->numtriangles; i++) {
    GLMtriangle *triangle = &model->triangles[i];
    glmSwapEnds(triangle->vindices);
    if (model->numnormals) glmSwapEnds(triangle->nindices);
    if (model->numtexcoords) glmSwapEnds(triangle->tindices);
  }
  if (model->facetnorms) glmNegate(model->facetnorms, model->numfacetnorms);
  if (model->normals) glmNegate(model->normals, model->numnormals);
}

void glmFacetNormals(GLMmodel *model) {
  free(model->facetnorms);
  model->numfacetnorms = model->numtriangles;
  model->facetnorms = glmAllocVectors(model->numfacetnorms);
  for (GLuint i = 0; i < model->numtriangles; i++) {
    GLMtriangle *triangle = &model->triangles[i];
    triangle->findex = i + 1;
    GLfloat *p0 = glmVector(model->vertices, triangle->vindices[0]);
    GLfloat *p1 = glmVector(model->vertices, triangle->vindices[1]);
    GLfloat *p2 = glmVector(model->vertices, triangle->vindices[2]);
    GLfloat u[3] = {p1[0] - p0[0], p1[1] - p0[1], p1[2] - p0[2]};
    GLfloat v[3] = {p2[0] - p0[0], p2[1] - p0[1], p2[2] - p0[2]};
    GLfloat *n = glmVector(model->facetnorms, i + 1);
    glmCross(u, v, n);
    glmNormalize(n);
  }
}

// Points the triangle's corners at vertex `vertex` to normal `normal`. A
// triangle naming the vertex at two corners gets both set, so no corner is
// left pointing at a normal that no longer exists.
static void glmPointCorners(GLMtriangle *triangle, GLuint vertex, GLuint normal) {
  for (int k = 0; k < 3; k++)
    if (triangle->vindices[k] == vertex) triangle->nindices[k] = normal;
}

static GLfloat *glmFacetOf(GLMmodel *model, const GLMnode *node) {
  return glmVector(model->facetnorms, model->triangles[node->index].findex);
}

// Writes the normals of one vertex from `next` on; returns the next free entry.
static GLuint glmVertexNormal(GLMmodel *model, GLuint vertex, GLMnode *list, GLfloat cosAngle,
                              GLfloat *normals, GLuint next) {
  GLfloat sum[3] = {0, 0, 0};
  bool any = false;
  GLfloat *reference = glmFacetOf(model, list);
  for (GLMnode *node = list; node; node = node->next) {
    GLfloat *facet = glmFacetOf(model, node);
    node->averaged = glmDot(facet, reference) > cosAngle;
    if (node->averaged) {
      sum[0] += facet[0];
      sum[1] += facet[1];
      sum[2] += facet[2];
      any = true;
    }
  }
  GLuint averagedIndex = 0;
  if (any) {
    glmNormalize(sum);
    memcpy(glmVector(normals, next), sum, sizeof sum);
    averagedIndex = next++;
  }
  for (GLMnode *node = list; node; node = node->next) {
    GLMtriangle *triangle = &model->triangles[node->index];
    if (node->averaged) {
      glmPointCorners(triangle, vertex, averagedIndex);
    } else {
      memcpy(glmVector(normals, next), glmFacetOf(model, node), 3 * sizeof(GLfloat));
      glmPointCorners(triangle, vertex, next++);
    }
  }
  return next;
}

void glmVertexNormals(GLMmodel *model, GLfloat angle) {
  GLfloat cosAngle = static_cast<GLfloat>(cos(angle * M_PI / 180.0));
  free(model->normals);
  // At most one normal per corner: a vertex writes one per list node, or one
  // fewer when its reference face averages.
  GLfloat *normals = glmAllocVectors(3 * static_cast<size_t>(model->numtriangles));

  std::vector<GLMnode *> heads(static_cast<size_t>(model->numvertices) + 1, nullptr);
  std::vector<GLMnode> nodes(3 * static_cast<size_t>(model->numtriangles));
  size_t used = 0;
  for (GLuint t = 0; t < model->numtriangles; t++) {
    for (int k = 0; k < 3; k++) {
      GLuint vertex = model->triangles[t].vindices[k];
      nodes[used] = GLMnode{t, false, heads[vertex]};
      heads[vertex] = &nodes[used++];
    }
  }

  GLuint next = 1;
  for (GLuint i = 1; i <= model->numvertices; i++)
    if (heads[i]) next = glmVertexNormal(model, i, heads[i], cosAngle, normals, next);

  model->numnormals = next - 1;
  model->normals = glmAllocVectors(model->numnormals);
  memcpy(model->normals, normals, 3 * sizeof(GLfloat) * next);
  free(normals);
}

// Without vertices there is no vertex 1 to start from: every dimension is 0.
void glmDimensions(GLMmodel *model, GLfloat *dimensions) {
  if (model->numvertices == 0) {
    dimensions[0] = dimensions[1] = dimensions[2] = 0.0f;
    return;
  }
  GLfloat maxima[3], minima[3];
  memcpy(maxima, glmVector(model->vertices, 1), sizeof maxima);
  memcpy(minima, maxima, sizeof minima);
  for (GLuint i = 1; i <= model->numvertices; i++) {
    GLfloat *v = glmVector(model->vertices, i);
    for (int axis = 0; axis < 3; axis++) {
      if (maxima[axis] < v[axis]) maxima[axis] = v[axis];
      if (v[axis] < minima[axis]) minima[axis] = v[axis];
    }
  }
  // Sums of magnitudes, not extents: a model off to one side of the origin
  // measures larger than it is. Texture scaling depends on exactly this.
  for (int axis = 0; axis < 3; axis++)
    dimensions[axis] = glmAbs(maxima[axis]) + glmAbs(minima[axis]);
}

void glmLinearTexture(GLMmodel *model) {
  free(model->texcoords);
  model->numtexcoords = model->numvertices;
  model->texcoords = static_cast<GLfloat *>(
      calloc(2 * (static_cast<size_t>(model->numtexcoords) + 1), sizeof(GLfloat)));
  if (model->numvertices > 0) {
    GLfloat dimensions[3];
    glmDimensions(model, dimensions);
    GLfloat scalefactor = static_cast<GLfloat>(
        2.0 / glmAbs(glmMax(glmMax(dimensions[0], dimensions[1]), dimensions[2])));
    for (GLuint i = 1; i <= model->numvertices; i++) {
      GLfloat *v = glmVector(model->vertices, i);
      GLfloat x = v[0] * scalefactor;
      GLfloat y = v[2] * scalefactor;
      model->texcoords[2 * i + 0] = (x + 1.0f) / 2.0f;
      model->texcoords[2 * i + 1] = (y + 1.0f) / 2.0f;
    }
  }
  for (GLMgroup *group = model->groups; group; group = group->next) {
    for (GLuint i = 0; i < group->numtriangles; i++) {
      GLMtriangle *triangle = &model->triangles[group->triangles[i]];
      memcpy(triangle->tindices, triangle->vindices, sizeof triangle->tindices);
    }
  }
}
