// Fuzzes the mixer's sample storage and block mixing: arbitrary bytes as a
// sample in any mode and length, voices with arbitrary volume, pan and
// repeat counts, stopped by sample or playing id, mixed for a few blocks.
#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "common/gaudio.h"

namespace {

int TakeInt(const uint8_t *&data, size_t &size) {
  int v = 0;
  if (size >= sizeof v) {
    memcpy(&v, data, sizeof v);
    data += sizeof v;
    size -= sizeof v;
  }
  return v;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  static gameaudio ga;
  static bool ready = false;
  if (!ready) {
    pthread_mutex_init(&ga.buffer_mutex, nullptr);
    ready = true;
  }
  ga.audio_fd = 1;  // a started mixer without a thread; nothing is written
  int mode = TakeInt(data, size);
  int repeat = TakeInt(data, size) % 4;
  int volume = TakeInt(data, size);
  int pan = TakeInt(data, size);
  int stopId = TakeInt(data, size);
  int id =
      copySampleStereo(&ga, reinterpret_cast<const int16_t *>(data), static_cast<int>(size), mode);
  int16_t block[GA_BLOCK_VALUES] = {};
  int16_t zero[GA_BLOCK_VALUES] = {};
  for (int v = 0; v < GA_MAX_PLAYING + 1; v++) playSample(&ga, id, repeat);
  ctrlSample(&ga, id, volume, pan);
  ctrlSample(&ga, -1 - (pan & 15), volume ^ 0x5555, pan >> 3);
  stopSample(&ga, stopId % 20);
  for (int b = 0; b < 4; b++) {
    startBlockLocked(&ga, block, zero);
    mixVoicesLocked(&ga, block);
  }
  stopAllSamples(&ga);
  for (int i = 0; i < ga.num_samples; i++) free(ga.samples[i].data);
  ga.num_samples = 0;
  ga.playing_count = 0;
  return 0;
}
