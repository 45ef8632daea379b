// Game pads: any pad the game-controller layer knows, plugged in or pulled
// out at any time, read between frames. Its presses act as the keys do,
// through the same operations. gamepad_map.cpp turns a pad's controls into
// the game's actions (no pad library there); gamepad_device.cpp is the one
// file that talks to the pad library.
//
// Failure policy: without controller support on the machine the game plays
// on without pads, after one line on standard error; no pad is not a fault.
#pragma once
#include "common/basics.h"
#include "game/squeakling.h"

// The controls the game listens to, in the layout of a common pad.
enum PadControl {
  PAD_DPAD_LEFT,
  PAD_DPAD_RIGHT,
  PAD_DPAD_UP,
  PAD_DPAD_DOWN,
  PAD_STICK_LEFT,   // the left stick pushed past its threshold
  PAD_STICK_RIGHT,  // (the stick is not a button: it does not begin a game)
  PAD_SHOULDER_LEFT,
  PAD_SHOULDER_RIGHT,
  PAD_A,
  PAD_B,
  PAD_START,
  PAD_OTHER_BUTTON,  // X, Y, Back, the sticks' clicks and the rest
};

// The screens as the pad sees them.
enum PadScreen { PAD_SCREEN_START, PAD_SCREEN_PLAY, PAD_SCREEN_END, PAD_SCREEN_OTHER };

enum PadAction {
  PAD_ACTION_NONE,
  PAD_ACTION_MOVE,     // MoveMouse(move)
  PAD_ACTION_PAUSE,    // TogglePause(), the space key's pause and resume
  PAD_ACTION_BEGIN,    // BeginGame(), as a key on the start screen
  PAD_ACTION_RESTART,  // DoRestart(TRUE), as the end screens' Restart button
};

struct PadCommand {
  PadAction action;
  PlayMove move;  // for PAD_ACTION_MOVE
};

// What a press of control does on screen. In play: D-pad or stick left and
// right turn 45 degrees, the shoulders 10, A (and D-pad up) hops forward,
// B (and D-pad down) turns around, Start pauses and resumes. On the start
// screen every button begins; on the end screens Start restarts; elsewhere
// (the control panel) the pad does nothing.
PadCommand MapPadControl(PadScreen screen, PadControl control);
// The screen installed now.
PadScreen CurrentPadScreen(void);
// A press of control on the screen installed now.
void PressPadControl(PadControl control);

// Stick axis values run from -32768 to 32767. A push counts once when the
// stick passes kStickPush and again only after it came back inside
// kStickRelease, so a held stick does not spin the mouse.
constexpr int kStickPush = 16000;
constexpr int kStickRelease = 8000;
// Takes the axis value and the direction held so far (-1, 0, 1, updated);
// returns the direction newly pushed, or 0.
int StickPush(int value, int *held);

// Starts the pad layer (controllers and their events only, no window of its
// own). Returns 0 after one line on standard error when the machine has no
// controller support; the game then plays without pads.
BOOL StartGamepad(void);
// Takes the pads' events since the last call: plugs, pulls and presses,
// which act at once. Does nothing when the layer is not started.
void PollGamepad(void);
// Closes every pad and the layer.
void StopGamepad(void);
// Pads open now.
int OpenPadCount(void);
