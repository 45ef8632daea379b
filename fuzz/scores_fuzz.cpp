// libFuzzer target for the scores file's reader: arbitrary bytes as the
// file. Checks that every game read is within the bounds the tables and the
// drawing rely on, each set's table at most ten and best first, and that
// what the reader kept is written and read back unchanged.
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>

#include "game/scores.h"
#include "game/squeakling.h"

static void Check(bool ok) {
  if (!ok) abort();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  std::string contents(reinterpret_cast<const char *>(data), size);
  std::vector<ScoreEntry> entries;
  ScoresParse parse = ParseScores(contents, &entries);
  Check(parse.badLines >= 0 && (parse.whole || entries.empty()));
  std::map<uint64_t, int> perSet;
  for (size_t i = 0; i < entries.size(); i++) {
    const ScoreEntry &e = entries[i];
    Check(e.score > 0 && e.level >= 1 && e.level <= kMaxLevels && e.date >= 0);
    Check(!e.login.empty() && e.login.size() <= kMaxLoginName);
    Check(!e.setName.empty() && e.setName.size() <= kMaxSetName);
    Check(++perSet[e.set] <= kTableSize);
    if (i > 0 && entries[i - 1].set == e.set) Check(entries[i - 1].score >= e.score);
    ScoreRow(e, static_cast<int>(i));
  }
  std::string written = FormatScores(entries);
  std::vector<ScoreEntry> back;
  Check(ParseScores(written, &back).badLines == 0);
  Check(FormatScores(back) == written);
  return 0;
}
