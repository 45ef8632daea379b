// Whole level sets in the editor: opening files (good, hand-made, refused),
// moving, inserting and deleting levels within the limits, saving the set
// with its backup, the unsaved-changes rule, undo and redo over every kind
// of change, and the play-test's child process.
#include <GL/glut.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "editor/gridcraft.h"

namespace {

std::string ReadFile(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

void WriteFile(const std::string &path, const std::string &contents) {
  std::ofstream(path, std::ios::binary) << contents;
}

// A bordered level with its start at (x, y) and an obstacle at (x + 1, y).
std::string Block(int x, int y) {
  int grid[kGridSize][kGridSize] = {};
  for (int i = 0; i < kGridSize; i++)
    for (int j = 0; j < kGridSize; j++)
      grid[i][j] = (i == 0 || j == 0 || i == kGridSize - 1 || j == kGridSize - 1);
  grid[x][y] = kCellMouseStart;
  grid[x + 1][y] = kCellObstacle;
  return FormatLevelBlock(grid);
}

std::string Blocks(int count) {
  std::string s;
  for (int n = 0; n < count; n++) s += Block(3 + n, 4);
  return s;
}

void Keys(const std::string &keys) {
  for (char k : keys) Keyboard(static_cast<unsigned char>(k), 0, 0);
}

std::string Message() { return std::string(text, textSize); }

int PixelX(int j) { return kSquareRight - static_cast<int>((j - 0.5) * kCellPixels); }
int PixelY(int i) { return kSquareBottom - static_cast<int>((i - 0.5) * kCellPixels); }

class EditorSet : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/gridcraft_set_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir = pattern;
    ASSERT_EQ(chdir(dir.c_str()), 0);
    NewLevelSet("");
    gridX = gridY = 1;
    viewPoint = VIEW_TOP;
    enteringFile = 0;
    g_bButton1Down = 0;
    quitAsked = deleteAsked = 0;
  }
  void TearDown() override {
    ASSERT_EQ(chdir("/"), 0);
    std::string command = "rm -rf '" + dir + "'";
    ASSERT_EQ(system(command.c_str()), 0);
  }
  void Open(const std::string &contents) {
    WriteFile("set.txt", contents);
    std::string error;
    ASSERT_TRUE(OpenLevelSet("set.txt", &error)) << error;
  }
  std::string dir;
};

TEST_F(EditorSet, OpensAFileAtItsFirstLevelOrStartsANewOne) {
  Open(Blocks(5));
  EXPECT_EQ(setCount, 5);
  EXPECT_EQ(setCurrent, 0);
  EXPECT_EQ(level[3][4], kCellMouseStart);
  EXPECT_EQ(mouseX, 3);
  EXPECT_EQ(StatusLine(), "set.txt - level 1 of 5");
  EXPECT_FALSE(HasUnsavedChanges());
  EXPECT_EQ(FormatLevelSet(0), Blocks(5));

  std::string error;
  ASSERT_TRUE(OpenLevelSet("new.txt", &error));
  EXPECT_EQ(setCount, 1);
  EXPECT_EQ(level[2][2], kCellMouseStart);
  EXPECT_EQ(StatusLine(), "new.txt - level 1 of 1");
  EXPECT_NE(access("new.txt", F_OK), 0);  // made by the first save only
}

// What the editor opens is what the game reads: the shared reader's grids,
// quirks and all; the editor only settles each level on one start.
TEST_F(EditorSet, HandMadeLevelsKeepCheeseAndGetOneStartEach) {
  std::string first = Block(5, 5);
  first[7 * 31 + 7] = '4';  // a cheese of the author's
  first[9 * 31 + 9] = '3';  // a second start: the last one counts
  std::string second = Block(6, 6);
  second[6 * 31 + 6] = '0';  // no start: the file's last one
  std::string quirky = "1a5!2\r\n" + std::string(31, '2') + "\nendLevel\n";
  Open(first + second + quirky);
  LevelSetFile read;
  std::string error;
  ASSERT_TRUE(ReadLevelSet("set.txt", &read, &error));
  ASSERT_EQ(setCount, 3);
  StoreCurrentLevel();
  for (int n = 0; n < 3; n++)
    for (int x = 0; x < kGridSize; x++)
      for (int y = 0; y < kGridSize; y++) {
        const int want = read.grids[n][x][y], got = setLevels[n].cells[x][y];
        if (want == kCellMouseStart || got == kCellMouseStart) continue;
        ASSERT_EQ(got, want) << n << ":" << x << "," << y;
      }
  EXPECT_EQ(setLevels[0].cells[7][7], kCellCheese);
  EXPECT_EQ(setLevels[0].cells[5][5], kCellEmpty);
  EXPECT_EQ(setLevels[0].mouseX, 9);
  EXPECT_EQ(setLevels[0].cells[9][9], kCellMouseStart);
  EXPECT_EQ(setLevels[1].mouseX, 9);  // the start read last, from level 1
  EXPECT_EQ(setLevels[1].cells[9][9], kCellMouseStart);
  EXPECT_EQ(setLevels[2].cells[0][4], kCellObstacle);
  EXPECT_EQ(setLevels[2].cells[1][0], kCellObstacle);  // the 31st digit wrapped

  // Keys leave the cheese alone, and it is written back.
  gridX = gridY = 7;
  Keys("zv");
  EXPECT_EQ(level[7][7], kCellCheese);
  EXPECT_EQ(FormatLevelSet(0).substr(7 * 31 + 7, 1), "4");
}

