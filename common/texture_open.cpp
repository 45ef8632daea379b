// Opening SGI files and fetching decoded channel rows: header, RLE row
// tables, bounds checks and the run-length decoder. No GL.
// Every bound is checked here against the header and the file's real size,
// so a malformed file is either refused at open or decodes to clipped or
// cleared rows; nothing reads or writes outside a buffer.
#include "common/texture.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace {

constexpr long kHeaderSize = 512;
constexpr int kRowBufferFactor = 256;  // tmp holds 256 * xsize bytes

bool IsLittleEndianHost() {
  const uint32_t one = 1;
  unsigned char first = 0;
  std::memcpy(&first, &one, 1);
  return first == 1;
}

bool IsRle(const ImageRec *image) { return (image->type & 0xFF00) == 0x0100; }

long FileSizeOf(FILE *file) {
  if (std::fseek(file, 0, SEEK_END) != 0) return -1;
  return std::ftell(file);
}

SgiStatus ReadHeader(ImageRec *image) {
  image->fileSize = FileSizeOf(image->file);
  uint16_t header[6];
  if (image->fileSize < 0 || std::fseek(image->file, 0, SEEK_SET) != 0 ||
      std::fread(header, sizeof header, 1, image->file) != 1)
    return kSgiTruncated;
  if (IsLittleEndianHost()) ConvertShort(header, 6);
  image->imagic = header[0];
  image->type = header[1];
  image->dim = header[2];
  image->xsize = header[3];
  image->ysize = header[4];
  image->zsize = header[5];
  if (image->xsize == 0 || image->ysize == 0) return kSgiEmpty;
  if (long(image->xsize) * image->ysize > kSgiMaxPixels) return kSgiTooLarge;
  return kSgiOk;
}

// Verbatim files hold every channel row; the file must be that long.
SgiStatus CheckVerbatimData(const ImageRec *image) {
  const long channels = std::max<long>(image->zsize, 1);
  const long need = kHeaderSize + long(image->xsize) * image->ysize * channels;
  return image->fileSize < need ? kSgiTruncated : kSgiOk;
}

SgiStatus ReadRowTables(ImageRec *image) {
  const long entries = long(image->ysize) * image->zsize;
  const long tableBytes = entries * 4;
  if (image->fileSize < kHeaderSize + 2 * tableBytes) return kSgiTruncated;
  image->rleEnd = uint32_t(kHeaderSize + 2 * tableBytes);
  image->tmp = static_cast<unsigned char *>(std::malloc(size_t(kRowBufferFactor) * image->xsize));
  // One spare entry keeps calloc away from a zero-sized request.
  image->rowStart = static_cast<uint32_t *>(std::calloc(size_t(entries) + 1, 4));
  image->rowSize = static_cast<int32_t *>(std::calloc(size_t(entries) + 1, 4));
  if (!image->tmp || !image->rowStart || !image->rowSize) return kSgiNoMemory;
  if (std::fseek(image->file, kHeaderSize, SEEK_SET) != 0 ||
      std::fread(image->rowStart, 4, size_t(entries), image->file) != size_t(entries) ||
      std::fread(image->rowSize, 4, size_t(entries), image->file) != size_t(entries))
    return kSgiTruncated;
  if (IsLittleEndianHost()) {
    ConvertLong(image->rowStart, entries);
    ConvertLong(reinterpret_cast<uint32_t *>(image->rowSize), entries);
  }
  return kSgiOk;
}

// Decodes packets from in[0..inLength) into out[0..outLength). A count of 0
// or the end of the input ends the row; output past outLength is dropped.
void DecodeRleRow(const unsigned char *in, size_t inLength, unsigned char *out, size_t outLength) {
  size_t i = 0, o = 0;
  while (i < inLength && o < outLength) {
    const unsigned char control = in[i++];
    const size_t count = control & 0x7F;
    if (count == 0) break;
    if (control & 0x80) {
      const size_t n = std::min({count, inLength - i, outLength - o});
      std::memcpy(out + o, in + i, n);
      i += std::min(count, inLength - i);
      o += n;
    } else {
      if (i >= inLength) break;
      const unsigned char value = in[i++];
      const size_t n = std::min(count, outLength - o);
      std::memset(out + o, value, n);
      o += n;
    }
  }
}

void GetRleRow(ImageRec *image, unsigned char *buf, int y, int z) {
  if (z >= image->zsize) return;  // the tables hold no such row
  const long k = y + long(z) * image->ysize;
  const long capacity = long(kRowBufferFactor) * image->xsize;
  const long length = std::clamp<long>(image->rowSize[k], 0, capacity);
  if (length == 0 || std::fseek(image->file, long(image->rowStart[k]), SEEK_SET) != 0) return;
  const size_t got = std::fread(image->tmp, 1, size_t(length), image->file);
  DecodeRleRow(image->tmp, got, buf, image->xsize);
}

void GetVerbatimRow(ImageRec *image, unsigned char *buf, int y, int z) {
  const long offset = kHeaderSize + long(y) * image->xsize + long(z) * image->xsize * image->ysize;
  if (std::fseek(image->file, offset, SEEK_SET) != 0) return;
  // A short read (a channel the header does not claim) leaves zeros.
  (void)std::fread(buf, 1, image->xsize, image->file);
}

}  // namespace

void ConvertShort(uint16_t *array, long length) {
  for (long i = 0; i < length; i++) array[i] = uint16_t((array[i] >> 8) | (array[i] << 8));
}

void ConvertLong(uint32_t *array, long length) {
  for (long i = 0; i < length; i++) {
    const uint32_t v = array[i];
    array[i] = (v >> 24) | ((v >> 8) & 0xFF00u) | ((v << 8) & 0xFF0000u) | (v << 24);
  }
}

ImageRec *ImageOpenChecked(const char *fileName, SgiStatus *status) {
  ImageRec *image = static_cast<ImageRec *>(std::calloc(1, sizeof(ImageRec)));
  if (!image) {
    *status = kSgiNoMemory;
    return nullptr;
  }
  image->file = std::fopen(fileName, "rbe");  // close-on-exec
  if (!image->file) {
    const int savedErrno = errno;
    std::free(image);
    errno = savedErrno;  // the caller reports it with perror
    *status = kSgiCannotOpen;
    return nullptr;
  }
  *status = ReadHeader(image);
  if (*status == kSgiOk) *status = IsRle(image) ? ReadRowTables(image) : CheckVerbatimData(image);
  if (*status != kSgiOk) {
    ImageClose(image);
    return nullptr;
  }
  return image;
}

void ImageGetRow(ImageRec *image, unsigned char *buf, int y, int z) {
  std::memset(buf, 0, image->xsize);
  if (y < 0 || y >= image->ysize || z < 0) return;
  if (IsRle(image))
    GetRleRow(image, buf, y, z);
  else
    GetVerbatimRow(image, buf, y, z);
}

void ImageClose(ImageRec *image) {
  if (!image) return;
  if (image->file) std::fclose(image->file);
  std::free(image->tmp);
  std::free(image->rowStart);
  std::free(image->rowSize);
  std::free(image);
}
