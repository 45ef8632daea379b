// Which sample the editor's actions start. The mixer record is given a
// harmless descriptor and five copied samples, with no mixing thread, so
// every started voice stays in its voice list to be looked at.
#include <GL/glut.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "editor/gridcraft.h"

namespace {

int PixelX(int j) { return kSquareRight - static_cast<int>((j - 0.5) * kCellPixels); }
int PixelY(int i) { return kSquareBottom - static_cast<int>((i - 0.5) * kCellPixels); }

class EditorSound : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    soundFX.audio_fd = open("/dev/null", O_WRONLY);
    ASSERT_GE(soundFX.audio_fd, 0);
    const int16_t frames[4] = {1, 2, 3, 4};
    int *ids[] = {&fox_id, &beep_id, &save_id, &move_id, &mouseplace_id};
    for (int *id : ids) *id = copySample(&soundFX, frames, sizeof frames);
    ASSERT_EQ(mouseplace_id, 4);
  }

  void SetUp() override {
    char pattern[] = "/tmp/gridcraft_sound_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir = pattern;
    ASSERT_EQ(chdir(dir.c_str()), 0);
    NewLevelSet("");
    gridX = gridY = 1;
    viewPoint = 2;
    enteringFile = 0;
    g_bButton1Down = 0;
    audioOn = 1;
    soundFX.num_playing = 0;
  }

  void TearDown() override {
    ASSERT_EQ(chdir("/"), 0);
    ASSERT_EQ(system(("rm -rf '" + dir + "'").c_str()), 0);
  }

  // The samples started since the last call, in order.
  static std::vector<int> Played() {
    std::vector<int> ids;
    for (int k = 0; k < soundFX.num_playing; k++) ids.push_back(soundFX.playing[k].sample_id);
    soundFX.num_playing = 0;
    return ids;
  }

  static void Keys(const std::string &keys) {
    for (char k : keys) Keyboard(static_cast<unsigned char>(k), 0, 0);
  }

  std::string dir;
};

using Ids = std::vector<int>;

TEST_F(EditorSound, CursorKeysPlayTheMoveSoundOnlyWhenTheCursorMoves) {
  Keys("ml");  // against the ring
  EXPECT_EQ(Played(), Ids{});
  Keys("ij");
  EXPECT_EQ(Played(), (Ids{move_id, move_id}));
  Keys("xo21");  // view keys are silent
  EXPECT_EQ(Played(), Ids{});
}

TEST_F(EditorSound, ToggleAndMouseStartCues) {
  Keys("z");
  EXPECT_EQ(Played(), Ids{beep_id});
  Keys("izv");  // on an obstacle: nothing placed, nothing played
  EXPECT_EQ(Played(), (Ids{move_id, beep_id}));
  Keys("zv");
  EXPECT_EQ(Played(), (Ids{beep_id, mouseplace_id}));
  audioOn = 0;  // the placing tone needs a working device
  Keys("iv");
  EXPECT_EQ(Played(), Ids{move_id});
  EXPECT_EQ(level[3][1], kCellMouseStart);
}

TEST_F(EditorSound, PressesAndDragsBeep) {
  MouseButton(GLUT_LEFT_BUTTON, GLUT_DOWN, PixelX(5), PixelY(5));
  EXPECT_EQ(Played(), Ids{});  // selecting is silent
  MouseButton(GLUT_LEFT_BUTTON, GLUT_DOWN, PixelX(5), PixelY(5));
  EXPECT_EQ(Played(), Ids{beep_id});
  MouseMotion(PixelX(5), PixelY(5));
  MouseMotion(PixelX(6), PixelY(5));
  MouseMotion(PixelX(2), PixelY(2));  // the start cell: untouched, still a beep
  EXPECT_EQ(Played(), (Ids{beep_id, beep_id, beep_id}));
  MouseButton(GLUT_LEFT_BUTTON, GLUT_UP, PixelX(2), PixelY(2));
  MouseMotion(PixelX(7), PixelY(5));
  EXPECT_EQ(Played(), Ids{});
}

TEST_F(EditorSound, SavingPlaysTheSaveSoundAndFailingTheBeep) {
  Keys("a");
  Keys("ok.txt\n");
  EXPECT_EQ(Played(), Ids{save_id});
  Keys("s");
  Keys("missing/dir.txt\n");
  EXPECT_EQ(Played(), Ids{beep_id});
  Keys("a");
  Keys("/dev/full\n");  // opens, but no write succeeds
  EXPECT_EQ(Played(), Ids{beep_id});
}

}  // namespace
