// Background music through the real /usr/bin/mpg123: names reach the
// decoder as one shell word, overlong names are refused, a new track ends
// the old decoder, and the end of a track closes the stream.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include "tests/common/gaudio_testing.h"

namespace {

using testing::internal::CaptureStderr;
using testing::internal::GetCapturedStderr;

const std::string kTrack = std::string(SQ_DATA_DIR) + "/sound/hamster.mp3";

std::vector<char> NextBlock(gameaudio *ga) {
  int16_t zero[GA_BLOCK_VALUES] = {};
  std::vector<char> block(GA_BLOCK_BYTES);
  startBlockLocked(ga, reinterpret_cast<int16_t *>(block.data()), zero);
  return block;
}

class Music : public ::testing::Test {
 protected:
  void TearDown() override { stopBackground(ga.get()); }
  Mixer ga = NewThreadlessMixer();
  std::string dir = MakeTempDir();
};

TEST_F(Music, AnyFileNameReachesTheDecoderAsOneWord) {
  std::string odd = dir + "/it's a $(touch injected) `touch injected2`; track.mp3";
  WriteFile(odd, ReadFile(kTrack));
  std::vector<char> expected = DecodeTrack(kTrack);
  ASSERT_GT(expected.size(), 8u * GA_BLOCK_BYTES);

  ASSERT_EQ(chdir(dir.c_str()), 0);
  playBackground(ga.get(), odd.c_str());
  EXPECT_EQ(checkBackground(ga.get()), 1);
  for (int i = 0; i < 8; i++) {
    std::vector<char> block = NextBlock(ga.get());
    ASSERT_EQ(block, std::vector<char>(expected.begin() + i * GA_BLOCK_BYTES,
                                       expected.begin() + (i + 1) * GA_BLOCK_BYTES))
        << "block " << i;
  }
  struct stat st;
  EXPECT_NE(stat((dir + "/injected").c_str(), &st), 0);
  EXPECT_NE(stat((dir + "/injected2").c_str(), &st), 0);
}

TEST_F(Music, ANameTooLongForTheCommandIsRefusedAndStopsTheMusic) {
  playBackground(ga.get(), kTrack.c_str());
  ASSERT_EQ(checkBackground(ga.get()), 1);
  std::string longName(GA_COMMAND_SIZE, 'x');
  CaptureStderr();
  playBackground(ga.get(), longName.c_str());
  EXPECT_NE(GetCapturedStderr().find("gaudio: "), std::string::npos);
  EXPECT_EQ(checkBackground(ga.get()), 0);
  EXPECT_TRUE(DecoderChildren().empty());

  // Quotes take four characters each once quoted; the limit counts them.
  std::string quotes(1100, '\'');
  CaptureStderr();
  playBackground(ga.get(), quotes.c_str());
  EXPECT_NE(GetCapturedStderr().find("gaudio: "), std::string::npos);
  EXPECT_EQ(checkBackground(ga.get()), 0);
}

TEST_F(Music, ANewTrackEndsTheOldDecoderFirst) {
  playBackground(ga.get(), kTrack.c_str());
  ASSERT_FALSE(WaitForDecoder().empty());
  auto before = DecoderChildren();
  ASSERT_EQ(before.size(), 1u);
  playBackground(ga.get(), kTrack.c_str());
  EXPECT_EQ(kill(before[0].first, 0), -1) << "the old decoder has ended and been reaped";
  WaitForDecoder();
  auto after = DecoderChildren();
  ASSERT_EQ(after.size(), 1u);
  EXPECT_NE(after[0].first, before[0].first);
  stopBackground(ga.get());
  EXPECT_EQ(checkBackground(ga.get()), 0);
  EXPECT_TRUE(DecoderChildren().empty());
}

TEST_F(Music, TheTrackEndsAtTheFirstShortBlock) {
  size_t decoded = DecodeTrack(kTrack).size();
  playBackground(ga.get(), kTrack.c_str());
  size_t full = 0;
  while (checkBackground(ga.get())) {
    std::vector<char> block = NextBlock(ga.get());
    if (ga->background_stream) full++;
    ASSERT_LT(full, 1000000u);
  }
  EXPECT_EQ(full, decoded / GA_BLOCK_BYTES);

  CaptureStderr();
  playBackground(ga.get(), (dir + "/missing.mp3").c_str());
  EXPECT_EQ(checkBackground(ga.get()), 1);
  NextBlock(ga.get());
  GetCapturedStderr();
  EXPECT_EQ(checkBackground(ga.get()), 0) << "a decoder that fails ends the music at once";
}

}  // namespace