TEST_F(EditorSet, UnusableFilesAreRefusedAndTheSetStays) {
  Open(Blocks(2));
  ASSERT_EQ(mkfifo("fifo", 0600), 0);
  ASSERT_EQ(mkdir("folder", 0700), 0);
  WriteFile("nolevel.txt", std::string(30, '0') + "\n");
  const struct {
    const char *name, *error;
  } refused[] = {{"fifo", "not a regular file"},
                 {"folder", "Is a directory"},
                 {"/dev/zero", "not a regular file"},
                 {"nolevel.txt", "it holds no complete level"}};
  for (const auto &r : refused) {
    std::string error;
    EXPECT_FALSE(OpenLevelSet(r.name, &error)) << r.name;
    EXPECT_EQ(error, r.error) << r.name;
  }
  EXPECT_EQ(setCount, 2);
  EXPECT_EQ(setFile, "set.txt");
}

TEST_F(EditorSet, MovesInsertsAndDeletesWithinOneToTen) {
  Open(Blocks(3));
  SpecialKeys(GLUT_KEY_PAGE_UP, 0, 0);  // at the first level: stays
  EXPECT_EQ(setCurrent, 0);
  level[10][10] = kCellObstacle;  // kept when moving away and back
  SpecialKeys(GLUT_KEY_PAGE_DOWN, 0, 0);
  SpecialKeys(GLUT_KEY_PAGE_DOWN, 0, 0);
  SpecialKeys(GLUT_KEY_PAGE_DOWN, 0, 0);
  EXPECT_EQ(setCurrent, 2);
  EXPECT_EQ(mouseX, 5);
  SpecialKeys(GLUT_KEY_PAGE_UP, 0, 0);
  SpecialKeys(GLUT_KEY_PAGE_UP, 0, 0);
  EXPECT_EQ(level[10][10], kCellObstacle);

  Keys("n");  // a new level after the first
  EXPECT_EQ(setCount, 4);
  EXPECT_EQ(setCurrent, 1);
  EXPECT_EQ(level[2][2], kCellMouseStart);
  EXPECT_EQ(StatusLine(), "set.txt - level 2 of 4 - unsaved changes");
  EXPECT_EQ(setLevels[2].mouseX, 4);  // the old second level moved on

  for (int n = 4; n < kMaxLevels; n++) Keys("n");
  EXPECT_EQ(setCount, kMaxLevels);
  Keys("n");
  EXPECT_EQ(setCount, kMaxLevels);
  EXPECT_EQ(Message(), "A level set holds at most 10 levels");

  ShowLevel(9);
  Keyboard(kKeyDelete, 0, 0);
  EXPECT_EQ(setCount, kMaxLevels);  // asks first
  EXPECT_EQ(Message(), "Press Delete again to delete level 10");
  Keyboard(kKeyDelete, 0, 0);
  EXPECT_EQ(setCount, 9);
  EXPECT_EQ(setCurrent, 8);
  EXPECT_EQ(mouseX, 4);  // the file's second level is the last now
  Keyboard(kKeyDelete, 0, 0);
  Keys("i");  // another key forgets the question
  Keyboard(kKeyDelete, 0, 0);
  EXPECT_EQ(setCount, 9);

  while (setCount > 1) {
    Keyboard(kKeyDelete, 0, 0);
    Keyboard(kKeyDelete, 0, 0);
  }
  Keyboard(kKeyDelete, 0, 0);
  Keyboard(kKeyDelete, 0, 0);
  EXPECT_EQ(setCount, 1);
  EXPECT_EQ(Message(), "The only level of a set cannot be deleted");
}

