// The things that stand in the maze: border walls, obstacle blocks, the
// spinning cheese cube, the bonus fruit, the mouse and the cat on its
// surfboard. With notShadowPass clear nothing here sets a colour or texture.
#include <GL/gl.h>

#include <algorithm>
#include <cmath>

#include "common/drawing.h"
#include "game/rendering.h"
#include "game/squeakling.h"

constexpr int kLastCell = kGridSize - 1;

// No normal is set here: callers set (0, 0, 1) before the first face, and the
// rotations that put each face in place turn that normal outward with it.
// The square goes out as its two triangles (corners 0 1 2, 0 2 3), so the
// picture does not hang on how a driver splits quads: Mesa splits them one
// way in immediate mode and the other way in display lists.
void DrawCubeFace(float fSize) {
  const float h = fSize / 2.0f;
  const float xs[4] = {-h, h, h, -h}, ys[4] = {-h, -h, h, h};
  static const float s[4] = {0.0f, 1.0f, 1.0f, 0.0f}, t[4] = {0.0f, 0.0f, 1.0f, 1.0f};
  static const int corners[6] = {0, 1, 2, 0, 2, 3};
  glBegin(GL_TRIANGLES);
  for (int c : corners) {
    glTexCoord2f(s[c], t[c]);
    glVertex3f(xs[c], ys[c], h);
  }
  glEnd();
}

// The +z face turned into each of the six places in turn, rotations
// accumulating: +z, -y, -z, +y, +x, -x. Only the faces in mask are drawn.
static void DrawCubeFaces(float fSize, float x, float y, int spin, int mask) {
  glPushMatrix();
  glTranslatef(x, y, 0.0f);
  glRotatef(static_cast<float>(spin), 0.0f, 0.0f, 1.0f);
  glPushMatrix();
  if (mask & FACE_TOP) DrawCubeFace(fSize);
  glRotatef(90.0f, 1.0f, 0.0f, 0.0f);
  if (mask & FACE_FRONT) DrawCubeFace(fSize);
  glRotatef(90.0f, 1.0f, 0.0f, 0.0f);
  if (mask & FACE_BOTTOM) DrawCubeFace(fSize);
  glRotatef(90.0f, 1.0f, 0.0f, 0.0f);
  if (mask & FACE_BACK) DrawCubeFace(fSize);
  glRotatef(90.0f, 0.0f, 1.0f, 0.0f);
  if (mask & FACE_RIGHT) DrawCubeFace(fSize);
  glRotatef(180.0f, 0.0f, 1.0f, 0.0f);
  if (mask & FACE_LEFT) DrawCubeFace(fSize);
  glPopMatrix();
  glPopMatrix();
}

void DrawCubeWithTextureCoords(float fSize, float x, float y, int spin) {
  DrawCubeFaces(fSize, x, y, spin, kAllFaces);
}

// A border wall shows its top and the sides nobody can stand behind: the
// side columns (corners included) both x faces and their outer y face, the
// top and bottom rows both y faces. Faces between neighbouring blocks of a
// run, and the bottom, are never seen.
int WallFaces(int x, int y) {
  if (x == 0 || x == kLastCell) {
    int faces = FACE_TOP | FACE_RIGHT | FACE_LEFT;
    if (y == 0) faces |= FACE_FRONT;
    if (y == kLastCell) faces |= FACE_BACK;
    return faces;
  }
  return FACE_TOP | FACE_FRONT | FACE_BACK;
}

void DrawWallWithTextureCoords(float fSize, float x, float y, int spin) {
  DrawCubeFaces(fSize, x, y, spin, WallFaces(static_cast<int>(x), static_cast<int>(y)));
}

