// The settings file on disk: read once at start-up, written under its lock
// through a temporary file whenever the settings changed and then stayed
// put for a moment, and once more at exit for a change not yet written.
#include <cstdio>

#include "common/drawing.h"
#include "common/safefile.h"
#include "game/playerfiles.h"
#include "game/settings.h"
#include "game/squeakling.h"

std::string settingsPath;

// A change is written once the settings have stayed the same this long, so
// that a slider dragged across its track writes once.
static constexpr double kQuietSeconds = 0.5;

static SettingsRecord onFile = StartSettings();    // what the file holds
static SettingsRecord lastSeen = StartSettings();  // the globals at the last idle turn
static double changedAt = -1.0;                    // when they changed, until written
// The file's value of a setting start-up overrode for this run (sound off
// without a sound device, full screen from the command line), kept until the
// player changes that setting; -1 otherwise.
static int soundOnFile = -1, fullScreenOnFile = -1;
static BOOL toldWrite = FALSE;

static PlayerFileRead ReadText(std::string *contents, std::string *error) {
  return ReadPlayerFile(settingsPath, kMaxSettingsFile, contents, error);
}

// Under the lock, a file that is still not text moves aside; one that became
// text meanwhile is read after all. Without the lock it stays unread.
static void SetAsideUnlessText(std::string *contents) {
  PlayerFileLock lock;
  std::string error, aside;
  if (!LockPlayerFile(settingsPath, &lock, &error)) {
    contents->clear();
    TellPlayer("%s: not a text file, and %s; start values used, settings are not kept",
               settingsPath.c_str(), error.c_str());
    settingsPath.clear();
    return;
  }
  if (ReadText(contents, &error) == PLAYER_FILE_READ && IsPlainText(*contents)) return;
  contents->clear();
  if (SetFileAside(settingsPath, &aside, &error)) {
    TellPlayer("%s: not a text file; moved to %s, start values used", settingsPath.c_str(),
               aside.c_str());
  } else {
    TellPlayer("%s: not a text file, and %s; settings are not kept", settingsPath.c_str(),
               error.c_str());
    settingsPath.clear();
  }
}

void ReadSettingsFile(void) {
  onFile = StartSettings();
  changedAt = -1.0;
  toldWrite = FALSE;
  settingsPath.clear();
  std::string folder = ConfigFolder();
  if (folder.empty()) {
    TellPlayer("no home folder for the settings file; settings are not kept");
    return;
  }
  settingsPath = folder + "/settings";
  std::string contents, error;
  switch (ReadText(&contents, &error)) {
    case PLAYER_FILE_READ: break;
    case PLAYER_FILE_MISSING: return;                           // first run: the start values
    case PLAYER_FILE_TOO_BIG: contents.assign(1, '\0'); break;  // as good as binary
    case PLAYER_FILE_UNREADABLE:
      // Never replace what could not be read.
      TellPlayer("%s; start values used, settings are not kept", error.c_str());
      settingsPath.clear();
      return;
  }
  if (!IsPlainText(contents)) SetAsideUnlessText(&contents);
  std::vector<std::string> warnings;
  SettingsRecord record = ParseSettings(contents, imageWidth[kImageSCheese], &warnings);
  for (const std::string &warning : warnings)
    TellPlayer("%s: %s", settingsPath.c_str(), warning.c_str());
  ApplySettings(record);
  onFile = record;
}

void SettleSettings(void) {
  lastSeen = CaptureSettings();
  soundOnFile = lastSeen.sound != onFile.sound ? onFile.sound : -1;
  fullScreenOnFile = lastSeen.fullScreen != onFile.fullScreen ? onFile.fullScreen : -1;
}

static void WriteSettings(const SettingsRecord &record) {
  std::string folder = settingsPath.substr(0, settingsPath.rfind('/'));
  std::string error;
  PlayerFileLock lock;
  bool ready = MakeFolder(folder, &error) && LockPlayerFile(settingsPath, &lock, &error);
  if (ready && WriteFileSafely(settingsPath.c_str(), FormatSettings(record), false, &error)) {
    onFile = record;
    return;
  }
  if (ready) error = settingsPath + ": " + error;
  if (!toldWrite) {
    toldWrite = TRUE;
    TellPlayer("%s; settings are kept for this run only", error.c_str());
  }
}

// The settings the file should hold now.
static SettingsRecord SettingsToKeep(void) {
  SettingsRecord record = lastSeen;
  if (soundOnFile >= 0) record.sound = soundOnFile;
  if (fullScreenOnFile >= 0) record.fullScreen = fullScreenOnFile;
  return record;
}

// Takes the globals as seen now; returns whether they changed.
static bool NoteSettings(void) {
  SettingsRecord current = CaptureSettings();
  // The player's own choices.
  if (current.sound != lastSeen.sound) soundOnFile = -1;
  if (current.fullScreen != lastSeen.fullScreen) fullScreenOnFile = -1;
  if (SameSettings(current, lastSeen)) return false;
  lastSeen = current;
  return true;
}

static void WriteChange(void) {
  changedAt = -1.0;
  SettingsRecord record = SettingsToKeep();
  if (!SameSettings(record, onFile)) WriteSettings(record);
}

void KeepSettings(double now) {
  if (settingsPath.empty()) return;
  if (NoteSettings()) changedAt = now;
  if (changedAt >= 0.0 && now - changedAt >= kQuietSeconds) WriteChange();
}

void FlushSettings(void) {
  if (settingsPath.empty()) return;
  NoteSettings();
  WriteChange();
}
