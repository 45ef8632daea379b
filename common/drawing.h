// Colour table, SetMaterialColor and the interface image catalogue, shared by
// the game and the editor. The catalogue reader makes no GL call, so it runs
// with or without a window; SetMaterialColor needs a current GL context.
#pragma once
#include <GL/gl.h>

#include "common/basics.h"

// ---- Colour table: RGBA, constant; every including module has its own copy.
constexpr GLfloat colorRed[4] = {1.0f, 0.0f, 0.0f, 1.0f};
constexpr GLfloat colorGreen[4] = {0.0f, 1.0f, 0.0f, 1.0f};
constexpr GLfloat colorDkGreen[4] = {0.0f, 0.3f, 0.0f, 1.0f};
constexpr GLfloat colorBlue[4] = {0.0f, 0.0f, 1.0f, 1.0f};
constexpr GLfloat colorYellow[4] = {1.0f, 1.0f, 0.0f, 1.0f};
constexpr GLfloat colorNone[4] = {0.0f, 0.0f, 0.0f, 0.0f};
constexpr GLfloat colorBrown[4] = {0.42f, 0.21f, 0.0f, 1.0f};
constexpr GLfloat colorBrownTrans[4] = {0.42f, 0.21f, 0.0f, 0.7f};
constexpr GLfloat colorDkBlue[4] = {0.0f, 0.0f, 0.3f, 1.0f};
constexpr GLfloat colorWhite[4] = {1.0f, 1.0f, 1.0f, 1.0f};
constexpr GLfloat colorWhiteTrans[4] = {1.0f, 1.0f, 1.0f, 0.7f};
constexpr GLfloat colorDarken[4] = {0.0f, 0.0f, 0.0f, 0.6f};
constexpr GLfloat colorShadow[4] = {0.0f, 0.0f, 0.0f, 0.6f};
constexpr GLfloat colorShadow2[4] = {0.0f, 0.0f, 0.0f, 0.3f};
// Green-to-white fade of the invincible mouse: mc<k> = (k/10, 1, k/10, 1).
constexpr GLfloat mc0[4] = {0.0f, 1.0f, 0.0f, 1.0f};
constexpr GLfloat mc1[4] = {0.1f, 1.0f, 0.1f, 1.0f};
constexpr GLfloat mc2[4] = {0.2f, 1.0f, 0.2f, 1.0f};
constexpr GLfloat mc3[4] = {0.3f, 1.0f, 0.3f, 1.0f};
constexpr GLfloat mc4[4] = {0.4f, 1.0f, 0.4f, 1.0f};
constexpr GLfloat mc5[4] = {0.5f, 1.0f, 0.5f, 1.0f};
constexpr GLfloat mc6[4] = {0.6f, 1.0f, 0.6f, 1.0f};
constexpr GLfloat mc7[4] = {0.7f, 1.0f, 0.7f, 1.0f};
constexpr GLfloat mc8[4] = {0.8f, 1.0f, 0.8f, 1.0f};
constexpr GLfloat mc9[4] = {0.9f, 1.0f, 0.9f, 1.0f};
constexpr GLfloat mc10[4] = {1.0f, 1.0f, 1.0f, 1.0f};

// Sets front and back diffuse and ambient reflectance to color, specular to
// colorNone (no highlights), then the current colour to color, so lit and
// unlit geometry both take it. Needs a current GL context.
void SetMaterialColor(const GLfloat *color);

// Set by each program's main once its GLUT window exists (and by tests that
// open one): until then redraw requests and GL state changes are skipped, so
// the programs' handlers run in tests without a window.
extern BOOL g_bWindowOpen;
// glEnable or glDisable of a capability once the window is open; before
// that, nothing.
void SetCapability(GLenum capability, BOOL on);
// Filled or outlined polygons, front and back, once the window is open.
void SetPolygonFill(BOOL fill);

// ---- Interface image catalogue.
// Each image is an RGBA pixel array from read_texture (bottom row first,
// ready for glDrawPixels with GL_RGBA / GL_UNSIGNED_BYTE), read once by
// ReadImageFiles and never freed. Its size sits in imageWidth/imageHeight at
// the image's fixed index below; indices 0, 1, 4 and 52..59 stay 0.
constexpr int kImageCount = 60;

