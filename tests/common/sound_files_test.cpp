// The shipped sound files, measured: every effect and track starts and ends
// at silence with no jump inside, effects share one loudness and peak below
// -6 dBFS, tracks near -9 dBFS, the bonus and the bounce sound apart, and
// music plus the three loudest effects, mixed as the mixer mixes them, never
// clip. SQ_SOUND_DIR names another folder to measure.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>

#include "tests/common/gaudio_testing.h"

namespace {

std::string SoundDir() {
  const char *dir = getenv("SQ_SOUND_DIR");
  return dir ? dir : std::string(SQ_DATA_DIR) + "/sound";
}

const char *kGameEffects[] = {"bomb_expl", "scale",   "applause", "cat_purr",
                              "boing",     "catmeow", "wob"};
const char *kEditorEffects[] = {"20th", "bleep", "scan1", "report", "tone"};
const char *kTracks[] = {"hamster", "bumblebee", "valk", "billtell"};

using Values = std::vector<int16_t>;

Values ToValues(const std::vector<char> &bytes) {
  Values v(bytes.size() / 2);
  memcpy(v.data(), bytes.data(), v.size() * 2);
  return v;
}

Values Effect(const std::string &name) {
  return ToValues(ReadFile(SoundDir() + "/" + name + ".raw"));
}
Values Track(const std::string &name) {
  return ToValues(DecodeTrack(SoundDir() + "/" + name + ".mp3"));
}

double Db(double level) { return 20 * std::log10(level / 32768.0); }

int Peak(const Values &v) {
  int p = 0;
  for (int16_t s : v) p = std::max(p, std::abs(int(s)));
  return p;
}

// RMS over the sounding part: the 10 ms windows within 30 dB of the loudest,
// the measure the sound script levels effects by.
double SoundingRms(const Values &v) {
  const size_t step = 2 * 441;
  std::vector<double> powers;
  for (size_t i = 0; i + step <= v.size(); i += step) {
    double sum = 0;
    for (size_t j = i; j < i + step; j++) sum += double(v[j]) * v[j];
    powers.push_back(sum / step);
  }
  double loudest = *std::max_element(powers.begin(), powers.end());
  double sum = 0;
  int n = 0;
  for (double p : powers)
    if (p >= loudest * 1e-3) sum += p, n++;
  return std::sqrt(sum / n);
}

// The first frame at which a channel jumps: a step of more than 2% of full
// scale that is over three times any step in the 2 ms either side. -1 if none.
long FindJump(const Values &v) {
  const long frames = v.size() / 2, around = 88;
  for (int c = 0; c < 2; c++) {
    std::vector<int> step(frames, 0);
    for (long f = 1; f < frames; f++) step[f] = std::abs(v[2 * f + c] - v[2 * (f - 1) + c]);
    for (long f = 1; f < frames; f++) {
      if (step[f] < 655) continue;
      int local = 0;
      for (long g = std::max(1L, f - around); g < std::min(frames, f + around + 1); g++)
        if (g != f) local = std::max(local, step[g]);
      if (step[f] > 3 * local) return f;
    }
  }
  return -1;
}

// Largest value in the first and in the last millisecond.
std::pair<int, int> EdgePeaks(const Values &v) {
  const size_t ms = 2 * 44;
  int head = 0, tail = 0;
  for (size_t i = 0; i < ms && i < v.size(); i++) head = std::max(head, std::abs(int(v[i])));
  for (size_t i = v.size() > ms ? v.size() - ms : 0; i < v.size(); i++)
    tail = std::max(tail, std::abs(int(v[i])));
  return {head, tail};
}

void ExpectCleanEdgesAndNoJump(const std::string &name, const Values &v) {
  ASSERT_GT(v.size(), 4410u) << name;
  auto [head, tail] = EdgePeaks(v);
  EXPECT_LE(head, 0.05 * Peak(v)) << name << " starts at silence";
  EXPECT_LE(tail, 0.05 * Peak(v)) << name << " ends at silence";
  EXPECT_EQ(FindJump(v), -1) << name << ": a jump at that frame";
}

TEST(SoundFiles, EffectsFadeInAndOutShareOneLoudnessAndPeakBelowMinus6) {
  std::map<std::string, double> loudness;
  for (const char *group : {"game", "editor"}) {
    bool game = std::string(group) == "game";
    for (const char *name :
         game ? std::vector<const char *>(std::begin(kGameEffects), std::end(kGameEffects))
              : std::vector<const char *>(std::begin(kEditorEffects), std::end(kEditorEffects))) {
      Values v = Effect(name);
      ExpectCleanEdgesAndNoJump(name, v);
      if (v.empty()) continue;
      double peak = Db(Peak(v));
      EXPECT_LE(peak, -6.0) << name;
      EXPECT_GE(peak, -20.0) << name;
      loudness[name] = Db(SoundingRms(v));
    }
  }
  double mean = 0;
  for (auto &[name, db] : loudness) mean += db / loudness.size();
  for (auto &[name, db] : loudness) EXPECT_NEAR(db, mean, 2.0) << name << " loudness, dBFS";
}

TEST(SoundFiles, TracksFadeInAndOutWithoutJumpsAndPeakNearMinus9) {
  for (const char *name : kTracks) {
    Values v = Track(name);
    ExpectCleanEdgesAndNoJump(name, v);
    if (v.empty()) continue;
    EXPECT_NEAR(Db(Peak(v)), -9.0, 1.0) << name;
    EXPECT_GT(v.size(), 10u * 44100 * 2) << name << " plays for more than 10 s";
  }
}

// Zero crossings per second of slot 0: a rough pitch.
double CrossingRate(const Values &v) {
  int n = 0;
  for (size_t i = 2; i < v.size(); i += 2) n += (v[i - 2] < 0) != (v[i] < 0);
  return n / (v.size() / 2 / 44100.0);
}

TEST(SoundFiles, TheBonusAndTheBounceAreDifferentSounds) {
  double wob = CrossingRate(Effect("wob")), boing = CrossingRate(Effect("boing"));
  EXPECT_GT(wob, 3 * boing) << "the bonus chime sits octaves above the bounce";
}

// Music from `at` with the given effects started together over it, mixed
// block by block by the mixer's own code; the number of values that reach
// full scale.
int ClippedInMix(const Values &music, size_t at, const std::vector<Values> &effects) {
  Mixer ga = NewThreadlessMixer();
  for (const Values &e : effects) {
    int id = copySample(ga.get(), e.data(), int(e.size() * 2));
    playSample(ga.get(), id, 1);
  }
  int clipped = 0;
  int16_t block[GA_BLOCK_VALUES];
  while (ga->num_playing > 0 && at + GA_BLOCK_VALUES <= music.size()) {
    startBlockLocked(ga.get(), block, music.data() + at);
    mixVoicesLocked(ga.get(), block);
    for (int16_t s : block) clipped += s == 32767 || s == -32768;
    at += GA_BLOCK_VALUES;
  }
  return clipped;
}

TEST(SoundFiles, MusicAndTheThreeLoudestEffectsTogetherDoNotClip) {
  std::vector<std::pair<int, std::string>> byPeak;
  for (const char *name : kGameEffects) byPeak.push_back({Peak(Effect(name)), name});
  std::sort(byPeak.rbegin(), byPeak.rend());
  std::vector<Values> loudest;
  for (int i = 0; i < 3; i++) loudest.push_back(Effect(byPeak[i].second));
  for (const char *name : {"bumblebee", "valk", "billtell"}) {
    Values music = Track(name);
    int clipped = 0;
    for (size_t at = 0; at + 44100 * 2 * 3 < music.size(); at += 11025 * 2)
      clipped += ClippedInMix(music, at, loudest);
    EXPECT_EQ(clipped, 0) << name << " with " << byPeak[0].second << ", " << byPeak[1].second
                          << " and " << byPeak[2].second;
  }
}

}  // namespace

namespace {

TEST(SoundFiles, TheScriptMakesTheSameFilesByteForByteOnEveryRun) {
  if (getenv("SQ_SOUND_DIR")) GTEST_SKIP() << "measuring another folder";
  std::string out = MakeTempDir();
  std::string cmd = "bash '" SQ_SOURCE_DIR "/assets/make_sounds.sh' '" + out + "' >/dev/null 2>&1";
  ASSERT_EQ(system(cmd.c_str()), 0);
  int compared = 0;
  for (const auto &entry : std::filesystem::directory_iterator(SoundDir())) {
    std::string name = entry.path().filename();
    EXPECT_EQ(ReadFile(entry.path()), ReadFile(out + "/sound/" + name)) << name;
    compared++;
  }
  EXPECT_EQ(compared, 16);
}

}  // namespace
