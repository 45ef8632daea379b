// The mixer's device and thread: opening and configuring the OSS device (or
// the ALSA output where there is no device), pausing and stopping, and the
// mixing thread that builds one 4096-byte block at a time (music or silence
// plus every voice) and writes it out.
#include "common/gaudio.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/soundcard.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int kFragmentRequest = 0x0004000C;  // 4 fragments of 2^12 bytes
constexpr int kMixMin = -0x800000;            // -32768 * 256
constexpr int kMixMax = 0x7FFF00;             //  32767 * 256

struct DeviceSetting {
  unsigned long request;
  int argument;
  const char *name;
};

// The driver's written-back values are not consulted; the device is assumed
// to do what was asked.
constexpr DeviceSetting kDeviceSettings[] = {
    {SNDCTL_DSP_SETFRAGMENT, kFragmentRequest, "SNDCTL_DSP_SETFRAGMENT"},
    {SNDCTL_DSP_SETFMT, AFMT_S16_LE, "SNDCTL_DSP_SETFMT"},
    {SNDCTL_DSP_STEREO, 1, "SNDCTL_DSP_STEREO"},
    {SNDCTL_DSP_SPEED, GA_RATE, "SNDCTL_DSP_SPEED"},
};

// Starts the thread once an output is open; the name of the failing call,
// or null.
const char *StartThread(gameaudio *ga) {
  if (pthread_mutex_init(&ga->buffer_mutex, nullptr) != 0) return "pthread_mutex_init()";
  if (pthread_create(&ga->audio_thread, nullptr, theAudioThread, ga) != 0)
    return "pthread_create()";
  pthread_setname_np(ga->audio_thread, "gaudio");  // for top and the load figures
  return nullptr;
}

// Runs the set-up steps after the open; the name of the failing step, or
// null when all succeeded.
const char *ConfigureAndStart(gameaudio *ga) {
  for (const DeviceSetting &s : kDeviceSettings) {
    int arg = s.argument;
    if (ioctl(ga->audio_fd, s.request, &arg) == -1) return s.name;
  }
  return StartThread(ga);
}

int Clamp(int v, int lo, int hi) { return v < lo ? lo : (v > hi ? hi : v); }

void AddSaturating(int16_t *slot, int v) {
  *slot = static_cast<int16_t>(Clamp(*slot + v, -32768, 32767));
}

// Adds one frame of voice p into out[0], out[1] and advances it.
void MixFrame(ga_playing *p, int16_t *out) {
  int s0 = p->curpos[0];
  int s1 = p->curpos[1];
  p->curpos += 2;
  int left = Clamp(s0 * p->a + s1 * p->b, kMixMin, kMixMax) / 256;
  int right = Clamp(s0 * p->b + s1 * p->a, kMixMin, kMixMax) / 256;
  AddSaturating(&out[0], left);
  AddSaturating(&out[1], right);
}

// After a frame: true when voice p has played its last repeat.
bool VoiceFinished(ga_playing *p) {
  if (p->curpos != p->endpos) return false;
  p->repeat_count--;
  if (p->repeat_count == 0) return true;
  if (p->repeat_count < 0) p->repeat_count = 0;  // 0 or less: loop until stopped
  p->curpos = p->rootpos;
  return false;
}

// Without the OSS device: the same mixer on ALSA's default output.
int StartAlsa(gameaudio *ga) {
  if (openAlsaOutput(ga) != 0) return -1;
  ga->audio_fd = GA_ALSA_FD;
  const char *failed = StartThread(ga);
  if (failed == nullptr) return 0;
  perror(failed);
  closeAlsaOutput(ga);
  ga->audio_fd = -1;
  return -1;
}

// Sleeps until the next block is due, for a thread whose output is lost:
// voices and music go on at their pace and nothing spins.
void PaceWithoutOutput(timespec *due) {
  timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  if (due->tv_sec == 0 || now.tv_sec > due->tv_sec + 1) *due = now;
  due->tv_nsec += 1000000000L / GA_RATE * GA_BLOCK_FRAMES;  // about 23.2 ms
  if (due->tv_nsec >= 1000000000L) {
    due->tv_sec++;
    due->tv_nsec -= 1000000000L;
  }
  while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, due, nullptr) == EINTR) {
  }
}

// Writes one block to the device, the rest after a short write; false (with
// the message) when the device refuses it, which ends its output for good.
bool WriteDeviceBlock(int fd, const int16_t *block) {
  const char *bytes = reinterpret_cast<const char *>(block);
  size_t left = GA_BLOCK_BYTES;
  while (left > 0) {
    ssize_t n = write(fd, bytes, left);
    if (n > 0) {
      bytes += n;
      left -= static_cast<size_t>(n);
    } else if (n < 0 && errno == EINTR) {
      continue;
    } else {
      fprintf(stderr, "gaudio: sound device lost: %s\n",
              n < 0 ? strerror(errno) : "it takes no more sound");
      return false;
    }
  }
  return true;
}

}  // namespace