constexpr int kImageSliderFront = 2;
constexpr int kImageSliderBack = 3;
constexpr int kImageTitle = 5;
constexpr int kImageTitleBar = 6;
constexpr int kImageStartGame = 7;
constexpr int kImageViewSettings = 8;
constexpr int kImageBCatOff = 9;
constexpr int kImageBCatOn = 10;
constexpr int kImageBFirstPerson = 11;
constexpr int kImageBLoad = 12;
constexpr int kImageBQuit = 13;
constexpr int kImageBRestart = 14;
constexpr int kImageBSpotlightsOff = 15;
constexpr int kImageBSpotlightsOn = 16;
constexpr int kImageBTexturesOff = 17;
constexpr int kImageBTexturesOn = 18;
constexpr int kImageBThirdPerson = 19;
constexpr int kImageControlPanelTitle = 20;
constexpr int kImageLBonus = 21;
constexpr int kImageLCat = 22;
constexpr int kImageLCatSpeed = 23;
constexpr int kImageLLighting = 24;
constexpr int kImageLLives = 25;
constexpr int kImageLMouseSpeed = 26;
constexpr int kImageLNumCheese = 27;
constexpr int kImageLTextures = 28;
constexpr int kImageLView = 29;
constexpr int kImageSBonus = 30;
constexpr int kImageSCatSpeed = 31;
constexpr int kImageSLives = 32;
constexpr int kImageSMouseSpeed = 33;
constexpr int kImageSCheese = 34;
constexpr int kImageLSound = 35;
constexpr int kImageBSoundOn = 36;
constexpr int kImageBSoundOff = 37;
constexpr int kImageLVolume = 38;
constexpr int kImageSVolume = 39;
constexpr int kImageBReturnToGame = 40;
constexpr int kImageLShadows = 41;
constexpr int kImageBShadowsOff = 42;
constexpr int kImageBOneShadow = 43;
constexpr int kImageBTwoShadows = 44;
constexpr int kImageBAllShadows = 45;
constexpr int kImageLReflections = 46;
constexpr int kImageBReflectionsOff = 47;
constexpr int kImageBReflectionsOn = 48;
constexpr int kImageEditTitle = 49;
constexpr int kImageEditHelp = 50;
// The start screen's legend of the keys and the pad's buttons.
constexpr int kImageControlsLegend = 51;
// The same two under their file names.
constexpr int kImageEditorTitle = kImageEditTitle;
constexpr int kImageEditorHelp = kImageEditHelp;

extern int imageWidth[kImageCount];
extern int imageHeight[kImageCount];

extern unsigned int *sliderFront, *sliderBack, *title, *titleBar, *startGame, *viewSettings;
extern unsigned int *BCatOff, *BCatOn, *BFirstPerson, *BLoad, *BQuit, *BRestart;
extern unsigned int *BSpotlightsOff, *BSpotlightsOn, *BTexturesOff, *BTexturesOn, *BThirdPerson;
extern unsigned int *ControlPanelTitle;
extern unsigned int *LBonus, *LCat, *LCatSpeed, *LLighting, *LLives, *LMouseSpeed;
extern unsigned int *LNumCheese, *LTextures, *LView;
extern unsigned int *SBonus, *SCatSpeed, *SLives, *SMouseSpeed, *SCheese;
extern unsigned int *LSound, *BSoundOn, *BSoundOff, *LVolume, *SVolume, *BReturnToGame;
extern unsigned int *LShadows, *BShadowsOff, *BOneShadow, *BTwoShadows, *BAllShadows;
extern unsigned int *LReflections, *BReflectionsOff, *BReflectionsOn;
extern unsigned int *EditTitle, *EditHelp;
extern unsigned int *ControlsLegend;

// One catalogue entry: where the pixels go, the file (relative to the
// working directory) and the size index.
struct ImageEntry {
  unsigned int **pixels;
  const char *file;
  int index;
};
constexpr int kCatalogueSize = 49;
// The catalogue in reading order.
extern const ImageEntry imageCatalogue[kCatalogueSize];

// Reads every catalogue image in order with read_texture. A file that cannot
// be opened or used ends the program (status 1) at that image; an image whose
// pixels cannot be allocated leaves its global null. Makes no GL call.
void ReadImageFiles(void);
