// Reading Wavefront OBJ models and their MTL material libraries into a
// GLMmodel: two passes over the OBJ file (count, then fill), polygons cut into
// triangle fans. No OpenGL here.
//
// Failure policy: the core (glmReadOBJFile and the passes) never ends the
// program; it fills a GLMreadError, releases the partial model and returns
// null. glmReadOBJ prints that message and exits with status 1. Input the
// reader cannot use safely is refused the same way: a word of 128 characters
// or more, a face with fewer than three vertices or a vertex word that does
// not fit the face's form, a face index outside the counts, a file whose
// two passes disagree, and one that cannot be read to its end (a folder).
// Nothing read from a file is used as an index unchecked.
#include "model/glm.h"

#include "common/assetpath.h"

#include <cctype>
#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace {

// A word stream over one open file. A word read ahead by a face and not
// belonging to it is kept in `word` as pending, for the next read.
struct GLMscanner {
  FILE *file;
  const char *path;    // for messages
  const char *reader;  // "glmReadOBJ()" or "glmReadMTL()"
  const char *kind;    // "data file" or "material file"
  char word[kGlmWordSize];
  bool pending;
};

enum GLMwordResult { kGlmWord, kGlmEnd, kGlmFailed };

// The index forms a face can take; its first vertex word decides.
enum GLMform { kGlmFormV, kGlmFormVT, kGlmFormVTN, kGlmFormVN };

struct GLMcorner {
  long long v, t, n;
};

using GLMfile = std::unique_ptr<FILE, int (*)(FILE *)>;

}  // namespace

static bool glmFail(GLMreadError *error, bool toStdout, const char *format, ...)
    __attribute__((format(printf, 3, 4)));

static bool glmFail(GLMreadError *error, bool toStdout, const char *format, ...) {
  va_list args;
  va_start(args, format);
  vsnprintf(error->message, sizeof error->message, format, args);
  va_end(args);
  error->toStdout = toStdout;
  return false;
}

static bool glmFailInput(const GLMscanner *s, GLMreadError *error, const char *what) {
  return glmFail(error, false, "%s failed: %s in %s \"%s\".\n", s->reader, what, s->kind, s->path);
}

// The words stopped at a read error, not at the end of the file: what was
// read is only part of it.
static bool glmFailRead(const GLMscanner *s, GLMreadError *error) {
  return glmFail(error, false, "%s failed: can't read %s \"%s\".\n", s->reader, s->kind, s->path);
}

static GLMwordResult glmNextWord(GLMscanner *s, GLMreadError *error) {
  if (s->pending) {
    s->pending = false;
    return kGlmWord;
  }
  static_assert(kGlmWordSize == 128, "the scanf width below is kGlmWordSize - 1");
  if (fscanf(s->file, "%127s", s->word) != 1) return kGlmEnd;
  int c = fgetc(s->file);
  if (c != EOF && !isspace(c)) {
    glmFailInput(s, error, "a word of 128 characters or more");
    return kGlmFailed;
  }
  if (c != EOF) ungetc(c, s->file);
  return kGlmWord;
}

// The rest of the current line, at most 127 characters, line end included; a
// longer remainder is left for the following reads.
static void glmReadLine(FILE *file, char *line) {
  if (!fgets(line, kGlmWordSize, file)) line[0] = '\0';
}

static void glmSkipLine(FILE *file) {
  char line[kGlmWordSize];
  glmReadLine(file, line);
}

// First word of the rest of the line; "" if the line holds none.
static void glmReadLineWord(FILE *file, char *word) {
  char line[kGlmWordSize];
  glmReadLine(file, line);
  if (sscanf(line, "%127s", word) != 1) word[0] = '\0';
}

// A group line's name is the rest of the line without its last character:
// the blank after "g" stays, the line end goes.
static void glmReadGroupName(FILE *file, char *name) {
  glmReadLine(file, name);
  size_t length = strlen(name);
  if (length > 0) name[length - 1] = '\0';
}

static bool glmLooksNumeric(const char *word) {
  if (word[0] == '+' || word[0] == '-') word++;
  return isdigit(static_cast<unsigned char>(word[0])) != 0;
}

// An optionally signed decimal integer; values too large to be any index are
// held at a bound that the range check rejects.
static bool glmParseIndex(const char **p, long long *value) {
  const char *q = *p;
  bool negative = (*q == '-');
  if (*q == '+' || *q == '-') q++;
  if (!isdigit(static_cast<unsigned char>(*q))) return false;
  long long v = 0;
  for (; isdigit(static_cast<unsigned char>(*q)); q++)
    if (v < (1LL << 40)) v = v * 10 + (*q - '0');
  *value = negative ? -v : v;
  *p = q;
  return true;
}