int startAudio(gameaudio *ga, const char *device_name) {
  ga->paused = 0;
  ga->num_samples = 0;
  ga->num_playing = 0;
  ga->playing_count = 0;
  ga->music_pid = 0;
  ga->music_fd = -1;
  ga->music_on = 0;
  ga->music_have = 0;
  ga->num_retired = 0;
  ga->alsa_pcm = nullptr;
  ga->stopping = 0;
  ga->output_lost = 0;
  // Close-on-exec keeps the music decoder from inheriting the device.
  ga->audio_fd = open(device_name, O_WRONLY | O_CLOEXEC);
  if (ga->audio_fd == -1) {
    perror(device_name);
    return StartAlsa(ga);
  }
  const char *failed = ConfigureAndStart(ga);
  if (failed == nullptr) return 0;
  perror(failed);
  close(ga->audio_fd);
  ga->audio_fd = -1;
  return -1;
}

void pauseAudio(gameaudio *ga) {
  if (ga->audio_fd < 0 || ga->paused) return;
  pthread_mutex_lock(&ga->buffer_mutex);  // held until unpauseAudio
  ga->paused = 1;
}

void unpauseAudio(gameaudio *ga) {
  if (ga->audio_fd < 0 || !ga->paused) return;
  ga->paused = 0;
  pthread_mutex_unlock(&ga->buffer_mutex);
}

int stopAudio(gameaudio *ga) {
  if (ga->audio_fd == -1) return -1;
  // A paused caller holds the lock the thread waits for; the thread could
  // never reach its write, where it is cancelled, and the join would hang.
  unpauseAudio(ga);
  int result = 0;
  if (ga->alsa_pcm != nullptr) {
    // The ALSA thread is never cancelled (the library may hold its own locks
    // inside a write); it ends at its next block.
    pthread_mutex_lock(&ga->buffer_mutex);
    ga->stopping = 1;
    pthread_mutex_unlock(&ga->buffer_mutex);
    pthread_join(ga->audio_thread, nullptr);
  } else if (pthread_cancel(ga->audio_thread) != 0) {
    perror("pthread_cancel()");
    result = -1;
  } else {
    pthread_join(ga->audio_thread, nullptr);
  }
  for (int i = 0; i < ga->num_samples; i++) {
    free(ga->samples[i].data);
    ga->samples[i] = ga_sample{};
  }
  ga->num_samples = 0;
  endMusicLocked(ga);  // the thread is gone: no lock to take
  if (ga->alsa_pcm != nullptr) {
    closeAlsaOutput(ga);
  } else {
    close(ga->audio_fd);
  }
  ga->audio_fd = -1;
  return result;
}

void mixVoicesLocked(gameaudio *ga, int16_t *playbuffer) {
  if (ga->num_playing <= 0) return;
  for (int f = 0; f < GA_BLOCK_FRAMES; f++) {
    int16_t *out = playbuffer + 2 * f;
    int i = 0;
    while (i < ga->num_playing) {
      ga_playing *p = &ga->playing[i];
      MixFrame(p, out);
      if (!VoiceFinished(p)) {
        i++;
        continue;
      }
      // The last voice moves into this slot and, not yet heard in frame f,
      // is mixed next without advancing i.
      ga->num_playing--;
      if (i < ga->num_playing) ga->playing[i] = ga->playing[ga->num_playing];
    }
  }
}

void *theAudioThread(void *arg) {
  gameaudio *ga = static_cast<gameaudio *>(arg);
  int16_t zerobuffer[GA_BLOCK_VALUES];
  int16_t playbuffer[GA_BLOCK_VALUES];
  memset(zerobuffer, 0, sizeof zerobuffer);
  const bool alsa = ga->alsa_pcm != nullptr;
  timespec due{};
  for (;;) {
    // Cancellation (of the device's thread) acts only in the write or the
    // pacing sleep, where no lock is held and no read is under way.
    pthread_setcancelstate(PTHREAD_CANCEL_DISABLE, nullptr);
    fetchMusicBlock(ga);
    pthread_mutex_lock(&ga->buffer_mutex);
    if (ga->stopping) {
      pthread_mutex_unlock(&ga->buffer_mutex);
      break;
    }
    {
      startBlockLocked(ga, playbuffer, zerobuffer);
      mixVoicesLocked(ga, playbuffer);
    }
    const bool lost = ga->output_lost;
    pthread_mutex_unlock(&ga->buffer_mutex);
    if (!alsa) pthread_setcancelstate(PTHREAD_CANCEL_ENABLE, nullptr);
    if (lost) {
      PaceWithoutOutput(&due);
      continue;
    }
    // Both writes block while the output's queue is full: this paces the loop.
    if (alsa ? writeAlsaBlock(ga, playbuffer) : WriteDeviceBlock(ga->audio_fd, playbuffer))
      continue;
    pthread_setcancelstate(PTHREAD_CANCEL_DISABLE, nullptr);
    pthread_mutex_lock(&ga->buffer_mutex);
    ga->output_lost = 1;
    pthread_mutex_unlock(&ga->buffer_mutex);
  }
  return nullptr;
}
