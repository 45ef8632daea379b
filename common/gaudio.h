// The audio mixer: the OSS sound device (or, where there is none, ALSA's
// default output) and its mixing thread, the sample
// table, up to twelve voices with volume and pan, and background music read
// from an mpg123 decoder process. Game and editor share this code.
//
// Failure policy: the mixer never ends the program. Calls return -1 or 0 and
// print a line beginning "gaudio: " (or a perror text) on standard error; a
// mixer that did not start refuses every later call, and the program runs on
// without sound.
//
// Waiting: no call waits for the decoder, a file or the device. The lock is
// never held across a read of the decoder's pipe or of a file, nor across a
// device write, so a caller waits at most for the mixing of one block.
#pragma once

#include <pthread.h>
#include <sys/types.h>
#include <cstdint>
#include <cstdio>

constexpr int GA_MAX_SAMPLES = 256;
constexpr int GA_MAX_PLAYING = 12;
constexpr int GA_RATE = 44100;                       // frames per second
constexpr int GA_BLOCK_BYTES = 4096;                 // one device write
constexpr int GA_BLOCK_VALUES = GA_BLOCK_BYTES / 2;  // 16-bit values, 2 per frame
constexpr int GA_BLOCK_FRAMES = GA_BLOCK_VALUES / 2;
constexpr int GA_COMMAND_SIZE = 4155;    // decoder command buffer
constexpr int GA_TRACK_NAME_SIZE = 256;  // a track's name as kept for messages
constexpr int GA_MAX_RETIRED = 8;        // ended decoders awaiting their reaping
// audio_fd while ALSA is the output: no descriptor, only the mark of a
// running mixer (the loaders and music calls act while audio_fd >= 0).
constexpr int GA_ALSA_FD = 1 << 30;

typedef struct _snd_pcm snd_pcm_t;  // libasound's playback handle

// A loaded sample: frames of two 16-bit values, slot 0 first, padded with
// silence to a whole number of blocks. Freed only by stopAudio.
struct ga_sample {
  int16_t *data;           // first value
  int16_t *dataendmarker;  // just past the last frame
  int numsamples;          // frames
};

// One playing voice. Output left = slot0*a + slot1*b, right = slot0*b + slot1*a
// (each /256), so a new voice (a = 0, b = 256) is heard crossed.
struct ga_playing {
  int sample_id;
  int playing_id;    // negative, handed out by playSample
  int16_t *rootpos;  // where a repeat restarts
  int16_t *curpos;   // next frame to mix
  int16_t *endpos;
  int a;             // 0..256, straight path weight
  int b;             // 0..256, crossed path weight
  int repeat_count;  // plays still to go; 0 or less repeats until stopped
};

// The mixer record; each program owns one (soundFX). buffer_mutex guards the
// music fields, the voice list and the sample table while it changes;
// paused and audio_fd are read without it. All zero is a record with no
// music and no samples.
struct gameaudio {
  int audio_fd;  // -1 after a failed start or a stop
  // Background music. The decoder's pipe is read by fetchMusicBlock alone,
  // outside the lock; everything else here changes under the lock.
  pid_t music_pid;                       // the current track's decoder, 0 when none runs
  int music_fd;                          // its output's read end (non-blocking) while music_pid > 0
  int music_on;                          // a track is current: what checkBackground reports
  unsigned music_track;                  // changes whenever a track starts or ends
  int music_reading;                     // fetchMusicBlock is reading music_fd: it closes the pipe
                                         // of a track ended meanwhile
  long music_bytes;                      // bytes the current decoder has delivered
  int music_have;                        // bytes of music_block filled so far
  int16_t music_block[GA_BLOCK_VALUES];  // the next block of music
  char music_name[GA_TRACK_NAME_SIZE];   // the current track's file name
  pid_t retired[GA_MAX_RETIRED];         // decoders ended, not yet reaped
  int num_retired;
  int paused;
  int num_samples;  // 0..256
  ga_sample samples[GA_MAX_SAMPLES];
  int num_playing;    // 0..12, packed from index 0
  int playing_count;  // last playing id handed out: 0, -1, -2, ...
  ga_playing playing[GA_MAX_PLAYING];
  pthread_mutex_t buffer_mutex;
  pthread_t audio_thread;
  // ALSA output, used when the OSS device cannot be opened; null otherwise.
  snd_pcm_t *alsa_pcm;
  int stopping;     // set under the lock by stopAudio: the ALSA thread ends
  int output_lost;  // set under the lock by the thread when the device or
                    // ALSA fails for good; it then goes on mixing, paced by
                    // the clock, and writes nothing
};

// --- Device and thread -------------------------------------------------------

