// The settings file, $XDG_CONFIG_HOME/squeakling/settings: the game's
// settings read at start-up and written whenever one has changed, one
// "name = value" a line. One writer for every way a setting changes (keys,
// pop-up menu, control panel): the settings are compared once per idle turn
// with the ones last written.
//
// Failure policy: nothing in the file ends the game. An unknown name or a
// value the game's controls cannot set is ignored with one warning naming
// it, that setting keeping its start value; a file that is not text is moved
// aside to "settings.bad"; a folder that cannot be written is reported once.
#pragma once
#include <string>
#include <vector>

#include "common/basics.h"

// Every setting the file keeps, as the game's globals hold them.
struct SettingsRecord {
  int view;  // viewPoint, a ViewMode
  BOOL textures, spotlights, polygonFill, cat, sound;
  double mouseSpeed;  // speedScale
  int lives;          // initLives
  int cheese;         // initNumCheese
  double catSpeed;    // catSpeedScale
  double bonus;       // bonusFreq
  int shadows;        // shadowsOn, 0 ... 3
  BOOL reflections;
  BOOL fullScreen;
};

// The file holds at most this many bytes; a bigger one is not read.
constexpr size_t kMaxSettingsFile = 64u << 10;

// ---- Records (no files, no GL) ----
// The start values, the same as InitSettings gives the globals (the window
// opens windowed).
SettingsRecord StartSettings(void);
SettingsRecord CaptureSettings(void);
bool SameSettings(const SettingsRecord &a, const SettingsRecord &b);
// The text of the file for record.
std::string FormatSettings(const SettingsRecord &record);
// Reads the file's text over the start values. trackWidth is the width of
// the sliders' track image, which sets the highest value a slider gives.
// Each line ignored adds one warning to *warnings.
SettingsRecord ParseSettings(const std::string &contents, int trackWidth,
                             std::vector<std::string> *warnings);

// ---- The globals and GL ----
// Sets the globals from record, each display setting through its toggle so
// that the GL state follows as it does from the keys; full screen once the
// window is open (and never back to a window --fullscreen asked for).
void ApplySettings(const SettingsRecord &record);

// ---- The file ----
// Start-up, after InitSettings: reads and applies the file (a missing file
// leaves the start values). Takes the settings then as written.
void ReadSettingsFile(void);
// Start-up, after the sound device was tried: the settings from now on are
// the ones on file, except a sound the device refused and full screen asked
// for on the command line, which stay as the file has them until the player
// changes them (F11, the sound button).
void SettleSettings(void);
// Once per idle turn, now in seconds: writes the settings once they have
// changed and then stayed put for a short while (a slider drag writes once).
void KeepSettings(double now);
// Writes a change not yet written; at exit.
void FlushSettings(void);
// The file (empty until ReadSettingsFile, or when there is no home folder).
extern std::string settingsPath;
