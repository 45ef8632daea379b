// The best-games tables and the text of the scores file: ranking, the cut to
// ten per set, and the one reader and writer of the format. No files, no GL.
//
// The file: the version line, then one game a line, fields apart by spaces:
//   set score level date lives mouse cat bonus cheese catoff standard login name
// set is 16 hex digits, date seconds since 1970, the two names with space,
// '%' and control bytes written as %XX.
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cinttypes>
#include <cmath>
#include <cstring>
#include <ctime>
#include <map>
#include <sstream>

#include "game/playerfiles.h"
#include "game/scores.h"
#include "game/squeakling.h"

static constexpr int kScoreFields = 13;
// Bounds of the fields a line may hold; the game writes far less.
static constexpr long long kMaxDate = 253402300799LL;  // the last second of 9999
static constexpr long long kMaxCount = 9999;           // lives, cheese
static constexpr double kMaxFactor = 100.0;            // speeds, bonus frequency

uint64_t HashLevelSet(const std::string &bytes) {
  uint64_t hash = 14695981039346656037ULL;
  for (unsigned char c : bytes) {
    hash ^= c;
    hash *= 1099511628211ULL;
  }
  return hash;
}

PlaySettings StandardPlay(void) { return PlaySettings{3, 1.0, 1.0, 1.0, 10, FALSE, TRUE}; }

// ---- Tables ----

// Sets apart, each best first; equal scores keep their order, so a newcomer
// placed after them ranks below.
static void SortTables(std::vector<ScoreEntry> *entries) {
  std::stable_sort(entries->begin(), entries->end(), [](const ScoreEntry &a, const ScoreEntry &b) {
    return a.set != b.set ? a.set < b.set : a.score > b.score;
  });
}

static void CutTables(std::vector<ScoreEntry> *entries) {
  std::vector<ScoreEntry> kept;
  for (size_t i = 0, rank = 0; i < entries->size(); i++) {
    rank = i > 0 && (*entries)[i - 1].set == (*entries)[i].set ? rank + 1 : 0;
    if (rank < static_cast<size_t>(kTableSize)) kept.push_back((*entries)[i]);
  }
  entries->swap(kept);
}

std::vector<ScoreEntry> SetTable(const std::vector<ScoreEntry> &entries, uint64_t set) {
  std::vector<ScoreEntry> table;
  for (const ScoreEntry &entry : entries)
    if (entry.set == set) table.push_back(entry);
  std::stable_sort(table.begin(), table.end(),
                   [](const ScoreEntry &a, const ScoreEntry &b) { return a.score > b.score; });
  if (table.size() > static_cast<size_t>(kTableSize)) table.resize(kTableSize);
  return table;
}

int InsertScore(std::vector<ScoreEntry> *entries, const ScoreEntry &entry) {
  std::vector<ScoreEntry> table = SetTable(*entries, entry.set);
  size_t rank = 0;
  while (rank < table.size() && table[rank].score >= entry.score) rank++;
  if (rank >= static_cast<size_t>(kTableSize)) return -1;
  table.insert(table.begin() + static_cast<long>(rank), entry);
  entries->erase(std::remove_if(entries->begin(), entries->end(),
                                [&](const ScoreEntry &e) { return e.set == entry.set; }),
                 entries->end());
  entries->insert(entries->end(), table.begin(), table.end());
  SortTables(entries);
  CutTables(entries);
  return static_cast<int>(rank);
}

void LimitScoreSets(std::vector<ScoreEntry> *entries) {
  std::map<uint64_t, long long> latest;
  for (const ScoreEntry &entry : *entries)
    latest[entry.set] = std::max(latest[entry.set], entry.date);
  if (latest.size() <= kMaxScoreSets) return;
  std::vector<std::pair<long long, uint64_t>> sets;
  for (const auto &set : latest) sets.push_back({set.second, set.first});
  std::sort(sets.rbegin(), sets.rend());
  std::map<uint64_t, bool> keep;
  for (size_t i = 0; i < kMaxScoreSets; i++) keep[sets[i].second] = true;
  entries->erase(std::remove_if(entries->begin(), entries->end(),
                                [&](const ScoreEntry &e) { return !keep[e.set]; }),
                 entries->end());
}

// ---- Fields ----

static bool ParseInteger(const std::string &field, long long low, long long high,
                         long long *value) {
  if (field.empty() || field.size() > 20 ||
      !(isdigit(static_cast<unsigned char>(field[0])) || (field[0] == '-' && field.size() > 1)))
    return false;
  errno = 0;
  char *end = nullptr;
  long long v = strtoll(field.c_str(), &end, 10);
  if (errno != 0 || *end != '\0' || v < low || v > high) return false;
  *value = v;
  return true;
}

static bool ParseInt(const std::string &field, long long low, long long high, int *value) {
  long long v;
  if (!ParseInteger(field, low, high, &v)) return false;
  *value = static_cast<int>(v);
  return true;
}

static bool ParseFactor(const std::string &field, double *value) {
  if (field.empty() || field.size() > 32 || !isdigit(static_cast<unsigned char>(field[0])))
    return false;
  char *end = nullptr;
  double v = strtod(field.c_str(), &end);
  if (*end != '\0' || !std::isfinite(v) || v < 0.0 || v > kMaxFactor) return false;
  *value = v;
  return true;
}

