// The mixer without an OSS device, on ALSA's default output into a real,
// private PulseAudio server (tests/pulse/private-server.sh) whose null sink
// is recorded with parec: the bytes that arrive, an underrun, a server that
// goes away, and the start that finds no output at all.
#include <alsa/asoundlib.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include <chrono>
#include <thread>

#include "tests/common/gaudio_testing.h"

namespace {

using testing::internal::CaptureStderr;
using testing::internal::GetCapturedStderr;

const std::string kTrack = std::string(SQ_DATA_DIR) + "/sound/hamster.mp3";

void Sleep(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

// Starts argv as a child with its standard output in outPath.
pid_t Spawn(std::vector<std::string> argv, const std::string &outPath) {
  pid_t pid = fork();
  if (pid == 0) {
    int fd = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(fd, 1);
    std::vector<char *> args;
    for (std::string &a : argv) args.push_back(a.data());
    args.push_back(nullptr);
    execvp(args[0], args.data());
    _exit(127);
  }
  return pid;
}

// SIGINT lets parec write out what it holds.
void Stop(pid_t pid) {
  if (pid <= 0) return;
  kill(pid, SIGINT);
  waitpid(pid, nullptr, 0);
}

// A private server for one test; ALSA's default reaches it via PULSE_SERVER.
struct PulseServer {
  std::string dir = MakeTempDir();
  pid_t pid = Spawn({std::string(SQ_SOURCE_DIR) + "/tests/pulse/private-server.sh", dir},
                    dir + "/server.log");
  PulseServer() {
    setenv("PULSE_SERVER", ("unix:" + dir + "/native").c_str(), 1);
    for (int i = 0; i < 100 && access((dir + "/native").c_str(), F_OK) != 0; i++) Sleep(50);
    Sleep(200);
  }
  ~PulseServer() {
    Stop(pid);
    unsetenv("PULSE_SERVER");
  }
  pid_t StartRecording(const std::string &path) const {
    pid_t rec = Spawn({"parec", "--device=test.monitor", "--format=s16le", "--rate=44100",
                       "--channels=2", "--raw", "--latency-msec=20"},
                      path);
    Sleep(300);
    return rec;
  }
};

std::vector<int16_t> Values(const std::string &path) {
  std::vector<char> bytes = ReadFile(path);
  std::vector<int16_t> v(bytes.size() / 2);
  memcpy(v.data(), bytes.data(), v.size() * 2);
  return v;
}

// Frames of the recording that equal (left, right).
int CountFrames(const std::vector<int16_t> &v, int left, int right) {
  int n = 0;
  for (size_t i = 0; i + 1 < v.size(); i += 2) n += v[i] == left && v[i + 1] == right;
  return n;
}

// Waits up to 10 s for a condition on the record, checked under the lock.
template <typename F>
bool WaitUntil(gameaudio *ga, F condition) {
  for (int i = 0; i < 200; i++) {
    pthread_mutex_lock(&ga->buffer_mutex);
    bool met = condition(ga);
    pthread_mutex_unlock(&ga->buffer_mutex);
    if (met) return true;
    Sleep(50);
  }
  return false;
}

bool AllMixed(gameaudio *ga) { return ga->num_playing == 0; }

// A sample of `frames` frames of (s0, s1).
int ConstantSample(gameaudio *ga, int frames, int16_t s0, int16_t s1) {
  std::vector<int16_t> data;
  for (int i = 0; i < frames; i++) data.insert(data.end(), {s0, s1});
  return copySample(ga, data.data(), frames * 4);
}

TEST(AlsaOutput, WithNeitherDeviceNorAlsaOutputTheMixerDoesNotStart) {
  NoAlsaOutput noAlsa;
  Mixer ga(new gameaudio{});
  CaptureStderr();
  EXPECT_EQ(startAudio(ga.get(), "/nonexistent/dsp"), -1);
  std::string err = GetCapturedStderr();
  EXPECT_EQ(err.rfind("/nonexistent/dsp: No such file or directory\n"
                      "gaudio: cannot open ALSA output \"default\": ",
                      0),
            0u)
      << err;
  EXPECT_EQ(ga->audio_fd, -1);
  EXPECT_EQ(ga->alsa_pcm, nullptr);
  EXPECT_EQ(loadSample(ga.get(), kTrack.c_str()), -1);
}

TEST(AlsaOutput, SamplesAndMusicReachTheServerAndSurviveAnUnderrun) {
  PulseServer server;
  static gameaudio ga;
  // Recording first: its low latency also keeps the null sink from
  // rendering in long chunks while the mixer's stream starts.
  std::string rec = server.dir + "/rec.raw";
  pid_t parec = server.StartRecording(rec);
  CaptureStderr();
  ASSERT_EQ(startAudio(&ga, "/nonexistent/dsp"), 0);
  EXPECT_EQ(GetCapturedStderr(), "/nonexistent/dsp: No such file or directory\n");
  ASSERT_NE(ga.alsa_pcm, nullptr);
  EXPECT_EQ(ga.audio_fd, GA_ALSA_FD);
  // The null sink holds up a new stream's first blocks for up to a second
  // or two; the checks below start once it flows.
  Sleep(2500);

  // A sample at its level, crossed as a new voice is.
  int id = ConstantSample(&ga, GA_RATE / 2, 8000, -4000);
  EXPECT_EQ(playSample(&ga, id, 1), -1);
  ASSERT_TRUE(WaitUntil(&ga, AllMixed));
  // The thread is held up long enough for ALSA's queue to run dry.
  pauseAudio(&ga);
  Sleep(400);
  unpauseAudio(&ga);
  int second = ConstantSample(&ga, GA_RATE / 2, 3000, 1000);
  EXPECT_LT(playSample(&ga, second, 1), 0);
  ASSERT_TRUE(WaitUntil(&ga, AllMixed));
  playBackground(&ga, kTrack.c_str());
  Sleep(1500);
  EXPECT_EQ(checkBackground(&ga), 1);
  Stop(parec);
  EXPECT_EQ(stopAudio(&ga), 0);
  EXPECT_EQ(ga.alsa_pcm, nullptr);
  EXPECT_EQ(ga.audio_fd, -1);

  std::vector<int16_t> v = Values(rec);
  EXPECT_GE(CountFrames(v, -4000, 8000), GA_RATE / 2 - 2 * GA_BLOCK_FRAMES);
  EXPECT_GE(CountFrames(v, 1000, 3000), GA_RATE / 2 - 2 * GA_BLOCK_FRAMES) << "after the underrun";
  EXPECT_FALSE(ga.output_lost);

  // The track as mpg123 decodes it: one stretch of it arrives unchanged.
  std::vector<char> decoded = DecodeTrack(kTrack);
  std::vector<int16_t> track(decoded.size() / 2);
  memcpy(track.data(), decoded.data(), track.size() * 2);
  const size_t probe = 2 * GA_RATE / 2 * 2, len = 2 * 512;  // 0.5 s in, 512 frames
  ASSERT_GT(track.size(), probe + len);
  bool found = false;
  for (size_t i = 0; !found && i + len <= v.size(); i += 2)
    found = std::equal(track.begin() + probe, track.begin() + probe + len, v.begin() + i);
  EXPECT_TRUE(found) << "the music reached the server";
}

TEST(AlsaOutput, AServerThatGoesAwayLeavesTheMixerRunningSilent) {
  auto server = std::make_unique<PulseServer>();
  static gameaudio ga;
  CaptureStderr();
  ASSERT_EQ(startAudio(&ga, "/nonexistent/dsp"), 0);
  ASSERT_NE(ga.alsa_pcm, nullptr);
  Sleep(300);
  kill(server->pid, SIGKILL);
  EXPECT_TRUE(WaitUntil(&ga, [](gameaudio *g) { return g->output_lost != 0; }));
  // The voice still plays out at the pace of time, with nothing to hear.
  int id = ConstantSample(&ga, GA_RATE / 4, 100, 100);
  EXPECT_LT(playSample(&ga, id, 1), 0);
  EXPECT_TRUE(WaitUntil(&ga, AllMixed));
  std::string err = GetCapturedStderr();
  EXPECT_NE(err.find("\ngaudio: ALSA output lost: "), std::string::npos) << err;
  clockid_t clock;
  pthread_getcpuclockid(ga.audio_thread, &clock);
  timespec t0{}, t1{};
  clock_gettime(clock, &t0);
  Sleep(500);
  clock_gettime(clock, &t1);
  EXPECT_LT((t1.tv_sec - t0.tv_sec) + (t1.tv_nsec - t0.tv_nsec) * 1e-9, 0.1) << "no spinning";
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(stopAudio(&ga), 0);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
}

}  // namespace
