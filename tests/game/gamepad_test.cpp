// The pad: what each control does on each screen, the stick's push
// detection, and the pad layer driven end to end through a virtual pad
// attached, pressed, pushed and pulled in the test.
#include <GL/glut.h>
#include <SDL.h>
#include <gtest/gtest.h>

#include "common/gaudio.h"
#include "game/gamepad.h"
#include "game/squeakling.h"
#include "tests/common/gaudio_testing.h"

namespace {

TEST(PadMapping, EachScreenTakesItsOwnControls) {
  struct Case {
    PadScreen screen;
    PadControl control;
    PadAction action;
    PlayMove move;  // checked for PAD_ACTION_MOVE
  };
  const Case cases[] = {
      {PAD_SCREEN_PLAY, PAD_DPAD_LEFT, PAD_ACTION_MOVE, MOVE_TURN_LEFT},
      {PAD_SCREEN_PLAY, PAD_STICK_LEFT, PAD_ACTION_MOVE, MOVE_TURN_LEFT},
      {PAD_SCREEN_PLAY, PAD_DPAD_RIGHT, PAD_ACTION_MOVE, MOVE_TURN_RIGHT},
      {PAD_SCREEN_PLAY, PAD_STICK_RIGHT, PAD_ACTION_MOVE, MOVE_TURN_RIGHT},
      {PAD_SCREEN_PLAY, PAD_SHOULDER_LEFT, PAD_ACTION_MOVE, MOVE_NUDGE_LEFT},
      {PAD_SCREEN_PLAY, PAD_SHOULDER_RIGHT, PAD_ACTION_MOVE, MOVE_NUDGE_RIGHT},
      {PAD_SCREEN_PLAY, PAD_A, PAD_ACTION_MOVE, MOVE_HOP_FORWARD},
      {PAD_SCREEN_PLAY, PAD_DPAD_UP, PAD_ACTION_MOVE, MOVE_HOP_FORWARD},
      {PAD_SCREEN_PLAY, PAD_B, PAD_ACTION_MOVE, MOVE_TURN_AROUND},
      {PAD_SCREEN_PLAY, PAD_DPAD_DOWN, PAD_ACTION_MOVE, MOVE_TURN_AROUND},
      {PAD_SCREEN_PLAY, PAD_START, PAD_ACTION_PAUSE, MOVE_TURN_LEFT},
      {PAD_SCREEN_PLAY, PAD_OTHER_BUTTON, PAD_ACTION_NONE, MOVE_TURN_LEFT},
      {PAD_SCREEN_START, PAD_A, PAD_ACTION_BEGIN, MOVE_TURN_LEFT},
      {PAD_SCREEN_START, PAD_OTHER_BUTTON, PAD_ACTION_BEGIN, MOVE_TURN_LEFT},
      {PAD_SCREEN_START, PAD_DPAD_LEFT, PAD_ACTION_BEGIN, MOVE_TURN_LEFT},
      {PAD_SCREEN_START, PAD_STICK_RIGHT, PAD_ACTION_NONE, MOVE_TURN_LEFT},
      {PAD_SCREEN_END, PAD_START, PAD_ACTION_RESTART, MOVE_TURN_LEFT},
      {PAD_SCREEN_END, PAD_A, PAD_ACTION_NONE, MOVE_TURN_LEFT},
      {PAD_SCREEN_OTHER, PAD_START, PAD_ACTION_NONE, MOVE_TURN_LEFT},
      {PAD_SCREEN_OTHER, PAD_A, PAD_ACTION_NONE, MOVE_TURN_LEFT},
  };
  for (const Case &c : cases) {
    const PadCommand command = MapPadControl(c.screen, c.control);
    EXPECT_EQ(command.action, c.action) << "screen " << c.screen << " control " << c.control;
    if (c.action == PAD_ACTION_MOVE) {
      EXPECT_EQ(command.move, c.move) << "screen " << c.screen << " control " << c.control;
    }
  }
}

TEST(PadMapping, StickCountsEachPushOnce) {
  int held = 0;
  // Pushed left and held there, wobbling short of the centre: one turn.
  EXPECT_EQ(StickPush(-kStickPush, &held), -1);
  EXPECT_EQ(StickPush(-32768, &held), 0);
  EXPECT_EQ(StickPush(-kStickRelease, &held), 0);
  EXPECT_EQ(StickPush(-20000, &held), 0);
  // Back to the centre, pushed again: a second turn.
  EXPECT_EQ(StickPush(0, &held), 0);
  EXPECT_EQ(held, 0);
  EXPECT_EQ(StickPush(-30000, &held), -1);
  // Straight across to the right counts at once.
  EXPECT_EQ(StickPush(32767, &held), 1);
  EXPECT_EQ(StickPush(kStickPush - 1, &held), 0);
  // A small push never counts.
  EXPECT_EQ(StickPush(kStickRelease - 1, &held), 0);
  EXPECT_EQ(StickPush(kStickPush - 1, &held), 0);
  EXPECT_EQ(held, 0);
}

// A pad of every standard button and axis, attached through the library's
// virtual joysticks; the game's pad layer sees it as any plugged pad.
class VirtualPad : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    NoAlsaOutput noAlsa;
    ASSERT_LT(startAudio(&soundFX, "/nonexistent/dsp"), 0);
  }

  void SetUp() override {
    ASSERT_TRUE(StartGamepad());
    InitSettings();
    SOUND_ON = 0;
    ClearLevels();
    numLevels = 1;
    levelNum = 0;
    time_since_death = 10;
    animate = 1;
    PAUSED = 0;
    mouseorient = 0;
    mousex = mousey = 10;
    InstallScreen(&playScreen);
    Plug();
  }
  void TearDown() override {
    Pull();
    StopGamepad();
  }

  void Plug() {
    SDL_VirtualJoystickDesc desc = {};
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    desc.naxes = SDL_CONTROLLER_AXIS_MAX;
    desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
    desc.button_mask = (1u << SDL_CONTROLLER_BUTTON_MAX) - 1;
    desc.axis_mask = (1u << SDL_CONTROLLER_AXIS_MAX) - 1;
    desc.name = "test pad";
    device = SDL_JoystickAttachVirtualEx(&desc);
    ASSERT_GE(device, 0) << SDL_GetError();
    joystick = SDL_JoystickOpen(device);
    ASSERT_NE(joystick, nullptr) << SDL_GetError();
    PollGamepad();
    ASSERT_EQ(OpenPadCount(), 1);
  }
  void Pull() {
    if (!joystick) return;
    SDL_JoystickClose(joystick);
    joystick = nullptr;
    SDL_JoystickDetachVirtual(device);
    PollGamepad();
  }
  // One press and release, read by the game between them and after.
  void Press(SDL_GameControllerButton button) {
    SDL_JoystickSetVirtualButton(joystick, button, SDL_PRESSED);
    PollGamepad();
    SDL_JoystickSetVirtualButton(joystick, button, SDL_RELEASED);
    PollGamepad();
  }
  void Stick(Sint16 value) {
    SDL_JoystickSetVirtualAxis(joystick, SDL_CONTROLLER_AXIS_LEFTX, value);
    PollGamepad();
  }

  int device = -1;
  SDL_Joystick *joystick = nullptr;
};

