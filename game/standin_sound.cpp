// TEMPORARY stand-in until the game's sound cues land: silent cues.
// Delete this file when game/squeakling_sound.cpp exists.
#include "game/squeakling.h"

int crash_id = -1, eaten_id = -1, levelpassed_id = -1, catpurL_id = -1, catpurR_id = -1,
    catpurC_id = -1, boing_id = -1, catmeow_id = -1, bonus_id = -1;
int backmusic = 0;
double volSlope = -12.0;

void LoadSoundSamples(void) {}
void ChangeMusic(void) { backmusic++; }
void PlayPositionSound(int, double, double, double, double) {}
