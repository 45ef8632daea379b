// The pad library's side of the pads: its controller and event layers
// only (GLUT keeps the window), the pads open now, and their events turned
// into PadControl presses. The only file that includes the library.
#include <SDL.h>

#include <array>
#include <cstdio>

#include "game/gamepad.h"

namespace {

constexpr int kMaxPads = 4;

struct Pad {
  SDL_GameController *controller;  // nullptr: a free slot
  SDL_JoystickID id;
  int stickHeld;  // direction the left stick holds: -1, 0, 1
};

// Written by StartGamepad, PollGamepad and StopGamepad only.
BOOL padLayerStarted = 0;
std::array<Pad, kMaxPads> pads = {};

Pad *FindPad(SDL_JoystickID id) {
  for (Pad &pad : pads)
    if (pad.controller && pad.id == id) return &pad;
  return nullptr;
}

void OpenPad(int deviceIndex) {
  if (FindPad(SDL_JoystickGetDeviceInstanceID(deviceIndex))) return;
  for (Pad &pad : pads) {
    if (pad.controller) continue;
    SDL_GameController *controller = SDL_GameControllerOpen(deviceIndex);
    if (!controller) return;
    pad = {controller, SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(controller)), 0};
    return;
  }
}

void ClosePad(SDL_JoystickID id) {
  if (Pad *pad = FindPad(id)) {
    SDL_GameControllerClose(pad->controller);
    *pad = {};
  }
}

PadControl ControlOf(Uint8 button) {
  switch (button) {
    case SDL_CONTROLLER_BUTTON_DPAD_LEFT: return PAD_DPAD_LEFT;
    case SDL_CONTROLLER_BUTTON_DPAD_RIGHT: return PAD_DPAD_RIGHT;
    case SDL_CONTROLLER_BUTTON_DPAD_UP: return PAD_DPAD_UP;
    case SDL_CONTROLLER_BUTTON_DPAD_DOWN: return PAD_DPAD_DOWN;
    case SDL_CONTROLLER_BUTTON_LEFTSHOULDER: return PAD_SHOULDER_LEFT;
    case SDL_CONTROLLER_BUTTON_RIGHTSHOULDER: return PAD_SHOULDER_RIGHT;
    case SDL_CONTROLLER_BUTTON_A: return PAD_A;
    case SDL_CONTROLLER_BUTTON_B: return PAD_B;
    case SDL_CONTROLLER_BUTTON_START: return PAD_START;
    default: return PAD_OTHER_BUTTON;
  }
}

void MoveStick(const SDL_ControllerAxisEvent &motion) {
  Pad *pad = FindPad(motion.which);
  if (!pad || motion.axis != SDL_CONTROLLER_AXIS_LEFTX) return;
  const int push = StickPush(motion.value, &pad->stickHeld);
  if (push != 0) PressPadControl(push < 0 ? PAD_STICK_LEFT : PAD_STICK_RIGHT);
}

void TakeEvent(const SDL_Event &event) {
  switch (event.type) {
    case SDL_CONTROLLERDEVICEADDED: OpenPad(event.cdevice.which); break;
    case SDL_CONTROLLERDEVICEREMOVED: ClosePad(event.cdevice.which); break;
    case SDL_CONTROLLERBUTTONDOWN:
      if (FindPad(event.cbutton.which)) PressPadControl(ControlOf(event.cbutton.button));
      break;
    case SDL_CONTROLLERAXISMOTION: MoveStick(event.caxis); break;
    default: break;
  }
}

}  // namespace

BOOL StartGamepad(void) {
  if (padLayerStarted) return 1;
  // The game keeps its own handling of Ctrl-C and termination.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  if (SDL_Init(SDL_INIT_GAMECONTROLLER) != 0) {
    fprintf(stderr, "gamepad: no game controller support, playing without pads (%s)\n",
            SDL_GetError());
    return 0;
  }
  padLayerStarted = 1;
  return 1;
}

// Pads plugged in before the start arrive as plug events on the first call.
void PollGamepad(void) {
  if (!padLayerStarted) return;
  SDL_Event event;
  while (SDL_PollEvent(&event)) TakeEvent(event);
}

void StopGamepad(void) {
  if (!padLayerStarted) return;
  for (Pad &pad : pads)
    if (pad.controller) ClosePad(pad.id);
  SDL_Quit();
  padLayerStarted = 0;
}

int OpenPadCount(void) {
  int count = 0;
  for (const Pad &pad : pads) count += pad.controller != nullptr;
  return count;
}