TEST_F(VirtualPad, ButtonsAndStickSteerTheMouseInPlay) {
  Press(SDL_CONTROLLER_BUTTON_DPAD_RIGHT);
  EXPECT_EQ(mouseorient, 45);
  Press(SDL_CONTROLLER_BUTTON_DPAD_LEFT);
  Press(SDL_CONTROLLER_BUTTON_LEFTSHOULDER);
  EXPECT_EQ(mouseorient, 350);
  Press(SDL_CONTROLLER_BUTTON_RIGHTSHOULDER);
  Press(SDL_CONTROLLER_BUTTON_B);
  EXPECT_EQ(mouseorient, 180);
  Press(SDL_CONTROLLER_BUTTON_A);
  EXPECT_NEAR(mousex, 9.0, 1e-6);
  EXPECT_NEAR(mousey, 10.0, 1e-6);
  Press(SDL_CONTROLLER_BUTTON_X);
  Press(SDL_CONTROLLER_BUTTON_BACK);
  EXPECT_EQ(mouseorient, 180);

  // The stick held left over many frames turns once; back and again, twice.
  Stick(-30000);
  for (int frame = 0; frame < 5; frame++) Stick(-29000);
  EXPECT_EQ(mouseorient, 135);
  Stick(0);
  Stick(-30000);
  Stick(0);
  EXPECT_EQ(mouseorient, 90);
  Stick(32767);
  Stick(0);
  EXPECT_EQ(mouseorient, 135);
}

