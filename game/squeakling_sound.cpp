// The game's sound cues: the nine effect samples, the cat's purr placed by
// where the cat is relative to the mouse's heading, and the background music
// cycling through three tracks. Every call goes to the mixer record soundFX.
#include <cmath>
#include <iterator>

#include "common/gaudio.h"
#include "game/squeakling.h"

int crash_id = -1, eaten_id = -1, levelpassed_id = -1, catpurL_id = -1, catpurR_id = -1,
    catpurC_id = -1, boing_id = -1, catmeow_id = -1, bonus_id = -1;
int backmusic = 0;
double volSlope = -12.0;

namespace {

constexpr const char *kPurrFile = "./sound/cat_purr.raw";
constexpr const char *kTracks[] = {"./sound/bumblebee.mp3", "./sound/valk.mp3",
                                   "./sound/billtell.mp3"};
constexpr int kTrackCount = static_cast<int>(std::size(kTracks));
constexpr double kSideBand = 2.0;  // cells of offset before the purr moves to a side

// The purr sample for an offset d along the axis across the mouse's view:
// d <= -2 is one side, d >= 2 the other, between them ahead or behind.
int PurrForOffset(double d, int sideLow, int sideHigh) {
  if (d <= -kSideBand) return sideLow;
  if (d >= kSideBand) return sideHigh;
  return catpurC_id;
}

int ChoosePurr(double x1, double y1, double x2, double y2) {
  if (mouseorient < 90) return PurrForOffset(y1 - y2, catpurL_id, catpurR_id);
  if (mouseorient < 180) return PurrForOffset(x1 - x2, catpurL_id, catpurR_id);
  if (mouseorient < 270) return PurrForOffset(y1 - y2, catpurR_id, catpurL_id);
  return PurrForOffset(x1 - x2, catpurR_id, catpurL_id);
}

// 256 where the animals meet, falling by volSlope per cell, never below 0;
// halves round upward.
int PurrVolume(double distance) {
  double volume = volSlope * distance + 256.0;
  if (volume < 0) return 0;
  double whole = std::floor(volume);
  return static_cast<int>(whole) + (volume - whole >= 0.5 ? 1 : 0);
}

}  // namespace

void LoadSoundSamples(void) {
  crash_id = loadSample(&soundFX, "./sound/bomb_expl.raw");
  eaten_id = loadSample(&soundFX, "./sound/scale.raw");
  levelpassed_id = loadSample(&soundFX, "./sound/applause.raw");
  catpurL_id = loadSampleLeft(&soundFX, kPurrFile);
  catpurR_id = loadSampleRight(&soundFX, kPurrFile);
  catpurC_id = loadSample(&soundFX, kPurrFile);
  boing_id = loadSample(&soundFX, "./sound/boing.raw");
  catmeow_id = loadSample(&soundFX, "./sound/catmeow.raw");
  bonus_id = loadSample(&soundFX, "./sound/wob.raw");
}

// soundId is not used: the side is chosen here from the two positions.
void PlayPositionSound(int, double x1, double y1, double x2, double y2) {
  if (!SOUND_ON) return;
  int sample = ChoosePurr(x1, y1, x2, y2);
  // A purr that did not load is -1, which the mixer takes for the run's
  // first playing voice: turning it would change some other sound.
  if (sample < 0) return;
  int volume = PurrVolume(std::sqrt((x1 - x2) * (x1 - x2) + (y1 - y2) * (y1 - y2)));
  // Reaches only purrs still playing; the new voice starts at the mixer's
  // default routing and full volume.
  ctrlSample(&soundFX, sample, volume, 0);
  playSample(&soundFX, sample, 1);
}

// backmusic counts on while sound is off, so the cycle resumes with the
// track after the last one chosen.
void ChangeMusic(void) {
  backmusic++;
  if (!SOUND_ON) return;
  if (checkBackground(&soundFX)) stopBackground(&soundFX);
  if (backmusic > kTrackCount || backmusic < 1) backmusic = 1;
  playBackground(&soundFX, kTracks[backmusic - 1]);
}

void KeepMusicGoing(void) {
  int playing = checkBackground(&soundFX);
  if (!playing && SOUND_ON) {
    ChangeMusic();
  } else if (playing && !SOUND_ON) {
    stopBackground(&soundFX);
  }
}
