// The shared command line (the programs' options among GLUT's), the scale
// read from the X resources and the window size it gives.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/window.h"

namespace {

CommandLine Parse(std::vector<std::string> args) {
  static std::vector<std::string> kept;  // argv strings outlive the call
  kept = std::move(args);
  kept.insert(kept.begin(), "squeakling");
  std::vector<char *> argv;
  for (std::string &arg : kept) argv.push_back(&arg[0]);
  return ParseCommandLine(static_cast<int>(argv.size()), argv.data());
}

TEST(CommandLine, OptionsAndTheOperandInAnyOrder) {
  CommandLine none = Parse({});
  EXPECT_EQ(none.action, COMMAND_RUN);
  EXPECT_FALSE(none.fullScreen);
  EXPECT_EQ(none.positional, nullptr);

  for (auto args : {std::vector<std::string>{"--fullscreen", "set.txt"},
                    std::vector<std::string>{"set.txt", "--fullscreen"}}) {
    CommandLine c = Parse(args);
    EXPECT_EQ(c.action, COMMAND_RUN);
    EXPECT_TRUE(c.fullScreen);
    ASSERT_NE(c.positional, nullptr);
    EXPECT_STREQ(c.positional, "set.txt");
  }
  // Two operands name none, so the game falls back to its default set.
  CommandLine two = Parse({"a.txt", "b.txt"});
  EXPECT_EQ(two.positionals, 2);
  EXPECT_EQ(two.positional, nullptr);
  // A lone dash and anything after "--" are operands.
  EXPECT_STREQ(Parse({"-"}).positional, "-");
  CommandLine ended = Parse({"--", "--help"});
  EXPECT_EQ(ended.action, COMMAND_RUN);
  EXPECT_STREQ(ended.positional, "--help");
}

TEST(CommandLine, GlutOptionsAreSkippedWithTheirValues) {
  CommandLine c = Parse({"-display", ":7", "-geometry", "800x400+5+5", "-iconic", "-sync",
                         "levels.txt", "-gldebug", "-direct"});
  EXPECT_EQ(c.action, COMMAND_RUN);
  EXPECT_STREQ(c.display, ":7");
  EXPECT_TRUE(c.geometrySize);
  EXPECT_STREQ(c.positional, "levels.txt");
  // A value that looks like an option is still the option's value.
  EXPECT_STREQ(Parse({"-display", "--help"}).display, "--help");
  // A position alone leaves the size to the desktop's scale.
  EXPECT_FALSE(Parse({"-geometry", "+10+10"}).geometrySize);
  EXPECT_TRUE(Parse({"-geometry", "=640x320"}).geometrySize);
}

TEST(CommandLine, HelpVersionAndUnknownOptions) {
  EXPECT_EQ(Parse({"--help"}).action, COMMAND_HELP);
  EXPECT_EQ(Parse({"set.txt", "--version"}).action, COMMAND_VERSION);
  for (auto bad : {"--bogus", "-x", "--fullscreen=yes", "--help=1", "-fullscreen"}) {
    CommandLine c = Parse({bad});
    EXPECT_EQ(c.action, COMMAND_UNKNOWN) << bad;
    EXPECT_NE(c.problem.find(bad), std::string::npos) << c.problem;
  }
  // The first of them decides.
  EXPECT_EQ(Parse({"--bogus", "--help"}).action, COMMAND_UNKNOWN);
  EXPECT_EQ(Parse({"--help", "--bogus"}).action, COMMAND_HELP);
  CommandLine missing = Parse({"set.txt", "-geometry"});
  EXPECT_EQ(missing.action, COMMAND_UNKNOWN);
  EXPECT_NE(missing.problem.find("-geometry"), std::string::npos);
  int status = -1;
  ProgramUsage usage = {"squeakling", "LEVEL-SET", "purpose", "operand"};
  testing::internal::CaptureStderr();
  EXPECT_TRUE(AnswerCommandLine(missing, usage, &status));
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(status, 2);
  EXPECT_NE(err.find("Usage: squeakling [--fullscreen] [LEVEL-SET]"), std::string::npos) << err;
  EXPECT_FALSE(AnswerCommandLine(Parse({"x"}), usage, &status));
}

TEST(CommandLine, SceneScaleForTheGameOnly) {
  EXPECT_EQ(Parse({}).sceneScale, SCENE_SCALE_AUTO);
  EXPECT_FALSE(Parse({}).sceneScaleGiven);
  EXPECT_EQ(Parse({"--scene-scale=full", "set.txt"}).sceneScale, SCENE_SCALE_FULL);
  EXPECT_EQ(Parse({"--scene-scale=reduced"}).sceneScale, SCENE_SCALE_REDUCED);
  CommandLine last = Parse({"--scene-scale=full", "--scene-scale=auto"});
  EXPECT_EQ(last.sceneScale, SCENE_SCALE_AUTO);
  EXPECT_TRUE(last.sceneScaleGiven);
  for (auto bad : {"--scene-scale=", "--scene-scale=half", "--scene-scale", "--scene-scale=Full"}) {
    CommandLine c = Parse({bad});
    EXPECT_EQ(c.action, COMMAND_UNKNOWN) << bad;
    EXPECT_NE(c.problem.find(bad), std::string::npos) << c.problem;
  }
  // The editor draws no game scene: the option is unknown to it, and only
  // the game's usage lists it.
  ProgramUsage game = {"squeakling", "LEVEL-SET", "purpose", "operand", TRUE};
  ProgramUsage editor = {"gridcraft", "FILE", "purpose", "operand"};
  int status = -1;
  EXPECT_FALSE(AnswerCommandLine(Parse({"--scene-scale=full"}), game, &status));
  testing::internal::CaptureStderr();
  EXPECT_TRUE(AnswerCommandLine(Parse({"--scene-scale=full"}), editor, &status));
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(status, 2);
  EXPECT_NE(err.find("--scene-scale"), std::string::npos) << err;
  EXPECT_EQ(err.find("auto|full|reduced"), std::string::npos) << err;
  testing::internal::CaptureStdout();
  EXPECT_TRUE(AnswerCommandLine(Parse({"--help"}), game, &status));
  const std::string help = testing::internal::GetCapturedStdout();
  EXPECT_NE(help.find("[--scene-scale=auto|full|reduced]"), std::string::npos) << help;
}

TEST(DesktopScale, XftDpiFromTheResourceString) {
  EXPECT_DOUBLE_EQ(DesktopScaleFromResources(nullptr), 1.0);
  EXPECT_DOUBLE_EQ(DesktopScaleFromResources(""), 1.0);
  EXPECT_DOUBLE_EQ(DesktopScaleFromResources("Xft.dpi:\t192\n"), 2.0);
  EXPECT_DOUBLE_EQ(DesktopScaleFromResources("*background:\tgrey\nXft.dpi:\t144"), 1.5);
  EXPECT_DOUBLE_EQ(DesktopScaleFromResources("Xft.antialias:\t1\nXft.dpi:\t96\n"), 1.0);
  // Other names, numbers that are not, and absurd values mean no scale.
  EXPECT_DOUBLE_EQ(DesktopScaleFromResources("Xft.dpix:\t192\n"), 1.0);
  EXPECT_DOUBLE_EQ(DesktopScaleFromResources("xterm*Xft.dpi:\t192\n"), 1.0);
  EXPECT_DOUBLE_EQ(DesktopScaleFromResources("Xft.dpi:\tlarge\n"), 1.0);
  EXPECT_DOUBLE_EQ(DesktopScaleFromResources("Xft.dpi:\t192dpi\n"), 1.0);
  EXPECT_DOUBLE_EQ(DesktopScaleFromResources("Xft.dpi:\t0\n"), 1.0);
  EXPECT_DOUBLE_EQ(DesktopScaleFromResources("Xft.dpi:\t100000\n"), 1.0);
}

TEST(DesktopScale, WindowSizeFollowsTheScaleWithinTheScreen) {
  int w = 0, h = 0;
  WindowSizeFor(1.0, 1600, 1000, &w, &h);
  EXPECT_EQ(w, 1200);
  EXPECT_EQ(h, 600);
  WindowSizeFor(2.0, 2600, 1400, &w, &h);
  EXPECT_EQ(w, 2400);
  EXPECT_EQ(h, 1200);
  WindowSizeFor(1.5, 0, 0, &w, &h);  // screen unknown
  EXPECT_EQ(w, 1800);
  EXPECT_EQ(h, 900);
  // Never larger than the screen, and still 2:1.
  WindowSizeFor(2.0, 1920, 1080, &w, &h);
  EXPECT_EQ(w, 1920);
  EXPECT_EQ(h, 960);
  WindowSizeFor(2.0, 3840, 1100, &w, &h);
  EXPECT_EQ(h, 1100);
  EXPECT_EQ(w, 2200);
  WindowSizeFor(-3.0, 1600, 1000, &w, &h);
  EXPECT_EQ(w, 1200);
}

}  // namespace