static bool ParseSetHash(const std::string &field, uint64_t *set) {
  if (field.size() != 16) return false;
  uint64_t v = 0;
  for (char c : field) {
    int digit = isdigit(static_cast<unsigned char>(c)) ? c - '0'
                : (c >= 'a' && c <= 'f')               ? c - 'a' + 10
                                                       : -1;
    if (digit < 0) return false;
    v = v << 4 | static_cast<uint64_t>(digit);
  }
  *set = v;
  return true;
}

static int HexDigit(char c) {
  if (isdigit(static_cast<unsigned char>(c))) return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// A name decoded from %XX, 1 ... limit bytes, none of them a control byte.
static bool ParseName(const std::string &field, size_t limit, std::string *name) {
  std::string out;
  for (size_t i = 0; i < field.size(); i++) {
    unsigned char c = static_cast<unsigned char>(field[i]);
    if (c == '%') {
      if (i + 2 >= field.size()) return false;
      int high = HexDigit(field[i + 1]), low = HexDigit(field[i + 2]);
      if (high < 0 || low < 0) return false;
      c = static_cast<unsigned char>(high << 4 | low);
      i += 2;
    }
    if (c < 0x20 || c == 0x7f) return false;
    out += static_cast<char>(c);
  }
  if (out.empty() || out.size() > limit) return false;
  *name = out;
  return true;
}

static std::string EncodeName(const std::string &name) {
  static const char hex[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : name) {
    if (c <= 0x20 || c == '%' || c == 0x7f) {
      out += '%';
      out += hex[c >> 4];
      out += hex[c & 15];
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

// ---- Lines ----

static bool ParseScoreLine(const std::string &line, ScoreEntry *entry) {
  std::istringstream in(line);
  std::vector<std::string> f;
  for (std::string field; in >> field && f.size() <= kScoreFields;) f.push_back(field);
  if (f.size() != kScoreFields) return false;
  ScoreEntry e;
  PlaySettings &p = e.played;
  int catOff = 0, standard = 0;
  bool ok = ParseSetHash(f[0], &e.set) && ParseInt(f[1], 1, INT32_MAX, &e.score) &&
            ParseInt(f[2], 1, kMaxLevels, &e.level) && ParseInteger(f[3], 0, kMaxDate, &e.date) &&
            ParseInt(f[4], 0, kMaxCount, &p.lives) && ParseFactor(f[5], &p.mouseSpeed) &&
            ParseFactor(f[6], &p.catSpeed) && ParseFactor(f[7], &p.bonus) &&
            ParseInt(f[8], 0, kMaxCount, &p.cheese) && ParseInt(f[9], 0, 1, &catOff) &&
            ParseInt(f[10], 0, 1, &standard) && ParseName(f[11], kMaxLoginName, &e.login) &&
            ParseName(f[12], kMaxSetName, &e.setName);
  if (!ok) return false;
  p.catOff = catOff;
  p.standard = standard;
  *entry = e;
  return true;
}

static std::string FormatScoreLine(const ScoreEntry &e) {
  const PlaySettings &p = e.played;
  char head[160];
  snprintf(head, sizeof head, "%016" PRIx64 " %d %d %lld %d ", e.set, e.score, e.level, e.date,
           p.lives);
  return head + FormatShortest(p.mouseSpeed) + " " + FormatShortest(p.catSpeed) + " " +
         FormatShortest(p.bonus) + " " + std::to_string(p.cheese) + " " + (p.catOff ? "1" : "0") +
         " " + (p.standard ? "1" : "0") + " " + EncodeName(e.login) + " " + EncodeName(e.setName) +
         "\n";
}

// ---- The file ----

ScoresParse ParseScores(const std::string &contents, std::vector<ScoreEntry> *entries) {
  ScoresParse result{FALSE, 0, 0, ""};
  entries->clear();
  if (contents.empty()) {  // a file made and not yet written holds nothing
    result.whole = TRUE;
    return result;
  }
  if (!IsPlainText(contents)) {
    result.why = "not a text file";
    return result;
  }
  std::istringstream in(contents);
  std::string line;
  std::getline(in, line);
  if (!line.empty() && line.back() == '\r') line.pop_back();
  if (line != kScoresVersion) {
    result.why = "not a scores file of this version";
    return result;
  }
  result.whole = TRUE;
  for (int number = 2; std::getline(in, line); number++) {
    ScoreEntry entry;
    if (line.size() <= kMaxScoreLine && ParseScoreLine(line, &entry)) {
      entries->push_back(entry);
    } else if (line.find_first_not_of(" \t\r") != std::string::npos) {
      if (result.badLines++ == 0) result.firstBad = number;
    }
  }
  SortTables(entries);
  CutTables(entries);
  return result;
}

std::string FormatScores(const std::vector<ScoreEntry> &entries) {
  std::string text = std::string(kScoresVersion) + "\n";
  for (const ScoreEntry &entry : entries) text += FormatScoreLine(entry);
  return text;
}

std::string FormatScoreDate(long long date) {
  time_t t = static_cast<time_t>(date);
  struct tm local;
  char buffer[32];
  if (localtime_r(&t, &local) == nullptr ||
      strftime(buffer, sizeof buffer, "%Y-%m-%d", &local) == 0)
    return "?";
  return buffer;
}
