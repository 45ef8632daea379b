// Best games: one table of the ten best per level set, the set known by a
// hash of its file's bytes; the scores file that keeps them between runs
// (read at start-up, re-read and replaced under a lock whenever a game ends);
// the record of the game being played; and the tables drawn on the start and
// end screens. Only scores_draw.cpp touches GL.
//
// Failure policy: nothing in the scores file ends or stops the game. A line
// that does not parse is skipped with one warning for the file; a file that
// is not text or not of this version is moved aside to "scores.bad" before a
// new one is written; a folder that cannot be made or written is reported
// once, and the run keeps its scores in memory.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "common/basics.h"

constexpr int kTableSize = 10;      // best games kept per level set
constexpr int kStartTableSize = 5;  // best games the start screen shows
constexpr size_t kMaxLoginName = 32;
constexpr size_t kMaxSetName = 64;
// Level sets the file keeps, those played last: bounds the file far below
// what the reader accepts.
constexpr size_t kMaxScoreSets = 1000;
// The reader takes a file of at most this many bytes and lines of at most
// kMaxScoreLine characters.
constexpr size_t kMaxScoresFile = 4u << 20;
constexpr size_t kMaxScoreLine = 512;
// First line of the file.
constexpr char kScoresVersion[] = "squeakling scores 1";

// The settings a game was played with.
struct PlaySettings {
  int lives;          // initLives when the game began
  double mouseSpeed;  // speedScale, catSpeedScale, bonusFreq and
  double catSpeed;    // initNumCheese as the game ended
  double bonus;
  int cheese;
  BOOL catOff;    // the cat was switched off at some time in the game
  BOOL standard;  // all of the above at their start values throughout
};

struct ScoreEntry {
  uint64_t set;         // hash of the level-set file's bytes (HashLevelSet)
  int score;            // above 0
  int level;            // level reached, from 1
  long long date;       // when the game ended, seconds since 1970 (UTC)
  std::string login;    // the player's login name, at most kMaxLoginName bytes
  std::string setName;  // the set's file name then, at most kMaxSetName bytes
  PlaySettings played;
};

// ---- Tables (no files, no GL) ----
// 64-bit FNV-1a of a level-set file's bytes.
uint64_t HashLevelSet(const std::string &bytes);
// Settings at their start values, unchanged throughout.
PlaySettings StandardPlay(void);
// Adds entry to its set's table in entries (kept best first, at most
// kTableSize per set; a tie ranks below the games already there). Returns
// its rank from 0, or -1 when it did not enter the table.
int InsertScore(std::vector<ScoreEntry> *entries, const ScoreEntry &entry);
// The table of one set, best first.
std::vector<ScoreEntry> SetTable(const std::vector<ScoreEntry> &entries, uint64_t set);
// Keeps the kMaxScoreSets sets with the latest games.
void LimitScoreSets(std::vector<ScoreEntry> *entries);

// ---- The file's text (no files, no GL) ----
struct ScoresParse {
  BOOL whole;       // text, of this version: the lines were read
  int badLines;     // lines skipped
  int firstBad;     // line number of the first skipped, from 1
  std::string why;  // when not whole: what is wrong with the file
};
// Reads the text of a scores file into *entries (replacing them), each set's
// table sorted and cut to kTableSize.
ScoresParse ParseScores(const std::string &contents, std::vector<ScoreEntry> *entries);
std::string FormatScores(const std::vector<ScoreEntry> &entries);
// "YYYY-MM-DD" of date in local time.
std::string FormatScoreDate(long long date);

// ---- The scores file ----
// Start-up: the file under DataFolder(), read (and set aside when it cannot
// be read as a whole). Until this runs scores are kept in memory only.
void ReadScoresFile(void);
// Adds entry under the lock: the file is read again, the entry inserted and
// the file replaced. Returns the rank (-1: not in the table). Without a
// usable file the entry is kept for the run.
int RecordScore(const ScoreEntry &entry);
// Every game of the run and of the file, as last read.
extern std::vector<ScoreEntry> scoreEntries;
// The file (empty while scores are kept in memory only).
extern std::string scoresPath;

// ---- The game being played ----
// The level set being played: its hash and file name (from NoteLevelSet,
// control bytes as "?").
extern uint64_t currentSet;
extern std::string currentSetName;
// The level set just put into play: its file's name and the bytes it was
// read from (empty for a file that could not be read), the set's identity.
void NoteLevelSet(const char *path, const std::string &bytes);
// A new game begins: its settings are watched from now on.
void BeginGameRecord(void);
// Once per idle turn: notes settings changed during the game.
void NoteGameSettings(void);
// The game ended on the game-over or win screen: a score above 0 enters the
// table. Runs once per game.
void EndGameRecord(void);
// The game that ended last, for the end screens.
struct EndedGame {
  int score;
  int level;  // level reached, from 1
  int rank;   // its place in the table from 0, -1 when it did not enter
  long long date;
};
extern EndedGame endedGame;

// ---- Drawing ----
// The texts of one row of a table (no GL): "1.", the score, "level 3", the
// player, the date, and "*" for a game not played at the start values.
struct ScoreRowText {
  std::string rank, score, level, player, date, mark;
};
ScoreRowText ScoreRow(const ScoreEntry &entry, int rank);
// name with every byte the table's font cannot show replaced by '?'.
std::string PrintableName(const std::string &name);
// Under the end screens' message: the final score, the level reached and the
// set's table, the game just ended marked.
void DrawEndScores(void);
// On the start screen below the title: the set's best five, when it has any.
void DrawStartScores(void);
