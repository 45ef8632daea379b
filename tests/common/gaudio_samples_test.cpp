// The sample table and voices: storage lengths, channel modes, ids and
// playing ids, volume and pan, stopping, pausing, refusals.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <climits>

#include "tests/common/gaudio_testing.h"

namespace {

using testing::internal::CaptureStderr;
using testing::internal::GetCapturedStderr;

// n bytes counting up 1, 2, 3, ... (as bytes), so positions are visible.
std::vector<char> Counting(size_t n) {
  std::vector<char> v(n);
  for (size_t i = 0; i < n; i++) v[i] = static_cast<char>(i % 251 + 1);
  return v;
}

class Samples : public ::testing::Test {
 protected:
  std::string File(const std::string &name, const std::vector<char> &bytes) {
    return WriteFile(dir + "/" + name, bytes);
  }
  void FillTable() {
    int16_t frame[2] = {1, 1};
    while (ga->num_samples < GA_MAX_SAMPLES) ASSERT_GE(copySample(ga.get(), frame, 4), 0);
  }
  Mixer ga = NewThreadlessMixer();
  std::string dir = MakeTempDir();
};

TEST_F(Samples, StorageIsWholeBlocksStrictlyLongerThanTheData) {
  struct Case {
    size_t bytes;
    int frames;
  } cases[] = {{10000, 3072}, {8192, 3072}, {0, 1024}, {4095, 1024}};
  for (const Case &c : cases) {
    std::vector<char> bytes = Counting(c.bytes);
    int id = loadSample(ga.get(), File("s" + std::to_string(c.bytes), bytes).c_str());
    ASSERT_GE(id, 0);
    const ga_sample &s = ga->samples[id];
    EXPECT_EQ(s.numsamples, c.frames) << c.bytes;
    EXPECT_EQ(s.dataendmarker - s.data, 2 * c.frames);
    const char *raw = reinterpret_cast<const char *>(s.data);
    EXPECT_EQ(std::vector<char>(raw, raw + c.bytes), bytes);
    for (size_t i = c.bytes; i < size_t(c.frames) * 4; i++) ASSERT_EQ(raw[i], 0) << i;

    int copied =
        copySample(ga.get(), reinterpret_cast<const int16_t *>(bytes.data()), int(c.bytes));
    ASSERT_GE(copied, 0);
    EXPECT_EQ(ga->samples[copied].numsamples, c.frames);
    EXPECT_EQ(memcmp(ga->samples[copied].data, s.data, size_t(c.frames) * 4), 0);
  }
}

TEST_F(Samples, ChannelModesClearOneSlot) {
  std::vector<int16_t> frames = {11, 22, 33, 44};
  std::vector<char> bytes(reinterpret_cast<char *>(frames.data()),
                          reinterpret_cast<char *>(frames.data() + frames.size()));
  std::string path = File("modes", bytes);
  int both = loadSample(ga.get(), path.c_str());
  int left = loadSampleLeft(ga.get(), path.c_str());
  int right = loadSampleRight(ga.get(), path.c_str());
  int copyLeft = copySampleLeft(ga.get(), frames.data(), 8);
  int copyRight = copySampleRight(ga.get(), frames.data(), 8);
  auto values = [&](int id) {
    int16_t *d = ga->samples[id].data;
    return std::vector<int16_t>(d, d + 4);
  };
  EXPECT_EQ(values(both), (std::vector<int16_t>{11, 22, 33, 44}));
  EXPECT_EQ(values(left), (std::vector<int16_t>{0, 22, 0, 44}));
  EXPECT_EQ(values(right), (std::vector<int16_t>{11, 0, 33, 0}));
  EXPECT_EQ(values(copyLeft), values(left));
  EXPECT_EQ(values(copyRight), values(right));
}

TEST_F(Samples, IdsStayConsecutiveAcrossFailedLoads) {
  std::string good = File("good", Counting(16));
  EXPECT_EQ(loadSample(ga.get(), good.c_str()), 0);
  CaptureStderr();
  std::string missing = dir + "/missing.raw";
  EXPECT_EQ(loadSample(ga.get(), missing.c_str()), -1);
  EXPECT_EQ(GetCapturedStderr(), "gaudio: error opening sample " + missing + "\n");
  EXPECT_EQ(loadSample(ga.get(), good.c_str()), 1);

  // A folder or a FIFO is no sample file: refused at once, never waited on.
  std::string fifo = dir + "/fifo.raw";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  CaptureStderr();
  EXPECT_EQ(loadSample(ga.get(), dir.c_str()), -1);
  EXPECT_EQ(loadSample(ga.get(), fifo.c_str()), -1);
  EXPECT_EQ(GetCapturedStderr(), "gaudio: error opening sample " + dir +
                                     "\ngaudio: error opening sample " + fifo + "\n");
  EXPECT_EQ(loadSample(ga.get(), good.c_str()), 2);

  CaptureStderr();
  EXPECT_EQ(copySample(ga.get(), nullptr, -8), -1);
  EXPECT_EQ(GetCapturedStderr().rfind("gaudio: ", 0), 0u);
  EXPECT_EQ(ga->num_samples, 3);
}

TEST_F(Samples, TheTableHoldsAtMost256) {
  FillTable();
  EXPECT_EQ(ga->num_samples, 256);
  std::string good = File("good", Counting(16));
  CaptureStderr();
  EXPECT_EQ(loadSample(ga.get(), good.c_str()), -1);
  int16_t frame[2] = {1, 1};
  EXPECT_EQ(copySample(ga.get(), frame, 4), -1);
  EXPECT_EQ(GetCapturedStderr(), "gaudio: sample list is full\ngaudio: sample list is full\n");
  EXPECT_EQ(ga->num_samples, 256);
}

TEST_F(Samples, AMixerThatDidNotStartRefusesSilently) {
  close(ga->audio_fd);
  ga->audio_fd = -1;
  std::string good = File("good", Counting(16));
  CaptureStderr();
  EXPECT_EQ(loadSample(ga.get(), good.c_str()), -1);
  EXPECT_EQ(copySample(ga.get(), nullptr, 0), -1);
  playBackground(ga.get(), "x.mp3");
  EXPECT_EQ(checkBackground(ga.get()), 0);
  EXPECT_EQ(GetCapturedStderr(), "");
  EXPECT_EQ(playSample(ga.get(), 0, 1), 0);
}

TEST_F(Samples, PlayingIdsCountDownAndVoicesAreCapped) {
  int id = copySample(ga.get(), nullptr, 0);
  EXPECT_EQ(playSample(ga.get(), id, 1), -1);
  EXPECT_EQ(playSample(ga.get(), id, 1), -2);
  EXPECT_EQ(playSample(ga.get(), id, 1), -3);
  const ga_playing &p = ga->playing[2];
  EXPECT_EQ(p.a, 0);
  EXPECT_EQ(p.b, 256);
  EXPECT_EQ(p.rootpos, ga->samples[id].data);
  EXPECT_EQ(p.curpos, ga->samples[id].data);
  EXPECT_EQ(p.endpos, ga->samples[id].dataendmarker);

  while (ga->num_playing < GA_MAX_PLAYING) playSample(ga.get(), id, 1);
  EXPECT_EQ(playSample(ga.get(), id, 1), 0);
  stopSample(ga.get(), -12);
  EXPECT_EQ(playSample(ga.get(), id, 1), -13) << "a refused start uses no id";

  EXPECT_EQ(playSample(ga.get(), -1, 1), 0);
  EXPECT_EQ(playSample(ga.get(), 1, 1), 0);

  stopAllSamples(ga.get());
  EXPECT_EQ(ga->num_playing, 0);
  ga->playing_count = INT_MIN;
  EXPECT_EQ(playSample(ga.get(), id, 1), -1);
}

TEST_F(Samples, CtrlSampleClampsAndReachesTheNamedVoices) {
  int a = copySample(ga.get(), nullptr, 0);
  int b = copySample(ga.get(), nullptr, 0);
  int a1 = playSample(ga.get(), a, 0);
  playSample(ga.get(), b, 0);
  playSample(ga.get(), a, 0);

  ctrlSample(ga.get(), a, 300, -5);
  EXPECT_EQ(ga->playing[0].a, 256);
  EXPECT_EQ(ga->playing[0].b, 0);
  EXPECT_EQ(ga->playing[2].a, 256);
  EXPECT_EQ(ga->playing[1].b, 256) << "other samples untouched";

  ctrlSample(ga.get(), a1, 200, 128);
  EXPECT_EQ(ga->playing[0].a, 100);
  EXPECT_EQ(ga->playing[0].b, 100);
  EXPECT_EQ(ga->playing[2].a, 256) << "a playing id names one voice";

  ctrlSample(ga.get(), 7, 0, 0);  // no such sample
  EXPECT_EQ(ga->playing[1].b, 256);
  ctrlSample(ga.get(), b, 256, 256);
  EXPECT_EQ(ga->playing[1].a, 0);
  EXPECT_EQ(ga->playing[1].b, 256);

  playSample(ga.get(), a, 0);
  EXPECT_EQ(ga->playing[3].a, 0) << "later voices start with the defaults";
  EXPECT_EQ(ga->playing[3].b, 256);
}

TEST_F(Samples, StopSampleRemovesEveryMatchingVoice) {
  int a = copySample(ga.get(), nullptr, 0);
  int b = copySample(ga.get(), nullptr, 0);
  playSample(ga.get(), a, 0);
  int b1 = playSample(ga.get(), b, 0);
  playSample(ga.get(), a, 0);
  playSample(ga.get(), a, 0);
  playSample(ga.get(), b, 0);

  stopSample(ga.get(), a);
  ASSERT_EQ(ga->num_playing, 2);
  EXPECT_EQ(ga->playing[0].sample_id, b);
  EXPECT_EQ(ga->playing[1].sample_id, b);
  stopSample(ga.get(), 9);
  EXPECT_EQ(ga->num_playing, 2);
  stopSample(ga.get(), b1);
  ASSERT_EQ(ga->num_playing, 1);
  EXPECT_EQ(ga->playing[0].playing_id, -5);
}

TEST_F(Samples, WhilePausedCallsWorkWithoutTheLockAndNoVoiceStarts) {
  std::string good = File("good", Counting(16));
  int id = loadSample(ga.get(), good.c_str());
  pauseAudio(ga.get());
  EXPECT_EQ(ga->paused, 1);
  EXPECT_NE(pthread_mutex_trylock(&ga->buffer_mutex), 0) << "the pausing thread holds the lock";
  EXPECT_EQ(playSample(ga.get(), id, 1), 0);
  EXPECT_EQ(loadSample(ga.get(), good.c_str()), 1);
  stopAllSamples(ga.get());
  unpauseAudio(ga.get());
  EXPECT_EQ(ga->paused, 0);
  ASSERT_EQ(pthread_mutex_trylock(&ga->buffer_mutex), 0);
  pthread_mutex_unlock(&ga->buffer_mutex);
  EXPECT_EQ(playSample(ga.get(), id, 1), -1);
}

}  // namespace
