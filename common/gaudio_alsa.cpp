// The mixer's ALSA output, used when the OSS device cannot be opened: ALSA's
// "default" PCM, which on a desktop reaches the PulseAudio or PipeWire server
// through their ALSA plugin and elsewhere the sound card. Same format as the
// device (signed 16-bit little-endian stereo at 44100 Hz, interleaved) and
// blocking writes, so the mixing thread sleeps in the write as it does on
// the device.
#include <alsa/asoundlib.h>

#include "common/gaudio.h"

namespace {

constexpr char kPcmName[] = "default";
// As close as the device allows to the OSS set-up: periods of one block
// (1024 frames) and a queue of four (about 93 ms).
constexpr snd_pcm_uframes_t kPeriodFrames = GA_BLOCK_FRAMES;
constexpr snd_pcm_uframes_t kBufferFrames = 4 * GA_BLOCK_FRAMES;

// The hardware and software set-up; the name of the failing step and the
// error, or 0 with *step untouched.
int Configure(snd_pcm_t *pcm, const char **step) {
  snd_pcm_hw_params_t *hw;
  snd_pcm_hw_params_alloca(&hw);
  unsigned rate = GA_RATE;
  snd_pcm_uframes_t period = kPeriodFrames, buffer = kBufferFrames;
  int err;
  if ((err = snd_pcm_hw_params_any(pcm, hw)) < 0) return *step = "hw_params_any", err;
  if ((err = snd_pcm_hw_params_set_access(pcm, hw, SND_PCM_ACCESS_RW_INTERLEAVED)) < 0)
    return *step = "set_access", err;
  if ((err = snd_pcm_hw_params_set_format(pcm, hw, SND_PCM_FORMAT_S16_LE)) < 0)
    return *step = "set_format", err;
  if ((err = snd_pcm_hw_params_set_channels(pcm, hw, 2)) < 0) return *step = "set_channels", err;
  if ((err = snd_pcm_hw_params_set_rate_resample(pcm, hw, 1)) < 0)
    return *step = "set_rate_resample", err;
  if ((err = snd_pcm_hw_params_set_rate(pcm, hw, rate, 0)) < 0) return *step = "set_rate", err;
  // A device that wants other sizes gets the nearest it accepts: the thread
  // writes whole blocks whatever the period, and a blocking write waits
  // until a block fits.
  if ((err = snd_pcm_hw_params_set_period_size_near(pcm, hw, &period, nullptr)) < 0)
    return *step = "set_period_size_near", err;
  if ((err = snd_pcm_hw_params_set_buffer_size_near(pcm, hw, &buffer)) < 0)
    return *step = "set_buffer_size_near", err;
  if ((err = snd_pcm_hw_params(pcm, hw)) < 0) return *step = "hw_params", err;
  snd_pcm_hw_params_get_period_size(hw, &period, nullptr);
  snd_pcm_hw_params_get_buffer_size(hw, &buffer);

  // Playback starts once the queue holds all the whole periods it can, so
  // the first blocks do not underrun.
  snd_pcm_sw_params_t *sw;
  snd_pcm_sw_params_alloca(&sw);
  if ((err = snd_pcm_sw_params_current(pcm, sw)) < 0) return *step = "sw_params_current", err;
  snd_pcm_uframes_t start = period > 0 && buffer >= period ? buffer / period * period : buffer;
  if ((err = snd_pcm_sw_params_set_start_threshold(pcm, sw, start)) < 0)
    return *step = "set_start_threshold", err;
  if ((err = snd_pcm_sw_params_set_avail_min(pcm, sw, period)) < 0)
    return *step = "set_avail_min", err;
  if ((err = snd_pcm_sw_params(pcm, sw)) < 0) return *step = "sw_params", err;
  return 0;
}

// libasound's own error lines would repeat what the messages below say.
void Quiet(const char *, int, const char *, int, const char *, ...) {}

}  // namespace

int openAlsaOutput(gameaudio *ga) {
  snd_lib_error_set_handler(Quiet);
  snd_pcm_t *pcm = nullptr;
  int err = snd_pcm_open(&pcm, kPcmName, SND_PCM_STREAM_PLAYBACK, 0);
  if (err < 0) {
    fprintf(stderr, "gaudio: cannot open ALSA output \"%s\": %s\n", kPcmName, snd_strerror(err));
    return -1;
  }
  const char *step = "";
  err = Configure(pcm, &step);
  if (err < 0) {
    fprintf(stderr, "gaudio: ALSA output \"%s\" refuses %s: %s\n", kPcmName, step,
            snd_strerror(err));
    snd_pcm_close(pcm);
    return -1;
  }
  ga->alsa_pcm = pcm;
  return 0;
}

bool writeAlsaBlock(gameaudio *ga, const int16_t *block) {
  snd_pcm_uframes_t left = GA_BLOCK_FRAMES;
  while (left > 0) {
    snd_pcm_sframes_t n = snd_pcm_writei(ga->alsa_pcm, block, left);
    if (n >= 0) {
      block += 2 * n;
      left -= n;
      continue;
    }
    // An underrun (the thread was late), a suspend or an interrupted call:
    // restart the stream and write the rest. Anything else (the server went
    // away, the card was unplugged) ends this output for good.
    int err = snd_pcm_recover(ga->alsa_pcm, static_cast<int>(n), 1);
    if (err < 0) {
      fprintf(stderr, "gaudio: ALSA output lost: %s\n", snd_strerror(err));
      return false;
    }
  }
  return true;
}

void closeAlsaOutput(gameaudio *ga) {
  if (ga->alsa_pcm == nullptr) return;
  snd_pcm_drop(ga->alsa_pcm);
  snd_pcm_close(ga->alsa_pcm);
  ga->alsa_pcm = nullptr;
}
