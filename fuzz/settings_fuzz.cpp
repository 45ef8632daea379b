// libFuzzer target for the settings file's reader: the first byte is the
// width of the sliders' track, the rest the file. Checks that every setting
// read is one the game's controls can set, and that the record is written
// and read back unchanged without a warning.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "game/settings.h"

static void Check(bool ok) {
  if (!ok) abort();
}

static bool Flag(int v) { return v == 0 || v == 1; }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  if (size == 0) return 0;
  int track = data[0] * 2;  // 0 ... 510 pixels
  std::string contents(reinterpret_cast<const char *>(data + 1), size - 1);
  std::vector<std::string> warnings;
  SettingsRecord r = ParseSettings(contents, track, &warnings);
  double high = std::fmax(0.5 + (track - 30) / 100.0, 1.0);
  Check(r.view >= 0 && r.view <= 2 && r.shadows >= 0 && r.shadows <= 3);
  Check(Flag(r.textures) && Flag(r.spotlights) && Flag(r.polygonFill) && Flag(r.cat) &&
        Flag(r.sound) && Flag(r.reflections) && Flag(r.fullScreen));
  for (double f : {r.mouseSpeed, r.catSpeed, r.bonus})
    Check(std::isfinite(f) && f >= 0.5 && f <= high + 1e-9);
  Check(r.lives >= 1 && r.lives <= 3 + track / 10 && r.cheese >= 5 && r.cheese <= 10 + track / 5);
  std::vector<std::string> again;
  Check(SameSettings(ParseSettings(FormatSettings(r), track, &again), r) && again.empty());
  return 0;
}
