// Background music through the real /usr/bin/mpg123: names reach the
// decoder as one shell word, overlong names are refused, a new track ends
// the old decoder, the end of a track ends the music, and a track that
// cannot play is reported once and stays current, silent.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include "tests/common/gaudio_testing.h"

namespace {

using testing::internal::CaptureStderr;
using testing::internal::GetCapturedStderr;

const std::string kTrack = std::string(SQ_DATA_DIR) + "/sound/hamster.mp3";

int Count(const std::string &text, const std::string &part) {
  int n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) n++;
  return n;
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
    std::vector<char> block = NextMusicBlock(ga.get());
    ASSERT_EQ(block, std::vector<char>(expected.begin() + i * GA_BLOCK_BYTES,
                                       expected.begin() + (i + 1) * GA_BLOCK_BYTES))
        << "block " << i;
  }
  struct stat st;
  EXPECT_NE(stat((dir + "/injected").c_str(), &st), 0);
  EXPECT_NE(stat((dir + "/injected2").c_str(), &st), 0);
}

// A refused name is a track that cannot play: current, silent, no decoder.
TEST_F(Music, ANameTooLongForTheCommandIsRefusedAndStopsTheMusic) {
  playBackground(ga.get(), kTrack.c_str());
  ASSERT_EQ(checkBackground(ga.get()), 1);
  std::string longName(GA_COMMAND_SIZE, 'x');
  CaptureStderr();
  playBackground(ga.get(), longName.c_str());
  EXPECT_NE(GetCapturedStderr().find("gaudio: "), std::string::npos);
  EXPECT_EQ(checkBackground(ga.get()), 1);
  EXPECT_TRUE(NextMusicBlock(ga.get()).empty());
  EXPECT_TRUE(WaitForNoDecoder());

  // Quotes take four characters each once quoted; the limit counts them.
  std::string quotes(1100, '\'');
  CaptureStderr();
  playBackground(ga.get(), quotes.c_str());
  EXPECT_NE(GetCapturedStderr().find("gaudio: "), std::string::npos);
  EXPECT_TRUE(NextMusicBlock(ga.get()).empty());
  stopBackground(ga.get());
  EXPECT_EQ(checkBackground(ga.get()), 0);
}

TEST_F(Music, ANewTrackEndsTheOldDecoderFirst) {
  playBackground(ga.get(), kTrack.c_str());
  ASSERT_FALSE(WaitForDecoder().empty());
  auto before = DecoderChildren();
  ASSERT_EQ(before.size(), 1u);
  playBackground(ga.get(), kTrack.c_str());
  // Killed at once, reaped by a later call without waiting for it.
  for (int i = 0; i < 100 && kill(before[0].first, 0) == 0; i++) {
    usleep(10000);
    checkBackground(ga.get());
  }
  EXPECT_EQ(kill(before[0].first, 0), -1) << "the old decoder has ended and been reaped";
  WaitForDecoder();
  auto after = DecoderChildren();
  ASSERT_EQ(after.size(), 1u);
  EXPECT_NE(after[0].first, before[0].first);
  stopBackground(ga.get());
  EXPECT_EQ(checkBackground(ga.get()), 0);
  EXPECT_TRUE(WaitForNoDecoder());
  for (int i = 0; i < 100 && ga->num_retired > 0; i++) {
    usleep(10000);
    checkBackground(ga.get());
  }
  EXPECT_EQ(ga->num_retired, 0);
  EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1) << "no child left, not even a zombie";
}

// The mixing thread reads a pipe outside the lock; a track ended meanwhile
// leaves that pipe to it. Tracks started and ended during the same read are
// not the reader's: their pipes close at once, or they would stay open for
// good.
TEST_F(Music, OnlyThePipeUnderReadIsLeftToTheReader) {
  playBackground(ga.get(), kTrack.c_str());
  const int read = ga->music_fd;
  ga->music_reading = 1;  // as fetchMusicBlock marks it before its read
  playBackground(ga.get(), kTrack.c_str());
  const int next = ga->music_fd;
  ASSERT_NE(next, read);
  stopBackground(ga.get());
  EXPECT_EQ(fcntl(next, F_GETFD), -1) << "the pipe of a track the reader never saw is closed";
  EXPECT_NE(fcntl(read, F_GETFD), -1) << "the pipe under read is the reader's to close";
  close(read);  // as the reader does once back under the lock
  ga->music_reading = 0;
}

TEST_F(Music, TheTrackEndsAtTheFirstShortBlock) {
  size_t decoded = DecodeTrack(kTrack).size();
  playBackground(ga.get(), kTrack.c_str());
  size_t full = 0;
  while (!NextMusicBlock(ga.get()).empty()) ASSERT_LT(++full, 1000000u);
  EXPECT_EQ(full, decoded / GA_BLOCK_BYTES);
  EXPECT_EQ(checkBackground(ga.get()), 0);
}

// A missing file (or a missing decoder) ends the decoder at once. Said once,
// the track stays current so that nothing starts the next one in a loop;
// the next track change is heard as usual.
TEST_F(Music, ATrackThatCannotPlayIsReportedOnceAndStaysCurrentSilent) {
  CaptureStderr();
  playBackground(ga.get(), (dir + "/missing.mp3").c_str());
  EXPECT_TRUE(NextMusicBlock(ga.get()).empty());
  for (int i = 0; i < 50; i++) {
    fetchMusicBlock(ga.get());
    EXPECT_EQ(checkBackground(ga.get()), 1);
  }
  std::string err = GetCapturedStderr();
  EXPECT_EQ(Count(err, "gaudio: no music from " + dir + "/missing.mp3"), 1) << err;
  EXPECT_TRUE(WaitForNoDecoder());

  playBackground(ga.get(), kTrack.c_str());
  EXPECT_FALSE(NextMusicBlock(ga.get()).empty());
  stopBackground(ga.get());
  EXPECT_EQ(checkBackground(ga.get()), 0);
}

}  // namespace
