// The flat overlay: scoreboard, interludes, start, game-over and win screens,
// and the control panel.
// TEMPORARY: only what start-up and the screens call; the overlay work
// completes it.
#pragma once

void DrawStartSequence(void);
void DrawDeath(const char *string);
void KeyboardDeath(unsigned char key, int x, int y);
void CPDisplay(void);
void CPIdle(void);
void CPKeyboard(unsigned char key, int x, int y);
void CPMouseButton(int button, int state, int x, int y);
