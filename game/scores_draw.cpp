// The best-games tables on the start and end screens, drawn inside the 2D
// set-up of those screens (SetUp2dDraw), in overlay units. The end screens
// draw them before their darkening, at the same depth, so they stay bright.
#include <GL/glut.h>

#include <cstdio>

#include "common/drawing.h"
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
                       kPlayerX = 630.0f, kDateX = 780.0f, kMarkX = 900.0f, kTitleX = 360.0f;

static constexpr GLfloat kEndedColour[4] = {1.0f, 0.85f, 0.2f, 1.0f};
static constexpr GLfloat kPlainColour[4] = {1.0f, 1.0f, 1.0f, 1.0f};
static void *const kTableFont = GLUT_BITMAP_HELVETICA_18;

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

static float TextWidth(const std::string &s, void *font) {
  return static_cast<float>(
      glutBitmapLength(font, reinterpret_cast<const unsigned char *>(s.c_str())));
}

static void DrawText(const std::string &s, float x, float y, void *font) {
  glRasterPos3f(x, y, 0.0f);
  for (unsigned char c : s) glutBitmapCharacter(font, c);
}

static void DrawRow(const ScoreRowText &row, float y, BOOL ended) {
  SetTextColour(ended ? kEndedColour : kPlainColour);
  DrawText(row.rank, kRankRight - TextWidth(row.rank, kTableFont), y, kTableFont);
  DrawText(row.score, kScoreRight - TextWidth(row.score, kTableFont), y, kTableFont);
  DrawText(row.level, kLevelX, y, kTableFont);
  DrawText(row.player, kPlayerX, y, kTableFont);
  DrawText(row.date, kDateX, y, kTableFont);
  DrawText(row.mark, kMarkX, y, kTableFont);
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
  DrawText(line, kTitleX, kFinalY, GLUT_BITMAP_TIMES_ROMAN_24);
  std::vector<ScoreEntry> table = SetTable(scoreEntries, currentSet);
  std::string heading = "Ten best games of " + PrintableName(currentSetName);
  if (table.empty()) heading += ": none yet";
  DrawText(heading, kTitleX, kEndTitleY, kTableFont);
  if (DrawRows(table, kTableSize, kEndFirstRowY, endedGame.rank))
    DrawText("* not played at the start settings throughout", kTitleX, kEndLegendY,
             GLUT_BITMAP_HELVETICA_12);
}

void DrawStartScores(void) {
  std::vector<ScoreEntry> table = SetTable(scoreEntries, currentSet);
  if (table.empty()) return;
  DrawText("Best games of " + PrintableName(currentSetName), kTitleX, kStartTitleY, kTableFont);
  if (DrawRows(table, kStartTableSize, kStartFirstRowY, -1))
    DrawText("* other settings", kMarkX, kStartTitleY, GLUT_BITMAP_HELVETICA_12);
}