static GLMform glmFaceForm(const char *word) {
  if (strstr(word, "//")) return kGlmFormVN;
  int slashes = 0;
  for (const char *p = word; *p; p++) slashes += (*p == '/');
  if (slashes == 2) return kGlmFormVTN;
  if (slashes == 1) return kGlmFormVT;
  return kGlmFormV;
}

static bool glmParseCorner(const char *word, GLMform form, GLMcorner *corner) {
  const char *p = word;
  *corner = GLMcorner{0, 0, 0};
  if (!glmParseIndex(&p, &corner->v)) return false;
  switch (form) {
    case kGlmFormV: break;
    case kGlmFormVT:
      if (*p++ != '/' || !glmParseIndex(&p, &corner->t)) return false;
      break;
    case kGlmFormVTN:
      if (*p++ != '/' || !glmParseIndex(&p, &corner->t)) return false;
      if (*p++ != '/' || !glmParseIndex(&p, &corner->n)) return false;
      break;
    case kGlmFormVN:
      if (p[0] != '/' || p[1] != '/') return false;
      p += 2;
      if (!glmParseIndex(&p, &corner->n)) return false;
      break;
  }
  return *p == '\0';
}

// Reads the vertex words of a face after its "f". The face goes on, across
// lines, while words look like numbers; the first word that does not stays
// pending for the caller. Both passes read faces here, so they agree.
static bool glmReadFace(GLMscanner *s, GLMform *form, std::vector<GLMcorner> *corners,
                        GLMreadError *error) {
  corners->clear();
  for (;;) {
    GLMwordResult got = glmNextWord(s, error);
    if (got == kGlmFailed) return false;
    if (got == kGlmEnd) break;
    if (!glmLooksNumeric(s->word)) {
      s->pending = true;
      break;
    }
    if (corners->empty()) *form = glmFaceForm(s->word);
    GLMcorner corner;
    if (!glmParseCorner(s->word, *form, &corner)) {
      std::string what = std::string("a face vertex \"") + s->word + "\" unlike the face's form";
      return glmFailInput(s, error, what.c_str());
    }
    corners->push_back(corner);
  }
  if (corners->size() < 3) return glmFailInput(s, error, "a face with fewer than three vertices");
  return true;
}

static char *glmCopy(const char *text) { return strdup(text); }

char *glmDirName(const char *path) {
  char *dir = glmCopy(path);
  char *slash = strrchr(dir, '/');
  if (slash)
    slash[1] = '\0';
  else
    dir[0] = '\0';
  return dir;
}

GLMgroup *glmFindGroup(GLMmodel *model, const char *name) {
  for (GLMgroup *group = model->groups; group; group = group->next)
    if (strcmp(name, group->name) == 0) return group;
  return nullptr;
}

GLMgroup *glmAddGroup(GLMmodel *model, const char *name) {
  GLMgroup *group = glmFindGroup(model, name);
  if (group) return group;
  group = static_cast<GLMgroup *>(calloc(1, sizeof(GLMgroup)));
  group->name = glmCopy(name);
  group->next = model->groups;
  model->groups = group;
  model->numgroups++;
  return group;
}

GLuint glmFindMaterial(GLMmodel *model, const char *name) {
  for (GLuint i = 0; i < model->nummaterials; i++)
    if (model->materials[i].name && strcmp(model->materials[i].name, name) == 0) return i;
  return 0;
}

static void glmFreeMaterials(GLMmodel *model) {
  for (GLuint i = 0; i < model->nummaterials; i++) free(model->materials[i].name);
  free(model->materials);
  model->materials = nullptr;
  model->nummaterials = 0;
}

void glmDelete(GLMmodel *model) {
  if (!model) return;
  free(model->pathname);
  free(model->mtllibname);
  free(model->vertices);
  free(model->normals);
  free(model->texcoords);
  free(model->facetnorms);
  free(model->triangles);
  glmFreeMaterials(model);
  while (model->groups) {
    GLMgroup *next = model->groups->next;
    free(model->groups->name);
    free(model->groups->triangles);
    free(model->groups);
    model->groups = next;
  }
  free(model);
}

// ---- Material library ----

static void glmSetDefaults(GLMmaterial *material) {
  const GLfloat diffuse[4] = {0.8f, 0.8f, 0.8f, 1.0f};
  const GLfloat ambient[4] = {0.2f, 0.2f, 0.2f, 1.0f};
  const GLfloat specular[4] = {0.0f, 0.0f, 0.0f, 1.0f};
  material->name = nullptr;
  memcpy(material->diffuse, diffuse, sizeof diffuse);
  memcpy(material->ambient, ambient, sizeof ambient);
  memcpy(material->specular, specular, sizeof specular);
  material->shininess = 65.0f;
}

