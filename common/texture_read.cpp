// Whole-image readers (read_texture for RGBA, read_sgi for packed channels),
// the row converters, and the exiting wrappers that report failures.
#include "common/texture.h"

#include "common/assetpath.h"

#include <cerrno>
#include <cstdlib>

namespace {

// The four single-channel rows a whole-image read reuses for every row.
struct ChannelRows {
  unsigned char *r, *g, *b, *a;
};

bool AllocateRows(ChannelRows *rows, int xsize) {
  rows->r = static_cast<unsigned char *>(std::malloc(size_t(xsize)));
  rows->g = static_cast<unsigned char *>(std::malloc(size_t(xsize)));
  rows->b = static_cast<unsigned char *>(std::malloc(size_t(xsize)));
  rows->a = static_cast<unsigned char *>(std::malloc(size_t(xsize)));
  return rows->r && rows->g && rows->b && rows->a;
}

void FreeRows(ChannelRows *rows) {
  std::free(rows->r);
  std::free(rows->g);
  std::free(rows->b);
  std::free(rows->a);
}

// Reads row y of every channel the image has: channels 0..3 as red/grey,
// green, blue, alpha; channel 1 of a grey image is its alpha.
void GetChannelRows(ImageRec *image, const ChannelRows &rows, int y) {
  const int z = image->zsize;
  ImageGetRow(image, rows.r, y, 0);
  if (z == 2) ImageGetRow(image, rows.a, y, 1);
  if (z >= 3) {
    ImageGetRow(image, rows.g, y, 1);
    ImageGetRow(image, rows.b, y, 2);
  }
  if (z >= 4) ImageGetRow(image, rows.a, y, 3);
}

// One row, either as RGBA whatever the channel count (read_texture) or in
// the file's own channel layout (read_sgi).
void ReadRow(ImageRec *image, const ChannelRows &rows, int y, unsigned char *out, bool asRgba) {
  const int n = image->xsize;
  GetChannelRows(image, rows, y);
  if (image->zsize >= 4)
    rgbatorgba(rows.r, rows.g, rows.b, rows.a, out, n);
  else if (image->zsize == 3)
    asRgba ? rgbtorgba(rows.r, rows.g, rows.b, out, n) : rgbtorgb(rows.r, rows.g, rows.b, out, n);
  else if (image->zsize == 2)
    asRgba ? latorgba(rows.r, rows.a, out, n) : latola(rows.r, rows.a, out, n);
  else
    asRgba ? bwtorgba(rows.r, out, n) : bwtobw(rows.r, out, n);
}

[[noreturn]] void FailImage(const char *name, SgiStatus status) {
  if (status == kSgiNoMemory)
    std::fprintf(stderr, "Out of memory!\n");
  else if (status == kSgiCannotOpen)
    std::perror(name);
  else
    std::fprintf(stderr, "%s: %s\n", name, SgiStatusMessage(status));
  std::exit(1);
}

}  // namespace

const char *SgiStatusMessage(SgiStatus status) {
  switch (status) {
    case kSgiNoMemory: return "Out of memory!";
    case kSgiTruncated: return "SGI image file is shorter than its header says";
    case kSgiEmpty: return "SGI image has zero width or height";
    case kSgiTooLarge: return "SGI image is too large";
    case kSgiNoChannels: return "SGI image has no channels";
    case kSgiOk:
    case kSgiCannotOpen:
    case kSgiNoResult: break;
  }
  return "";
}

unsigned *ReadTextureChecked(const char *name, int *width, int *height, int *components,
                             SgiStatus *status) {
  ImageRec *image = ImageOpenChecked(name, status);
  if (!image) return nullptr;
  *width = image->xsize;
  *height = image->ysize;
  *components = image->zsize;
  const size_t rowBytes = size_t(4) * image->xsize;
  auto *result = static_cast<unsigned *>(std::malloc(rowBytes * image->ysize));
  ChannelRows rows{};
  if (result && AllocateRows(&rows, image->xsize)) {
    auto *out = reinterpret_cast<unsigned char *>(result);
    for (int y = 0; y < image->ysize; y++) ReadRow(image, rows, y, out + y * rowBytes, true);
    *status = kSgiOk;
  } else {
    std::free(result);
    result = nullptr;
    *status = kSgiNoResult;
  }
  FreeRows(&rows);
  ImageClose(image);
  return result;
}

