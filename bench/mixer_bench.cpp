// Mixer cost: the time to build one 4096-byte block with 12 voices over
// music, and the mixing thread's share of a core while it plays 12 voices
// and a track through a device that paces its writes (the preloaded
// libdevdsp.so standing in for /dev/dsp), then the same through ALSA's
// default output into a private PulseAudio server. --smoke runs briefly.
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "common/gaudio.h"

namespace {

constexpr char kChildFlag[] = "SQ_MIXER_BENCH_CHILD";
const std::string kSounds = std::string(SQ_DATA_DIR) + "/sound/";
const char *kEffects[] = {"bomb_expl.raw", "scale.raw",   "applause.raw", "cat_purr.raw",
                          "boing.raw",     "catmeow.raw", "wob.raw"};

double Seconds(clockid_t clock) {
  timespec t{};
  clock_gettime(clock, &t);
  return t.tv_sec + t.tv_nsec * 1e-9;
}

// Loads the game's effects and starts 12 looping voices with varied pans.
bool StartTwelveVoices(gameaudio *ga) {
  int ids[std::size(kEffects)];
  for (size_t i = 0; i < std::size(kEffects); i++) {
    ids[i] = loadSample(ga, (kSounds + kEffects[i]).c_str());
    if (ids[i] < 0) return false;
  }
  for (int v = 0; v < GA_MAX_PLAYING; v++) {
    int playing = playSample(ga, ids[v % std::size(kEffects)], 0);
    ctrlSample(ga, playing, 200, v * 21);
  }
  return ga->num_playing == GA_MAX_PLAYING;
}

// Builds blocks on a threadless record: voices over a decoded music block.
void MeasureBlockCost(bool smoke) {
  static gameaudio ga;
  ga.audio_fd = 1;  // acts as a started mixer; nothing is written
  pthread_mutex_init(&ga.buffer_mutex, nullptr);
  if (!StartTwelveVoices(&ga)) {
    fprintf(stderr, "mixer_bench: cannot load the effects from %s\n", kSounds.c_str());
    exit(1);
  }
  int16_t music[GA_BLOCK_VALUES];
  for (int i = 0; i < GA_BLOCK_VALUES; i++)
    music[i] = static_cast<int16_t>((i * 37) % 20000 - 10000);
  int16_t block[GA_BLOCK_VALUES];
  const int blocks = smoke ? 2000 : 20000;
  long checksum = 0;
  double start = Seconds(CLOCK_MONOTONIC);
  for (int n = 0; n < blocks; n++) {
    startBlockLocked(&ga, block, music);  // no stream: the music block is copied in
    mixVoicesLocked(&ga, block);
    checksum += block[n % GA_BLOCK_VALUES];
  }
  double perBlock = (Seconds(CLOCK_MONOTONIC) - start) / blocks;
  printf(
      "block mixing, 12 voices over music: %.1f us per 4096-byte block "
      "(%.2f%% of the 23.2 ms it plays for; checksum %ld)\n",
      perBlock * 1e6, 100 * perBlock / (GA_BLOCK_FRAMES / double(GA_RATE)), checksum);
}

// In the child, on the device stand-in ("dsp") or on ALSA ("alsa"): the real
// thread, the real decoder, 12 voices, for a few seconds.
int MeasureThreadShare(bool smoke, const std::string &output) {
  static gameaudio ga;
  if (startAudio(&ga, output == "dsp" ? "/dev/dsp" : "/nonexistent/dsp") != 0 ||
      !StartTwelveVoices(&ga))
    return 1;
  if ((ga.alsa_pcm != nullptr) != (output == "alsa")) return 1;
  playBackground(&ga, (kSounds + "hamster.mp3").c_str());
  if (getenv("SQ_MIXER_BENCH_SETTLE")) std::this_thread::sleep_for(std::chrono::seconds(2));
  clockid_t threadClock;
  pthread_getcpuclockid(ga.audio_thread, &threadClock);
  double wall0 = Seconds(CLOCK_MONOTONIC), cpu0 = Seconds(threadClock);
  double process0 = Seconds(CLOCK_PROCESS_CPUTIME_ID);
  std::this_thread::sleep_for(std::chrono::seconds(smoke ? 2 : 10));
  double wall = Seconds(CLOCK_MONOTONIC) - wall0, cpu = Seconds(threadClock) - cpu0;
  double process = Seconds(CLOCK_PROCESS_CPUTIME_ID) - process0;
  int musicStillPlaying = checkBackground(&ga);
  stopBackground(&ga);  // reaps the decoder, so its time is counted below
  rusage children{};
  getrusage(RUSAGE_CHILDREN, &children);
  double decoder = children.ru_utime.tv_sec + children.ru_stime.tv_sec +
                   (children.ru_utime.tv_usec + children.ru_stime.tv_usec) * 1e-6;
  printf(
      "mixing thread %s, 12 voices and music: %.2f%% of a core "
      "over %.1f s (music playing throughout: %s)\n",
      output == "dsp" ? "on the pacing device stand-in" : "on ALSA into a PulseAudio server",
      100 * cpu / wall, wall, musicStillPlaying ? "yes" : "no");
  // ALSA's PulseAudio plugin does part of the work in a thread of its own.
  printf("whole process (mixing thread and any thread of the sound library): %.2f%% of a core\n",
         100 * process / wall);
  printf("decoder process (mpg123 and its shell): %.2f%% of a core\n", 100 * decoder / wall);
  return stopAudio(&ga) == 0 ? 0 : 1;
}

int RunChild(const char *self, bool smoke, const char *output) {
  pid_t pid = fork();
  if (pid == 0) {
    if (strcmp(output, "dsp") == 0) {
      setenv("LD_PRELOAD", (std::string(SQ_BIN_DIR) + "/libdevdsp.so").c_str(), 1);
      setenv("SQ_DEVDSP_CAPTURE", "/dev/null", 1);
    }
    setenv(kChildFlag, output, 1);
    execl("/proc/self/exe", self, smoke ? "--smoke" : nullptr, nullptr);
    _exit(127);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}

// The ALSA figure: a private server (tests/pulse/private-server.sh) for the
// child to play into.
int RunChildOnAlsa(const char *self, bool smoke) {
  char dir[] = "/tmp/mixer_bench_XXXXXX";
  if (mkdtemp(dir) == nullptr) return 1;
  std::string script = std::string(SQ_SOURCE_DIR) + "/tests/pulse/private-server.sh";
  pid_t server = fork();
  if (server == 0) {
    freopen("/dev/null", "w", stderr);
    execl("/bin/bash", "bash", script.c_str(), dir, nullptr);
    _exit(127);
  }
  std::string socket = std::string(dir) + "/native";
  for (int i = 0; i < 100 && access(socket.c_str(), F_OK) != 0; i++) usleep(50000);
  setenv("PULSE_SERVER", ("unix:" + socket).c_str(), 1);
  // The null sink holds a new stream back at first: let it settle in the
  // child before measuring.
  setenv("SQ_MIXER_BENCH_SETTLE", "1", 1);
  int result = RunChild(self, smoke, "alsa");
  kill(server, SIGTERM);
  waitpid(server, nullptr, 0);
  std::string rm = std::string("rm -rf ") + dir;
  return system(rm.c_str()) == 0 ? result : 1;
}

}  // namespace

int main(int argc, char **argv) {
  bool smoke = argc > 1 && strcmp(argv[1], "--smoke") == 0;
  if (const char *output = getenv(kChildFlag)) return MeasureThreadShare(smoke, output);
  MeasureBlockCost(smoke);
  fflush(stdout);
  double load[3] = {0, 0, 0};
  getloadavg(load, 3);
  printf("load average %.2f %.2f %.2f (a busy machine makes these figures noisy)\n", load[0],
         load[1], load[2]);
  fflush(stdout);
  if (RunChild(argv[0], smoke, "dsp") != 0) return 1;
  fflush(stdout);
  return RunChildOnAlsa(argv[0], smoke);
}
