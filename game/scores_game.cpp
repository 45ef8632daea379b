// The record of the game being played: which level set, with which
// settings, and its entry into the set's table when it ends on the game-over
// or win screen. A game left by Quit or Restart is never recorded.
#include <pwd.h>
#include <unistd.h>

#include <ctime>

#include "game/scores.h"
#include "game/squeakling.h"

uint64_t currentSet = HashLevelSet("");
std::string currentSetName = "";
EndedGame endedGame = {0, 0, -1, 0};

// The game being played, from BeginGameRecord (or start-up) to its end.
static int gameLives = 3;
static BOOL gameCatOff = FALSE, gameStandard = TRUE, gameRecorded = FALSE;

// Control bytes become '?', as the tables show them: the scores file's
// reader refuses a name holding one, so the game's line would be lost.
static std::string BaseName(const char *path) {
  std::string name = path;
  size_t slash = name.rfind('/');
  if (slash != std::string::npos) name = name.substr(slash + 1);
  if (name.empty()) name = "?";
  for (char &c : name)
    if (static_cast<unsigned char>(c) < ' ' || c == 0x7f) c = '?';
  return name.substr(0, kMaxSetName);
}

void NoteLevelSet(const char *path, const std::string &bytes) {
  currentSet = HashLevelSet(bytes);
  currentSetName = BaseName(path);
}

static BOOL AtStartValues(void) {
  PlaySettings start = StandardPlay();
  return CAT_EXISTS && speedScale == start.mouseSpeed && catSpeedScale == start.catSpeed &&
         bonusFreq == start.bonus && initNumCheese == start.cheese;
}

void BeginGameRecord(void) {
  gameLives = initLives;
  gameCatOff = !CAT_EXISTS;
  gameStandard = initLives == StandardPlay().lives && AtStartValues();
  gameRecorded = FALSE;
}

void NoteGameSettings(void) {
  if (!CAT_EXISTS) gameCatOff = TRUE;
  if (!AtStartValues()) gameStandard = FALSE;
}

// Control bytes and spaces would not survive the table's columns.
static std::string LoginName(void) {
  const struct passwd *entry = getpwuid(geteuid());
  const char *name = entry && entry->pw_name ? entry->pw_name : getenv("LOGNAME");
  if (!name || !*name) name = getenv("USER");
  std::string login = name && *name ? name : "player";
  for (char &c : login)
    if (static_cast<unsigned char>(c) <= ' ' || c == 0x7f) c = '_';
  return login.substr(0, kMaxLoginName);
}

void EndGameRecord(void) {
  if (gameRecorded) return;
  gameRecorded = TRUE;
  NoteGameSettings();
  endedGame = EndedGame{score, levelNum + 1, -1, static_cast<long long>(time(nullptr))};
  if (score <= 0) return;
  ScoreEntry entry;
  entry.set = currentSet;
  entry.score = score;
  entry.level = endedGame.level;
  entry.date = endedGame.date;
  entry.login = LoginName();
  entry.setName = currentSetName;
  entry.played = PlaySettings{gameLives,     speedScale, catSpeedScale, bonusFreq,
                              initNumCheese, gameCatOff, gameStandard};
  endedGame.rank = RecordScore(entry);
}