unsigned char *ReadSgiChecked(const char *name, int *width, int *height, int *components,
                              SgiStatus *status) {
  ImageRec *image = ImageOpenChecked(name, status);
  if (!image) return nullptr;
  *width = image->xsize;
  *height = image->ysize;
  *components = image->zsize;
  const long packed = long(image->xsize) * image->ysize * image->zsize;
  if (image->zsize == 0 || packed > 4 * kSgiMaxPixels) {
    *status = image->zsize == 0 ? kSgiNoChannels : kSgiTooLarge;
    ImageClose(image);
    return nullptr;
  }
  const size_t rowBytes = size_t(image->zsize) * image->xsize;
  // Zeroed, so the unwritten tail of each row of a 5+ channel image is 0.
  auto *result = static_cast<unsigned char *>(std::calloc(size_t(packed), 1));
  ChannelRows rows{};
  if (result && AllocateRows(&rows, image->xsize)) {
    for (int y = 0; y < image->ysize; y++) ReadRow(image, rows, y, result + y * rowBytes, false);
    *status = kSgiOk;
  } else {
    std::free(result);
    result = nullptr;
    *status = kSgiNoResult;
  }
  FreeRows(&rows);
  ImageClose(image);
  return result;
}

unsigned *read_texture(const char *name, int *width, int *height, int *components) {
  const std::string path = FindAsset(name);
  name = path.c_str();
  SgiStatus status = kSgiOk;
  unsigned *result = ReadTextureChecked(name, width, height, components, &status);
  if (!result && status != kSgiNoResult) FailImage(name, status);
  return result;
}

unsigned char *read_sgi(const char *name, int *width, int *height, int *components) {
  const std::string path = FindAsset(name);
  name = path.c_str();
  SgiStatus status = kSgiOk;
  unsigned char *result = ReadSgiChecked(name, width, height, components, &status);
  if (!result && status != kSgiNoResult) FailImage(name, status);
  return result;
}

ImageRec *ImageOpen(const char *fileName) {
  SgiStatus status = kSgiOk;
  ImageRec *image = ImageOpenChecked(fileName, &status);
  if (!image) FailImage(fileName, status);
  return image;
}

void bwtorgba(const unsigned char *b, unsigned char *l, int n) {
  for (int i = 0; i < n; i++, l += 4) {
    l[0] = l[1] = l[2] = b[i];
    l[3] = 255;
  }
}

void latorgba(const unsigned char *b, const unsigned char *a, unsigned char *l, int n) {
  for (int i = 0; i < n; i++, l += 4) {
    l[0] = l[1] = l[2] = b[i];
    l[3] = a[i];
  }
}

void rgbtorgba(const unsigned char *r, const unsigned char *g, const unsigned char *b,
               unsigned char *l, int n) {
  for (int i = 0; i < n; i++, l += 4) {
    l[0] = r[i];
    l[1] = g[i];
    l[2] = b[i];
    l[3] = 255;
  }
}

void rgbatorgba(const unsigned char *r, const unsigned char *g, const unsigned char *b,
                const unsigned char *a, unsigned char *l, int n) {
  for (int i = 0; i < n; i++, l += 4) {
    l[0] = r[i];
    l[1] = g[i];
    l[2] = b[i];
    l[3] = a[i];
  }
}

void bwtobw(const unsigned char *b, unsigned char *l, int n) {
  for (int i = 0; i < n; i++) l[i] = b[i];
}

void latola(const unsigned char *b, const unsigned char *a, unsigned char *l, int n) {
  for (int i = 0; i < n; i++, l += 2) {
    l[0] = b[i];
    l[1] = a[i];
  }
}

void rgbtorgb(const unsigned char *r, const unsigned char *g, const unsigned char *b,
              unsigned char *l, int n) {
  for (int i = 0; i < n; i++, l += 3) {
    l[0] = r[i];
    l[1] = g[i];
    l[2] = b[i];
  }
}