// Opens device_name write-only as 16-bit stereo at 44100 Hz with 4 fragments
// of 4096 bytes and starts the mixing thread. When device_name cannot be
// opened, opens ALSA's "default" PCM in the same format instead. 0 on
// success; -1 (with a perror or "gaudio: " message, output closed, audio_fd
// -1) otherwise.
int startAudio(gameaudio *ga, const char *device_name);
// The calling thread keeps the mixer lock until unpauseAudio; calls it makes
// meanwhile work without taking the lock. No-ops when not running / already
// in that state.
void pauseAudio(gameaudio *ga);
void unpauseAudio(gameaudio *ga);
// Ends and joins the thread, ends the music (its decoder killed, its pipe
// closed, every ended decoder reaped), frees every sample, closes the output.
// 0, or -1 when the mixer was not running or the cancel failed.
int stopAudio(gameaudio *ga);
// stopAudio's end of the music once the thread is gone: the decoder killed,
// its pipe closed, every ended decoder reaped (waiting: all are killed).
void endMusicLocked(gameaudio *ga);
// The mixing thread's body (argument: the gameaudio record). Per block: the
// music read, the block built under the lock, the write without it. A write
// to the device that fails is reported once ("gaudio: sound device lost: "),
// and the thread then mixes on at the pace of the clock, writing nothing.
void *theAudioThread(void *ga);

// The ALSA output behind startAudio (the "gaudio: " message on failure):
// opens and configures ALSA's "default" PCM into alsa_pcm, 0 or -1.
int openAlsaOutput(gameaudio *ga);
// Writes one block, blocking while the queue is full and recovering from an
// underrun or suspend; false (with a message) when the output is gone.
bool writeAlsaBlock(gameaudio *ga, const int16_t *block);
// Drops what is queued and closes; nothing when no ALSA output is open.
void closeAlsaOutput(gameaudio *ga);

// The mixing thread's read of the music, the only read of the decoder's
// pipe; call it without the lock, never from a thread that paused the mixer.
// It takes the lock to see which track plays, reads what the decoder has
// written towards the next block without it (never waiting: the pipe does
// not block), and takes it again to keep the bytes, unless the track changed
// meanwhile. A decoder that ends is reaped later without waiting; a track
// whose decoder ends before a whole block is reported once on standard error
// ("gaudio: no music from ") and stays current, silent, so a program that
// moves on when a track ends does not start decoders in a loop.
void fetchMusicBlock(gameaudio *ga);

// The block-building steps of the mixing thread, callable on plain buffers.
// Both expect the mixer lock held (or no thread running).
// Fills playbuffer (GA_BLOCK_VALUES values) with the music block that
// fetchMusicBlock completed, or with zerobuffer while none is ready (no
// music, a decoder starting or stalled). True when music was copied. The
// short tail of a track is dropped.
bool startBlockLocked(gameaudio *ga, int16_t *playbuffer, const int16_t *zerobuffer);
// Adds every active voice into playbuffer frame by frame, saturating, and
// retires voices whose plays are done.
void mixVoicesLocked(gameaudio *ga, int16_t *playbuffer);

// The locking rule of every call below: take the mixer lock for the work,
// except while paused, when the calling thread already holds it.
inline void lockUnlessPaused(gameaudio *ga) {
  if (!ga->paused) pthread_mutex_lock(&ga->buffer_mutex);
}
inline void unlockUnlessPaused(gameaudio *ga) {
  if (!ga->paused) pthread_mutex_unlock(&ga->buffer_mutex);
}

// --- Samples and voices ------------------------------------------------------

// Loads a headerless raw file (16-bit little-endian stereo, 44100 Hz).
// mode 0 keeps both slots, 1 clears slot 0, 2 clears slot 1. Returns the new
// sample id (0..255) or -1; a failed load does not use up an id.
int loadSampleStereo(gameaudio *ga, const char *filename, int mode);
int loadSample(gameaudio *ga, const char *filename);
int loadSampleLeft(gameaudio *ga, const char *filename);
int loadSampleRight(gameaudio *ga, const char *filename);
// Same, from bytelen bytes at data (copied).
int copySampleStereo(gameaudio *ga, const int16_t *data, int bytelen, int mode);
int copySample(gameaudio *ga, const int16_t *data, int bytelen);
int copySampleLeft(gameaudio *ga, const int16_t *data, int bytelen);
int copySampleRight(gameaudio *ga, const int16_t *data, int bytelen);

// Starts a voice: repeat_count 1 plays once, n n times, 0 or less until
// stopped. Returns its playing id (negative), or 0 when none was started
// (unknown id, paused, 12 voices active).
int playSample(gameaudio *ga, int sample_id, int repeat_count);
// sample_id >= 0 names every voice of that sample, < 0 one playing id.
// volume and pan are clamped to 0..256; pan 0 is straight, 256 crossed.
// Only voices already playing change.
void ctrlSample(gameaudio *ga, int sample_id, int volume, int pan);
void stopSample(gameaudio *ga, int sample_id);
void stopAllSamples(gameaudio *ga);

// --- Background music --------------------------------------------------------

// Ends the current track and starts "/usr/bin/mpg123" on filename (quoted
// for the shell) with its output on a pipe, close-on-exec like every file
// the mixer opens. Neither call waits for a decoder: an ended one is killed
// and reaped later. A track that cannot play (a name too long for the
// command buffer, a decoder that cannot start or ends at once) is reported
// once with a "gaudio: " message and stays current, silent.
void playBackground(gameaudio *ga, const char *filename);
void stopBackground(gameaudio *ga);
// 1 from playBackground until the track has run out or is stopped (a track
// that cannot play counts as current); 0 otherwise.
int checkBackground(gameaudio *ga);
