// A preloadable stand-in for the OSS sound device: open("/dev/dsp") opens
// the file named by SQ_DEVDSP_CAPTURE (default /dev/null) instead, the OSS
// requests on it succeed and are logged one per line to SQ_DEVDSP_CAPTURE
// with ".ioctl" appended, and writes go to the file paced like a device
// playing 44100 Hz 16-bit stereo with the fragment queue it was asked for.
// With SQ_DEVDSP_FAIL_AFTER=n the device takes n bytes, then fails every
// write with EIO, as a device unplugged or taken away would.
// Other descriptors and paths pass through untouched. The library takes
// itself out of LD_PRELOAD at load, so preload it on the program itself, not
// on a wrapper such as timeout or env in front of it.
#undef _FORTIFY_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/soundcard.h>
#include <time.h>
#include <unistd.h>

namespace {

constexpr double kBytesPerSecond = 44100.0 * 4;
constexpr char kDevice[] = "/dev/dsp";

char g_capture[4096] = "/dev/null";
int g_fd = -1;               // the open stand-in device
int g_log = -1;              // its request log
double g_capacity = 65536;   // bytes the device queues before writes block
double g_drainedAt = 0;      // time at which the queued bytes will have played
long long g_failAfter = -1;  // bytes taken before writes fail; -1 never
long long g_taken = 0;       // bytes taken so far

template <typename F>
F Real(const char *name) {
  return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

double Now() {
  timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return t.tv_sec + t.tv_nsec * 1e-9;
}

void SleepFor(double seconds) {
  timespec t;
  t.tv_sec = static_cast<time_t>(seconds);
  t.tv_nsec = static_cast<long>((seconds - t.tv_sec) * 1e9);
  while (nanosleep(&t, &t) == -1) {
  }
}

// Blocks, like a device whose queue is full, until n more bytes fit.
void Pace(size_t n) {
  double now = Now();
  if (g_drainedAt < now) g_drainedAt = now;
  g_drainedAt += n / kBytesPerSecond;
  double wait = g_drainedAt - g_capacity / kBytesPerSecond - now;
  if (wait > 0) SleepFor(wait);
}

int OpenDevice(int flags) {
  using OpenFn = int (*)(const char *, int, ...);
  int fd =
      Real<OpenFn>("open")(g_capture, O_WRONLY | O_CREAT | O_TRUNC | (flags & O_CLOEXEC), 0644);
  if (fd < 0) return fd;
  char log[sizeof g_capture + 8];
  snprintf(log, sizeof log, "%s.ioctl", g_capture);
  if (g_log < 0) g_log = Real<OpenFn>("open")(log, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  g_fd = fd;
  g_drainedAt = 0;
  return fd;
}

const char *RequestName(unsigned long request) {
  switch (request) {
    case SNDCTL_DSP_SETFRAGMENT: return "SNDCTL_DSP_SETFRAGMENT";
    case SNDCTL_DSP_SETFMT: return "SNDCTL_DSP_SETFMT";
    case SNDCTL_DSP_STEREO: return "SNDCTL_DSP_STEREO";
    case SNDCTL_DSP_SPEED: return "SNDCTL_DSP_SPEED";
    default: return "other";
  }
}

// Fragment requests are 0xMMMMSSSS: at most M fragments of 2^S bytes.
void SetFragments(int request) {
  int size = request & 0xFFFF;
  int count = (request >> 16) & 0xFFFF;
  if (size >= 4 && size < 24 && count > 0) g_capacity = static_cast<double>(count) * (1 << size);
}

__attribute__((constructor)) void Setup() {
  const char *capture = getenv("SQ_DEVDSP_CAPTURE");
  if (capture != nullptr && strlen(capture) < sizeof g_capture - 8) {
    snprintf(g_capture, sizeof g_capture, "%s", capture);
  }
  const char *failAfter = getenv("SQ_DEVDSP_FAIL_AFTER");
  if (failAfter != nullptr) g_failAfter = atoll(failAfter);
  // Only this process gets the stand-in, not the programs it starts.
  unsetenv("LD_PRELOAD");
}

}  // namespace

extern "C" int open(const char *path, int flags, ...) {
  va_list ap;
  va_start(ap, flags);
  int mode = va_arg(ap, int);
  va_end(ap);
  if (strcmp(path, kDevice) == 0) return OpenDevice(flags);
  return Real<int (*)(const char *, int, ...)>("open")(path, flags, mode);
}

extern "C" int open64(const char *path, int flags, ...) {
  va_list ap;
  va_start(ap, flags);
  int mode = va_arg(ap, int);
  va_end(ap);
  if (strcmp(path, kDevice) == 0) return OpenDevice(flags);
  return Real<int (*)(const char *, int, ...)>("open64")(path, flags, mode);
}

extern "C" int ioctl(int fd, unsigned long request, ...) {
  va_list ap;
  va_start(ap, request);
  void *arg = va_arg(ap, void *);
  va_end(ap);
  if (fd < 0 || fd != g_fd)
    return Real<int (*)(int, unsigned long, void *)>("ioctl")(fd, request, arg);
  int value = arg != nullptr ? *static_cast<int *>(arg) : 0;
  if (request == SNDCTL_DSP_SETFRAGMENT) SetFragments(value);
  char line[128];
  int n = snprintf(line, sizeof line, "%s 0x%08x\n", RequestName(request), value);
  if (g_log >= 0) Real<ssize_t (*)(int, const void *, size_t)>("write")(g_log, line, n);
  return 0;
}

extern "C" ssize_t write(int fd, const void *buf, size_t n) {
  if (fd >= 0 && fd == g_fd && g_failAfter >= 0 && g_taken >= g_failAfter) {
    errno = EIO;
    return -1;
  }
  if (fd >= 0 && fd == g_fd) {
    Pace(n);
    g_taken += static_cast<long long>(n);
  }
  return Real<ssize_t (*)(int, const void *, size_t)>("write")(fd, buf, n);
}

extern "C" int close(int fd) {
  if (fd >= 0 && fd == g_fd) g_fd = -1;
  return Real<int (*)(int)>("close")(fd);
}
