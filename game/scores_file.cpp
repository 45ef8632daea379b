// The scores file, $XDG_DATA_HOME/squeakling/scores: read at start-up, then
// read again and replaced under the lock each time a game ends, so two games
// ending at once both keep their entries. What the player is told about the
// file goes to standard error, each kind of trouble once per run.
#include <cstdio>

#include "common/safefile.h"
#include "game/playerfiles.h"
#include "game/scores.h"

std::vector<ScoreEntry> scoreEntries;
std::string scoresPath;

// Games of this run the file has not taken yet: added again on every later
// write, so a folder that comes back keeps them.
static std::vector<ScoreEntry> unsaved;
static BOOL toldLines = FALSE, toldWrite = FALSE;

enum ScoresFileState { SCORES_READ, SCORES_MISSING, SCORES_BAD, SCORES_UNREADABLE };

static void TellLinesOnce(const std::string &path, const ScoresParse &parse) {
  if (parse.badLines == 0 || toldLines) return;
  toldLines = TRUE;
  TellPlayer("%s: skipped %d line%s that do not parse (the first is line %d)", path.c_str(),
             parse.badLines, parse.badLines == 1 ? "" : "s", parse.firstBad);
}

// The file's games into *entries; why it cannot be used into *why.
static ScoresFileState LoadScores(const std::string &path, std::vector<ScoreEntry> *entries,
                                  std::string *why) {
  entries->clear();
  std::string contents;
  switch (ReadPlayerFile(path, kMaxScoresFile, &contents, why)) {
    case PLAYER_FILE_READ: break;
    case PLAYER_FILE_MISSING: return SCORES_MISSING;
    case PLAYER_FILE_TOO_BIG: *why = "too big for a scores file"; return SCORES_BAD;
    case PLAYER_FILE_UNREADABLE: return SCORES_UNREADABLE;
  }
  ScoresParse parse = ParseScores(contents, entries);
  if (!parse.whole) {
    *why = parse.why;
    return SCORES_BAD;
  }
  TellLinesOnce(path, parse);
  return SCORES_READ;
}

// The run goes on without the file: what it has stays in memory.
static void KeepInMemory(const std::string &reason) {
  TellPlayer("%s; scores are kept for this run only", reason.c_str());
  scoresPath.clear();
}

// Under the lock: a file that is still unusable moves aside, so the new one
// written next replaces nothing. Returns whether the file may be written.
static BOOL SetBadFileAside(const std::string &why) {
  std::string aside, error;
  if (!SetFileAside(scoresPath, &aside, &error)) {
    KeepInMemory(scoresPath + ": " + why + ", and " + error);
    return FALSE;
  }
  TellPlayer("%s: %s; moved to %s", scoresPath.c_str(), why.c_str(), aside.c_str());
  return TRUE;
}

// Reads the file under the lock into *entries; FALSE when it cannot be used.
static BOOL ReadLocked(std::vector<ScoreEntry> *entries) {
  std::string why;
  switch (LoadScores(scoresPath, entries, &why)) {
    case SCORES_READ:
    case SCORES_MISSING: return TRUE;
    case SCORES_BAD: entries->clear(); return SetBadFileAside(why);
    case SCORES_UNREADABLE: KeepInMemory(why); return FALSE;
  }
  Impossible("scores file state");
}

void ReadScoresFile(void) {
  unsaved.clear();
  toldLines = toldWrite = FALSE;
  std::string folder = DataFolder();
  if (folder.empty()) {
    KeepInMemory("no home folder for the scores file");
    return;
  }
  scoresPath = folder + "/scores";
  std::vector<ScoreEntry> entries;
  std::string why;
  ScoresFileState state = LoadScores(scoresPath, &entries, &why);
  if (state == SCORES_BAD) {
    PlayerFileLock lock;
    std::string error;
    if (!LockPlayerFile(scoresPath, &lock, &error))
      KeepInMemory(error);
    else
      ReadLocked(&entries);
  } else if (state == SCORES_UNREADABLE) {
    KeepInMemory(why);
  }
  scoreEntries = entries;
}

static void TellWriteOnce(const std::string &error) {
  if (toldWrite) return;
  toldWrite = TRUE;
  TellPlayer("%s; scores are kept for this run until it can be written", error.c_str());
}

// Rank of the last of the unsaved games in entries once they are inserted.
static int InsertUnsaved(std::vector<ScoreEntry> *entries) {
  int rank = -1;
  for (const ScoreEntry &entry : unsaved) rank = InsertScore(entries, entry);
  LimitScoreSets(entries);
  return rank;
}

int RecordScore(const ScoreEntry &entry) {
  if (scoresPath.empty()) return InsertScore(&scoreEntries, entry);
  unsaved.push_back(entry);
  std::string folder = scoresPath.substr(0, scoresPath.rfind('/'));
  std::string error;
  PlayerFileLock lock;
  if (!MakeFolder(folder, &error) || !LockPlayerFile(scoresPath, &lock, &error)) {
    TellWriteOnce(error);
    return InsertScore(&scoreEntries, entry);
  }
  std::vector<ScoreEntry> entries;
  if (!ReadLocked(&entries)) {
    unsaved.clear();
    return InsertScore(&scoreEntries, entry);
  }
  int rank = InsertUnsaved(&entries);
  if (WriteFileSafely(scoresPath.c_str(), FormatScores(entries), false, &error))
    unsaved.clear();
  else
    TellWriteOnce(scoresPath + ": " + error);
  scoreEntries = entries;
  return rank;
}
