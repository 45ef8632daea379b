// TEMPORARY stand-in until the mixer lands: the device never opens, so the
// game runs silent. Delete this file when common/gaudio.cpp exists.
#include "common/gaudio.h"

int startAudio(gameaudio *ga, const char *) { ga->audio_fd = -1; return -1; }
int loadSample(gameaudio *, const char *) { return -1; }
int loadSampleLeft(gameaudio *, const char *) { return -1; }
int loadSampleRight(gameaudio *, const char *) { return -1; }
int playSample(gameaudio *, int, int) { return 0; }
void ctrlSample(gameaudio *, int, int, int) {}
void playBackground(gameaudio *, const char *) {}
void stopBackground(gameaudio *) {}
int checkBackground(gameaudio *) { return 0; }
