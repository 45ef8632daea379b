// The settings file: every value the controls can set survives a write and a
// read, values they cannot set and unknown names are ignored with a warning,
// and the file on disk is written once a change has settled, at exit, and
// never from a sound device that failed to open.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "common/drawing.h"
#include "game/scoreboard.h"
#include "game/settings.h"
#include "game/squeakling.h"

namespace {

constexpr int kTrackWidth = 180;  // SCheese: factors 0.5 ... 2, lives 1 ... 16, cheese 5 ... 35

std::string ReadAll(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST(SettingsText, StartValuesAreThoseOfInitSettings) {
  InitSettings();
  EXPECT_TRUE(SameSettings(CaptureSettings(), StartSettings()));
  std::vector<std::string> warnings;
  EXPECT_TRUE(SameSettings(ParseSettings("", kTrackWidth, &warnings), StartSettings()));
  EXPECT_TRUE(warnings.empty());
}

TEST(SettingsText, EverySliderValueAndButtonStateRoundTrips) {
  InitSettings();
  for (int x = 525; x <= 495 + kTrackWidth; x++) {
    DoSpeedSlider(x, kSliderTrackX);
    DoCatSlider(x, kSliderTrackX);
    DoBonusSlider(x, kSliderTrackX);
    DoLivesSlider(x, kSliderTrackX);
    DoCheeseSlider(x, kSliderTrackX);
    viewPoint = x % 3;
    shadowsOn = x % 4;
    g_bTexture = x % 2, CAT_EXISTS = x % 3 == 0, SOUND_ON = x % 5 == 0;
    SettingsRecord record = CaptureSettings();
    std::vector<std::string> warnings;
    SettingsRecord back = ParseSettings(FormatSettings(record), kTrackWidth, &warnings);
    ASSERT_TRUE(warnings.empty()) << "x " << x << ": " << warnings[0];
    ASSERT_TRUE(SameSettings(back, record)) << "x " << x << "\n" << FormatSettings(record);
  }
}

TEST(SettingsText, ValuesNoControlCanSetAndUnknownNamesAreIgnoredOneWarningEach) {
  std::string text =
      "# a comment\n"
      "\n"
      "  lives =   7  \n"
      "mouse_speed = 2.01\n"  // past the slider's right end
      "cat_speed = 0.49\n"    // before its left end
      "bonus = 1e400\n"
      "cheese = 4\n"
      "view = 3\n"
      "shadows = -1\n"
      "textures = 2\n"
      "sound = yes\n"
      "volume = 11\n"
      "reflections 0\n"
      "cat = 0\n";
  std::vector<std::string> warnings;
  SettingsRecord r = ParseSettings(text, kTrackWidth, &warnings);
  SettingsRecord start = StartSettings();
  EXPECT_EQ(r.lives, 7);
  EXPECT_EQ(r.cat, 0);
  EXPECT_EQ(r.mouseSpeed, start.mouseSpeed);
  EXPECT_EQ(r.catSpeed, start.catSpeed);
  EXPECT_EQ(r.bonus, start.bonus);
  EXPECT_EQ(r.cheese, start.cheese);
  EXPECT_EQ(r.view, start.view);
  EXPECT_EQ(r.shadows, start.shadows);
  EXPECT_EQ(r.textures, start.textures);
  EXPECT_EQ(r.sound, start.sound);
  EXPECT_EQ(r.reflections, start.reflections);
  ASSERT_EQ(warnings.size(), 10u);
  const char *named[] = {"mouse_speed", "cat_speed", "bonus", "cheese", "view",
                         "shadows",     "textures",  "sound", "volume", "reflections"};
  for (size_t i = 0; i < warnings.size(); i++)
    EXPECT_NE(warnings[i].find(named[i]), std::string::npos) << warnings[i];
  EXPECT_NE(warnings[0].find("line 4"), std::string::npos) << warnings[0];
  EXPECT_NE(warnings[0].find("0.5 to 2"), std::string::npos) << warnings[0];
}

TEST(SettingsText, TheSlidersEndsAreTheRange) {
  std::vector<std::string> warnings;
  SettingsRecord r = ParseSettings("mouse_speed = 2\nlives = 16\ncheese = 35\nbonus = 0.5\n",
                                   kTrackWidth, &warnings);
  EXPECT_TRUE(warnings.empty());
  EXPECT_EQ(r.mouseSpeed, 2.0);
  EXPECT_EQ(r.lives, 16);
  EXPECT_EQ(r.cheese, 35);
  ParseSettings("lives = 17\ncheese = 36\n", kTrackWidth, &warnings);
  EXPECT_EQ(warnings.size(), 2u);
}

// ---- The file ----

class SettingsFile : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/settings-test-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    home = pattern;
    setenv("XDG_CONFIG_HOME", home.c_str(), 1);
    path = home + "/squeakling/settings";
    imageWidth[kImageSCheese] = kTrackWidth;
  }
  void TearDown() override { ASSERT_EQ(system(("rm -rf '" + home + "'").c_str()), 0); }
  void Write(const std::string &text) {
    ASSERT_EQ(system(("mkdir -p '" + home + "/squeakling'").c_str()), 0);
    std::ofstream(path, std::ios::binary) << text;
  }
  // Start-up as main runs it, the sound device opening or not.
  std::string StartRun(BOOL soundDevice = TRUE) {
    testing::internal::CaptureStderr();
    InitSettings();
    ReadSettingsFile();
    if (!soundDevice) SOUND_ON = 0;
    SettleSettings();
    return testing::internal::GetCapturedStderr();
  }
  std::string home, path;
};