TEST_F(EditorSet, CtrlSSavesEveryLevelAndKeepsTheOldFile) {
  const std::string old = Blocks(4);
  Open(old);
  ShowLevel(2);
  gridX = gridY = 20;
  Keys("z");
  Keyboard(19, 0, 0);  // Ctrl-S
  EXPECT_EQ(Message(), "File has been saved to: set.txt");
  EXPECT_FALSE(HasUnsavedChanges());
  EXPECT_EQ(ReadFile("set.txt~"), old);
  const std::string saved = ReadFile("set.txt");
  ASSERT_EQ(saved.size(), old.size());
  const size_t block = old.size() / 4;
  EXPECT_EQ(saved.substr(0, 2 * block), old.substr(0, 2 * block));
  EXPECT_EQ(saved.substr(3 * block), old.substr(3 * block));
  EXPECT_EQ(saved[2 * block + 20 * 31 + 20], '2');

  // A failed save leaves the file and says so; the changes stay unsaved.
  Keys("z");
  struct rlimit limit;
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &limit), 0);
  const rlim_t was = limit.rlim_cur;
  limit.rlim_cur = 1000;
  void (*oldHandler)(int) = signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
  testing::internal::CaptureStdout();
  Keyboard(19, 0, 0);
  testing::internal::GetCapturedStdout();
  limit.rlim_cur = was;
  setrlimit(RLIMIT_FSIZE, &limit);
  signal(SIGXFSZ, oldHandler);
  EXPECT_EQ(Message(), "Cannot write file for saving: set.txt");
  EXPECT_EQ(ReadFile("set.txt"), saved);
  EXPECT_TRUE(HasUnsavedChanges());
}

TEST_F(EditorSet, ANewSetAsksForANameOnceAndKeepsIt) {
  Keys("n");
  Keyboard(19, 0, 0);
  EXPECT_EQ(enteringFile, 1);
  EXPECT_EQ(Message(), "Please enter filename to save to: ");
  testing::internal::CaptureStdout();
  Keys("no/dir.txt\n");  // refused: the set stays without a name
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "Cannot open file for saving\n");
  EXPECT_EQ(setFile, "");
  Keyboard(19, 0, 0);
  Keys("two.txt\r");
  EXPECT_EQ(Message(), "File has been saved to: two.txt");
  EXPECT_EQ(ReadFile("two.txt"), FormatLevelSet(0));
  EXPECT_EQ(FormatLevelSet(0).size(), 2 * Block(3, 3).size());
  EXPECT_NE(access("two.txt~", F_OK), 0);  // nothing was there before
  Keys("z");
  Keyboard(19, 0, 0);  // saves at once now
  EXPECT_EQ(enteringFile, 0);
  EXPECT_EQ(ReadFile("two.txt"), FormatLevelSet(0));
}

TEST_F(EditorSet, UnsavedChangesAskForASecondEscape) {
  EXPECT_TRUE(MayQuit());  // nothing to lose
  Keys("z");
  EXPECT_FALSE(MayQuit());
  EXPECT_EQ(Message(), "Unsaved changes: Ctrl-S saves, Escape again quits");
  EXPECT_EQ(StatusLine(),
            "new level set - level 1 of 1 - Unsaved changes: Ctrl-S saves, Escape again quits");
  EXPECT_TRUE(MayQuit());
  Keys("i");  // any other key starts over
  EXPECT_FALSE(MayQuit());
  quitAsked = 0;
  EXPECT_EXIT(
      {
        SelectFromMenu(MENU_EXIT);
        if (!quitAsked) exit(4);
        Keyboard(27, 0, 0);
        exit(3);
      },
      ::testing::ExitedWithCode(0), "");
  quitAsked = 0;
  Keys("z");  // undone to what was saved: nothing is lost
  Keyboard(26, 0, 0);
  Keyboard(26, 0, 0);
  EXPECT_FALSE(HasUnsavedChanges());
  EXPECT_TRUE(MayQuit());
}

