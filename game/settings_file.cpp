// The one reader and writer of the settings file's text, and the start
// values. The reader accepts exactly the values the game's own controls can
// set, so a file can never give the game a setting it could not have had.
// No files, no GL.
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <sstream>

#include "game/playerfiles.h"
#include "game/settings.h"
#include "game/squeakling.h"

// A slider's strip starts this far into its track and ends as far before its
// end (the control panel's hit test); a factor slider moves 0.01 a pixel.
static constexpr int kSliderMargin = 15;
static constexpr double kFactorLow = 0.5;

enum SettingKind { SETTING_WHOLE, SETTING_FACTOR };

struct SettingField {
  const char *name;
  SettingKind kind;
  int SettingsRecord::*whole;
  double SettingsRecord::*factor;
};

// In the file's order.
static const SettingField kFields[] = {
    {"view", SETTING_WHOLE, &SettingsRecord::view, nullptr},
    {"textures", SETTING_WHOLE, &SettingsRecord::textures, nullptr},
    {"spotlights", SETTING_WHOLE, &SettingsRecord::spotlights, nullptr},
    {"polygon_fill", SETTING_WHOLE, &SettingsRecord::polygonFill, nullptr},
    {"cat", SETTING_WHOLE, &SettingsRecord::cat, nullptr},
    {"sound", SETTING_WHOLE, &SettingsRecord::sound, nullptr},
    {"mouse_speed", SETTING_FACTOR, nullptr, &SettingsRecord::mouseSpeed},
    {"lives", SETTING_WHOLE, &SettingsRecord::lives, nullptr},
    {"cheese", SETTING_WHOLE, &SettingsRecord::cheese, nullptr},
    {"cat_speed", SETTING_FACTOR, nullptr, &SettingsRecord::catSpeed},
    {"bonus", SETTING_FACTOR, nullptr, &SettingsRecord::bonus},
    {"shadows", SETTING_WHOLE, &SettingsRecord::shadows, nullptr},
    {"reflections", SETTING_WHOLE, &SettingsRecord::reflections, nullptr},
    {"fullscreen", SETTING_WHOLE, &SettingsRecord::fullScreen, nullptr},
};

SettingsRecord StartSettings(void) {
  SettingsRecord r;
  r.view = VIEW_CHASE;
  r.textures = r.spotlights = r.polygonFill = r.cat = r.sound = 1;
  r.mouseSpeed = r.catSpeed = r.bonus = 1.0;
  r.lives = 3;
  r.cheese = 10;
  r.shadows = 2;
  r.reflections = 1;
  r.fullScreen = 0;
  return r;
}

bool SameSettings(const SettingsRecord &a, const SettingsRecord &b) {
  for (const SettingField &f : kFields)
    if (f.kind == SETTING_WHOLE ? a.*f.whole != b.*f.whole : a.*f.factor != b.*f.factor)
      return false;
  return true;
}

// ---- Text ----

std::string FormatSettings(const SettingsRecord &r) {
  std::string text = "# squeakling settings: written by the game whenever one changes\n";
  for (const SettingField &f : kFields)
    text += std::string(f.name) + " = " +
            (f.kind == SETTING_WHOLE ? std::to_string(r.*f.whole) : FormatShortest(r.*f.factor)) +
            "\n";
  return text;
}

// What the controls can set: the sliders' ends follow the track's width.
static void WholeRange(const char *name, int trackWidth, int *low, int *high) {
  int strip = trackWidth - 2 * kSliderMargin;
  if (!strcmp(name, "view")) {
    *low = VIEW_FIRST_PERSON, *high = VIEW_OVERHEAD;
  } else if (!strcmp(name, "shadows")) {
    *low = 0, *high = 3;
  } else if (!strcmp(name, "lives")) {
    *low = 1, *high = std::max(1 + strip / 10, StartSettings().lives);
  } else if (!strcmp(name, "cheese")) {
    *low = 5, *high = std::max(5 + strip / 5, StartSettings().cheese);
  } else {
    *low = 0, *high = 1;
  }
}

static std::string Trim(const std::string &s) {
  size_t first = s.find_first_not_of(" \t\r");
  if (first == std::string::npos) return "";
  return s.substr(first, s.find_last_not_of(" \t\r") - first + 1);
}

static bool ReadWhole(const std::string &value, long long *out) {
  if (value.empty() || value.size() > 20) return false;
  if (!isdigit(static_cast<unsigned char>(value[0])) && value[0] != '-') return false;
  errno = 0;
  char *end = nullptr;
  *out = strtoll(value.c_str(), &end, 10);
  return errno == 0 && *end == '\0';
}

static bool ReadFactor(const std::string &value, double *out) {
  if (value.empty() || value.size() > 40) return false;
  if (!isdigit(static_cast<unsigned char>(value[0])) && value[0] != '-' && value[0] != '.')
    return false;
  char *end = nullptr;
  *out = strtod(value.c_str(), &end);
  return *end == '\0' && std::isfinite(*out);
}

// Sets one field from its text; an empty result, or why it was ignored.
static std::string SetField(const SettingField &f, const std::string &value, int trackWidth,
                            SettingsRecord *r) {
  std::string shown = value.size() > 40 ? value.substr(0, 40) + "..." : value;
  if (f.kind == SETTING_WHOLE) {
    int low, high;
    WholeRange(f.name, trackWidth, &low, &high);
    long long v;
    if (!ReadWhole(value, &v) || v < low || v > high)
      return std::string(f.name) + " = " + shown + " is not a whole number from " +
             std::to_string(low) + " to " + std::to_string(high);
    r->*f.whole = static_cast<int>(v);
    return "";
  }
  // The start value stays good with a track image too narrow to reach it.
  double high = std::max(kFactorLow + (trackWidth - 2 * kSliderMargin) / 100.0, 1.0);
  double v;
  if (!ReadFactor(value, &v) || v < kFactorLow || v > high + 1e-9)
    return std::string(f.name) + " = " + shown + " is not a number from " +
           FormatShortest(kFactorLow) + " to " + FormatShortest(high);
  r->*f.factor = v;
  return "";
}

static std::string ReadLine(const std::string &line, int trackWidth, SettingsRecord *r) {
  size_t equals = line.find('=');
  if (equals == std::string::npos) return "\"" + line.substr(0, 40) + "\" is not name = value";
  std::string name = Trim(line.substr(0, equals)), value = Trim(line.substr(equals + 1));
  for (const SettingField &f : kFields)
    if (name == f.name) return SetField(f, value, trackWidth, r);
  return "unknown setting \"" + name.substr(0, 40) + "\"";
}

SettingsRecord ParseSettings(const std::string &contents, int trackWidth,
                             std::vector<std::string> *warnings) {
  SettingsRecord r = StartSettings();
  std::istringstream in(contents);
  std::string line;
  for (int number = 1; std::getline(in, line); number++) {
    line = Trim(line);
    if (line.empty() || line[0] == '#') continue;
    std::string why = ReadLine(line, trackWidth, &r);
    if (!why.empty())
      warnings->push_back("line " + std::to_string(number) + ": " + why + ", ignored");
  }
  return r;
}
