// Where the 1200 x 600 picture lies in the window and the mapping between
// window pixels and the default window's pixels that every hit test uses.
#include <GL/gl.h>

#include <algorithm>

#include "common/overlay.h"

OverlayPicture overlayPicture = PictureFor(kPictureWidth, kPictureHeight);

OverlayPicture PictureFor(int windowWidth, int windowHeight) {
  OverlayPicture p;
  p.windowWidth = windowWidth;
  p.windowHeight = windowHeight;
  p.height = std::max(1, std::min(windowHeight, windowWidth / 2));
  p.width = 2 * p.height;
  p.left = std::max(0, (windowWidth - p.width) / 2);
  p.bottom = std::max(0, (windowHeight - p.height) / 2);
  p.top = std::max(0, windowHeight - p.bottom - p.height);
  return p;
}

double PictureScale(const OverlayPicture &picture) {
  return static_cast<double>(picture.height) / kPictureHeight;
}

// The centre of window pixel d of a span of `size` pixels, as a pixel of a
// span of `to` pixels: floor((d + 1/2) * to / size), in integers.
static int Rescale(int d, int size, int to) {
  return static_cast<int>((2LL * d + 1) * to / (2LL * size));
}

BOOL PictureFromWindow(const OverlayPicture &picture, int x, int y, int *px, int *py) {
  const int dx = x - picture.left, dy = y - picture.top;
  if (dx < 0 || dx >= picture.width || dy < 0 || dy >= picture.height) return FALSE;
  *px = Rescale(dx, picture.width, kPictureWidth);
  *py = Rescale(dy, picture.height, kPictureHeight);
  return TRUE;
}

void WindowFromPicture(const OverlayPicture &picture, int px, int py, int *x, int *y) {
  *x = picture.left + Rescale(px, kPictureWidth, picture.width);
  *y = picture.top + Rescale(py, kPictureHeight, picture.height);
}

void OverlayReshape(int windowWidth, int windowHeight) {
  overlayPicture = PictureFor(windowWidth, windowHeight);
}

BOOL OverlayPointFromWindow(int x, int y, int *px, int *py) {
  return PictureFromWindow(overlayPicture, x, y, px, py);
}

void SetPictureViewport(void) {
  glViewport(overlayPicture.left, overlayPicture.bottom, overlayPicture.width,
             overlayPicture.height);
}
