// The floor plane and the six planar-shadow matrices, built once at start-up.
// Pure arithmetic, no GL calls: the matrices are handed to glMultMatrixf by
// the shadow passes.
#include "game/rendering.h"

GLfloat floorV0[3] = {0.0f, 0.0f, -0.5f};
GLfloat floorV1[3] = {0.0f, 30.0f, -0.5f};
GLfloat floorV2[3] = {30.0f, 30.0f, -0.5f};
GLfloat planeFloor[4];
GLfloat light0ShadowProj[4][4], light1ShadowProj[4][4], light2ShadowProj[4][4];
GLfloat light3ShadowProj[4][4], light4ShadowProj[4][4], light5ShadowProj[4][4];

// The first shadow plane sits just above the floor, and each later light's
// plane 0.001 lower, so the depth test lets each floor pixel show the shadow
// of the first light that covers it and never a sum of them.
constexpr GLfloat kFirstShadowPlane = 0.494f;
constexpr GLfloat kShadowPlaneStep = 0.001f;

// dot * I - L * P^T, column-major: maps every point onto the plane along the
// line from the (homogeneous) light position.
void CreateShadowProjection(GLfloat projMatrix[4][4], const GLfloat *lightPosition,
                            const GLfloat *plane) {
  const GLfloat dot = plane[0] * lightPosition[0] + plane[1] * lightPosition[1] +
                      plane[2] * lightPosition[2] + plane[3] * lightPosition[3];
  for (int j = 0; j < 4; j++) {
    for (int i = 0; i < 4; i++) {
      projMatrix[j][i] = -lightPosition[i] * plane[j];
      if (i == j) projMatrix[j][i] += dot;
    }
  }
}

void GetPlane(GLfloat *plane, const GLfloat *vertex1, const GLfloat *vertex2,
              const GLfloat *vertex3) {
  const GLfloat u[3] = {vertex2[0] - vertex1[0], vertex2[1] - vertex1[1], vertex2[2] - vertex1[2]};
  const GLfloat w[3] = {vertex3[0] - vertex1[0], vertex3[1] - vertex1[1], vertex3[2] - vertex1[2]};
  plane[0] = u[1] * w[2] - u[2] * w[1];
  plane[1] = u[2] * w[0] - u[0] * w[2];
  plane[2] = u[0] * w[1] - u[1] * w[0];
  plane[3] = -(plane[0] * vertex1[0] + plane[1] * vertex1[1] + plane[2] * vertex1[2]);
}

void BuildShadowMatrices(void) {
  GetPlane(planeFloor, floorV0, floorV1, floorV2);
  // The corners give a normal along z only; fixing nz and d puts the plane
  // at z = -0.494 whatever the normal's length.
  planeFloor[2] = 1.0f;
  planeFloor[3] = kFirstShadowPlane;
  GLfloat(*const matrices[6])[4] = {light0ShadowProj, light1ShadowProj, light2ShadowProj,
                                    light3ShadowProj, light4ShadowProj, light5ShadowProj};
  for (int n = 0; n < 6; n++) {
    if (n > 0) planeFloor[3] += kShadowPlaneStep;
    CreateShadowProjection(matrices[n], LightPosition(n), planeFloor);
  }
}

const GLfloat *ShadowMatrix(int light) {
  static const GLfloat *const all[6] = {&light0ShadowProj[0][0], &light1ShadowProj[0][0],
                                        &light2ShadowProj[0][0], &light3ShadowProj[0][0],
                                        &light4ShadowProj[0][0], &light5ShadowProj[0][0]};
  return light >= 0 && light < 6 ? all[light] : nullptr;
}

const GLfloat *LightPosition(int light) {
  static const GLfloat *const all[6] = {g_lightPos0, g_lightPos1, g_lightPos2,
                                        g_lightPos3, g_lightPos4, g_lightPos5};
  return light >= 0 && light < 6 ? all[light] : nullptr;
}
