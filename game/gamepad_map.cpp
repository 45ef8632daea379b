// The pad's controls turned into the game's actions, screen by screen, and
// the stick's push detection; no pad library here, so all of it runs in the
// tests as it runs in the game.
#include "game/gamepad.h"

static PadCommand Move(PlayMove move) { return {PAD_ACTION_MOVE, move}; }

static PadCommand PlayCommand(PadControl control) {
  switch (control) {
    case PAD_DPAD_LEFT:
    case PAD_STICK_LEFT: return Move(MOVE_TURN_LEFT);
    case PAD_DPAD_RIGHT:
    case PAD_STICK_RIGHT: return Move(MOVE_TURN_RIGHT);
    case PAD_SHOULDER_LEFT: return Move(MOVE_NUDGE_LEFT);
    case PAD_SHOULDER_RIGHT: return Move(MOVE_NUDGE_RIGHT);
    case PAD_A:
    case PAD_DPAD_UP: return Move(MOVE_HOP_FORWARD);
    case PAD_B:
    case PAD_DPAD_DOWN: return Move(MOVE_TURN_AROUND);
    case PAD_START: return {PAD_ACTION_PAUSE, MOVE_TURN_LEFT};
    case PAD_OTHER_BUTTON: break;
  }
  return {PAD_ACTION_NONE, MOVE_TURN_LEFT};
}

PadCommand MapPadControl(PadScreen screen, PadControl control) {
  const PadCommand none = {PAD_ACTION_NONE, MOVE_TURN_LEFT};
  const BOOL stick = control == PAD_STICK_LEFT || control == PAD_STICK_RIGHT;
  switch (screen) {
    case PAD_SCREEN_PLAY: return PlayCommand(control);
    case PAD_SCREEN_START: return stick ? none : PadCommand{PAD_ACTION_BEGIN, MOVE_TURN_LEFT};
    case PAD_SCREEN_END:
      return control == PAD_START ? PadCommand{PAD_ACTION_RESTART, MOVE_TURN_LEFT} : none;
    case PAD_SCREEN_OTHER: break;
  }
  return none;
}

PadScreen CurrentPadScreen(void) {
  if (currentScreen == &playScreen) return PAD_SCREEN_PLAY;
  if (currentScreen == &startScreen) return PAD_SCREEN_START;
  if (currentScreen == &gameOverScreen || currentScreen == &winScreen) return PAD_SCREEN_END;
  return PAD_SCREEN_OTHER;
}

void PressPadControl(PadControl control) {
  const PadCommand command = MapPadControl(CurrentPadScreen(), control);
  switch (command.action) {
    case PAD_ACTION_MOVE: MoveMouse(command.move); break;
    case PAD_ACTION_PAUSE: TogglePause(); break;
    case PAD_ACTION_BEGIN: BeginGame(); break;
    case PAD_ACTION_RESTART: DoRestart(TRUE); break;
    case PAD_ACTION_NONE: break;
  }
}

int StickPush(int value, int *held) {
  int direction = 0;
  if (value <= -kStickPush)
    direction = -1;
  else if (value >= kStickPush)
    direction = 1;
  if (direction != 0 && direction != *held) {
    *held = direction;
    return direction;
  }
  if (value > -kStickRelease && value < kStickRelease) *held = 0;
  return 0;
}
