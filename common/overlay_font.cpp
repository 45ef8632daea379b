// The scalable serif font behind the overlay's text at every scale but 1:
// found at a fixed list of Debian paths (no fontconfig), opened with
// FreeType, and its glyphs rasterised and kept per pixel size. Makes no GL
// call. FreeType's headers stay inside this file.
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdio>
#include <map>

#include "common/overlay.h"

// Times-metric serifs, the same advance widths as the bitmap font's face:
// Liberation Serif (fonts-liberation, older and newer layouts), then URW's
// Nimbus Roman (fonts-urw-base35, gsfonts).
static const char *const kFontFiles[] = {
    "/usr/share/fonts/truetype/liberation/LiberationSerif-Regular.ttf",
    "/usr/share/fonts/truetype/liberation2/LiberationSerif-Regular.ttf",
    "/usr/share/fonts/opentype/urw-base35/NimbusRoman-Regular.otf",
    "/usr/share/fonts/type1/urw-base35/NimbusRoman-Regular.t1",
    "/usr/share/fonts/type1/gsfonts/n021003l.pfb",
};
// Glyphs of this many pixel sizes are kept; a window resized through many
// sizes starts the cache again instead of growing it.
constexpr size_t kKeptSizes = 6;
constexpr int kMaxPixelSize = 1000;

static FT_Library library;
static FT_Face face;
static BOOL lookedForFont;
static std::map<int, std::map<unsigned char, FontGlyph>> glyphs;  // by pixel size

static void FindFont(void) {
  lookedForFont = TRUE;
  if (FT_Init_FreeType(&library) != 0) {
    fprintf(stderr, "overlay: FreeType did not start; text keeps its 24-pixel bitmap font\n");
    return;
  }
  for (const char *file : kFontFiles) {
    if (FT_New_Face(library, file, 0, &face) == 0) return;
    face = nullptr;
  }
  fprintf(stderr,
          "overlay: no scalable serif font (Liberation Serif from fonts-liberation, or Nimbus "
          "Roman) under /usr/share/fonts; text keeps its 24-pixel bitmap font at every scale\n");
}

BOOL OverlayFontAvailable(void) {
  if (!lookedForFont) FindFont();
  return face != nullptr;
}

static BOOL Rasterise(unsigned char c, int pixelSize, FontGlyph *glyph) {
  if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixelSize)) != 0) return FALSE;
  if (FT_Load_Char(face, c, FT_LOAD_RENDER) != 0) return FALSE;
  const FT_GlyphSlot slot = face->glyph;
  const FT_Bitmap &bitmap = slot->bitmap;
  glyph->width = static_cast<int>(bitmap.width);
  glyph->rows = static_cast<int>(bitmap.rows);
  glyph->left = slot->bitmap_left;
  glyph->top = slot->bitmap_top;
  glyph->advance = static_cast<int>((slot->advance.x + 32) >> 6);
  glyph->coverage.assign(static_cast<size_t>(glyph->width) * glyph->rows, 0);
  // Rows may be padded (pitch) or stored bottom-up (negative pitch).
  for (int row = 0; row < glyph->rows; row++) {
    const unsigned char *src = bitmap.pitch >= 0
                                   ? bitmap.buffer + row * bitmap.pitch
                                   : bitmap.buffer + (glyph->rows - 1 - row) * -bitmap.pitch;
    for (int col = 0; col < glyph->width; col++)
      glyph->coverage[static_cast<size_t>(row) * glyph->width + col] = src[col];
  }
  return TRUE;
}

const FontGlyph *FontGlyphOf(unsigned char c, int pixelSize) {
  if (!OverlayFontAvailable() || pixelSize < 1 || pixelSize > kMaxPixelSize) return nullptr;
  if (glyphs.count(pixelSize) == 0 && glyphs.size() >= kKeptSizes) glyphs.clear();
  std::map<unsigned char, FontGlyph> &sized = glyphs[pixelSize];
  auto found = sized.find(c);
  if (found != sized.end()) return &found->second;
  FontGlyph glyph = {0, 0, 0, 0, 0, {}};
  // A character the font cannot render takes no room and draws nothing.
  if (!Rasterise(c, pixelSize, &glyph)) glyph = {0, 0, 0, 0, 0, {}};
  return &(sized[c] = std::move(glyph));
}

int FontTextPixels(const char *string, int pixelSize) {
  if (!OverlayFontAvailable()) return -1;
  int width = 0;
  for (const char *c = string; *c != '\0'; c++) {
    const FontGlyph *glyph = FontGlyphOf(static_cast<unsigned char>(*c), pixelSize);
    if (glyph) width += glyph->advance;
  }
  return width;
}