static bool glmCountMaterials(GLMscanner *s, GLuint *count, GLMreadError *error) {
  *count = 1;
  for (;;) {
    GLMwordResult got = glmNextWord(s, error);
    if (got == kGlmFailed) return false;
    if (got == kGlmEnd) return true;
    if (s->word[0] == 'n') (*count)++;
    glmSkipLine(s->file);
  }
}

static void glmReadColor(FILE *file, GLfloat *color) {
  if (fscanf(file, "%f", &color[0]) == 1 && fscanf(file, "%f", &color[1]) == 1)
    (void)fscanf(file, "%f", &color[2]);
}

static bool glmReadMaterials(GLMscanner *s, GLMmodel *model, GLMreadError *error) {
  GLuint current = 0;
  for (;;) {
    GLMwordResult got = glmNextWord(s, error);
    if (got == kGlmFailed) return false;
    if (got == kGlmEnd) return true;
    GLMmaterial *material = &model->materials[current];
    const char *word = s->word;
    if (word[0] == 'n') {
      // A value line with a stray word may hide an "n" word from the
      // counting pass; never step past the counted materials.
      if (current + 1 >= model->nummaterials)
        return glmFailInput(s, error, "more materials than its first reading counted");
      char name[kGlmWordSize];
      glmReadLineWord(s->file, name);
      current++;
      free(model->materials[current].name);
      model->materials[current].name = glmCopy(name);
    } else if (word[0] == 'N') {
      // Libraries give the exponent on a 0 to 1000 scale, OpenGL wants 0 to
      // 128. Any word beginning with N is taken for it, Ni included.
      (void)fscanf(s->file, "%f", &material->shininess);
      material->shininess /= 1000.0f;
      material->shininess *= 128.0f;
    } else if (word[0] == 'K' && word[1] == 'd') {
      glmReadColor(s->file, material->diffuse);
    } else if (word[0] == 'K' && word[1] == 'a') {
      glmReadColor(s->file, material->ambient);
    } else if (word[0] == 'K' && word[1] == 's') {
      glmReadColor(s->file, material->specular);
    } else {
      glmSkipLine(s->file);
    }
  }
}

bool glmReadMTL(GLMmodel *model, const char *name, GLMreadError *error) {
  char *dir = glmDirName(model->pathname);
  std::string path = std::string(dir) + name;
  free(dir);
  GLMfile file(fopen(path.c_str(), "re"), fclose);  // close-on-exec
  if (!file)
    return glmFail(error, false, "glmReadMTL() failed: can't open material file \"%s\".\n",
                   path.c_str());
  GLMscanner s{file.get(), path.c_str(), "glmReadMTL()", "material file", {}, false};
  GLuint count = 0;
  if (!glmCountMaterials(&s, &count, error)) return false;
  if (ferror(file.get())) return glmFailRead(&s, error);
  rewind(file.get());

  glmFreeMaterials(model);
  model->materials = static_cast<GLMmaterial *>(calloc(count, sizeof(GLMmaterial)));
  model->nummaterials = count;
  for (GLuint i = 0; i < count; i++) glmSetDefaults(&model->materials[i]);
  model->materials[0].name = glmCopy("default");
  if (!glmReadMaterials(&s, model, error)) return false;
  return !ferror(file.get()) || glmFailRead(&s, error);
}

// ---- OBJ passes ----

static bool glmUnknownToken(GLMreadError *error, const char *word) {
  return glmFail(error, true, "glmFirstPass(): Unknown token \"%s\".\n", word);
}

static bool glmReadLibrary(GLMscanner *s, GLMmodel *model, GLMreadError *error) {
  char name[kGlmWordSize];
  glmReadLineWord(s->file, name);
  if (name[0] == '\0') return true;  // an mtllib line naming nothing is ignored
  free(model->mtllibname);
  model->mtllibname = glmCopy(name);
  return glmReadMTL(model, name, error);
}

