// The settings record taken from the game's globals and given back to them,
// the display settings through the toggles the keys use, so that the GL
// state follows them the same way.
#include "common/drawing.h"
#include "common/window.h"
#include "game/settings.h"
#include "game/squeakling.h"

SettingsRecord CaptureSettings(void) {
  SettingsRecord r;
  r.view = viewPoint;
  r.textures = g_bTexture;
  r.spotlights = g_bLightingEnabled;
  r.polygonFill = g_bFillPolygons;
  r.cat = CAT_EXISTS;
  r.sound = SOUND_ON;
  r.mouseSpeed = speedScale;
  r.lives = initLives;
  r.cheese = initNumCheese;
  r.catSpeed = catSpeedScale;
  r.bonus = bonusFreq;
  r.shadows = shadowsOn;
  r.reflections = reflectionsOn;
  r.fullScreen = windowFullScreen;
  return r;
}

void ApplySettings(const SettingsRecord &r) {
  viewPoint = r.view;
  if (g_bTexture != r.textures) ToggleTextures();
  if (g_bLightingEnabled != r.spotlights) ToggleSpotlights();
  if (g_bFillPolygons != r.polygonFill) TogglePolygonFill();
  CAT_EXISTS = r.cat;
  SOUND_ON = r.sound;
  speedScale = r.mouseSpeed;
  initLives = r.lives;
  livesLeft = initLives;  // start-up's game is played without a restart
  initNumCheese = r.cheese;
  catSpeedScale = r.catSpeed;
  bonusFreq = r.bonus;
  shadowsOn = r.shadows;
  reflectionsOn = r.reflections;
  // --fullscreen on the command line has the last word for its run.
  if (r.fullScreen && !windowFullScreen && g_bWindowOpen) ToggleFullScreen();
}
