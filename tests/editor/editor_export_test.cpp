// Writing levels: the exact level blocks of save and append, a file that
// cannot be opened, and the typing of a file name with its prompt, length
// limits and the messages after saving.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>

#include <cstdlib>
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

// The block the editor writes for the current level, built independently.
std::string ExpectedBlock() {
  std::string block;
  for (auto &row : level) {
    for (int cell : row) block += char('0' + cell);
    block += '\n';
  }
  return block + "endLevel\n";
}

void Type(const std::string &keys) {
  for (char k : keys) Keyboard(static_cast<unsigned char>(k), 0, 0);
}

std::string Message() { return std::string(text, textSize); }

class EditorExport : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/gridcraft_test_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir = pattern;
    ASSERT_EQ(chdir(dir.c_str()), 0);
    NewLevelSet("");
    gridX = gridY = 1;
    enteringFile = 0;
    displayText = 0;
  }
  void TearDown() override {
    ASSERT_EQ(chdir("/"), 0);
    std::string command = "rm -rf '" + dir + "'";
    ASSERT_EQ(system(command.c_str()), 0);
  }
  std::string dir;
};

TEST_F(EditorExport, SaveWritesOneBlockAndAppendAddsBlocks) {
  char name[] = "set.txt";
  level[4][7] = kCellObstacle;
  std::string first = ExpectedBlock();
  ASSERT_EQ(first.size(), 30u * 31u + 9u);
  EXPECT_EQ(first.substr(0, 31), std::string(30, '1') + "\n");
  EXPECT_EQ(first.substr(2 * 31, 31), "103" + std::string(26, '0') + "1\n");

  EXPECT_EQ(ExportToFile(0, name), EXPORT_WRITTEN);
  EXPECT_EQ(ExportToFile(0, name), EXPORT_WRITTEN);  // save empties the file first
  EXPECT_EQ(ReadFile(name), first);

  level[4][7] = kCellEmpty;
  level[20][20] = kCellObstacle;
  std::string second = ExpectedBlock();
  EXPECT_EQ(ExportToFile(1, name), EXPORT_WRITTEN);
  EXPECT_EQ(ExportToFile(1, name), EXPORT_WRITTEN);
  EXPECT_EQ(ReadFile(name), first + second + second);

  char fresh[] = "fresh.txt";  // append creates a missing file
  EXPECT_EQ(ExportToFile(1, fresh), EXPORT_WRITTEN);
  EXPECT_EQ(ReadFile(fresh), second);
}

TEST_F(EditorExport, UnopenableFileIsReportedAndLeavesLevelAlone) {
  char missingDir[] = "no/such/dir.txt";
  char empty[] = "";
  level[9][9] = kCellObstacle;
  testing::internal::CaptureStdout();
  EXPECT_EQ(ExportToFile(0, missingDir), EXPORT_NOT_OPENED);
  EXPECT_EQ(ExportToFile(1, empty), EXPORT_NOT_OPENED);
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "Cannot open file for saving\nCannot open file for saving\n");
  EXPECT_EQ(level[9][9], kCellObstacle);
}

// Devices are no level files: /dev/full is refused before anything is
// written. Writes that fail (a file-size limit, as a full disk would) are
// failures, and leave the file byte for byte as it was: no half level at
// the end of an append, no emptied file after a save, no temporary file.
TEST_F(EditorExport, FailedWritesAreReportedAndLeaveTheFileAsItWas) {
  char full[] = "/dev/full";
  testing::internal::CaptureStdout();
  EXPECT_EQ(ExportToFile(0, full), EXPORT_NOT_OPENED);
  EXPECT_EQ(ExportToFile(1, full), EXPORT_NOT_OPENED);
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "Cannot open file for saving\nCannot open file for saving\n");

  char name[] = "set.txt";
  ASSERT_EQ(ExportToFile(0, name), EXPORT_WRITTEN);
  std::string one = ReadFile(name);
  level[7][7] = kCellObstacle;
  struct rlimit old;
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
  struct rlimit small = old;
  small.rlim_cur = one.size() + 100;
  void (*oldHandler)(int) = signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  testing::internal::CaptureStdout();
  ExportResult appended = ExportToFile(1, name);
  small.rlim_cur = one.size() / 2;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  ExportResult saved = ExportToFile(0, name);
  Type("s");
  Type("set.txt\n");  // the typed path says what went wrong
  std::string out = testing::internal::GetCapturedStdout();
  setrlimit(RLIMIT_FSIZE, &old);
  signal(SIGXFSZ, oldHandler);
  EXPECT_EQ(appended, EXPORT_NOT_WRITTEN);
  EXPECT_EQ(saved, EXPORT_NOT_WRITTEN);
  EXPECT_EQ(out,
            "Cannot write file for saving\nCannot write file for saving\n"
            "Cannot write file for saving\n");
  EXPECT_EQ(Message(), "Cannot write file for saving: set.txt");
  EXPECT_EQ(ReadFile(name), one);
  std::string command = "test $(ls -A '" + dir + "' | wc -l) -eq 1";
  EXPECT_EQ(system(command.c_str()), 0) << "a temporary file was left behind";
}