TEST_F(SettingsFile, AChangeIsWrittenOnceItSettlesAndReadByTheNextRun) {
  EXPECT_EQ(StartRun(), "");
  KeepSettings(10.0);
  EXPECT_FALSE(std::ifstream(path).good()) << "nothing changed, nothing written";
  DoLivesSlider(600, kSliderTrackX);
  KeepSettings(10.1);
  DoLivesSlider(640, kSliderTrackX);  // a drag: still moving
  KeepSettings(10.4);
  EXPECT_FALSE(std::ifstream(path).good());
  KeepSettings(10.95);
  ASSERT_NE(ReadAll(path).find("lives = 12\n"), std::string::npos) << ReadAll(path);
  ToggleTextures();
  FlushSettings();  // at exit, however recent
  EXPECT_NE(ReadAll(path).find("textures = 0\n"), std::string::npos);

  EXPECT_EQ(StartRun(), "");
  EXPECT_EQ(initLives, 12);
  EXPECT_EQ(livesLeft, 12);
  EXPECT_EQ(g_bTexture, 0);
}

TEST_F(SettingsFile, ASoundDeviceThatFailedDoesNotOverwriteTheSavedSound) {
  Write("sound = 1\n");
  StartRun(FALSE);
  EXPECT_EQ(SOUND_ON, 0);
  viewPoint = VIEW_OVERHEAD;
  FlushSettings();
  EXPECT_NE(ReadAll(path).find("sound = 1\n"), std::string::npos) << ReadAll(path);
  EXPECT_NE(ReadAll(path).find("view = 2\n"), std::string::npos);
  SOUND_ON = 1;  // the player's own choice, then off again
  KeepSettings(1.0);
  SOUND_ON = 0;
  FlushSettings();
  EXPECT_NE(ReadAll(path).find("sound = 0\n"), std::string::npos) << ReadAll(path);
  StartRun(TRUE);
  EXPECT_EQ(SOUND_ON, 0) << "saved off stays off";
}

TEST_F(SettingsFile, BadValuesWarnByNameAndABinaryFileIsSetAside) {
  Write("lives = 99\nlives = 4\n");
  std::string told = StartRun();
  EXPECT_NE(told.find(path + ": line 1: lives = 99"), std::string::npos) << told;
  EXPECT_EQ(initLives, 4);

  const std::string noise(
      "\x7f"
      "ELF\x02\x01\x00\x00",
      8);
  Write(noise);
  told = StartRun();
  EXPECT_NE(told.find("moved to " + path + ".bad"), std::string::npos) << told;
  EXPECT_EQ(ReadAll(path + ".bad"), noise);
  EXPECT_EQ(initLives, 3);
  ToggleSpotlights();
  FlushSettings();
  EXPECT_NE(ReadAll(path).find("spotlights = 0\n"), std::string::npos);
  EXPECT_EQ(ReadAll(path + ".bad"), noise);
}

// Without the lock the file cannot be set aside: it is still no settings
// file, so neither its lines nor its bytes reach the game or the terminal.
TEST_F(SettingsFile, ABinaryFileThatCannotBeSetAsideIsNotRead) {
  const std::string noise("lives = 7\n\x1b[2J\x00\x01", 15);
  Write(noise);
  ASSERT_EQ(mkdir((path + ".lock").c_str(), 0755), 0);
  std::string told = StartRun();
  EXPECT_EQ(initLives, 3);
  EXPECT_EQ(told.find('\x1b'), std::string::npos) << told;
  EXPECT_NE(told.find("not kept"), std::string::npos) << told;
  ToggleSpotlights();
  FlushSettings();
  EXPECT_EQ(ReadAll(path), noise);
}

}  // namespace
