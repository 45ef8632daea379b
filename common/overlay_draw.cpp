// Drawing in the overlay: entering and leaving its projection, the text pen,
// bitmap text at scale 1 and font glyphs as textured quads at other scales,
// and interface images as pixel rectangles or smoothly filtered quads.
#include <GL/glut.h>

#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "common/drawing.h"
#include "common/overlay.h"

// Text waiting for EndOverlay, each run at its pen start in overlay units.
struct WaitingText {
  float x, y, z;
  int pixelSize;
  GLfloat color[4];
  std::string text;
};

// A glyph's texture: coverage as alpha, its top row at t = 0.
struct GlyphTexture {
  GLuint name;
  int width, rows, left, top, advance;
};

static GLint savedViewport[4];
static float penX, penY, penZ;
static GLfloat penColor[4] = {1.0f, 1.0f, 1.0f, 1.0f};
// Whether GL's raster position stands at the pen, so bitmap glyphs continue
// from it exactly as consecutive glutBitmapCharacter calls do.
static BOOL rasterAtPen;
static std::vector<WaitingText> waiting;
static std::map<int, std::map<unsigned char, GlyphTexture>> glyphTextures;  // by pixel size
constexpr size_t kKeptGlyphSizes = 6;
static GLuint imageTextures[kImageCount];

static void *const kBitmapFont = GLUT_BITMAP_TIMES_ROMAN_24;

static double Scale(void) { return PictureScale(overlayPicture); }

// The bitmap font serves the 24-unit text at scale 1, and every text when
// no scalable font was found.
static BOOL UsesBitmapFont(float size) {
  if (overlayPicture.height == kPictureHeight && size == kOverlayTextSize) return TRUE;
  return !OverlayFontAvailable();
}

static int PixelSize(float size) { return static_cast<int>(lround(size * Scale())); }

// ---- Entering and leaving ----

static void PushProjection(double width, double height) {
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glOrtho(0.0, width, 0.0, height, -1.0, 1.0);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
}

static void PopProjection(void) {
  glPopMatrix();
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
}

void BeginOverlay(void) {
  glGetIntegerv(GL_VIEWPORT, savedViewport);
  SetPictureViewport();
  PushProjection(kOverlayWidth, kOverlayHeight);
  waiting.clear();
  rasterAtPen = FALSE;
}

static void DrawWaitingText(void);

void EndOverlay(void) {
  DrawWaitingText();
  PopProjection();
  glViewport(savedViewport[0], savedViewport[1], savedViewport[2], savedViewport[3]);
}

// ---- Text ----

void OverlayTextPosition(float x, float y, float z) {
  penX = x, penY = y, penZ = z;
  glRasterPos3f(x, y, z);
  glGetFloatv(GL_CURRENT_RASTER_COLOR, penColor);
  rasterAtPen = TRUE;
}

static float BitmapWidth(const char *string) {
  int pixels = 0;
  for (const char *c = string; *c != '\0'; c++)
    pixels += glutBitmapWidth(kBitmapFont, static_cast<unsigned char>(*c));
  return static_cast<float>(pixels / Scale());
}

float OverlayTextWidth(const char *string, float size) {
  if (UsesBitmapFont(size)) return BitmapWidth(string);
  return static_cast<float>(FontTextPixels(string, PixelSize(size)) / Scale());
}

void OverlayText(const char *string, float size) {
  if (UsesBitmapFont(size)) {
    if (!rasterAtPen) glRasterPos3f(penX, penY, penZ);
    for (const char *c = string; *c != '\0'; c++)
      glutBitmapCharacter(kBitmapFont, static_cast<unsigned char>(*c));
    penX += BitmapWidth(string);
    rasterAtPen = TRUE;
    return;
  }
  WaitingText run = {penX, penY, penZ, PixelSize(size), {}, string};
  for (int k = 0; k < 4; k++) run.color[k] = penColor[k];
  waiting.push_back(run);
  penX += OverlayTextWidth(string, size);
  rasterAtPen = FALSE;
}

static void ForgetGlyphTextures(void) {
  for (auto &sized : glyphTextures)
    for (auto &entry : sized.second) glDeleteTextures(1, &entry.second.name);
  glyphTextures.clear();
}

static const GlyphTexture &GlyphTextureOf(unsigned char c, int pixelSize) {
  if (glyphTextures.count(pixelSize) == 0 && glyphTextures.size() >= kKeptGlyphSizes)
    ForgetGlyphTextures();
  std::map<unsigned char, GlyphTexture> &sized = glyphTextures[pixelSize];
  auto found = sized.find(c);
  if (found != sized.end()) return found->second;
  GlyphTexture texture = {0, 0, 0, 0, 0, 0};
  const FontGlyph *glyph = FontGlyphOf(c, pixelSize);
  if (glyph) {
    texture = {0, glyph->width, glyph->rows, glyph->left, glyph->top, glyph->advance};
    if (glyph->width > 0 && glyph->rows > 0) {
      glGenTextures(1, &texture.name);
      glBindTexture(GL_TEXTURE_2D, texture.name);
      glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
      glTexImage2D(GL_TEXTURE_2D, 0, GL_ALPHA, glyph->width, glyph->rows, 0, GL_ALPHA,
                   GL_UNSIGNED_BYTE, glyph->coverage.data());
      glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
      glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
      glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
      glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    }
  }
  return sized[c] = texture;
}