// A point of the +z face turned into the place of a face, as DrawCubeFaces
// turns it, in exact quarter turns: about x by quarter turns qx, then about
// y by qy.
static void TurnIntoFace(int qx, int qy, const float in[3], float out[3]) {
  static const int kCos[4] = {1, 0, -1, 0}, kSin[4] = {0, 1, 0, -1};
  const float x = in[0], y = in[1], z = in[2];
  // The later rotation (about y) applies first to the point.
  const float x1 = kCos[qy] * x + kSin[qy] * z, z1 = -kSin[qy] * x + kCos[qy] * z;
  out[0] = x1;
  out[1] = kCos[qx] * y - kSin[qx] * z1;
  out[2] = kSin[qx] * y + kCos[qx] * z1;
}

// The faces of the unit block at (x, y) in mask, as the triangles
// DrawCubeFaces draws, but with the corners and normals worked out here:
// for one glBegin(GL_TRIANGLES) that holds a whole list's blocks.
static void EmitBlockFaces(float x, float y, int mask) {
  struct Place {
    int face, qx, qy;
  };
  static const Place kPlaces[6] = {{FACE_TOP, 0, 0},  {FACE_FRONT, 1, 0}, {FACE_BOTTOM, 2, 0},
                                   {FACE_BACK, 3, 0}, {FACE_RIGHT, 3, 1}, {FACE_LEFT, 3, 3}};
  const float h = 0.5f;
  const float xs[4] = {-h, h, h, -h}, ys[4] = {-h, -h, h, h};
  static const float s[4] = {0.0f, 1.0f, 1.0f, 0.0f}, t[4] = {0.0f, 0.0f, 1.0f, 1.0f};
  static const int corners[6] = {0, 1, 2, 0, 2, 3};
  for (const Place &place : kPlaces) {
    if (!(mask & place.face)) continue;
    const float up[3] = {0.0f, 0.0f, 1.0f};
    float normal[3];
    TurnIntoFace(place.qx, place.qy, up, normal);
    glNormal3fv(normal);
    for (int c : corners) {
      const float local[3] = {xs[c], ys[c], h};
      float p[3];
      TurnIntoFace(place.qx, place.qy, local, p);
      glTexCoord2f(s[c], t[c]);
      glVertex3f(x + p[0], y + p[1], p[2]);
    }
  }
}

// Wall and obstacle blocks in scan order. A filter, when given, picks which
// of a block's faces to draw (none skips the block); the faces drawn go
// through the very same transforms as when all are drawn. Batched, all of
// them go out as one set of triangles, and the normal is (0, 0, 1) again
// afterwards, as the callers expect.
static void DrawBlocksFiltered(const CellClasses &cells, int cellClass, FaceFilter filter,
                               BOOL batched) {
  if (batched) glBegin(GL_TRIANGLES);
  for (int i = 0; i < kGridSize; i++) {
    for (int j = 0; j < kGridSize; j++) {
      if (cells.at[i][j] != cellClass) continue;
      const int shown = cellClass == CLASS_WALL ? WallFaces(i, j) : kAllFaces;
      const int faces = filter ? filter(i, j, shown) : shown;
      if (!faces) continue;
      if (batched)
        EmitBlockFaces(static_cast<float>(i), static_cast<float>(j), faces);
      else
        DrawCubeFaces(1.0f, static_cast<float>(i), static_cast<float>(j), 0, faces);
    }
  }
  if (batched) {
    glEnd();
    glNormal3f(0.0f, 0.0f, 1.0f);
  }
}

void DrawWallBlocksFiltered(const CellClasses &cells, FaceFilter filter, BOOL batched) {
  DrawBlocksFiltered(cells, CLASS_WALL, filter, batched);
}

void DrawObstacleBlocksFiltered(const CellClasses &cells, FaceFilter filter, BOOL batched) {
  DrawBlocksFiltered(cells, CLASS_OBSTACLE, filter, batched);
}