bool glmFirstPass(GLMmodel *model, FILE *file, GLMreadError *error) {
  GLMscanner s{file, model->pathname, "glmReadOBJ()", "data file", {}, false};
  GLuint numvertices = 0, numnormals = 0, numtexcoords = 0, numtriangles = 0;
  GLMgroup *group = glmAddGroup(model, "default");
  std::vector<GLMcorner> corners;
  GLMform form = kGlmFormV;
  for (;;) {
    GLMwordResult got = glmNextWord(&s, error);
    if (got == kGlmFailed) return false;
    if (got == kGlmEnd) break;
    const char *word = s.word;
    switch (word[0]) {
      case 'v':
        if (word[1] == '\0')
          numvertices++;
        else if (word[1] == 'n')
          numnormals++;
        else if (word[1] == 't')
          numtexcoords++;
        else
          return glmUnknownToken(error, word);
        glmSkipLine(file);
        break;
      case 'm':
        if (!glmReadLibrary(&s, model, error)) return false;
        break;
      case 'g': {
        char name[kGlmWordSize];
        glmReadGroupName(file, name);
        group = glmAddGroup(model, name);
        break;
      }
      case 'f':
        if (!glmReadFace(&s, &form, &corners, error)) return false;
        numtriangles += static_cast<GLuint>(corners.size() - 2);
        group->numtriangles += static_cast<GLuint>(corners.size() - 2);
        break;
      default:  // comments, usemtl, and lines such as o and s
        glmSkipLine(file);
        break;
    }
  }
  if (ferror(file)) return glmFailRead(&s, error);
  model->numvertices = numvertices;
  model->numnormals = numnormals;
  model->numtexcoords = numtexcoords;
  model->numtriangles = numtriangles;
  for (GLMgroup *g = model->groups; g; g = g->next)
    g->triangles = static_cast<GLuint *>(calloc(g->numtriangles + 1, sizeof(GLuint)));
  // The group counts stay until the second pass starts: it keeps them as the
  // room each group has, then counts again from 0.
  return true;
}

namespace {
// What the second pass has filled so far, and the room the first pass made.
struct GLMfill {
  GLuint vertices = 1, normals = 1, texcoords = 1, triangles = 0;
  std::unordered_map<const GLMgroup *, GLuint> room;
};
}  // namespace

static bool glmDisagree(const GLMscanner *s, GLMreadError *error) {
  return glmFailInput(s, error, "lines its two passes read differently");
}

static bool glmCheckIndex(const GLMscanner *s, long long index, GLuint count, GLMreadError *error) {
  if (index >= 1 && index <= static_cast<long long>(count)) return true;
  char what[96];
  snprintf(what, sizeof what, "a face index %lld outside 1 to %u", index, count);
  return glmFailInput(s, error, what);
}

static bool glmCheckCorners(const GLMscanner *s, const GLMmodel *model, GLMform form,
                            const std::vector<GLMcorner> &corners, GLMreadError *error) {
  bool hasTexture = (form == kGlmFormVT || form == kGlmFormVTN);
  bool hasNormal = (form == kGlmFormVN || form == kGlmFormVTN);
  for (const GLMcorner &c : corners) {
    if (!glmCheckIndex(s, c.v, model->numvertices, error)) return false;
    if (hasTexture && !glmCheckIndex(s, c.t, model->numtexcoords, error)) return false;
    if (hasNormal && !glmCheckIndex(s, c.n, model->numnormals, error)) return false;
  }
  return true;
}

static void glmSetCorner(GLMtriangle *triangle, int k, const GLMcorner &c) {
  triangle->vindices[k] = static_cast<GLuint>(c.v);
  triangle->tindices[k] = static_cast<GLuint>(c.t);
  triangle->nindices[k] = static_cast<GLuint>(c.n);
}

// Cuts the face into the fan (p1, p2, p3), (p1, p3, p4), ... and files each
// triangle in the model and in the current group.
static bool glmStoreFace(const GLMscanner *s, GLMmodel *model, GLMgroup *group, GLMfill *fill,
                         const std::vector<GLMcorner> &corners, GLMreadError *error) {
  for (size_t j = 2; j < corners.size(); j++) {
    if (fill->triangles >= model->numtriangles || group->numtriangles >= fill->room[group])
      return glmDisagree(s, error);
    GLMtriangle *triangle = &model->triangles[fill->triangles];
    glmSetCorner(triangle, 0, corners[0]);
    glmSetCorner(triangle, 1, corners[j - 1]);
    glmSetCorner(triangle, 2, corners[j]);
    group->triangles[group->numtriangles++] = fill->triangles++;
  }
  return true;
}

static bool glmReadFloats(const GLMscanner *s, GLMreadError *error, GLuint *next, GLuint count,
                          GLfloat *array, int width) {
  if (*next > count) return glmDisagree(s, error);
  GLfloat *entry = &array[static_cast<size_t>(width) * (*next)++];
  for (int k = 0; k < width; k++)
    if (fscanf(s->file, "%f", &entry[k]) != 1) break;
  return true;
}