// One run of glyphs, pen and baseline on whole picture pixels so that
// every glyph lands on the pixel grid it was rasterised for.
static void DrawRun(const WaitingText &run) {
  const double scale = Scale();
  int pen = static_cast<int>(lround(run.x * scale));
  const int baseline = static_cast<int>(lround(run.y * scale));
  glColor4fv(run.color);
  for (const char *c = run.text.c_str(); *c != '\0'; c++) {
    const GlyphTexture &glyph = GlyphTextureOf(static_cast<unsigned char>(*c), run.pixelSize);
    if (glyph.name != 0) {
      const float x0 = static_cast<float>(pen + glyph.left), x1 = x0 + glyph.width;
      const float y1 = static_cast<float>(baseline + glyph.top), y0 = y1 - glyph.rows;
      glBindTexture(GL_TEXTURE_2D, glyph.name);
      glBegin(GL_QUADS);
      glTexCoord2f(0, 1), glVertex3f(x0, y0, run.z);
      glTexCoord2f(1, 1), glVertex3f(x1, y0, run.z);
      glTexCoord2f(1, 0), glVertex3f(x1, y1, run.z);
      glTexCoord2f(0, 0), glVertex3f(x0, y1, run.z);
      glEnd();
    }
    pen += glyph.advance;
  }
}

// Drawn last, so text drawn before something else at the same depth still
// shows in front of it (less-or-equal), as bitmap text drawn first does
// under the less-than test; something nearer still covers it. Uncovered
// texels are dropped by the alpha test and write no depth; the glyphs' own
// pixels do, so a later overlay at the same depth leaves them in front.
static void DrawWaitingText(void) {
  if (waiting.empty()) return;
  glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_TEXTURE_BIT |
               GL_CURRENT_BIT);
  glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
  PushProjection(overlayPicture.width, overlayPicture.height);
  glDisable(GL_LIGHTING);
  glEnable(GL_TEXTURE_2D);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glEnable(GL_ALPHA_TEST);
  glAlphaFunc(GL_GREATER, 0.0f);
  glDepthFunc(GL_LEQUAL);
  for (const WaitingText &run : waiting) DrawRun(run);
  waiting.clear();
  PopProjection();
  glPopClientAttrib();
  glPopAttrib();
}

void OverlayForgetTextures(void) {
  glyphTextures.clear();
  for (GLuint &name : imageTextures) name = 0;
}

// ---- Images ----

static const unsigned int *ImagePixels(int index) {
  for (const ImageEntry &entry : imageCatalogue)
    if (entry.index == index) return *entry.pixels;
  return nullptr;
}

static GLuint ImageTexture(int index, const unsigned int *pixels) {
  if (imageTextures[index] != 0) return imageTextures[index];
  glGenTextures(1, &imageTextures[index]);
  glBindTexture(GL_TEXTURE_2D, imageTextures[index]);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, imageWidth[index], imageHeight[index], 0, GL_RGBA,
               GL_UNSIGNED_BYTE, pixels);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  return imageTextures[index];
}

// The texel replaces the fragment's colour, as a pixel rectangle's does.
static void DrawImageQuad(int index, const unsigned int *pixels, float x, float y, float z) {
  const float w = static_cast<float>(imageWidth[index]);
  const float h = static_cast<float>(imageHeight[index]);
  glPushAttrib(GL_ENABLE_BIT | GL_TEXTURE_BIT);
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, ImageTexture(index, pixels));
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
  glBegin(GL_QUADS);
  glTexCoord2f(0, 0), glVertex3f(x, y, z);
  glTexCoord2f(1, 0), glVertex3f(x + w, y, z);
  glTexCoord2f(1, 1), glVertex3f(x + w, y + h, z);
  glTexCoord2f(0, 1), glVertex3f(x, y + h, z);
  glEnd();
  glPopAttrib();
}

void OverlayImage(int index, float x, float y, float z) {
  if (index < 0 || index >= kImageCount) return;
  const unsigned int *pixels = ImagePixels(index);
  // An image the reader could not hold in memory has no pixels to draw.
  if (pixels == nullptr || imageWidth[index] <= 0 || imageHeight[index] <= 0) return;
  if (overlayPicture.height == kPictureHeight) {
    glRasterPos3f(x, y, z);
    glDrawPixels(imageWidth[index], imageHeight[index], GL_RGBA, GL_UNSIGNED_BYTE, pixels);
    rasterAtPen = FALSE;
    return;
  }
  DrawImageQuad(index, pixels, x, y, z);
}
