// SGI image reader: verbatim and run-length encoded .rgb files into memory
// buffers for OpenGL. Shared by the game and the editor; makes no GL call.
//
// Failure policy: the public entry points end the program (message on
// standard error, exit status 1) on a file they cannot open or use, and
// return null only when the pixel result itself cannot be allocated. The
// *Checked variants do the same work but report every failure as an
// SgiStatus instead of exiting, so tests and fuzzers can drive them.
#pragma once
#include <cstdint>
#include <cstdio>

// The open-image record. The first six fields mirror the first 12 header
// bytes in host order; min..colorMap mirror the rest of the header and are
// never filled. tmpR/tmpG/tmpB belong to the record's layout but this reader
// never uses them, so they stay null.
struct ImageRec {
  uint16_t imagic, type, dim, xsize, ysize, zsize;
  uint32_t min, max, wasteBytes;
  char name[80];
  uint32_t colorMap;
  FILE *file;
  unsigned char *tmp;  // one compressed row, 256 * xsize bytes (RLE only)
  unsigned char *tmpR, *tmpG, *tmpB;
  uint32_t rleEnd;     // end of the two RLE tables
  uint32_t *rowStart;  // RLE row offsets, host order, ysize * zsize entries
  int32_t *rowSize;    // RLE row lengths, host order, same count
  long fileSize;       // bytes in the file, for bounds checks
};

// Why a checked call failed. kSgiOk means success.
enum SgiStatus {
  kSgiOk = 0,
  kSgiNoMemory,    // record, row buffer or RLE table allocation failed
  kSgiCannotOpen,  // fopen failed; errno is left as fopen set it
  kSgiTruncated,   // header, RLE tables or verbatim pixel data end early
  kSgiEmpty,       // xsize or ysize is 0
  kSgiTooLarge,    // more than kSgiMaxPixels pixels
  kSgiNoChannels,  // zsize is 0 where packed channels are asked for (read_sgi)
  kSgiNoResult,    // the pixel result or a channel row could not be allocated
};

// Largest image accepted, in pixels (a 256 MiB RGBA result). Headers can
// claim up to 65535 x 65535, far beyond any image the programs use.
constexpr long kSgiMaxPixels = 1L << 26;

// Reads the whole image as RGBA: xsize * ysize 32-bit words whose bytes in
// memory are R, G, B, A, bottom row first. Grey images get R = G = B,
// images without alpha get A = 255. The out-parameters receive xsize, ysize
// and zsize. Returns null (sizes still set) if the result cannot be
// allocated; the caller frees the buffer with free().
unsigned *read_texture(const char *name, int *width, int *height, int *components);

// Reads the image packed with its own channel count: xsize * ysize * zsize
// bytes, pixel-interleaved, bottom row first. For 5+ channels only the first
// four of each pixel are filled; the rest of each row is zero. Ends the
// program on a zsize of 0. Caller frees with free().
unsigned char *read_sgi(const char *name, int *width, int *height, int *components);

// Non-exiting cores of the two readers. On failure they return null and set
// *status; *width, *height and *components are set once the header is read.
unsigned *ReadTextureChecked(const char *name, int *width, int *height, int *components,
                             SgiStatus *status);
unsigned char *ReadSgiChecked(const char *name, int *width, int *height, int *components,
                              SgiStatus *status);

// The text printed for a failed checked call ("" for kSgiOk, kSgiCannotOpen
// and kSgiNoResult, whose reports are perror's text or nothing).
const char *SgiStatusMessage(SgiStatus status);

// Opens an image: header, row buffer and, for RLE files, both row tables.
// Never returns failure: prints the reason and exits with status 1.
ImageRec *ImageOpen(const char *fileName);
// The same, returning null and setting *status instead of exiting.
ImageRec *ImageOpenChecked(const char *fileName, SgiStatus *status);
// Decodes row y of channel z into buf (xsize bytes). Always fills all xsize
// bytes: rows beyond the file, short reads and short RLE rows leave zeros,
// and RLE runs past xsize are clipped.
void ImageGetRow(ImageRec *image, unsigned char *buf, int y, int z);
// Closes the file and frees the record with everything ImageOpen allocated.
void ImageClose(ImageRec *image);

// Big-endian 16/32-bit values to host order, in place. Only called on a
// little-endian host.
void ConvertShort(uint16_t *array, long length);
void ConvertLong(uint32_t *array, long length);

// Row converters: single-channel input rows of n bytes into interleaved
// output at l.
void bwtorgba(const unsigned char *b, unsigned char *l, int n);
void latorgba(const unsigned char *b, const unsigned char *a, unsigned char *l, int n);
void rgbtorgba(const unsigned char *r, const unsigned char *g, const unsigned char *b,
               unsigned char *l, int n);
void rgbatorgba(const unsigned char *r, const unsigned char *g, const unsigned char *b,
                const unsigned char *a, unsigned char *l, int n);
void bwtobw(const unsigned char *b, unsigned char *l, int n);
void latola(const unsigned char *b, const unsigned char *a, unsigned char *l, int n);
void rgbtorgb(const unsigned char *r, const unsigned char *g, const unsigned char *b,
              unsigned char *l, int n);
