// Keys and mouse of the editor on its level, driven through the GLUT
// callbacks without a window: cursor moves, toggling, the mouse start,
// clearing, drag painting, the active square and the preview's turns.
#include <GL/glut.h>
#include <gtest/gtest.h>

#include <string>

#include "editor/gridcraft.h"

namespace {

// Window pixel at the centre of inner cell (i, j) of the top view.
int PixelX(int j) { return kSquareRight - static_cast<int>((j - 0.5) * kCellPixels); }
int PixelY(int i) { return kSquareBottom - static_cast<int>((i - 0.5) * kCellPixels); }

void Keys(const char *keys) {
  for (const char *k = keys; *k; k++) Keyboard(static_cast<unsigned char>(*k), 0, 0);
}

void Press(int i, int j) { MouseButton(GLUT_LEFT_BUTTON, GLUT_DOWN, PixelX(j), PixelY(i)); }
void Release(int i, int j) { MouseButton(GLUT_LEFT_BUTTON, GLUT_UP, PixelX(j), PixelY(i)); }
void DragTo(int i, int j) { MouseMotion(PixelX(j), PixelY(i)); }

int CountCode(int code) {
  int n = 0;
  for (auto &row : level)
    for (int cell : row) n += cell == code;
  return n;
}

class EditorInput : public ::testing::Test {
 protected:
  void SetUp() override {
    NewLevelSet("");
    gridX = gridY = 1;
    viewPoint = 2;
    lookAt = 0;
    viewFrom = 5.0f;
    gridOn = 1;
    g_bButton1Down = 0;
    dragX = dragY = 0;
    enteringFile = 0;
    displayText = 0;
  }
};

TEST(GetGridNum, MapsTopViewPixelsToCells) {
  EXPECT_EQ(GetGridNum(825, 825), 1);
  EXPECT_EQ(GetGridNum(825, 810), 1);
  EXPECT_EQ(GetGridNum(825, 809), 2);
  EXPECT_EQ(GetGridNum(825, 392), 28);
  EXPECT_EQ(GetGridNum(525, 525), 1);
  EXPECT_EQ(GetGridNum(525, 92), 28);
  EXPECT_EQ(GetGridNum(525, 600), 1);  // beyond max
  for (int cell = 1; cell <= 28; cell++) {
    EXPECT_EQ(GetGridNum(825, PixelX(cell)), cell);
    EXPECT_EQ(GetGridNum(525, PixelY(cell)), cell);
  }
}

TEST_F(EditorInput, ClearMatrixBuildsRingAndStartAndKeepsCursor) {
  gridX = 2;
  gridY = 2;
  level[5][5] = kCellObstacle;
  Keys("c");
  EXPECT_EQ(CountCode(kCellWall), 4 * 29);
  EXPECT_EQ(CountCode(kCellObstacle), 0);
  EXPECT_EQ(CountCode(kCellMouseStart), 1);
  EXPECT_EQ(level[2][2], kCellMouseStart);
  EXPECT_EQ(level[0][17], kCellWall);
  EXPECT_EQ(level[29][3], kCellWall);
  EXPECT_EQ(level[1][1], kCellEmpty);
  EXPECT_EQ(mouseX, 2);
  EXPECT_EQ(mouseY, 2);
  EXPECT_EQ(gridX, 2);
  EXPECT_EQ(gridY, 2);
}

TEST_F(EditorInput, CursorKeysAreBlockedOnlyByWalls) {
  Keys("m");  // ring below
  Keys("l");  // ring to the right
  EXPECT_EQ(gridX, 1);
  EXPECT_EQ(gridY, 1);
  Keys("i");
  EXPECT_EQ(gridX, 2);
  Keys("j");  // onto the mouse start
  EXPECT_EQ(gridY, 2);
  level[3][2] = kCellObstacle;
  Keys("i");  // onto an obstacle
  EXPECT_EQ(gridX, 3);
  level[4][2] = kCellWall;  // a wall inside the ring stops it too
  Keys("i");
  EXPECT_EQ(gridX, 3);
  for (int k = 0; k < 40; k++) Keys("ij");
  EXPECT_EQ(gridX, 28);  // stopped by the ring, nothing else
  EXPECT_EQ(gridY, 28);
  Keys("IJML");  // capitals do nothing
  EXPECT_EQ(gridX, 28);
  EXPECT_EQ(gridY, 28);
}

TEST_F(EditorInput, ArrowsMoveTheCursorAsTheLettersButNotWhileANameIsTyped) {
  SpecialKeys(GLUT_KEY_UP, 0, 0);
  SpecialKeys(GLUT_KEY_UP, 0, 0);
  SpecialKeys(GLUT_KEY_LEFT, 0, 0);
  EXPECT_EQ(gridX, 3);  // as i, i, j
  EXPECT_EQ(gridY, 2);
  SpecialKeys(GLUT_KEY_DOWN, 0, 0);
  SpecialKeys(GLUT_KEY_RIGHT, 0, 0);
  SpecialKeys(GLUT_KEY_RIGHT, 0, 0);  // the ring stops it, as l
  EXPECT_EQ(gridX, 2);
  EXPECT_EQ(gridY, 1);

  Keys("afoo");
  SpecialKeys(GLUT_KEY_UP, 0, 0);
  SpecialKeys(GLUT_KEY_LEFT, 0, 0);
  EXPECT_EQ(gridX, 2);
  EXPECT_EQ(gridY, 1);
  EXPECT_EQ(std::string(fileText), "foo");
}

TEST_F(EditorInput, ZTogglesEmptyAndObstacleOnly) {
  Keys("z");
  EXPECT_EQ(level[1][1], kCellObstacle);
  Keys("z");
  EXPECT_EQ(level[1][1], kCellEmpty);
  gridX = gridY = 2;
  Keys("z");
  EXPECT_EQ(level[2][2], kCellMouseStart);
}

TEST_F(EditorInput, VMovesTheStartOnlyOntoEmptyCells) {
  Keys("iiv");
  EXPECT_EQ(level[3][1], kCellMouseStart);
  EXPECT_EQ(level[2][2], kCellEmpty);
  EXPECT_EQ(mouseX, 3);
  EXPECT_EQ(mouseY, 1);
  Keys("v");  // already the start
  EXPECT_EQ(level[3][1], kCellMouseStart);
  EXPECT_EQ(CountCode(kCellMouseStart), 1);
  Keys("izv");  // an obstacle
  EXPECT_EQ(level[4][1], kCellObstacle);
  EXPECT_EQ(mouseX, 3);
  gridX = 0;  // a wall, as if the cursor stood on it
  Keys("v");
  EXPECT_EQ(level[0][1], kCellWall);
  EXPECT_EQ(CountCode(kCellMouseStart), 1);
  EXPECT_EQ(level[mouseX][mouseY], kCellMouseStart);
}

TEST_F(EditorInput, PreviewKeysTurnWithin0To360) {
  Keys("2");
  EXPECT_EQ(viewPoint, 1);
  Keys("u");
  EXPECT_EQ(lookAt, 345);
  lookAt = 345;
  Keys("o");
  EXPECT_EQ(lookAt, 360);
  Keys("o");
  EXPECT_EQ(lookAt, 15);
  Keys("xx1");
  EXPECT_EQ(gridOn, 1);
  EXPECT_EQ(viewPoint, 2);
}

TEST_F(EditorInput, PressSelectsThenTogglesAndBecomesDragCell) {
  Press(10, 20);
  EXPECT_EQ(gridX, 10);
  EXPECT_EQ(gridY, 20);
  EXPECT_EQ(level[10][20], kCellEmpty);
  Release(10, 20);
  EXPECT_EQ(g_bButton1Down, 0);
  dragX = dragY = 0;  // as after a drag elsewhere
  Press(10, 20);
  EXPECT_EQ(level[10][20], kCellObstacle);
  // The first motion event inside the same cell must not toggle it back.
  DragTo(10, 20);
  EXPECT_EQ(level[10][20], kCellObstacle);
  Release(10, 20);
  Press(10, 20);
  EXPECT_EQ(level[10][20], kCellEmpty);
}

TEST_F(EditorInput, DragPaintsEachCellOnceAndSkipsWallsAndStart) {
  level[5][3] = kCellObstacle;
  Press(5, 1);
  for (int j : {1, 1, 2, 2, 2, 3, 3, 4}) DragTo(5, j);
  EXPECT_EQ(level[5][1], kCellEmpty);  // pressed cell: selected, not painted
  EXPECT_EQ(level[5][2], kCellObstacle);
  EXPECT_EQ(level[5][3], kCellEmpty);  // an obstacle is cleared
  EXPECT_EQ(level[5][4], kCellObstacle);
  EXPECT_EQ(gridY, 4);
  // Across the mouse start and a wall: unchanged, the cursor waits.
  level[4][4] = kCellWall;
  Press(3, 2);
  DragTo(2, 2);
  EXPECT_EQ(level[2][2], kCellMouseStart);
  EXPECT_EQ(gridX, 3);
  DragTo(4, 4);
  EXPECT_EQ(level[4][4], kCellWall);
  EXPECT_EQ(gridX, 3);
  EXPECT_EQ(gridY, 2);
  DragTo(4, 5);
  EXPECT_EQ(level[4][5], kCellObstacle);
  EXPECT_EQ(gridX, 4);
  EXPECT_EQ(gridY, 5);
  // Motion without the button held paints nothing.
  Release(4, 5);
  DragTo(6, 6);
  EXPECT_EQ(level[6][6], kCellEmpty);
}

TEST_F(EditorInput, PresssesAndDragsOutsideTheSquareDoNothing) {
  for (auto [x, y] : {std::pair{391, 300}, {826, 300}, {600, 91}, {600, 526}}) {
    MouseButton(GLUT_LEFT_BUTTON, GLUT_DOWN, x, y);
    EXPECT_EQ(g_bButton1Down, 0);
    EXPECT_EQ(gridX, 1);
    EXPECT_EQ(gridY, 1);
  }
  MouseButton(GLUT_LEFT_BUTTON, GLUT_DOWN, 392, 92);  // the corner is inside
  EXPECT_EQ(gridX, 28);
  EXPECT_EQ(gridY, 28);
  MouseMotion(300, 300);
  EXPECT_EQ(CountCode(kCellObstacle), 0);
  MouseButton(GLUT_LEFT_BUTTON, GLUT_DOWN, 825, 525);
  EXPECT_EQ(gridX, 1);
  EXPECT_EQ(gridY, 1);
}

TEST_F(EditorInput, PreviewDragTurnsAndReleaseSnapsBack) {
  Keys("2");
  MouseButton(GLUT_LEFT_BUTTON, GLUT_DOWN, 600, 300);
  EXPECT_EQ(gridX, 1);  // no cell is selected in the preview
  MouseMotion(610, 300);
  EXPECT_EQ(lookAt, 3);
  MouseMotion(610, 310);  // no horizontal change still turns forward
  EXPECT_EQ(lookAt, 6);
  MouseMotion(500, 310);
  MouseMotion(400, 310);
  MouseMotion(399, 310);
  EXPECT_EQ(lookAt, 357);
  viewFrom = 9.0f;
  MouseButton(GLUT_LEFT_BUTTON, GLUT_UP, 399, 310);
  EXPECT_EQ(lookAt, 0);
  EXPECT_EQ(viewFrom, 5.0f);
  // A click after key turns snaps back as well; outside the square it does not.
  Keys("oo");
  MouseButton(GLUT_LEFT_BUTTON, GLUT_UP, 300, 310);
  EXPECT_EQ(lookAt, 30);
  MouseButton(GLUT_LEFT_BUTTON, GLUT_DOWN, 600, 300);
  MouseButton(GLUT_LEFT_BUTTON, GLUT_UP, 600, 300);
  EXPECT_EQ(lookAt, 0);
  EXPECT_EQ(level[1][1], kCellEmpty);
}

TEST_F(EditorInput, MenuTogglesFlagsAndKeysActAsMenu) {
  BOOL lighting = g_bLightingEnabled, fill = g_bFillPolygons, texture = g_bTexture;
  Keys("qwe");
  EXPECT_EQ(g_bLightingEnabled, !lighting);
  EXPECT_EQ(g_bFillPolygons, !fill);
  EXPECT_EQ(g_bTexture, !texture);
  SelectFromMenu(MENU_LIGHTING);
  SelectFromMenu(MENU_POLYMODE);
  SelectFromMenu(MENU_TEXTURING);
  EXPECT_EQ(g_bLightingEnabled, lighting);
  EXPECT_EQ(g_bFillPolygons, fill);
  EXPECT_EQ(g_bTexture, texture);
}

TEST_F(EditorInput, EscapeAndMenuExitEndWithStatus0) {
  EXPECT_EXIT(Keyboard(27, 0, 0), ::testing::ExitedWithCode(0), "");
  EXPECT_EXIT(SelectFromMenu(MENU_EXIT), ::testing::ExitedWithCode(0), "");
}

}  // namespace
