// libFuzzer target for the SGI reader: arbitrary bytes as an image file,
// through the non-exiting cores of read_texture and read_sgi.
#include "common/texture.h"

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// Headers may ask for up to 64 Mi pixels, which the reader accepts; skipping
// such inputs keeps each run fast without hiding any decoding path.
constexpr long kFuzzMaxPixels = 1L << 16;

bool SmallEnough(const uint8_t *data, size_t size) {
  if (size < 12) return true;
  const long x = (data[6] << 8) | data[7];
  const long y = (data[8] << 8) | data[9];
  const long z = (data[10] << 8) | data[11];
  return x * y <= kFuzzMaxPixels && x * y * (z > 4 ? z : 4) <= 4 * kFuzzMaxPixels;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  if (!SmallEnough(data, size)) return 0;
  static const std::string path = "/tmp/sgi_fuzz_" + std::to_string(getpid()) + ".rgb";
  FILE *file = std::fopen(path.c_str(), "wb");
  if (!file) return 0;
  std::fwrite(data, 1, size, file);
  std::fclose(file);

  int width = 0, height = 0, components = 0;
  SgiStatus status = kSgiOk;
  std::free(ReadTextureChecked(path.c_str(), &width, &height, &components, &status));
  std::free(ReadSgiChecked(path.c_str(), &width, &height, &components, &status));
  std::remove(path.c_str());  // else every run leaves its last input behind
  return 0;
}