TEST_F(VirtualPad, StartPausesAndResumesAsTheSpaceKeyDoes) {
  time_since_death = 3;  // the interlude: no pause yet
  Press(SDL_CONTROLLER_BUTTON_START);
  EXPECT_EQ(PAUSED, 0);
  time_since_death = 10;
  Press(SDL_CONTROLLER_BUTTON_START);
  EXPECT_EQ(PAUSED, 1);
  EXPECT_EQ(animate, 0);
  Press(SDL_CONTROLLER_BUTTON_DPAD_RIGHT);
  Press(SDL_CONTROLLER_BUTTON_A);
  EXPECT_EQ(mouseorient, 0) << "paused: steering is ignored";
  EXPECT_DOUBLE_EQ(mousex, 10.0);
  Press(SDL_CONTROLLER_BUTTON_START);
  EXPECT_EQ(PAUSED, 0);
  EXPECT_EQ(animate, 1);
}

TEST_F(VirtualPad, StartScreenBeginsOnAnyButtonEndScreensRestartOnStart) {
  InstallScreen(&startScreen);
  Stick(-30000);
  Stick(0);
  EXPECT_EQ(currentScreen, &startScreen) << "the stick is no button";
  Press(SDL_CONTROLLER_BUTTON_Y);
  EXPECT_EQ(currentScreen, &playScreen);

  for (const Screen *end : {&gameOverScreen, &winScreen}) {
    InstallScreen(end);
    score = 700;
    Press(SDL_CONTROLLER_BUTTON_A);
    EXPECT_EQ(currentScreen, end);
    Press(SDL_CONTROLLER_BUTTON_START);
    EXPECT_EQ(currentScreen, &playScreen);
    EXPECT_EQ(score, 0);
  }

  InstallScreen(&controlPanelScreen);
  Press(SDL_CONTROLLER_BUTTON_START);
  EXPECT_EQ(currentScreen, &controlPanelScreen);
}

TEST_F(VirtualPad, PadsComeAndGoWhilePlaying) {
  Pull();
  EXPECT_EQ(OpenPadCount(), 0);
  PollGamepad();  // nothing to read: no harm
  Plug();
  Press(SDL_CONTROLLER_BUTTON_DPAD_RIGHT);
  EXPECT_EQ(mouseorient, 45) << "a pad plugged again steers";

  // Pulled while its stick was held: the next pad starts from the centre.
  Stick(-30000);
  EXPECT_EQ(mouseorient, 0);
  Pull();
  Plug();
  Stick(-30000);
  EXPECT_EQ(mouseorient, 315);

  // Layer stopped and started again, as a second start of the game would.
  Pull();
  StopGamepad();
  PollGamepad();
  ASSERT_TRUE(StartGamepad());
  Plug();
  Press(SDL_CONTROLLER_BUTTON_B);
  EXPECT_EQ(mouseorient, 135);
}

}  // namespace
