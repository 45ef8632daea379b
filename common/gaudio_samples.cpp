// The mixer's sample table and voices: loading raw sample files and copying
// sample data into padded storage, starting voices, changing their volume
// and pan, and stopping them.
#include "common/gaudio.h"

#include "common/assetpath.h"
#include "common/safefile.h"

#include <sys/stat.h>

#include <climits>
#include <cstdlib>
#include <cstring>

namespace {

// Storage is whole blocks and strictly longer than the data, so every
// sample ends in at least one frame of silence; the largest size whose
// byte count still prints as an int is the limit.
constexpr long kMaxSampleBytes = INT_MAX - GA_BLOCK_BYTES;

int FramesFor(long bytelen) {
  return static_cast<int>((bytelen / GA_BLOCK_BYTES + 1) * GA_BLOCK_FRAMES);
}

// Cleared room for bytelen bytes, or null (with the message) when it cannot
// be had.
int16_t *AllocateRoom(long bytelen, int *numsamples) {
  int16_t *room = nullptr;
  if (bytelen <= kMaxSampleBytes) {
    *numsamples = FramesFor(bytelen);
    room = static_cast<int16_t *>(calloc(static_cast<size_t>(*numsamples) * 2, sizeof(int16_t)));
  }
  if (room == nullptr) fprintf(stderr, "gaudio: error allocating sample memory\n");
  return room;
}

// Mode 1 clears slot 0, mode 2 slot 1; any other mode keeps both.
void ApplyMode(int16_t *data, int numsamples, int mode) {
  if (mode != 1 && mode != 2) return;
  int slot = mode == 1 ? 0 : 1;
  for (int f = 0; f < numsamples; f++) data[2 * f + slot] = 0;
}

void FillSample(ga_sample *s, int16_t *room, int numsamples) {
  s->data = room;
  s->numsamples = numsamples;
  s->dataendmarker = room + 2 * numsamples;
}

// Reads the whole file into new room; null (with its message) on failure.
int16_t *ReadSampleFile(FILE *file, long size, int *numsamples) {
  int16_t *room = AllocateRoom(size, numsamples);
  if (room == nullptr) return nullptr;
  size_t got = fread(room, 1, static_cast<size_t>(size), file);
  if (got != static_cast<size_t>(size)) {
    free(room);
    fprintf(stderr, "gaudio: error reading, got only %i of %i bytes\n", static_cast<int>(got),
            static_cast<int>(size));
    return nullptr;
  }
  return room;
}

// Installs prepared room as the next sample; its id.
int AddSample(gameaudio *ga, int16_t *room, int numsamples, int mode) {
  ApplyMode(room, numsamples, mode);
  lockUnlessPaused(ga);
  int id = ga->num_samples;
  FillSample(&ga->samples[id], room, numsamples);
  ga->num_samples++;
  unlockUnlessPaused(ga);
  return id;
}

bool SampleListFull(const gameaudio *ga) {
  if (ga->num_samples < GA_MAX_SAMPLES) return false;
  fprintf(stderr, "gaudio: sample list is full\n");
  return true;
}

// A non-negative id must name a loaded sample; a negative one is a playing id.
bool IdUsable(const gameaudio *ga, int sample_id) {
  return sample_id < 0 || sample_id < ga->num_samples;
}

bool VoiceMatches(const ga_playing *p, int sample_id) {
  return sample_id < 0 ? p->playing_id == sample_id : p->sample_id == sample_id;
}

// Playing ids run -1, -2, ... and start again at -1 rather than pass the
// most negative int; 0 never names a voice.
int NextPlayingIdLocked(gameaudio *ga) {
  ga->playing_count = ga->playing_count == INT_MIN ? -1 : ga->playing_count - 1;
  return ga->playing_count;
}

int Clamp256(int v) { return v < 0 ? 0 : (v > 256 ? 256 : v); }

}  // namespace

