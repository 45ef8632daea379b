// Best-games tables and the scores file: ranking and ties, the cut to ten,
// one table per level set, the mark of a game not played at the start
// values; the reader on malformed, overlong, binary and other-version files;
// writes that fail, a bad file set aside, and two processes recording at once.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "game/scores.h"
#include "game/squeakling.h"

namespace {

ScoreEntry Entry(uint64_t set, int points, long long date = 1700000000) {
  ScoreEntry e;
  e.set = set;
  e.score = points;
  e.level = 2;
  e.date = date;
  e.login = "ada";
  e.setName = "defaultlevel.txt";
  e.played = StandardPlay();
  return e;
}

std::vector<int> Scores(const std::vector<ScoreEntry> &table) {
  std::vector<int> out;
  for (const ScoreEntry &e : table) out.push_back(e.score);
  return out;
}

std::string ReadAll(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

void WriteAll(const std::string &path, const std::string &bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// ---- Tables ----

TEST(ScoreTable, RanksBestFirstTiesBelowAndCutsAtTen) {
  std::vector<ScoreEntry> entries;
  EXPECT_EQ(InsertScore(&entries, Entry(1, 500)), 0);
  EXPECT_EQ(InsertScore(&entries, Entry(1, 900)), 0);
  EXPECT_EQ(InsertScore(&entries, Entry(1, 700)), 1);
  ScoreEntry tie = Entry(1, 700, 1800000000);
  tie.login = "bob";
  EXPECT_EQ(InsertScore(&entries, tie), 2) << "a tie ranks below the game already there";
  EXPECT_EQ(SetTable(entries, 1)[1].login, "ada");
  for (int k = 0; k < 6; k++) InsertScore(&entries, Entry(1, 100 + k));
  EXPECT_EQ(Scores(SetTable(entries, 1)),
            (std::vector<int>{900, 700, 700, 500, 105, 104, 103, 102, 101, 100}));
  EXPECT_EQ(InsertScore(&entries, Entry(1, 100)), -1) << "a tie with the tenth stays out";
  EXPECT_EQ(InsertScore(&entries, Entry(1, 50)), -1);
  EXPECT_EQ(InsertScore(&entries, Entry(1, 101)), 9) << "beats the tenth only";
  EXPECT_EQ(Scores(SetTable(entries, 1)).back(), 101);
  EXPECT_EQ(entries.size(), 10u);
}

TEST(ScoreTable, EachLevelSetHasItsOwnTable) {
  std::string bytes = "000\nendLevel\n";
  uint64_t a = HashLevelSet(bytes), b = HashLevelSet(bytes + "\n");
  EXPECT_NE(a, b) << "an edited set starts a new table";
  EXPECT_EQ(a, HashLevelSet(std::string(bytes))) << "a renamed copy keeps its table";
  std::vector<ScoreEntry> entries;
  for (int k = 1; k <= 12; k++) InsertScore(&entries, Entry(a, k * 10));
  EXPECT_EQ(InsertScore(&entries, Entry(b, 5)), 0) << "the best of b, though below all of a";
  EXPECT_EQ(SetTable(entries, a).size(), 10u);
  EXPECT_EQ(Scores(SetTable(entries, b)), (std::vector<int>{5}));
}

TEST(ScoreTable, KeepsTheSetsPlayedLast) {
  std::vector<ScoreEntry> entries;
  for (uint64_t set = 0; set < kMaxScoreSets + 5; set++)
    entries.push_back(Entry(set, 10, 1000 + static_cast<long long>(set)));
  LimitScoreSets(&entries);
  ASSERT_EQ(entries.size(), kMaxScoreSets);
  for (const ScoreEntry &e : entries) EXPECT_GE(e.set, 5u) << "the five oldest go";
}

TEST(ScoreTable, RowsMarkGamesNotPlayedAtTheStartValues) {
  ScoreEntry plain = Entry(1, 4200);
  ScoreRowText row = ScoreRow(plain, 0);
  EXPECT_EQ(row.rank, "1.");
  EXPECT_EQ(row.score, "4200");
  EXPECT_EQ(row.level, "level 2");
  EXPECT_EQ(row.player, "ada");
  EXPECT_EQ(row.mark, "");
  ScoreEntry easy = plain;
  easy.played.standard = FALSE;
  EXPECT_EQ(ScoreRow(easy, 9).mark, "*");
  EXPECT_EQ(ScoreRow(easy, 9).rank, "10.");
  EXPECT_EQ(PrintableName("a\x01\xc3\xa9z"), "a???z");
}

// ---- The reader ----

TEST(ScoresReader, RoundTripsEveryFieldIncludingAwkwardNames) {
  std::vector<ScoreEntry> entries;
  ScoreEntry e = Entry(0xfedcba9876543210ULL, 123456);
  e.login = "o'brien%";
  e.setName = "my levels v2.txt";
  e.played = PlaySettings{7, 0.51, 1.83, 0.5, 25, TRUE, FALSE};
  InsertScore(&entries, e);
  InsertScore(&entries, Entry(3, 99));
  std::vector<ScoreEntry> back;
  ScoresParse parse = ParseScores(FormatScores(entries), &back);
  ASSERT_TRUE(parse.whole);
  EXPECT_EQ(parse.badLines, 0);
  ASSERT_EQ(back.size(), 2u);
  const ScoreEntry r = SetTable(back, e.set)[0];
  EXPECT_EQ(r.score, 123456);
  EXPECT_EQ(r.date, e.date);
  EXPECT_EQ(r.login, e.login);
  EXPECT_EQ(r.setName, e.setName);
  EXPECT_EQ(r.played.lives, 7);
  EXPECT_EQ(r.played.mouseSpeed, 0.51);
  EXPECT_EQ(r.played.catSpeed, 1.83);
  EXPECT_EQ(r.played.cheese, 25);
  EXPECT_TRUE(r.played.catOff);
  EXPECT_FALSE(r.played.standard);
  EXPECT_EQ(FormatScores(back), FormatScores(entries));
}

TEST(ScoresReader, SkipsLinesThatDoNotParseAndKeepsTheRest) {
  std::vector<ScoreEntry> one;
  InsertScore(&one, Entry(1, 800));
  std::string good = FormatScores(one).substr(sizeof kScoresVersion);  // the entry's line
  std::string text = std::string(kScoresVersion) + "\n" + good +
                     "0000000000000001 12 x 0 3 1 1 1 10 0 1 a b\n"           // level not a number
                     "0000000000000001 12 11 0 3 1 1 1 10 0 1 a b\n"          // past the last level
                     "0000000000000001 -5 1 0 3 1 1 1 10 0 1 a b\n"           // score below 1
                     "0000000000000001 99999999999 1 0 3 1 1 1 10 0 1 a b\n"  // overflow
                     "0000000000000001 12 1 0 3 nan 1 1 10 0 1 a b\n"         // not a factor
                     "0000000000000001 12 1 0 3 1 1 1 10 0 1 a%4 b\n"         // cut escape
                     "0000000000000001 12 1 0 3 1 1 1 10 0 1 a%0A b\n"        // control byte
                     "0000000000000001 12 1 0 3 1 1 1 10 0 1 a\n"             // a field short
                     "0000000000000001 12 1 0 3 1 1 1 10 0 1 a b c\n"         // one too many
                     "000000000000001 12 1 0 3 1 1 1 10 0 1 a b\n"            // short hash
                     "0000000000000001 12 1 0 3 1 1 1 10 0 1 " +
                     std::string(kMaxLoginName + 1, 'n') + " b\n" +  // name too long
                     "0000000000000001 7 1 0 3 1 1 1 10 0 1 a " + std::string(600, 'x') +
                     "\n"  // overlong line
                     "\n   \n" +
                     good;
  std::vector<ScoreEntry> entries;
  ScoresParse parse = ParseScores(text, &entries);
  EXPECT_TRUE(parse.whole);
  EXPECT_EQ(parse.badLines, 12);
  EXPECT_EQ(parse.firstBad, 3);
  EXPECT_EQ(Scores(entries), (std::vector<int>{800, 800}));
}

TEST(ScoresReader, RefusesBinaryAndOtherVersionsAsAWhole) {
  std::vector<ScoreEntry> entries;
  std::string binary = std::string(kScoresVersion) + "\n" + std::string("\x00\x01\xff", 3);
  EXPECT_FALSE(ParseScores(binary, &entries).whole);
  EXPECT_FALSE(ParseScores("squeakling scores 2\n", &entries).whole);
  EXPECT_FALSE(ParseScores("hello\n", &entries).whole);
  ScoresParse empty = ParseScores("", &entries);
  EXPECT_TRUE(empty.whole) << "an empty file holds no games";
  EXPECT_TRUE(entries.empty());
  std::string crlf = std::string(kScoresVersion) + "\r\n";
  EXPECT_TRUE(ParseScores(crlf, &entries).whole);
}

TEST(ScoresReader, CutsAnOverfullSetToItsTenBest) {
  std::string text = std::string(kScoresVersion) + "\n";
  for (int k = 1; k <= 15; k++)
    text += "00000000000000aa " + std::to_string(k) + " 1 0 3 1 1 1 10 0 1 a b\n";
  std::vector<ScoreEntry> entries;
  ParseScores(text, &entries);
  EXPECT_EQ(Scores(entries), (std::vector<int>{15, 14, 13, 12, 11, 10, 9, 8, 7, 6}));
}

// ---- The file ----

class ScoresFile : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/scores-test-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    home = pattern;
    setenv("XDG_DATA_HOME", home.c_str(), 1);
    path = home + "/squeakling/scores";
  }
  void TearDown() override {
    std::string command = "rm -rf '" + home + "'";
    ASSERT_EQ(system(command.c_str()), 0);
  }
  // Starts a run on the file as it is now; what it said on stderr.
  std::string StartRun() {
    testing::internal::CaptureStderr();
    ReadScoresFile();
    return testing::internal::GetCapturedStderr();
  }
  std::string home, path;
};

TEST_F(ScoresFile, AGameRecordedIsReadByTheNextRun) {
  EXPECT_EQ(StartRun(), "");
  EXPECT_EQ(RecordScore(Entry(4, 300)), 0);
  EXPECT_EQ(RecordScore(Entry(4, 600)), 0);
  scoreEntries.clear();
  EXPECT_EQ(StartRun(), "");
  EXPECT_EQ(Scores(SetTable(scoreEntries, 4)), (std::vector<int>{600, 300}));
  EXPECT_EQ(ReadAll(path).rfind(kScoresVersion, 0), 0u);
}

TEST_F(ScoresFile, ABadLineIsToldOnceAndDroppedByTheNextWrite) {
  StartRun();
  RecordScore(Entry(4, 300));
  WriteAll(path, ReadAll(path) + "garbage\nmore garbage\n");
  std::string told = StartRun();
  EXPECT_NE(told.find("skipped 2 lines"), std::string::npos) << told;
  EXPECT_EQ(std::count(told.begin(), told.end(), '\n'), 1) << told;
  testing::internal::CaptureStderr();
  RecordScore(Entry(4, 200));
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << "told once per run";
  EXPECT_EQ(ReadAll(path).find("garbage"), std::string::npos);
}

TEST_F(ScoresFile, AnUnreadableFileIsSetAsideNeverOverwritten) {
  ASSERT_EQ(system(("mkdir -p '" + home + "/squeakling'").c_str()), 0);
  const std::string noise("\x89PNG\r\n\x1a\n\x00\x00garbage", 18);
  WriteAll(path, noise);
  WriteAll(path + ".bad", "an older one");
  std::string told = StartRun();
  EXPECT_NE(told.find("not a text file"), std::string::npos) << told;
  EXPECT_NE(told.find(path + ".bad.2"), std::string::npos) << told;
  EXPECT_EQ(ReadAll(path + ".bad.2"), noise);
  EXPECT_EQ(ReadAll(path + ".bad"), "an older one");
  EXPECT_TRUE(scoreEntries.empty());
  EXPECT_EQ(RecordScore(Entry(4, 300)), 0);
  std::vector<ScoreEntry> back;
  EXPECT_TRUE(ParseScores(ReadAll(path), &back).whole);

  WriteAll(path, "squeakling scores 99\n");  // a later version, met at the next write
  RecordScore(Entry(4, 500));
  EXPECT_EQ(ReadAll(path + ".bad.3"), "squeakling scores 99\n");
  ParseScores(ReadAll(path), &back);
  EXPECT_EQ(Scores(back), (std::vector<int>{500})) << "the set-aside file's games are not ours";
}

TEST_F(ScoresFile, AFolderThatCannotBeMadeKeepsTheScoresForTheRun) {
  setenv("XDG_DATA_HOME", "/dev/full", 1);
  std::string told = StartRun();
  testing::internal::CaptureStderr();
  EXPECT_EQ(RecordScore(Entry(4, 300)), 0);
  EXPECT_EQ(RecordScore(Entry(4, 400)), 0);
  told += testing::internal::GetCapturedStderr();
  EXPECT_NE(told.find("/dev/full/squeakling"), std::string::npos) << told;
  EXPECT_EQ(std::count(told.begin(), told.end(), '\n'), 1) << "said once: " << told;
  EXPECT_EQ(Scores(SetTable(scoreEntries, 4)), (std::vector<int>{400, 300}));
}

// A write that fails part-way (the file-size limit stands in for a full
// disk) leaves the old file byte for byte and keeps the game for the run.
TEST_F(ScoresFile, AFailedWriteLeavesTheOldFile) {
  StartRun();
  RecordScore(Entry(4, 300));
  const std::string before = ReadAll(path);
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    struct rlimit limit = {before.size() + 8, before.size() + 8};
    setrlimit(RLIMIT_FSIZE, &limit);
    int rank = RecordScore(Entry(4, 900));
    bool kept = !scoreEntries.empty() && SetTable(scoreEntries, 4)[0].score == 900;
    _exit(rank == 0 && kept ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_EQ(ReadAll(path), before);
  std::string listing;
  FILE *ls = popen(("ls -A '" + home + "/squeakling'").c_str(), "r");
  for (int c; (c = fgetc(ls)) != EOF;) listing += static_cast<char>(c);
  pclose(ls);
  EXPECT_EQ(listing, "scores\nscores.lock\n") << "no temporary file stays";
}

// A level set's file name may hold any byte but '/': the game's line for it
// must still be one the next run reads.
TEST_F(ScoresFile, AGameOnASetWithControlBytesInItsNameIsReadBack) {
  InitSettings();
  StartRun();
  NoteLevelSet("sets/tab\there\x7f\x1b[2J.txt", "a set");
  BeginGameRecord();
  score = 700;
  levelNum = 0;
  EndGameRecord();
  EXPECT_EQ(endedGame.rank, 0);
  scoreEntries.clear();
  EXPECT_EQ(StartRun(), "");
  std::vector<ScoreEntry> table = SetTable(scoreEntries, HashLevelSet("a set"));
  ASSERT_EQ(table.size(), 1u);
  EXPECT_EQ(table[0].setName, "tab?here??[2J.txt");
}

// Two games ending at the same moment, a hundred times over: the lock and
// the read inside it keep every entry.
TEST_F(ScoresFile, TwoProcessesRecordingAtOnceKeepAllTheirGames) {
  StartRun();
  int gate[2];
  ASSERT_EQ(pipe(gate), 0);
  pid_t children[2];
  for (int k = 0; k < 2; k++) {
    children[k] = fork();
    ASSERT_GE(children[k], 0);
    if (children[k] == 0) {
      close(gate[1]);
      char c;
      if (read(gate[0], &c, 1) != 0) _exit(2);  // waits for the gate to close
      for (int n = 0; n < 100; n++) RecordScore(Entry(1000 * k + n, 10 + n));
      _exit(0);
    }
  }
  close(gate[0]);
  close(gate[1]);
  for (pid_t child : children) {
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  std::vector<ScoreEntry> back;
  ParseScores(ReadAll(path), &back);
  EXPECT_EQ(back.size(), 200u);
}

// ---- The game's record ----

class GameRecord : public ::testing::Test {
 protected:
  void SetUp() override {
    InitSettings();
    scoresPath.clear();  // memory only
    scoreEntries.clear();
    NoteLevelSet(SQ_SOURCE_DIR "/tests/fixtures/editor_three_levels.txt", "three levels");
    BeginGameRecord();
  }
};

TEST_F(GameRecord, AGameEndsInTheTableOnceWithTheSettingsItWasPlayedWith) {
  EXPECT_EQ(currentSetName, "editor_three_levels.txt");
  CAT_EXISTS = 0;
  NoteGameSettings();
  CAT_EXISTS = 1;
  speedScale = 1.5;
  score = 2500;
  levelNum = 2;
  EndGameRecord();
  EndGameRecord();  // the end screen's idle turns do not add it again
  std::vector<ScoreEntry> table = SetTable(scoreEntries, currentSet);
  ASSERT_EQ(table.size(), 1u);
  EXPECT_EQ(table[0].level, 3);
  EXPECT_TRUE(table[0].played.catOff) << "switched off for a while";
  EXPECT_FALSE(table[0].played.standard);
  EXPECT_EQ(table[0].played.mouseSpeed, 1.5);
  EXPECT_EQ(endedGame.rank, 0);
  EXPECT_EQ(endedGame.score, 2500);
}

TEST_F(GameRecord, AGameAtTheStartValuesIsStandardAndAZeroScoreStaysOut) {
  score = 0;
  EndGameRecord();
  EXPECT_TRUE(scoreEntries.empty());
  EXPECT_EQ(endedGame.rank, -1);
  BeginGameRecord();
  initLives = 5;  // only the next game's lives: this one keeps its three
  NoteGameSettings();
  score = 1000;
  EndGameRecord();
  ASSERT_EQ(scoreEntries.size(), 1u);
  EXPECT_TRUE(scoreEntries[0].played.standard);
  EXPECT_EQ(scoreEntries[0].played.lives, 3);
}

}  // namespace
