// Block building of the mixing thread, on plain buffers: routing, rounding,
// clamps and saturation, repeat counts, voice removal, music blocks.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "tests/common/gaudio_testing.h"

namespace {

using Block = std::array<int16_t, GA_BLOCK_VALUES>;

// A voice over the frames in data (two values each), as playSample would
// start it, with routing a/b.
ga_playing Voice(std::vector<int16_t> &data, int a, int b, int repeat, int id = 0) {
  int16_t *start = data.data();
  return ga_playing{id, -1 - id, start, start, start + data.size(), a, b, repeat};
}

std::vector<int16_t> Frames(int count, int16_t s0, int16_t s1) {
  std::vector<int16_t> v;
  for (int i = 0; i < count; i++) {
    v.push_back(s0);
    v.push_back(s1);
  }
  return v;
}

Block MixOnce(gameaudio *ga, int16_t fill = 0) {
  Block out;
  out.fill(fill);
  mixVoicesLocked(ga, out.data());
  return out;
}

class Mix : public ::testing::Test {
 protected:
  void Add(const ga_playing &p) { ga->playing[ga->num_playing++] = p; }
  Mixer ga = NewThreadlessMixer();
};

TEST_F(Mix, RoutingOfANewVoiceIsCrossedAndPanHalvesEachSlot) {
  auto crossed = Frames(1024, 1000, -500);
  auto half = Frames(1024, 1000, -500);
  Add(Voice(crossed, 0, 256, 1));
  Block out = MixOnce(ga.get());
  EXPECT_EQ(out[0], -500);  // slot 1 to the left
  EXPECT_EQ(out[1], 1000);  // slot 0 to the right
  EXPECT_EQ(out[2046], -500);
  EXPECT_EQ(out[2047], 1000);

  Add(Voice(half, 128, 128, 1));
  out = MixOnce(ga.get());
  EXPECT_EQ(out[0], 250);
  EXPECT_EQ(out[1], 250);
}

TEST_F(Mix, DivisionRoundsTowardZero) {
  std::vector<int16_t> data = {1, -1, -3, 3};
  Add(Voice(data, 128, 0, 1));
  Block out = MixOnce(ga.get());
  EXPECT_EQ(out[0], 0);   // 128 / 256
  EXPECT_EQ(out[1], 0);   // -128 / 256 is 0, not -1
  EXPECT_EQ(out[2], -1);  // -384 / 256 is -1, not -2
  EXPECT_EQ(out[3], 1);
}

TEST_F(Mix, SumsSaturateInsteadOfWrapping) {
  auto loud = Frames(1024, 30000, 30000);
  auto low = Frames(1024, -32768, -32768);
  Add(Voice(loud, 0, 256, 1));
  Add(Voice(loud, 0, 256, 1));
  Block out = MixOnce(ga.get());
  EXPECT_EQ(out[0], 32767);
  EXPECT_EQ(out[1], 32767);

  ga->num_playing = 0;
  Add(Voice(low, 0, 256, 1));
  out = MixOnce(ga.get());
  EXPECT_EQ(out[0], -32768);
  EXPECT_EQ(out[1], -32768);
  ga->num_playing = 0;
  Add(Voice(low, 0, 256, 1));
  out = MixOnce(ga.get(), -32768);  // on top of a full-scale music block
  EXPECT_EQ(out[0], -32768);
}

TEST_F(Mix, WeightedSumsAreClampedBeforeTheDivision) {
  // Weights set by hand above what ctrlSample hands out: each side sums to
  // twice full scale and is clamped to 32767*256 / -32768*256.
  std::vector<int16_t> data = {32767, 32767, -32768, -32768, 16384, 16384};
  Add(Voice(data, 256, 256, 1));
  Block out = MixOnce(ga.get());
  EXPECT_EQ(out[0], 32767);
  EXPECT_EQ(out[1], 32767);
  EXPECT_EQ(out[2], -32768);
  EXPECT_EQ(out[3], -32768);
  EXPECT_EQ(out[4], 32767);  // 16384*512 is clamped to 0x7FFF00 first
}

TEST_F(Mix, RepeatCountsPlayOnceNTimesOrUntilStopped) {
  auto once = Frames(1024, 0, 7);
  Add(Voice(once, 0, 256, 1));
  MixOnce(ga.get());
  EXPECT_EQ(ga->num_playing, 0) << "removed at the end of the frame in which it ends";

  std::vector<int16_t> shortSample = Frames(100, 0, 5);
  Add(Voice(shortSample, 0, 256, 3));
  Block out = MixOnce(ga.get());
  EXPECT_EQ(ga->num_playing, 0);
  EXPECT_EQ(out[2 * 299], 5);  // the third play's last frame
  EXPECT_EQ(out[2 * 300], 0);

  Add(Voice(shortSample, 0, 256, 0));
  for (int i = 0; i < 5; i++) out = MixOnce(ga.get());
  ASSERT_EQ(ga->num_playing, 1);
  EXPECT_EQ(ga->playing[0].repeat_count, 0);
  EXPECT_EQ(out[2 * 1023], 5);

  ga->num_playing = 0;
  Add(Voice(shortSample, 0, 256, -4));
  MixOnce(ga.get());
  EXPECT_EQ(ga->num_playing, 1);
  EXPECT_EQ(ga->playing[0].repeat_count, 0);
}

TEST_F(Mix, RemovedVoiceIsReplacedByTheLastWhichStillSoundsInThatFrame) {
  auto shortSample = Frames(5, 0, 1);  // ends at frame 4
  auto middle = Frames(2048, 0, 10);
  auto last = Frames(2048, 0, 100);
  Add(Voice(shortSample, 0, 256, 1, 0));
  Add(Voice(middle, 0, 256, 1, 1));
  Add(Voice(last, 0, 256, 1, 2));
  Block out = MixOnce(ga.get());
  EXPECT_EQ(out[2 * 4], 111) << "all three in the frame the first one ends";
  EXPECT_EQ(out[2 * 5], 110);
  EXPECT_EQ(out[2 * 1023], 110);
  ASSERT_EQ(ga->num_playing, 2);
  EXPECT_EQ(ga->playing[0].sample_id, 2);
  EXPECT_EQ(ga->playing[1].sample_id, 1);
  // The moved voice was mixed once per frame: 1024 frames consumed.
  EXPECT_EQ(ga->playing[0].curpos, last.data() + 2048);
}

// A decoder that writes a block and a short tail in small pieces, pausing
// between them: the mixer makes silence while a block is incomplete, hears
// the block once whole, drops the tail and ends the track at the end.
TEST_F(Mix, BlocksStartFromMusicOrSilenceAndDropAShortTail) {
  Block zero{};
  Block out;
  out.fill(77);
  EXPECT_FALSE(startBlockLocked(ga.get(), out.data(), zero.data()));
  EXPECT_EQ(out, zero);

  int ends[2];
  ASSERT_EQ(pipe(ends), 0);
  pid_t writer = fork();
  if (writer == 0) {
    close(ends[0]);
    std::vector<char> piece(700, 0x01);
    for (int i = 0; i < 7; i++) {  // 4900 bytes: one block and 804 more
      if (write(ends[1], piece.data(), piece.size()) != 700) _exit(1);
      usleep(20000);
    }
    _exit(0);
  }
  close(ends[1]);
  fcntl(ends[0], F_SETFL, O_NONBLOCK);
  ga->music_pid = writer;
  ga->music_fd = ends[0];
  ga->music_on = 1;

  int music = 0, silent = 0;
  for (int i = 0; i < 2000 && ga->music_pid != 0; i++) {
    fetchMusicBlock(ga.get());
    if (startBlockLocked(ga.get(), out.data(), zero.data())) {
      music++;
      EXPECT_EQ(out[0], 0x0101);
      EXPECT_EQ(out[2047], 0x0101);
    } else {
      silent++;
      EXPECT_EQ(out, zero);
    }
    usleep(1000);
  }
  EXPECT_EQ(music, 1);
  EXPECT_GT(silent, 10) << "the pieces came slower than the reads";
  EXPECT_EQ(ga->music_on, 0) << "a track that gave a block ends as any other";
  EXPECT_EQ(ga->music_have, 0);
}

}  // namespace
