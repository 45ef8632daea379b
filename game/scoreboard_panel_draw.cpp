// Drawing of the control panel: title, the three columns of labels, button
// faces chosen by the settings, slider tracks with their knobs, and the load
// prompt line. Reads the game's settings and the image catalogue.
#include <GL/gl.h>

#include <iterator>

#include "common/drawing.h"
#include "game/scoreboard.h"
#include "game/squeakling.h"

// Lower-left corners in overlay units (y up); rows step down by kRowStep.
static constexpr float kRowStep = 80.0f;
static constexpr float titleLoc[2] = {200.0f, 475.0f};
static constexpr float kLeftLabelX = 250.0f, kLeftFaceX = 280.0f;
static constexpr float kMiddleLabelX = 480.0f;
static constexpr float kRightLabelX = 730.0f, kRightFaceX = 760.0f;
static constexpr float kLabelY = 450.0f, kFaceY = 400.0f, kKnobY = 430.0f;
static constexpr float kReflectionsLabelY = 370.0f, kReflectionsFaceY = 320.0f;
static constexpr float kReturnY = 240.0f, kRestartY = 160.0f, kLoadY = 80.0f;
static constexpr GLfloat kPromptPos[3] = {360.0f, 30.0f, 0.0f};
// Knobs stand just in front of their tracks, both drawn at the same x and y.
static constexpr float kKnobZ = 0.01f;
static constexpr float kKnobInset = 5.0f;

static constexpr int leftLabels[kPanelRows] = {kImageLView, kImageLTextures, kImageLLighting,
                                               kImageLCat, kImageLSound};
static constexpr int sliderLabels[kPanelRows] = {kImageLMouseSpeed, kImageLLives, kImageLNumCheese,
                                                 kImageLCatSpeed, kImageLBonus};
static constexpr int sliderTracks[kPanelRows] = {kImageSMouseSpeed, kImageSLives, kImageSCheese,
                                                 kImageSCatSpeed, kImageSBonus};

static int Pick(BOOL on, int onFace, int offFace) { return on ? onFace : offFace; }

// Only the chase camera shows the first-person face (the button offers the
// other view); first person and overhead both show the third-person face.
int LeftColumnFace(int row) {
  switch (row) {
    case 0: return Pick(viewPoint == VIEW_CHASE, kImageBFirstPerson, kImageBThirdPerson);
    case 1: return Pick(g_bTexture, kImageBTexturesOn, kImageBTexturesOff);
    case 2: return Pick(g_bLightingEnabled, kImageBSpotlightsOn, kImageBSpotlightsOff);
    case 3: return Pick(CAT_EXISTS, kImageBCatOn, kImageBCatOff);
    case 4: return Pick(SOUND_ON, kImageBSoundOn, kImageBSoundOff);
    default: return -1;
  }
}

int ShadowsFace(void) {
  static constexpr int faces[] = {kImageBShadowsOff, kImageBOneShadow, kImageBTwoShadows,
                                  kImageBAllShadows};
  if (shadowsOn < 0 || shadowsOn >= static_cast<int>(std::size(faces))) return -1;
  return faces[shadowsOn];
}

int ReflectionsFace(void) {
  return Pick(reflectionsOn, kImageBReflectionsOn, kImageBReflectionsOff);
}

// ---- Slider knobs ----

double FactorKnobOffset(double factor) { return (factor - 0.5) * 100.0; }
double LivesKnobOffset(int lives) { return (lives - 1) * 10.0; }
double CheeseKnobOffset(int cheese) { return (cheese - 5) * 5.0; }

static void DrawKnob(double offset, float x, float y) {
  DrawImage(kImageSliderFront, x + kKnobInset + static_cast<float>(offset), y, kKnobZ);
}

void DrawSpeedSlider(double factor, float x, float y) { DrawKnob(FactorKnobOffset(factor), x, y); }
void DrawCatSlider(double factor, float x, float y) { DrawKnob(FactorKnobOffset(factor), x, y); }
void DrawBonusSlider(double factor, float x, float y) { DrawKnob(FactorKnobOffset(factor), x, y); }
void DrawLivesSlider(int, float x, float y) { DrawKnob(LivesKnobOffset(initLives), x, y); }
void DrawCheeseSlider(int, float x, float y) { DrawKnob(CheeseKnobOffset(initNumCheese), x, y); }

static void DrawSliderKnob(int row, float y) {
  const float x = kSliderTrackX;
  switch (row) {
    case 0: DrawSpeedSlider(speedScale, x, y); break;
    case 1: DrawLivesSlider(initLives, x, y); break;
    case 2: DrawCheeseSlider(initNumCheese, x, y); break;
    case 3: DrawCatSlider(catSpeedScale, x, y); break;
    case 4: DrawBonusSlider(bonusFreq, x, y); break;
    default: Impossible("a slider row outside 0 ... 4");
  }
}

// ---- Columns ----

static void DrawFace(int face, float x, float y) {
  if (face >= 0) DrawImage(face, x, y, 0.0f);
}

static void DrawLeftColumn(void) {
  for (int k = 0; k < kPanelRows; k++) {
    DrawImage(leftLabels[k], kLeftLabelX, kLabelY - kRowStep * k, 0.0f);
    DrawFace(LeftColumnFace(k), kLeftFaceX, kFaceY - kRowStep * k);
  }
}

static void DrawMiddleColumn(void) {
  for (int k = 0; k < kPanelRows; k++) {
    DrawImage(sliderLabels[k], kMiddleLabelX, kLabelY - kRowStep * k, 0.0f);
    DrawImage(sliderTracks[k], kSliderTrackX, kFaceY - kRowStep * k, 0.0f);
    DrawSliderKnob(k, kKnobY - kRowStep * k);
  }
}

static void DrawRightColumn(void) {
  DrawImage(kImageLShadows, kRightLabelX, kLabelY, 0.0f);
  DrawFace(ShadowsFace(), kRightFaceX, kFaceY);
  DrawImage(kImageLReflections, kRightLabelX, kReflectionsLabelY, 0.0f);
  DrawFace(ReflectionsFace(), kRightFaceX, kReflectionsFaceY);
  DrawImage(kImageBReturnToGame, kRightFaceX, kReturnY, 0.0f);
  DrawImage(kImageBRestart, kRightFaceX, kRestartY, 0.0f);
  DrawImage(kImageBLoad, kRightFaceX, kLoadY, 0.0f);
}

// The prompt and the name typed so far, on one line in blue.
static void DrawPrompt(const char *fileString, const char *fileName) {
  glMaterialfv(GL_FRONT, GL_EMISSION, colorBlue);
  glMaterialfv(GL_FRONT, GL_SPECULAR, colorBlue);
  OverlayTextPosition(kPromptPos[0], kPromptPos[1], kPromptPos[2]);
  DrawString(fileString);
  DrawString(fileName);
  glMaterialfv(GL_FRONT, GL_EMISSION, colorWhite);
  glMaterialfv(GL_FRONT, GL_SPECULAR, colorWhite);
}

void DrawControlPanel(const char *fileString, BOOL Draw, const char *fileName) {
  SetUp2dDraw();
  DrawImage(kImageControlPanelTitle, titleLoc[0], titleLoc[1], 0.0f);
  DrawLeftColumn();
  DrawMiddleColumn();
  DrawRightColumn();
  if (Draw) DrawPrompt(fileString, fileName);
  End2dDraw();
}
