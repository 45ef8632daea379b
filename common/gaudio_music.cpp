// The mixer's background music: an mpg123 process started through the
// shell, whose raw 44100 Hz stereo output the mixing thread reads block by
// block; a closed stream means no music plays.
#include "common/gaudio.h"

#include "common/assetpath.h"

#include <cstring>

namespace {

// Writes "/usr/bin/mpg123 ... 'filename'" into command, the name quoted so
// that the shell takes it as one word whatever it holds (a quote inside
// becomes '\''). False when it does not fit.
bool BuildDecoderCommand(const char *filename, char *command, size_t size) {
  int n = snprintf(command, size, "/usr/bin/mpg123 -s -q -r %d --stereo '", GA_RATE);
  size_t used = static_cast<size_t>(n);
  for (const char *c = filename; *c != '\0'; c++) {
    const char *piece = *c == '\'' ? "'\\''" : nullptr;
    size_t len = piece ? strlen(piece) : 1;
    if (used + len + 2 > size) return false;  // room for the closing quote and NUL
    if (piece) {
      memcpy(command + used, piece, len);
    } else {
      command[used] = *c;
    }
    used += len;
  }
  command[used++] = '\'';
  command[used] = '\0';
  return true;
}

void CloseStreamLocked(gameaudio *ga) {
  if (ga->background_stream == nullptr) return;
  pclose(ga->background_stream);  // waits for the decoder to end
  ga->background_stream = nullptr;
}

}  // namespace

void playBackground(gameaudio *ga, const char *filename) {
  if (ga->audio_fd < 0 || ga->paused) return;
  char command[GA_COMMAND_SIZE];
  bool fits = BuildDecoderCommand(FindAsset(filename).c_str(), command, sizeof command);
  lockUnlessPaused(ga);
  {
    // The old track ends in every case, so a refused name leaves no music,
    // as a track that cannot be decoded does.
    CloseStreamLocked(ga);
    if (!fits) {
      fprintf(stderr, "gaudio: music file name too long (%zu characters)\n", strlen(filename));
    } else {
      ga->background_stream = popen(command, "r");
      if (ga->background_stream == nullptr) fprintf(stderr, "gaudio: popen() error\n");
    }
  }
  unlockUnlessPaused(ga);
}

void stopBackground(gameaudio *ga) {
  if (ga->audio_fd < 0) return;
  lockUnlessPaused(ga);
  CloseStreamLocked(ga);
  unlockUnlessPaused(ga);
}

int checkBackground(gameaudio *ga) {
  if (ga->audio_fd < 0) return 0;
  lockUnlessPaused(ga);
  int playing = ga->background_stream != nullptr ? 1 : 0;
  unlockUnlessPaused(ga);
  return playing;
}