// The file is read before the lock is taken: the mixing thread never waits
// for the disk. Only a regular file is read (a FIFO would hang the caller).
int loadSampleStereo(gameaudio *ga, const char *filename, int mode) {
  if (ga->audio_fd < 0) return -1;
  if (SampleListFull(ga)) return -1;
  const std::string path = FindAsset(filename);
  FILE *file = OpenRegularFile(path.c_str());
  struct stat status;
  if (file != nullptr && fstat(fileno(file), &status) != 0) {
    fclose(file);
    file = nullptr;
  }
  if (file == nullptr) {
    fprintf(stderr, "gaudio: error opening sample %s\n", filename);
    return -1;
  }
  int numsamples = 0;
  int16_t *room = ReadSampleFile(file, static_cast<long>(status.st_size), &numsamples);
  fclose(file);
  return room != nullptr ? AddSample(ga, room, numsamples, mode) : -1;
}

int loadSample(gameaudio *ga, const char *filename) { return loadSampleStereo(ga, filename, 0); }
int loadSampleLeft(gameaudio *ga, const char *filename) {
  return loadSampleStereo(ga, filename, 1);
}
int loadSampleRight(gameaudio *ga, const char *filename) {
  return loadSampleStereo(ga, filename, 2);
}

int copySampleStereo(gameaudio *ga, const int16_t *data, int bytelen, int mode) {
  if (ga->audio_fd < 0) return -1;
  if (SampleListFull(ga)) return -1;
  if (bytelen < 0 || (data == nullptr && bytelen > 0)) {
    fprintf(stderr, "gaudio: bad sample data (%i bytes)\n", bytelen);
    return -1;
  }
  int numsamples = 0;
  int16_t *room = AllocateRoom(bytelen, &numsamples);
  if (room == nullptr) return -1;
  if (bytelen > 0) memcpy(room, data, static_cast<size_t>(bytelen));
  return AddSample(ga, room, numsamples, mode);
}

int copySample(gameaudio *ga, const int16_t *data, int bytelen) {
  return copySampleStereo(ga, data, bytelen, 0);
}
int copySampleLeft(gameaudio *ga, const int16_t *data, int bytelen) {
  return copySampleStereo(ga, data, bytelen, 1);
}
int copySampleRight(gameaudio *ga, const int16_t *data, int bytelen) {
  return copySampleStereo(ga, data, bytelen, 2);
}

int playSample(gameaudio *ga, int sample_id, int repeat_count) {
  if (ga->paused) return 0;
  if (sample_id < 0 || sample_id >= ga->num_samples) return 0;
  int result = 0;
  lockUnlessPaused(ga);
  if (ga->num_playing < GA_MAX_PLAYING) {
    const ga_sample &s = ga->samples[sample_id];
    ga_playing &p = ga->playing[ga->num_playing];
    result = NextPlayingIdLocked(ga);
    p = ga_playing{sample_id, result, s.data, s.data, s.dataendmarker, 0, 256, repeat_count};
    ga->num_playing++;
  }
  unlockUnlessPaused(ga);
  return result;
}

void ctrlSample(gameaudio *ga, int sample_id, int volume, int pan) {
  if (!IdUsable(ga, sample_id)) return;
  volume = Clamp256(volume);
  pan = Clamp256(pan);
  int a = (256 - pan) * volume / 256;
  int b = volume * pan / 256;
  lockUnlessPaused(ga);
  for (int i = 0; i < ga->num_playing; i++) {
    if (!VoiceMatches(&ga->playing[i], sample_id)) continue;
    ga->playing[i].a = a;
    ga->playing[i].b = b;
  }
  unlockUnlessPaused(ga);
}

void stopSample(gameaudio *ga, int sample_id) {
  if (!IdUsable(ga, sample_id)) return;
  lockUnlessPaused(ga);
  int i = 0;
  while (i < ga->num_playing) {
    if (!VoiceMatches(&ga->playing[i], sample_id)) {
      i++;
      continue;
    }
    // The last voice moves in and is examined next.
    ga->num_playing--;
    ga->playing[i] = ga->playing[ga->num_playing];
  }
  unlockUnlessPaused(ga);
}

void stopAllSamples(gameaudio *ga) {
  lockUnlessPaused(ga);
  ga->num_playing = 0;
  unlockUnlessPaused(ga);
}
