// Starting the mixer on a device: refusals with their messages, and end to
// end a real mixing thread writing through "/dev/dsp" (the preloaded
// libdevdsp.so stands in for the device, pacing writes like one) while the
// real mpg123 decodes a shipped track, stalls on a FIFO that nobody writes,
// or plays into a device that fails.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>

#include <chrono>
#include <thread>

#include "tests/common/gaudio_testing.h"

namespace {

using testing::internal::CaptureStderr;
using testing::internal::GetCapturedStderr;

constexpr char kChildFlag[] = "SQ_DEVDSP_CHILD";
const std::string kTrack = std::string(SQ_DATA_DIR) + "/sound/hamster.mp3";

TEST(DeviceStart, AMissingDeviceLeavesTheMixerRefusingEverything) {
  NoAlsaOutput noAlsa;  // and no ALSA output to fall back on
  Mixer ga(new gameaudio{});
  CaptureStderr();
  EXPECT_EQ(startAudio(ga.get(), "/nonexistent/dsp"), -1);
  EXPECT_EQ(GetCapturedStderr(),
            "/nonexistent/dsp: No such file or directory\n"
            "gaudio: cannot open ALSA output \"default\": No such file or directory\n");
  EXPECT_EQ(ga->audio_fd, -1);
  CaptureStderr();
  EXPECT_EQ(loadSample(ga.get(), kTrack.c_str()), -1);
  playBackground(ga.get(), kTrack.c_str());
  EXPECT_EQ(checkBackground(ga.get()), 0);
  EXPECT_EQ(stopAudio(ga.get()), -1);
  EXPECT_EQ(GetCapturedStderr(), "");
}

TEST(DeviceStart, AFileThatIsNoSoundDeviceIsClosedAgain) {
  Mixer ga(new gameaudio{});
  CaptureStderr();
  EXPECT_EQ(startAudio(ga.get(), "/dev/null"), -1);
  EXPECT_EQ(GetCapturedStderr().rfind("SNDCTL_DSP_SETFRAGMENT: ", 0), 0u);
  EXPECT_EQ(ga->audio_fd, -1);
}

// Runs this test again in a child process with the device stand-in preloaded
// (and extra, a setting of the stand-in, in its environment).
int RunWithDeviceStandIn(const std::string &capture, const char *filter, std::string extra = "") {
  std::string preload = std::string("LD_PRELOAD=") + SQ_BIN_DIR + "/libdevdsp.so";
  std::string captureVar = "SQ_DEVDSP_CAPTURE=" + capture;
  std::string flag = std::string(kChildFlag) + "=1";
  std::string filterArg = std::string("--gtest_filter=") + filter;
  std::vector<char *> env;
  for (char **e = environ; *e; e++) env.push_back(*e);
  env.push_back(preload.data());
  env.push_back(captureVar.data());
  env.push_back(flag.data());
  if (!extra.empty()) env.push_back(extra.data());
  env.push_back(nullptr);
  pid_t pid = fork();
  if (pid == 0) {
    char exe[] = "/proc/self/exe";
    char *argv[] = {exe, filterArg.data(), nullptr};
    execve(exe, argv, env.data());
    _exit(127);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
}

std::vector<char> Block(const std::vector<char> &v, size_t i) {
  return std::vector<char>(v.begin() + i * GA_BLOCK_BYTES, v.begin() + (i + 1) * GA_BLOCK_BYTES);
}

double ThreadSeconds(pthread_t thread) {
  clockid_t clock;
  timespec t{};
  if (pthread_getcpuclockid(thread, &clock) == 0) clock_gettime(clock, &t);
  return t.tv_sec + t.tv_nsec * 1e-9;
}

// The child's half: drives a real mixer on "/dev/dsp" and leaves the bytes
// in the capture file for the parent to check.
void PlayThroughTheDevice() {
  static gameaudio ga;
  ASSERT_EQ(startAudio(&ga, "/dev/dsp"), 0);
  auto start = std::chrono::steady_clock::now();
  double cpuStart = ThreadSeconds(ga.audio_thread);
  playBackground(&ga, kTrack.c_str());
  std::this_thread::sleep_for(std::chrono::milliseconds(1500));
  EXPECT_EQ(checkBackground(&ga), 1);
  stopBackground(&ga);
  std::this_thread::sleep_for(std::chrono::milliseconds(200));

  // One block of (1000, -500) frames then its block of padding silence.
  std::vector<int16_t> frames;
  for (int i = 0; i < GA_BLOCK_FRAMES; i++) frames.insert(frames.end(), {1000, -500});
  int id = copySample(&ga, frames.data(), GA_BLOCK_BYTES);
  EXPECT_EQ(playSample(&ga, id, 1), -1);
  std::this_thread::sleep_for(std::chrono::milliseconds(300));

  double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  double cpu = ThreadSeconds(ga.audio_thread) - cpuStart;
  EXPECT_LT(cpu / wall, 0.5) << "the thread sleeps in the device write";
  EXPECT_EQ(stopAudio(&ga), 0);
  EXPECT_EQ(ga.audio_fd, -1);
  EXPECT_EQ(ga.num_samples, 0);
}

TEST(DeviceEndToEnd, ARealThreadWritesMusicAndVoicesToTheDevice) {
  if (getenv(kChildFlag)) {
    PlayThroughTheDevice();
    return;
  }
  std::string capture = MakeTempDir() + "/dsp.raw";
  auto start = std::chrono::steady_clock::now();
  ASSERT_EQ(RunWithDeviceStandIn(capture, "DeviceEndToEnd.*"), 0);
  double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

  std::vector<char> ioctls = ReadFile(capture + ".ioctl");
  EXPECT_EQ(std::string(ioctls.begin(), ioctls.end()),
            "SNDCTL_DSP_SETFRAGMENT 0x0004000c\nSNDCTL_DSP_SETFMT 0x00000010\n"
            "SNDCTL_DSP_STEREO 0x00000001\nSNDCTL_DSP_SPEED 0x0000ac44\n");

  // Paced like the device: about 176400 bytes a second plus the queue.
  std::vector<char> dsp = ReadFile(capture);
  ASSERT_EQ(dsp.size() % GA_BLOCK_BYTES, 0u);
  size_t blocks = dsp.size() / GA_BLOCK_BYTES;
  EXPECT_LE(dsp.size(), wall * 176400 + 4 * GA_BLOCK_BYTES + GA_BLOCK_BYTES);
  EXPECT_GE(dsp.size(), 1.8 * 176400 * 0.8);

  // The music arrived block for block as the decoder delivers it.
  std::vector<char> track = DecodeTrack(kTrack);
  const size_t probe = 30;  // 0.7 s into the track
  size_t at = 0;
  while (at < blocks && Block(dsp, at) != Block(track, probe)) at++;
  ASSERT_LT(at, blocks) << "a block of the track reached the device";
  ASSERT_GE(at, probe);
  size_t first = at - probe;
  for (size_t i = 0; i < probe; i++) ASSERT_EQ(Block(dsp, first + i), Block(track, i)) << i;
  for (size_t i = 0; i < first; i++) ASSERT_EQ(Block(dsp, i), std::vector<char>(GA_BLOCK_BYTES, 0));
  size_t musicEnd = at;
  while (musicEnd < blocks && Block(dsp, musicEnd) == Block(track, musicEnd - first)) musicEnd++;
  EXPECT_GE(musicEnd - first, 50u) << "about 1.5 s of music";

  // The voice: exactly one block of (-500, 1000), crossed as a new voice is.
  std::vector<char> voice(GA_BLOCK_BYTES);
  for (int f = 0; f < GA_BLOCK_FRAMES; f++) {
    int16_t lr[2] = {-500, 1000};
    memcpy(voice.data() + 4 * f, lr, 4);
  }
  int voiceBlocks = 0;
  for (size_t i = musicEnd; i < blocks; i++) {
    std::vector<char> b = Block(dsp, i);
    if (b == voice) {
      voiceBlocks++;
    } else {
      ASSERT_EQ(b, std::vector<char>(GA_BLOCK_BYTES, 0)) << "block " << i;
    }
  }
  EXPECT_EQ(voiceBlocks, 1);
}

// ---- A decoder that stalls, a device that fails ----

double MillisecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
      .count();
}

// Waits up to 5 s for a condition on the record, checked under the lock.
template <typename F>
bool WaitUntil(gameaudio *ga, F condition) {
  for (int i = 0; i < 500; i++) {
    pthread_mutex_lock(&ga->buffer_mutex);
    bool met = condition(ga);
    pthread_mutex_unlock(&ga->buffer_mutex);
    if (met) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

bool AllMixed(gameaudio *ga) { return ga->num_playing == 0; }

// A quarter second of a constant frame: mixed out only at the device's pace.
int QuarterSecondSample(gameaudio *ga) {
  std::vector<int16_t> frames;
  for (int i = 0; i < GA_RATE / 4; i++) frames.insert(frames.end(), {700, 700});
  return copySample(ga, frames.data(), static_cast<int>(frames.size() * 2));
}

// The longest any of the program's calls took, in milliseconds.
struct CallTimer {
  double worst = 0;
  template <typename F>
  void operator()(F call) {
    auto start = std::chrono::steady_clock::now();
    call();
    worst = std::max(worst, MillisecondsSince(start));
  }
};

// mpg123 opening a FIFO that nobody writes waits there: a decoder that
// stalls before its first byte. The program's calls go on at once, voices
// play, and the music comes once the decoder writes.
void PlayAgainstAStalledDecoder() {
  alarm(60);  // a call that hangs ends this child, and so fails the test
  static gameaudio ga;
  ASSERT_EQ(startAudio(&ga, "/dev/dsp"), 0);
  std::string fifo = MakeTempDir() + "/stalled.mp3";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  int voice = QuarterSecondSample(&ga);
  CallTimer timed;
  timed([&] { playBackground(&ga, fifo.c_str()); });
  ASSERT_FALSE(WaitForDecoder().empty());
  for (int step = 0; step < 30; step++) {
    timed([&] { EXPECT_EQ(checkBackground(&ga), 1); });
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  timed([&] { EXPECT_LT(playSample(&ga, voice, 1), 0); });
  EXPECT_TRUE(WaitUntil(&ga, AllMixed)) << "voices play on while the decoder stalls";
  timed([&] { stopBackground(&ga); });  // ends the stalled decoder
  // Gone before the next opens the FIFO: a writer could meet the dying one.
  ASSERT_TRUE(WaitForNoDecoder());
  timed([&] { playBackground(&ga, fifo.c_str()); });
  timed([&] { EXPECT_EQ(checkBackground(&ga), 1); });

  // The decoder writes again: 60000 bytes of the track fit in the FIFO.
  std::vector<char> mp3 = ReadFile(kTrack);
  mp3.resize(60000);
  int writer = open(fifo.c_str(), O_WRONLY);
  ASSERT_GE(writer, 0);
  EXPECT_EQ(write(writer, mp3.data(), mp3.size()), static_cast<ssize_t>(mp3.size()));
  close(writer);
  EXPECT_TRUE(WaitUntil(&ga, [](gameaudio *g) { return g->music_bytes >= 20 * GA_BLOCK_BYTES; }));
  timed([&] { stopBackground(&ga); });
  EXPECT_LT(timed.worst, 200.0) << "no call waits for the decoder";

  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(stopAudio(&ga), 0);
  EXPECT_LT(MillisecondsSince(start), 1000.0);
  EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1) << "every decoder reaped";
}

TEST(DeviceStall, NoCallWaitsForADecoderThatStalls) {
  if (getenv(kChildFlag)) {
    PlayAgainstAStalledDecoder();
    return;
  }
  ASSERT_EQ(RunWithDeviceStandIn(MakeTempDir() + "/dsp.raw", "DeviceStall.*"), 0);
}

// The device takes eight blocks, then fails every write. Said once; the
// thread mixes on at the pace of the clock, so the music is not eaten at
// decoding speed and the thread does not spin.
void PlayIntoAFailingDevice() {
  alarm(60);
  static gameaudio ga;
  CaptureStderr();
  ASSERT_EQ(startAudio(&ga, "/dev/dsp"), 0);
  auto start = std::chrono::steady_clock::now();
  playBackground(&ga, kTrack.c_str());
  EXPECT_TRUE(WaitUntil(&ga, [](gameaudio *g) { return g->output_lost != 0; }));
  double cpuStart = ThreadSeconds(ga.audio_thread);
  std::this_thread::sleep_for(std::chrono::milliseconds(1000));
  EXPECT_LT(ThreadSeconds(ga.audio_thread) - cpuStart, 0.1) << "no spinning";
  int voice = QuarterSecondSample(&ga);
  EXPECT_LT(playSample(&ga, voice, 1), 0);
  EXPECT_TRUE(WaitUntil(&ga, AllMixed));
  EXPECT_EQ(checkBackground(&ga), 1)
      << "a 20-second track still plays after " << MillisecondsSince(start) << " ms";
  auto stop = std::chrono::steady_clock::now();
  EXPECT_EQ(stopAudio(&ga), 0);
  EXPECT_LT(MillisecondsSince(stop), 1000.0);
  EXPECT_EQ(GetCapturedStderr(), "gaudio: sound device lost: Input/output error\n");
}

TEST(DeviceLost, AFailingWriteIsSaidOnceAndMixingKeepsTime) {
  if (getenv(kChildFlag)) {
    PlayIntoAFailingDevice();
    return;
  }
  std::string failAfter = "SQ_DEVDSP_FAIL_AFTER=" + std::to_string(8 * GA_BLOCK_BYTES);
  ASSERT_EQ(RunWithDeviceStandIn(MakeTempDir() + "/dsp.raw", "DeviceLost.*", failAfter), 0);
}

}  // namespace
