// How many pixels the 3D scene is drawn at: the choice from the renderer's
// name, the picture's size and --scene-scale, and the scaling up of a
// reduced scene into the picture before the overlay is drawn over it.
#include <GL/gl.h>

#include <strings.h>
#include <algorithm>
#include <cstdio>
#include <string>

#include "common/overlay.h"
#include "game/rendering.h"

SceneSize sceneSize = {kPictureWidth, kPictureHeight, FALSE};

// Kept from the first ChooseSceneScale; empty until then, which draws the
// scene at full size.
static std::string sceneRenderer;
static SceneScaleOption sceneScaleOption = SCENE_SCALE_FULL;
// The texture the reduced scene is copied into, a power of two on each side
// as OpenGL 1.1 needs, and the size it was made for.
static GLuint sceneTexture;
static int sceneTextureWidth, sceneTextureHeight;

BOOL IsSoftwareRenderer(const char *renderer) {
  if (!renderer) return FALSE;
  std::string name(renderer);
  std::transform(name.begin(), name.end(), name.begin(),
                 [](unsigned char c) { return static_cast<char>(tolower(c)); });
  for (const char *word : {"llvmpipe", "softpipe", "swrast"})
    if (name.find(word) != std::string::npos) return TRUE;
  return FALSE;
}

SceneSize SceneSizeFor(const char *renderer, int pictureWidth, int pictureHeight,
                       SceneScaleOption option) {
  const BOOL wanted =
      option == SCENE_SCALE_REDUCED || (option == SCENE_SCALE_AUTO && IsSoftwareRenderer(renderer));
  if (wanted && pictureHeight > kReducedSceneHeight)
    return {kReducedSceneWidth, kReducedSceneHeight, TRUE};
  return {pictureWidth, pictureHeight, FALSE};
}

static void SayChoice(const char *renderer, SceneScaleOption option) {
  const BOOL software = IsSoftwareRenderer(renderer);
  if (option == SCENE_SCALE_FULL || (option == SCENE_SCALE_AUTO && !software)) {
    fprintf(stderr, "squeakling: %s: the 3D scene is drawn at the picture's full size%s\n",
            renderer, option == SCENE_SCALE_FULL ? " (--scene-scale=full)" : "");
    return;
  }
  fprintf(stderr,
          "squeakling: %s%s: a picture larger than %d x %d gets its 3D scene drawn at %d x %d "
          "and scaled up (%s)\n",
          renderer, software ? " renders in software" : "", kReducedSceneWidth, kReducedSceneHeight,
          kReducedSceneWidth, kReducedSceneHeight,
          option == SCENE_SCALE_AUTO ? "--scene-scale=full draws it at full size"
                                     : "--scene-scale=reduced");
}

void ChooseSceneScale(SceneScaleOption option) {
  if (sceneRenderer.empty()) {
    const GLubyte *name = glGetString(GL_RENDERER);
    sceneRenderer = name ? reinterpret_cast<const char *>(name) : "unknown renderer";
    SayChoice(sceneRenderer.c_str(), option);
  }
  sceneScaleOption = option;
  reshape(g_Width, g_Height);
}

void UpdateSceneSize(void) {
  sceneSize = SceneSizeFor(sceneRenderer.empty() ? nullptr : sceneRenderer.c_str(),
                           overlayPicture.width, overlayPicture.height, sceneScaleOption);
}

static int PowerOfTwoAtLeast(int n) {
  int p = 1;
  while (p < n) p *= 2;
  return p;
}

// Made (again) when the reduced size changes; linear filters, no mipmaps,
// so the copy is all the texture needs each frame. The wrap mode stays
// repeat, which the quad's coordinates never reach and which a software
// rasteriser samples faster than a clamp to the border.
static void BindSceneTexture(void) {
  if (!sceneTexture) glGenTextures(1, &sceneTexture);
  glBindTexture(GL_TEXTURE_2D, sceneTexture);
  const int width = PowerOfTwoAtLeast(sceneSize.width);
  const int height = PowerOfTwoAtLeast(sceneSize.height);
  if (width == sceneTextureWidth && height == sceneTextureHeight) return;
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
  sceneTextureWidth = width;
  sceneTextureHeight = height;
}

// The quad's corners sample the centres of the scene's corner pixels, so
// the filter never reaches the texture's border or the unused texels beyond
// the scene: the picture is stretched by less than a pixel for it. It lies
// at z = 1, the far plane under identity matrices.
static void DrawSceneQuad(void) {
  const float s0 = 0.5f / sceneTextureWidth, t0 = 0.5f / sceneTextureHeight;
  const float s1 = (sceneSize.width - 0.5f) / sceneTextureWidth;
  const float t1 = (sceneSize.height - 0.5f) / sceneTextureHeight;
  glBegin(GL_QUADS);
  glTexCoord2f(s0, t0);
  glVertex3f(-1.0f, -1.0f, 1.0f);
  glTexCoord2f(s1, t0);
  glVertex3f(1.0f, -1.0f, 1.0f);
  glTexCoord2f(s1, t1);
  glVertex3f(1.0f, 1.0f, 1.0f);
  glTexCoord2f(s0, t1);
  glVertex3f(-1.0f, 1.0f, 1.0f);
  glEnd();
}

void PresentScene(void) {
  if (!sceneSize.reduced) return;
  glPushAttrib(GL_ENABLE_BIT | GL_TEXTURE_BIT | GL_VIEWPORT_BIT | GL_POLYGON_BIT | GL_CURRENT_BIT |
               GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  BindSceneTexture();
  glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, overlayPicture.left, overlayPicture.bottom,
                      sceneSize.width, sceneSize.height);
  glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
  SetPictureViewport();
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  for (GLenum cap : {GL_LIGHTING, GL_BLEND, GL_STENCIL_TEST, GL_CULL_FACE, GL_ALPHA_TEST, GL_FOG})
    glDisable(cap);
  // The quad lies on the far plane and always passes, so it writes the
  // depth a clear would, in the same pass as the colour.
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_ALWAYS);
  glDepthMask(GL_TRUE);
  glEnable(GL_TEXTURE_2D);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  DrawSceneQuad();
  glPopMatrix();
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPopAttrib();
}