// The corners of a unit block's face: the four of the eight cube corners on
// that face's side.
static int FaceCorners(int face, double x, double y, double corners[4][3]) {
  int n = 0;
  for (int c = 0; c < 8; c++) {
    const double dx = c & 1 ? 0.5 : -0.5, dy = c & 2 ? 0.5 : -0.5, dz = c & 4 ? 0.5 : -0.5;
    const bool on = (face == FACE_TOP && dz > 0) || (face == FACE_BOTTOM && dz < 0) ||
                    (face == FACE_FRONT && dy < 0) || (face == FACE_BACK && dy > 0) ||
                    (face == FACE_RIGHT && dx > 0) || (face == FACE_LEFT && dx < 0);
    if (on) corners[n][0] = x + dx, corners[n][1] = y + dy, corners[n][2] = dz, n++;
  }
  return n;
}

// A flattened face whose bounding box, grown by half a cell and a little
// more for rounding, meets no stencil floor cell cannot darken any pixel:
// the shadow pass only draws where the floor was marked. A corner at or
// above the light has no shadow point, and the face is kept.
int FacesShadowReaches(const CellClasses &cells, int x, int y, int faces, const GLfloat *matrix) {
  constexpr double kGrow = 0.5 + 0.05;
  int kept = 0;
  for (int face = 1; face <= FACE_LEFT; face <<= 1) {
    if (!(faces & face)) continue;
    double corners[4][3];
    FaceCorners(face, x, y, corners);
    double lo[2] = {1e30, 1e30}, hi[2] = {-1e30, -1e30};
    bool behind = false;
    for (const double *p : corners) {
      double r[4];
      for (int i = 0; i < 4; i++)
        r[i] = matrix[i] * p[0] + matrix[4 + i] * p[1] + matrix[8 + i] * p[2] + matrix[12 + i];
      if (r[3] <= 1e-9) {
        behind = true;
        break;
      }
      for (int i = 0; i < 2; i++)
        lo[i] = std::min(lo[i], r[i] / r[3]), hi[i] = std::max(hi[i], r[i] / r[3]);
    }
    if (behind) {
      kept |= face;
      continue;
    }
    const int x0 = std::max(0, static_cast<int>(std::ceil(lo[0] - kGrow - 0.5)));
    const int x1 = std::min(kLastCell, static_cast<int>(std::floor(hi[0] + kGrow + 0.5)));
    const int y0 = std::max(0, static_cast<int>(std::ceil(lo[1] - kGrow - 0.5)));
    const int y1 = std::min(kLastCell, static_cast<int>(std::floor(hi[1] + kGrow + 0.5)));
    for (int cx = x0; cx <= x1 && !(kept & face); cx++)
      for (int cy = y0; cy <= y1; cy++)
        if (IsStencilClass(cells.at[cx][cy])) {
          kept |= face;
          break;
        }
  }
  return kept;
}

// The faces of the block at (x, y) whose outer side the light (homogeneous,
// as given to GL) clearly sees. Seen from the light, the others are turned
// away, and so is their flattened image seen from any eye above the floor:
// the shadow passes cull them, and they can never darken a pixel. A face
// nearly edge-on to the light is kept.
int FacesFacingLight(int x, int y, int faces, const GLfloat light[4]) {
  struct Plane {
    int face, axis;
    double sign;
  };
  static const Plane planes[6] = {{FACE_TOP, 2, 1},  {FACE_BOTTOM, 2, -1}, {FACE_FRONT, 1, -1},
                                  {FACE_BACK, 1, 1}, {FACE_RIGHT, 0, 1},   {FACE_LEFT, 0, -1}};
  const double centre[3] = {static_cast<double>(x), static_cast<double>(y), 0.0};
  int kept = 0;
  for (const Plane &p : planes) {
    if (!(faces & p.face)) continue;
    // Outward normal n = sign * axis; the face's plane is n . q = n . centre + 0.5.
    const double offset = p.sign * centre[p.axis] + 0.5;
    const double facing = p.sign * light[p.axis] - offset * light[3];
    if (facing > -0.01) kept |= p.face;
  }
  return kept;
}