TEST_F(EditorExport, TypedNameIsSavedWithItsMessages) {
  Type("a");
  EXPECT_EQ(enteringFile, 1);
  EXPECT_EQ(displayText, 1);
  EXPECT_EQ(Message(), "Please enter filename to save to: ");
  Type("lv1.txt");
  EXPECT_EQ(Message(), "Please enter filename to save to: lv1.txt");
  EXPECT_EQ(gridX, 1);  // "l" and "i" went into the name
  Type("\r");
  EXPECT_EQ(enteringFile, 0);
  EXPECT_EQ(Message(), "File has been saved to: lv1.txt");
  EXPECT_EQ(ReadFile("lv1.txt"), ExpectedBlock());

  Type("s");
  EXPECT_EQ(Message(), "Please enter filename to append to: ");
  Type("lv1.txt ");
  EXPECT_EQ(Message(), "File has been appened to: lv1.txt");
  EXPECT_EQ(ReadFile("lv1.txt"), ExpectedBlock() + ExpectedBlock());
  Type("i");  // editing again
  EXPECT_EQ(gridX, 2);
}

// "a" or "s" onto the set's own file leaves a file that no longer holds the
// set: quitting without saving would lose its other levels.
TEST_F(EditorExport, OneLevelWrittenOverTheSetsFileLeavesTheSetUnsaved) {
  NewLevelSet("set.txt");
  InsertLevel();
  std::string error;
  ASSERT_TRUE(SaveLevelSet(&error));
  ASSERT_FALSE(HasUnsavedChanges());
  Type("a./set.txt\r");
  EXPECT_EQ(ReadFile("set.txt"), ExpectedBlock());
  EXPECT_TRUE(HasUnsavedChanges());
  EXPECT_FALSE(MayQuit());
  quitAsked = 0;
  ASSERT_TRUE(SaveLevelSet(&error));
  Type("sother.txt\r");
  EXPECT_FALSE(HasUnsavedChanges());
  Type("sset.txt\r");
  EXPECT_TRUE(HasUnsavedChanges());
}

TEST_F(EditorExport, FailedSaveSaysSoOnScreen) {
  testing::internal::CaptureStdout();
  Type("a\t");  // an empty name
  Type("s");
  Type("nodir/x.txt\n");
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "Cannot open file for saving\nCannot open file for saving\n");
  EXPECT_EQ(Message(), "Cannot open file for saving: nodir/x.txt");
  EXPECT_EQ(enteringFile, 0);
}

TEST_F(EditorExport, OverlongNamesStopAtWhatTheMessageLineHolds) {
  Type("a" + std::string(80, 'n'));
  EXPECT_EQ(std::string(fileText), std::string(65, 'n'));
  EXPECT_EQ(textSize, 99);
  EXPECT_EQ(Message(), "Please enter filename to save to: " + std::string(65, 'n'));
  Type("\n");
  EXPECT_EQ(ReadFile(std::string(65, 'n')), ExpectedBlock());
  EXPECT_EQ(Message(), "File has been saved to: " + std::string(65, 'n'));

  Type("s" + std::string(80, 'p'));
  EXPECT_EQ(std::string(fileText), std::string(63, 'p'));
  EXPECT_EQ(textSize, 99);
  Type(" ");
  EXPECT_EQ(ReadFile(std::string(63, 'p')), ExpectedBlock());
  EXPECT_EQ(Message(), "File has been appened to: " + std::string(63, 'p'));
}

TEST_F(EditorExport, BackspaceAndDeleteMendTheNameEscapeIsPartOfIt) {
  Type("a");
  Keyboard(27, 0, 0);
  Type("x");
  EXPECT_EQ(std::string(fileText), "\x1bx");
  Type(std::string(4, '\b') +
       "mendx\x7f"
       "ed.txt");
  EXPECT_EQ(std::string(fileText), "mended.txt");
  EXPECT_EQ(Message(), "Please enter filename to save to: mended.txt");
  EXPECT_EQ(enteringFile, 1);
  Type("\r");
  EXPECT_EQ(ReadFile("mended.txt"), ExpectedBlock());

  // A mended name at the length limit: the freed place takes a new key.
  Type("s" + std::string(63, 'p') + "\bq\n");
  EXPECT_EQ(ReadFile(std::string(62, 'p') + "q"), ExpectedBlock());
}

}  // namespace
