// The best-games tables on the start and end screens, drawn inside the 2D
// set-up of those screens (SetUp2dDraw), in overlay units. The end screens
// draw them before their darkening, at the same depth, so they stay bright.
#include <cstdio>

#include "common/drawing.h"
#include "common/overlay.h"
#include "game/scoreboard.h"
#include "game/scores.h"

// End screens: everything below the message at y 300, above the window's
// bottom edge; Restart and Quit sit far above at y 500.
static constexpr float kFinalY = 262.0f;
static constexpr float kEndTitleY = 238.0f;
static constexpr float kEndFirstRowY = 214.0f;
static constexpr float kEndLegendY = 8.0f;
// Start screen: the band y 10 ... 140 under the sliding title.
static constexpr float kStartTitleY = 120.0f;
static constexpr float kStartFirstRowY = 98.0f;
static constexpr float kRowStep = 20.0f;
// Column edges: rank and score end at theirs, the others start there.
static constexpr float kRankRight = 400.0f, kScoreRight = 510.0f, kLevelX = 540.0f,
                       kPlayerX = 630.0f, kDateX = 760.0f, kMarkX = 880.0f, kTitleX = 360.0f;

static constexpr float kColumnGap = 10.0f;
static constexpr GLfloat kEndedColour[4] = {1.0f, 0.85f, 0.2f, 1.0f};
static constexpr GLfloat kPlainColour[4] = {1.0f, 1.0f, 1.0f, 1.0f};
// Text sizes in overlay units: the final score in the message's size.
static constexpr float kRowTextSize = 18.0f, kLegendSize = 12.0f;

ScoreRowText ScoreRow(const ScoreEntry &entry, int rank) {
  ScoreRowText row;
  row.rank = std::to_string(rank + 1) + ".";
  row.score = std::to_string(entry.score);
  row.level = "level " + std::to_string(entry.level);
  row.player = PrintableName(entry.login);
  row.date = FormatScoreDate(entry.date);
  row.mark = entry.played.standard ? "" : "*";
  return row;
}

std::string PrintableName(const std::string &name) {
  std::string shown = name;
  for (char &c : shown)
    if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x7f) c = '?';
  return shown;
}

// Bitmap text takes its colour from the lit emission when the raster
// position is set.
static void SetTextColour(const GLfloat colour[4]) {
  glMaterialfv(GL_FRONT, GL_EMISSION, colour);
  glMaterialfv(GL_FRONT, GL_SPECULAR, colour);
}

static void DrawText(const std::string &s, float x, float y, float size) {
  OverlayTextPosition(x, y, 0.0f);
  OverlayText(s.c_str(), size);
}

// Right-aligned at x.
static void DrawTextLeftOf(const std::string &s, float x, float y, float size) {
  DrawText(s, x - OverlayTextWidth(s.c_str(), size), y, size);
}

// s cut to fit width at size, "..." marking the cut.
static std::string Fitted(const std::string &s, float width, float size) {
  if (OverlayTextWidth(s.c_str(), size) <= width) return s;
  std::string cut = s;
  while (!cut.empty() && OverlayTextWidth((cut + "...").c_str(), size) > width) cut.pop_back();
  return cut + "...";
}

static void DrawRow(const ScoreRowText &row, float y, BOOL ended) {
  SetTextColour(ended ? kEndedColour : kPlainColour);
  DrawTextLeftOf(row.rank, kRankRight, y, kRowTextSize);
  DrawTextLeftOf(row.score, kScoreRight, y, kRowTextSize);
  DrawText(row.level, kLevelX, y, kRowTextSize);
  DrawText(Fitted(row.player, kDateX - kPlayerX - kColumnGap, kRowTextSize), kPlayerX, y,
           kRowTextSize);
  DrawText(row.date, kDateX, y, kRowTextSize);
  DrawText(row.mark, kMarkX, y, kRowTextSize);
}

// Draws the rows of table from firstY down; whether any is marked "*".
static BOOL DrawRows(const std::vector<ScoreEntry> &table, size_t rows, float firstY,
                     int endedRank) {
  BOOL marked = FALSE;
  for (size_t i = 0; i < table.size() && i < rows; i++) {
    int rank = static_cast<int>(i);
    DrawRow(ScoreRow(table[i], rank), firstY - kRowStep * rank, rank == endedRank);
    if (!table[i].played.standard) marked = TRUE;
  }
  SetTextColour(kPlainColour);
  return marked;
}

void DrawEndScores(void) {
  char line[120];
  snprintf(line, sizeof line, "Final score: %d    Level reached: %d", endedGame.score,
           endedGame.level);
  DrawText(line, kTitleX, kFinalY, kOverlayTextSize);
  std::vector<ScoreEntry> table = SetTable(scoreEntries, currentSet);
  std::string heading = "Ten best games of " + PrintableName(currentSetName);
  if (table.empty()) heading += ": none yet";
  DrawText(Fitted(heading, kOverlayWidth - kTitleX, kRowTextSize), kTitleX, kEndTitleY,
           kRowTextSize);
  if (DrawRows(table, kTableSize, kEndFirstRowY, endedGame.rank))
    DrawText("* not played at the start settings throughout", kTitleX, kEndLegendY, kLegendSize);
}

void DrawStartScores(void) {
  std::vector<ScoreEntry> table = SetTable(scoreEntries, currentSet);
  if (table.empty()) return;
  std::string heading = "Best games of " + PrintableName(currentSetName);
  DrawText(Fitted(heading, kMarkX - kTitleX - kColumnGap, kRowTextSize), kTitleX, kStartTitleY,
           kRowTextSize);
  if (DrawRows(table, kStartTableSize, kStartFirstRowY, -1))
    DrawText("* other settings", kMarkX, kStartTitleY, kLegendSize);
}