// A drag with the press that began it is one step; undo walks back over
// inserted and deleted levels, and redo forward again.
TEST_F(EditorSet, UndoAndRedoEveryKindOfChange) {
  Open(Blocks(2));
  const std::string opened = FormatLevelSet(0);
  gridX = 5;
  gridY = 5;
  MouseButton(GLUT_LEFT_BUTTON, GLUT_DOWN, PixelX(5), PixelY(5));  // toggles (5, 5)
  for (int j = 6; j <= 9; j++) MouseMotion(PixelX(j), PixelY(5));
  MouseButton(GLUT_LEFT_BUTTON, GLUT_UP, PixelX(9), PixelY(5));
  for (int j = 5; j <= 9; j++) ASSERT_EQ(level[5][j], kCellObstacle) << j;
  const std::string dragged = FormatLevelSet(0);
  gridX = gridY = 12;
  Keys("v");
  Keys("n");
  Keys("z");
  ShowLevel(0);
  Keyboard(kKeyDelete, 0, 0);
  Keyboard(kKeyDelete, 0, 0);
  Keys("c");
  EXPECT_EQ(setCount, 2);
  const std::string last = FormatLevelSet(0);

  for (int step = 0; step < 5; step++) EXPECT_TRUE(Undo()) << step;  // c, delete, z, n, v
  EXPECT_EQ(FormatLevelSet(0), dragged);
  EXPECT_EQ(setCount, 2);
  Keyboard(26, 0, 0);  // the drag, as one step
  EXPECT_EQ(FormatLevelSet(0), opened);
  EXPECT_FALSE(Undo());
  EXPECT_FALSE(HasUnsavedChanges());
  Keyboard(25, 0, 0);  // Ctrl-Y
  EXPECT_EQ(FormatLevelSet(0), dragged);
  for (int step = 0; step < 5; step++) EXPECT_TRUE(Redo()) << step;
  EXPECT_EQ(FormatLevelSet(0), last);
  EXPECT_FALSE(Redo());

  Undo();
  Keys("x");  // not a change: redo still there
  Keys("z");  // a new change forgets it
  EXPECT_FALSE(Redo());
  Keyboard(25, 0, 0);
  EXPECT_EQ(Message(), "Nothing to redo");
}

TEST_F(EditorSet, UndoKeepsAHundredSteps) {
  gridX = gridY = 5;
  Keys("z");
  const std::string first = FormatLevelSet(0);
  for (int n = 1; n < kUndoSteps + 21; n++) Keys("z");
  int undone = 0;
  while (Undo()) undone++;
  EXPECT_EQ(undone, kUndoSteps);
  EXPECT_GE(kUndoSteps, 100);
  EXPECT_EQ(FormatLevelSet(0), first);  // the 21st toggle is as far back as it goes
  EXPECT_TRUE(HasUnsavedChanges());
}

// The play-test runs its game on a copy of the set from the level shown,
// in the editor's folder, and reaps it; the edited file is not touched.
TEST_F(EditorSet, PlayTestRunsTheGameOnACopyAndReapsIt) {
  Open(Blocks(3));
  ShowLevel(1);
  gridX = gridY = 15;
  Keys("z");
  WriteFile("game.sh", "#!/bin/sh\ncp \"$1\" played.txt\npwd > folder.txt\n");
  ASSERT_EQ(chmod("game.sh", 0700), 0);
  std::string error;
  const std::string copy = dir + "/copy.txt";
  WriteFile(copy, FormatLevelSet(setCurrent));
  ASSERT_TRUE(StartGame(dir + "/game.sh", copy, &error)) << error;
  for (int wait = 0; PollPlayTest() && wait < 500; wait++) usleep(10000);
  EXPECT_FALSE(PollPlayTest());
  EXPECT_EQ(ReadFile("played.txt"), FormatLevelSet(1));
  EXPECT_EQ(ReadFile("played.txt").size(), 2 * Block(3, 3).size());
  EXPECT_EQ(ReadFile("folder.txt"), dir + "\n");
  EXPECT_EQ(ReadFile("set.txt"), Blocks(3));
  EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1);  // no child left

  EXPECT_FALSE(StartGame(dir + "/no-such-game", copy, &error));
  EXPECT_EQ(error, "No such file or directory");
  EXPECT_FALSE(PollPlayTest());
  EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1);

  // The game beside the editor's program is the one it starts.
  char self[4096];
  const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
  ASSERT_GT(length, 0);
  self[length] = '\0';
  std::string beside(self);
  beside.erase(beside.rfind('/') + 1);
  beside += "squeakling";
  EXPECT_EQ(PlayTestProgram(), access(beside.c_str(), X_OK) == 0 ? beside : "squeakling");
}

}  // namespace
