// The OBJ/MTL model library: reading a Wavefront model with its material
// library, preparing it (scale, winding, normals, texture coordinates) and
// drawing it in immediate mode. Only glm_draw.cpp calls OpenGL.
#pragma once
#include <GL/gl.h>
#include <cstdio>

// Drawing modes of glmDraw, combined with bitwise or; 0 gives vertices only.
constexpr GLuint GLM_DRAW_FLAT = 1;       // one facet normal per triangle
constexpr GLuint GLM_DRAW_SMOOTH = 2;     // one vertex normal per corner
constexpr GLuint GLM_DRAW_TEXTURE = 4;    // one texture coordinate per corner
constexpr GLuint GLM_DRAW_COLOR = 8;      // group diffuse as current colour
constexpr GLuint GLM_DRAW_MATERIAL = 16;  // group material on front and back

// Words of the OBJ and MTL files are read into a buffer of this size: a word
// of kGlmWordSize characters or more does not fit and is refused.
constexpr int kGlmWordSize = 128;

struct GLMmaterial {
  char *name;  // null for a material the library never named
  GLfloat diffuse[4];
  GLfloat ambient[4];
  GLfloat specular[4];
  GLfloat emmissive[4];  // spelt so by the model format's users; never set
  GLfloat shininess;     // OpenGL units, 0 to 128
};

struct GLMtriangle {
  GLuint vindices[3];  // 1-based vertex numbers as the file gives them
  GLuint nindices[3];  // 1-based normal numbers; 0 where the face gave none
  GLuint tindices[3];  // 1-based texture numbers; 0 where the face gave none
  GLuint findex;       // 1-based facet normal, set by glmFacetNormals
};

struct GLMgroup {
  char *name;
  GLuint numtriangles;
  GLuint *triangles;  // 0-based indices into the model's triangles
  GLuint material;    // 0-based index into the model's materials
  GLMgroup *next;
};

// Vertex, normal, texture-coordinate and facet-normal arrays are 1-based:
// entry 0 exists and is left empty. The model owns every array and string.
struct GLMmodel {
  char *pathname;
  char *mtllibname;  // first word after the last mtllib; null if none
  GLuint numvertices;
  GLfloat *vertices;  // 3 floats x (numvertices + 1)
  GLuint numnormals;
  GLfloat *normals;  // 3 floats x (numnormals + 1); null if none
  GLuint numtexcoords;
  GLfloat *texcoords;  // 2 floats x (numtexcoords + 1); null if none
  GLuint numfacetnorms;
  GLfloat *facetnorms;  // 3 floats x (numfacetnorms + 1); null after reading
  GLuint numtriangles;
  GLMtriangle *triangles;
  GLuint nummaterials;  // the default material included; 0 without a library
  GLMmaterial *materials;
  GLuint numgroups;
  GLMgroup *groups;  // the most recently created group first
  GLfloat position[3];
};

// ---- Reading (glm_read.cpp; no OpenGL) ----

// Reads the model at filename. Never returns failure: a file it cannot open or
// use ends the program with a message and exit status 1 (the unknown-token
// message goes to standard output, every other one to standard error).
GLMmodel *glmReadOBJ(const char *filename);

// Why the non-exiting reader stopped: the complete message line, newline
// included, and the stream it belongs on.
struct GLMreadError {
  char message[512];
  bool toStdout;
};

// The reader's core: the same work as glmReadOBJ, but a failure releases the
// partial model, fills error and returns null instead of ending the program.
GLMmodel *glmReadOBJFile(const char *filename, GLMreadError *error);

// The two passes over the open OBJ file and the material library reader.
// Each returns false with error filled on input it cannot use.
bool glmFirstPass(GLMmodel *model, FILE *file, GLMreadError *error);
bool glmSecondPass(GLMmodel *model, FILE *file, GLMreadError *error);
bool glmReadMTL(GLMmodel *model, const char *name, GLMreadError *error);

// A new string holding path up to and including its last '/'; "" without
// one. The caller releases it with free().
char *glmDirName(const char *path);
// The group named exactly name, searched from the head; null if none.
GLMgroup *glmFindGroup(GLMmodel *model, const char *name);
// The group named name, created at the head of the list if there is none.
GLMgroup *glmAddGroup(GLMmodel *model, const char *name);
// Index of the first material named exactly name; 0 (default) if none.
GLuint glmFindMaterial(GLMmodel *model, const char *name);
// Releases a model and everything it owns. The programs never call it; the
// reader's core uses it on failure, and tests and tools may.
void glmDelete(GLMmodel *model);

// ---- Preparing (glm_process.cpp; no OpenGL) ----

// Multiplies every vertex coordinate by scale; normals are untouched.
void glmScale(GLMmodel *model, GLfloat scale);
// Reverses the corner order of every triangle and negates every normal.
void glmReverseWinding(GLMmodel *model);
// Replaces the facet normals: one unit normal per triangle.
void glmFacetNormals(GLMmodel *model);
// Replaces the vertex normals, smoothing corners whose faces lie within
// angle degrees of the vertex's reference face. Needs glmFacetNormals first.
void glmVertexNormals(GLMmodel *model, GLfloat angle);
// Replaces the texture coordinates: a planar projection onto x-z.
void glmLinearTexture(GLMmodel *model);
// Width, height and depth as |max| + |min| per axis; the true extent only for
// an axis the model straddles the origin on. All zero without vertices.
void glmDimensions(GLMmodel *model, GLfloat *dimensions);

GLfloat glmDot(GLfloat *u, GLfloat *v);
void glmCross(GLfloat *u, GLfloat *v, GLfloat *n);
void glmNormalize(GLfloat *v);
GLfloat glmAbs(GLfloat f);
GLfloat glmMax(GLfloat a, GLfloat b);

// ---- Drawing (glm_draw.cpp) ----

// Issues the model's triangles group by group. Flags that cannot be honoured
// print one warning line each on standard output and are ignored for this
// call. Not re-entrant: the loop state lives in module variables.
void glmDraw(GLMmodel *model, GLuint mode);
