// The audio mixer: the sound device, its mixing thread, samples, voices and
// the background-music decoder.
// TEMPORARY: only what the game's start-up and cues call; the sound work
// replaces this header with the real mixer record and operations.
#pragma once

struct gameaudio {
  int started;
};

int startAudio(gameaudio *ga, const char *device);
int loadSample(gameaudio *ga, const char *filename);
int loadSampleLeft(gameaudio *ga, const char *filename);
int loadSampleRight(gameaudio *ga, const char *filename);
int playSample(gameaudio *ga, int sample_id, int repeat_count);
void ctrlSample(gameaudio *ga, int sample_id, int volume, int pan);
void playBackground(gameaudio *ga, const char *filename);
void stopBackground(gameaudio *ga);
int checkBackground(gameaudio *ga);