void DoWall(BOOL notShadowPass) {
  if (notShadowPass) {
    SetMaterialColor(colorWhite);
    glBindTexture(GL_TEXTURE_2D, texName[kTexWood]);
  }
  if (!CallSceneList(LIST_WALLS)) DrawWallBlocksFiltered(sceneCells, nullptr, FALSE);
  glNormal3f(0.0f, 0.0f, 1.0f);
}

// Obstacles wear the floor texture, tinted red.
void DoObstacles(BOOL notShadowPass) {
  if (notShadowPass) {
    SetMaterialColor(colorRed);
    glBindTexture(GL_TEXTURE_2D, texName[kTexFloor]);
  }
  if (!CallSceneList(LIST_OBSTACLES)) DrawObstacleBlocksFiltered(sceneCells, nullptr, FALSE);
}

// The cheese turns the opposite way to the fruit, in whole degrees.
void DrawCheese(float x, float y, BOOL notShadowPass) {
  if (notShadowPass) {
    SetMaterialColor(colorYellow);
    glBindTexture(GL_TEXTURE_2D, texName[kTexCheese]);
  }
  glNormal3f(0.0f, 0.0f, 1.0f);
  const int spin = static_cast<int>(static_cast<float>(-cheeseRotation));
  DrawCubeWithTextureCoords(0.5f, x, y, spin);
}

// Odd levels (the 2nd, 4th, ...) bring a banana, even ones an apple. The
// models carry no texture coordinates: while texturing is on they take the
// one texel left current by the last face drawn, of the cheese texture.
void DrawBonus(float x, float y, BOOL notShadowPass) {
  glPushMatrix();
  glTranslatef(x, y, 0.1f);
  glRotatef(static_cast<float>(cheeseRotation), 0.0f, 0.0f, 1.0f);
  if (levelNum % 2 == 1) {
    glRotatef(-90.0f, 1.0f, 0.0f, 0.0f);
    glRotatef(120.0f, 0.0f, 1.0f, 0.0f);
    if (notShadowPass) SetMaterialColor(colorYellow);
    DrawModel(banana);
  } else {
    if (notShadowPass) SetMaterialColor(colorRed);
    DrawModel(apple);
  }
  glPopMatrix();
}

// The mouse model's nose points along its +y axis.
void DrawMouse(float x, float y, BOOL notShadowPass) {
  if (notShadowPass) {
    SetMaterialColor(mouseColor ? mouseColor : colorWhite);
    glBindTexture(GL_TEXTURE_2D, texName[kTexFur]);
  }
  glPushMatrix();
  glTranslatef(x, y, -0.75f);
  glRotatef(static_cast<float>(-(mouseorient + 90)), 0.0f, 0.0f, 1.0f);
  DrawModel(mouse);
  glPopMatrix();
}

// Surfboard and cat keep the fur texture the mouse left bound.
void DrawCat(float x, float y, BOOL notShadowPass) {
  if (notShadowPass) SetMaterialColor(colorGreen);
  glPushMatrix();
  glTranslatef(x, y, -0.2f);
  glRotatef(static_cast<float>(180 - catOrient), 0.0f, 0.0f, 1.0f);
  glTranslatef(-0.2f, 0.0f, 0.2f);
  glRotatef(90.0f, 1.0f, 0.0f, 0.0f);
  DrawModel(surfModel);
  glPopMatrix();

  if (notShadowPass) SetMaterialColor(colorYellow);
  glPushMatrix();
  glTranslatef(x, y, -0.4f);
  glRotatef(static_cast<float>(90 - catOrient), 0.0f, 0.0f, 1.0f);
  glScalef(1.5f, 1.5f, 2.5f);
  glTranslatef(0.0f, 0.2f, 0.14f);
  DrawModel(catModel);
  glPopMatrix();
}
