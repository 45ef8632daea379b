// The lights' planar-shadow matrices, built once at start-up. Pure
// arithmetic, no GL calls: the matrices are handed to glMultMatrixf by the
// shadow passes.
#include "game/rendering.h"

const GLfloat floorV0[3] = {0.0f, 0.0f, -0.5f};
const GLfloat floorV1[3] = {0.0f, 30.0f, -0.5f};
const GLfloat floorV2[3] = {30.0f, 30.0f, -0.5f};

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
  GLfloat plane[4];
  GetPlane(plane, floorV0, floorV1, floorV2);
  // The corners give a normal along z only; fixing nz and d puts the plane
  // at z = -0.494 whatever the normal's length.
  plane[2] = 1.0f;
  plane[3] = kFirstShadowPlane;
  for (int n = 0; n < kLightCount; n++) {
    if (n > 0) plane[3] += kShadowPlaneStep;
    CreateShadowProjection(g_lights[n].shadowMatrix, g_lights[n].position, plane);
  }
}