static bool glmSecondWord(GLMscanner *s, GLMmodel *model, GLMfill *fill, GLMgroup **group,
                          GLuint *material, std::vector<GLMcorner> *corners, GLMreadError *error) {
  const char *word = s->word;
  char name[kGlmWordSize];
  GLMform form = kGlmFormV;
  switch (word[0]) {
    case 'v':
      if (word[1] == '\0')
        return glmReadFloats(s, error, &fill->vertices, model->numvertices, model->vertices, 3);
      if (word[1] == 'n')
        return glmReadFloats(s, error, &fill->normals, model->numnormals, model->normals, 3);
      if (word[1] == 't')
        return glmReadFloats(s, error, &fill->texcoords, model->numtexcoords, model->texcoords, 2);
      return glmUnknownToken(error, word);
    case 'u':
      glmReadLineWord(s->file, name);
      *material = glmFindMaterial(model, name);
      (*group)->material = *material;
      return true;
    case 'g':
      glmReadGroupName(s->file, name);
      *group = glmFindGroup(model, name);
      if (!*group) return glmDisagree(s, error);
      (*group)->material = *material;
      return true;
    case 'f':
      return glmReadFace(s, &form, corners, error) &&
             glmCheckCorners(s, model, form, *corners, error) &&
             glmStoreFace(s, model, *group, fill, *corners, error);
    default:  // comments, mtllib, and lines such as o and s
      glmSkipLine(s->file);
      return true;
  }
}

bool glmSecondPass(GLMmodel *model, FILE *file, GLMreadError *error) {
  GLMscanner s{file, model->pathname, "glmReadOBJ()", "data file", {}, false};
  GLMfill fill;
  for (GLMgroup *g = model->groups; g; g = g->next) {
    fill.room[g] = g->numtriangles;
    g->numtriangles = 0;
  }
  GLMgroup *group = glmFindGroup(model, "default");
  GLuint material = 0;
  std::vector<GLMcorner> corners;
  for (;;) {
    GLMwordResult got = glmNextWord(&s, error);
    if (got == kGlmFailed) return false;
    if (got == kGlmEnd) break;
    if (!glmSecondWord(&s, model, &fill, &group, &material, &corners, error)) return false;
  }
  if (ferror(file)) return glmFailRead(&s, error);
  if (fill.vertices != model->numvertices + 1 || fill.normals != model->numnormals + 1 ||
      fill.texcoords != model->numtexcoords + 1 || fill.triangles != model->numtriangles)
    return glmDisagree(&s, error);
  return true;
}

// ---- Whole file ----

static void glmAllocateArrays(GLMmodel *model) {
  size_t vertices = static_cast<size_t>(model->numvertices) + 1;
  model->vertices = static_cast<GLfloat *>(calloc(3 * vertices, sizeof(GLfloat)));
  model->triangles =
      static_cast<GLMtriangle *>(calloc(model->numtriangles + size_t{1}, sizeof(GLMtriangle)));
  if (model->numnormals > 0)
    model->normals = static_cast<GLfloat *>(
        calloc(3 * (static_cast<size_t>(model->numnormals) + 1), sizeof(GLfloat)));
  if (model->numtexcoords > 0)
    model->texcoords = static_cast<GLfloat *>(
        calloc(2 * (static_cast<size_t>(model->numtexcoords) + 1), sizeof(GLfloat)));
}

GLMmodel *glmReadOBJFile(const char *filename, GLMreadError *error) {
  GLMfile file(fopen(filename, "re"), fclose);  // close-on-exec
  if (!file) {
    glmFail(error, false, "glmReadOBJ() failed: can't open data file \"%s\".\n", filename);
    return nullptr;
  }
  GLMmodel *model = static_cast<GLMmodel *>(calloc(1, sizeof(GLMmodel)));
  model->pathname = glmCopy(filename);
  bool ok = glmFirstPass(model, file.get(), error);
  if (ok) {
    glmAllocateArrays(model);
    rewind(file.get());
    ok = glmSecondPass(model, file.get(), error);
  }
  if (!ok) {
    glmDelete(model);
    return nullptr;
  }
  return model;
}

GLMmodel *glmReadOBJ(const char *filename) {
  GLMreadError error;
  // The model keeps the path it was found at, so its material file is read
  // from the same folder.
  GLMmodel *model = glmReadOBJFile(FindAsset(filename).c_str(), &error);
  if (!model) {
    fputs(error.message, error.toStdout ? stdout : stderr);
    exit(1);
  }
  return model;
}
