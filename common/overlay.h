// The overlay: the fixed 1200 x 600 picture both programs draw, where it lies
// in a window of any size, the mapping of window pixels to it, and the one
// way flat text and interface images are drawn over the scene.
//
// The picture is the largest 2:1 rectangle centred in the window; outside it
// the window stays black (the frame's clear). Inside it the 3D scene is drawn
// at the rectangle's own resolution and the overlay at its scale: at scale 1
// text is GLUT's 24-point Times Roman bitmap font and images are pixel
// rectangles, exactly as in a 1200 x 600 window; at any other scale text is
// rasterised by a scalable serif font at the scaled size and images are
// drawn as smoothly filtered textured quads.
//
// Failure policy: a missing scalable font is reported once on standard error
// and text then falls back to the bitmap font at its own size; nothing here
// ends the program.
#pragma once
#include <GL/gl.h>

#include <vector>

#include "common/basics.h"

// ---- Overlay space: x right, y up, origin bottom-left, in overlay units.
constexpr float kOverlayWidth = 1200.0f;
constexpr float kOverlayHeight = 600.0f;
// The picture's size at scale 1, in pixels: the size both windows open at.
constexpr int kPictureWidth = 1200;
constexpr int kPictureHeight = 600;
// Text size in overlay units of the 24-point Times Roman look.
constexpr float kOverlayTextSize = 24.0f;

// Where the picture lies in a window, in window pixels. left and bottom are
// GL's (from the window's lower-left corner), top is GLUT's (from its upper
// edge); width is always twice height.
struct OverlayPicture {
  int windowWidth, windowHeight;
  int left, bottom, top;
  int width, height;
};

// ---- The mapping (no GL) ----
// The largest 2:1 rectangle centred in a window of that size; a window
// smaller than 2 x 1 pixels gets a 2 x 1 picture.
OverlayPicture PictureFor(int windowWidth, int windowHeight);
// Picture pixels per overlay unit: height / 600.
double PictureScale(const OverlayPicture &picture);
// A window pixel (x, y), y down from the top as GLUT reports pointer
// positions, to the pixel of a 1200 x 600 window showing the same place:
// *px in 0 ... 1199, *py in 0 ... 599, y down. Returns false, leaving *px and
// *py alone, for a pixel on the black bars or outside the window. The hit
// tests of both programs are written against these default-window pixels.
BOOL PictureFromWindow(const OverlayPicture &picture, int x, int y, int *px, int *py);
// The other way: the window pixel at the centre of the area showing
// default-window pixel (px, py), y down.
void WindowFromPicture(const OverlayPicture &picture, int px, int py, int *x, int *y);

// ---- The current window ----
// The picture of the window as the last OverlayReshape saw it; starts as
// the 1200 x 600 window's.
extern OverlayPicture overlayPicture;
// Both programs' reshape callbacks pass the new window size here first.
void OverlayReshape(int windowWidth, int windowHeight);
// PictureFromWindow for the current window: what every pointer callback
// calls before its hit test, returning early on false.
BOOL OverlayPointFromWindow(int x, int y, int *px, int *py);
// The scene's viewport: the whole picture (needs a GL context).
void SetPictureViewport(void);

// ---- Drawing (need a current GL context) ----
// Sets the viewport to the picture and pushes both matrix stacks with the
// 1200 x 600 orthographic projection (near -1, far 1) and an identity
// modelview; matrix mode is modelview on return. Material, lighting, depth
// test and blending are the caller's, as for any drawing over the scene.
void BeginOverlay(void);
// Draws the text of this overlay that is waiting (see below), pops both
// stacks (mode back to modelview) and gives back the viewport BeginOverlay
// found.
void EndOverlay(void);

// Places the text pen at (x, y, z), the baseline's left end. The colour of
// the text drawn from here on is the colour lighting gives this position,
// as for bitmap text at a raster position: white under a white front
// emission, the front emission's colour otherwise; with lighting off, the
// current colour.
void OverlayTextPosition(float x, float y, float z);
// Draws a NUL-terminated string at the pen, size overlay units high (the
// em, as a font's point size), and moves the pen past it, so consecutive
// calls continue on one line. Depth works as for bitmap text: the text is
// in front of whatever is later drawn at the same z, and behind anything
// nearer. At scale 1 and size 24 this is exactly glutBitmapCharacter of
// GLUT_BITMAP_TIMES_ROMAN_24 at the raster position; otherwise the glyphs
// are drawn, antialiased, when EndOverlay runs.
void OverlayText(const char *string, float size = kOverlayTextSize);
// Width in overlay units that OverlayText would move the pen by at the
// current scale; for centring and right-aligning. Needs no GL context
// except where the bitmap font draws (scale 1 and size 24, or no scalable
// font), which asks GLUT for its glyph widths.
float OverlayTextWidth(const char *string, float size = kOverlayTextSize);
// Draws an interface image (its catalogue index) with its lower-left corner
// at (x, y, z) and its stored size in overlay units. Lighting and texturing
// leave it as it is; blending and depth act on it as on a pixel rectangle.
// An index out of range or an image whose pixels are missing is skipped.
void OverlayImage(int index, float x, float y, float z);
// A window opened anew has a GL context of its own, without the glyph and
// image textures made so far: forgets their names (without deleting them,
// their context being gone), so that they are made again on first use.
void OverlayForgetTextures(void);

// ---- Font (no GL) ----
// Whether the scalable font was found (looking for it the first time).
BOOL OverlayFontAvailable(void);
// Width in whole pixels of a string rasterised at pixelSize by the scalable
// font; -1 without one.
int FontTextPixels(const char *string, int pixelSize);
// One character rasterised at a pixel size: coverage rows (0 ... 255) from
// the top, `width` bytes each; the bitmap's left edge and top row relative
// to the pen on the baseline (y up); the pen's advance in whole pixels.
struct FontGlyph {
  int width, rows, left, top, advance;
  std::vector<unsigned char> coverage;
};
// The glyph of c at pixelSize (kept once made), or nullptr without a font or
// for a pixel size outside 1 ... 1000. Glyph slots live until the next call
// that changes the set of sizes in use beyond a handful; don't keep them.
const FontGlyph *FontGlyphOf(unsigned char c, int pixelSize);
