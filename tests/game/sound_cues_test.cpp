// The game's sound cues on a threadless mixer: the nine samples in order,
// the purr's side and volume, the music cycle across sound off and on, and
// tracks that cannot play.
#include <gtest/gtest.h>

#include "game/squeakling.h"
#include "tests/common/gaudio_testing.h"

namespace {

using testing::internal::CaptureStderr;
using testing::internal::GetCapturedStderr;

class Cues : public ::testing::Test {
 protected:
  void SetUp() override {
    SetUpThreadlessMixer(&soundFX);
    ASSERT_EQ(chdir(SQ_DATA_DIR), 0);
    SOUND_ON = 1;
    mouseorient = 0;
    backmusic = 0;
  }
  void TearDown() override {
    endMusicLocked(&soundFX);
    for (int i = 0; i < soundFX.num_samples; i++) free(soundFX.samples[i].data);
    close(soundFX.audio_fd);
  }
  // Simulation steps, each with the mixing thread's read, until the decoder
  // of the track has ended and some steps after.
  void StepsPastTheDecoder() {
    for (int i = 0; i < 5000 && soundFX.music_pid != 0; i++) {
      fetchMusicBlock(&soundFX);
      KeepMusicGoing();
      usleep(1000);
    }
    for (int i = 0; i < 100; i++) {
      fetchMusicBlock(&soundFX);
      KeepMusicGoing();
    }
  }
  // Plays the purr twice: the second call's ctrlSample reaches the first
  // voice, which shows the chosen sample's volume and pan.
  const ga_playing &Purr(int heading, double x1, double y1, double x2, double y2) {
    mouseorient = heading;
    soundFX.num_playing = 0;
    PlayPositionSound(catpurL_id, x1, y1, x2, y2);
    PlayPositionSound(catpurL_id, x1, y1, x2, y2);
    return soundFX.playing[0];
  }
  // The track the running decoder was started on.
  std::string Track() {
    std::string cmd = WaitForDecoder();
    for (const char *t : {"bumblebee", "valk", "billtell"})
      if (cmd.find(std::string("./sound/") + t + ".mp3") != std::string::npos) return t;
    return "none";
  }
};

TEST_F(Cues, NineSamplesLoadInOrderThePurrThreeWays) {
  LoadSoundSamples();
  int ids[] = {crash_id,   eaten_id, levelpassed_id, catpurL_id, catpurR_id,
               catpurC_id, boing_id, catmeow_id,     bonus_id};
  for (int i = 0; i < 9; i++) EXPECT_EQ(ids[i], i);
  std::vector<char> purr = ReadFile("./sound/cat_purr.raw");
  ASSERT_GT(purr.size(), 4000u);
  const int16_t *raw = reinterpret_cast<const int16_t *>(purr.data());
  size_t frames = purr.size() / 4;
  bool leftCleared = true, rightCleared = true, centreKept = true;
  for (size_t f = 0; f < frames; f++) {
    leftCleared &= soundFX.samples[catpurL_id].data[2 * f] == 0 &&
                   soundFX.samples[catpurL_id].data[2 * f + 1] == raw[2 * f + 1];
    rightCleared &= soundFX.samples[catpurR_id].data[2 * f + 1] == 0 &&
                    soundFX.samples[catpurR_id].data[2 * f] == raw[2 * f];
    centreKept &= soundFX.samples[catpurC_id].data[2 * f] == raw[2 * f];
  }
  EXPECT_TRUE(leftCleared);
  EXPECT_TRUE(rightCleared);
  EXPECT_TRUE(centreKept);
}

TEST_F(Cues, MissingFilesLeaveFailedIdsThatPlayNothing) {
  std::string empty = MakeTempDir();
  ASSERT_EQ(chdir(empty.c_str()), 0);
  CaptureStderr();
  LoadSoundSamples();
  std::string err = GetCapturedStderr();
  EXPECT_NE(err.find("gaudio: error opening sample ./sound/bomb_expl.raw\n"), std::string::npos);
  EXPECT_EQ(crash_id, -1);
  EXPECT_EQ(bonus_id, -1);
  EXPECT_EQ(playSample(&soundFX, crash_id, 1), 0);
  PlayPositionSound(catpurL_id, 0, 0, 0, 0);
  EXPECT_EQ(soundFX.num_playing, 0);
  // The run's first voice has playing id -1, the failed purr's id.
  int16_t tone[64] = {};
  const int voice = playSample(&soundFX, copySample(&soundFX, tone, sizeof tone), 0);
  ASSERT_EQ(voice, -1);
  PlayPositionSound(catpurL_id, 0, 0, 30, 30);  // far enough for volume 0
  ASSERT_EQ(soundFX.num_playing, 1);
  EXPECT_EQ(soundFX.playing[0].b, 256) << "a purr that did not load turns no other voice";
}

TEST_F(Cues, PurrComesFromTheCatsSideAtItsDistance) {
  LoadSoundSamples();
  const ga_playing &left = Purr(0, 10, 10, 12, 13);  // d = -3, distance 3.606
  EXPECT_EQ(left.sample_id, catpurL_id);
  EXPECT_EQ(left.a, 213);  // 212.73 rounded; pan 0 puts all of it on a
  EXPECT_EQ(left.b, 0);
  EXPECT_EQ(soundFX.playing[1].b, 256) << "the new purr starts with the defaults";

  EXPECT_EQ(Purr(180, 10, 10, 12, 13).sample_id, catpurR_id);
  const ga_playing &ahead = Purr(90, 10, 10, 11.5, 30);  // d = -1.5, distance 20.06
  EXPECT_EQ(ahead.sample_id, catpurC_id);
  EXPECT_EQ(ahead.a, 15);
  EXPECT_EQ(Purr(0, 10, 10, 10, 35).a, 0) << "25 cells away";

  // Exactly 2 cells picks a side; the last band runs to 360.
  EXPECT_EQ(Purr(45, 10, 10, 20, 8).sample_id, catpurR_id);
  EXPECT_EQ(Purr(89, 10, 10, 20, 12).sample_id, catpurL_id);
  EXPECT_EQ(Purr(100, 10, 10, 8, 20).sample_id, catpurR_id);
  EXPECT_EQ(Purr(200, 10, 10, 20, 12).sample_id, catpurR_id);
  EXPECT_EQ(Purr(270, 10, 10, 13, 10).sample_id, catpurR_id);
  EXPECT_EQ(Purr(360, 10, 10, 7, 10).sample_id, catpurL_id);
  EXPECT_EQ(Purr(300, 10, 10, 11, 30).sample_id, catpurC_id);

  SOUND_ON = 0;
  soundFX.num_playing = 0;
  PlayPositionSound(catpurL_id, 10, 10, 12, 13);
  EXPECT_EQ(soundFX.num_playing, 0);
}

TEST_F(Cues, MusicCyclesOnAcrossSoundOffAndOn) {
  KeepMusicGoing();
  EXPECT_EQ(backmusic, 1);
  EXPECT_EQ(Track(), "bumblebee");
  KeepMusicGoing();  // music plays: nothing to do
  EXPECT_EQ(backmusic, 1);

  SOUND_ON = 0;
  KeepMusicGoing();
  EXPECT_EQ(checkBackground(&soundFX), 0);
  ChangeMusic();  // a finished level while sound is off
  EXPECT_EQ(backmusic, 2);
  EXPECT_EQ(checkBackground(&soundFX), 0);

  SOUND_ON = 1;
  KeepMusicGoing();
  EXPECT_EQ(backmusic, 3);
  EXPECT_EQ(Track(), "billtell") << "the next track, not the one that was stopped";

  ChangeMusic();  // replaces the playing track, wrapping to the first
  EXPECT_EQ(backmusic, 1);
  EXPECT_EQ(Track(), "bumblebee");
  EXPECT_EQ(DecoderChildren().size(), 1u);

  backmusic = 7;
  SOUND_ON = 0;
  KeepMusicGoing();
  SOUND_ON = 1;
  KeepMusicGoing();
  EXPECT_EQ(backmusic, 1);
  EXPECT_EQ(Track(), "bumblebee");
}

// Tracks missing: each track change the game makes starts one decoder,
// says once that it gave no music, and the steps that follow start nothing.
TEST_F(Cues, ATrackThatCannotPlayIsTriedOncePerTrackChange) {
  std::string empty = MakeTempDir();
  ASSERT_EQ(chdir(empty.c_str()), 0);
  CaptureStderr();
  KeepMusicGoing();
  StepsPastTheDecoder();
  EXPECT_EQ(backmusic, 1);
  ChangeMusic();  // a finished level
  StepsPastTheDecoder();
  EXPECT_EQ(backmusic, 2);
  std::string err = GetCapturedStderr();
  int said = 0;
  for (size_t at = err.find("gaudio: no music from ./sound/"); at != std::string::npos;
       at = err.find("gaudio: no music from ./sound/", at + 1))
    said++;
  EXPECT_EQ(said, 2) << err;
}

}  // namespace
