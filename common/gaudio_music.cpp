// The mixer's background music: an mpg123 process started through the
// shell, whose raw 44100 Hz stereo output the mixing thread reads a piece at
// a time from a non-blocking pipe. The program's calls only start, kill and
// reap decoders, and never wait for one.
#include "common/gaudio.h"

#include "common/assetpath.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

extern char **environ;

namespace {

// Writes "exec /usr/bin/mpg123 ... 'filename'" into command, the name quoted
// so that the shell takes it as one word whatever it holds (a quote inside
// becomes '\''). The shell replaces itself by the decoder, so the process
// started is the one to kill. False when it does not fit.
bool BuildDecoderCommand(const char *filename, char *command, size_t size) {
  int n = snprintf(command, size, "exec /usr/bin/mpg123 -s -q -r %d --stereo '", GA_RATE);
  size_t used = static_cast<size_t>(n);
  for (const char *c = filename; *c != '\0'; c++) {
    const char *piece = *c == '\'' ? "'\\''" : nullptr;
    size_t len = piece ? strlen(piece) : 1;
    if (used + len + 2 > size) return false;  // room for the closing quote and NUL
    if (piece) {
      memcpy(command + used, piece, len);
    } else {
      command[used] = *c;
    }
    used += len;
  }
  command[used++] = '\'';
  command[used] = '\0';
  return true;
}

// "/bin/sh -c command" with its standard output on a new pipe, as popen
// would, but keeping the pid: the decoder can then be killed and reaped
// without waiting for it. The read end is non-blocking and close-on-exec.
// 0, or an errno value.
int SpawnDecoder(const char *command, pid_t *pid, int *fd) {
  int ends[2];
  if (pipe2(ends, O_CLOEXEC) != 0) return errno;
  fcntl(ends[0], F_SETFL, O_NONBLOCK);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, ends[1], STDOUT_FILENO);
  // A killed game leaves a decoder writing to a closed pipe: it must die of it.
  posix_spawnattr_t attr;
  posix_spawnattr_init(&attr);
  sigset_t none, pipe;
  sigemptyset(&none);
  sigemptyset(&pipe);
  sigaddset(&pipe, SIGPIPE);
  posix_spawnattr_setsigmask(&attr, &none);
  posix_spawnattr_setsigdefault(&attr, &pipe);
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
  char sh[] = "/bin/sh", dashC[] = "-c";
  char *argv[] = {sh, dashC, const_cast<char *>(command), nullptr};
  int err = posix_spawn(pid, sh, &actions, &attr, argv, environ);
  posix_spawnattr_destroy(&attr);
  posix_spawn_file_actions_destroy(&actions);
  close(ends[1]);
  if (err != 0) {
    close(ends[0]);
    return err;
  }
  *fd = ends[0];
  return 0;
}

// Reaps the ended decoders that have exited, without waiting for any.
void ReapRetiredLocked(gameaudio *ga) {
  int kept = 0;
  for (int i = 0; i < ga->num_retired; i++) {
    pid_t r = waitpid(ga->retired[i], nullptr, WNOHANG);
    if (r == 0 || (r < 0 && errno == EINTR)) ga->retired[kept++] = ga->retired[i];
  }
  ga->num_retired = kept;
}

// Kills the decoder and leaves it to be reaped. With the list full the
// oldest is waited for; killed, it is gone within moments.
void RetireDecoderLocked(gameaudio *ga, pid_t pid) {
  kill(pid, SIGKILL);
  if (ga->num_retired == GA_MAX_RETIRED) {
    waitpid(ga->retired[0], nullptr, 0);
    memmove(ga->retired, ga->retired + 1, (GA_MAX_RETIRED - 1) * sizeof(pid_t));
    ga->num_retired--;
  }
  ga->retired[ga->num_retired++] = pid;
}

// Ends the current decoder, if any: killed, its pipe closed unless a read of
// it is under way (the reader closes it then), any partial block dropped.
// The pipe under read is the reader's from here on: a track started and
// ended before the read is over is not, and its pipe closes at once.
void EndDecoderLocked(gameaudio *ga) {
  if (ga->music_pid > 0) {
    RetireDecoderLocked(ga, ga->music_pid);
    if (ga->music_reading)
      ga->music_reading = 0;
    else
      close(ga->music_fd);
    ga->music_pid = 0;
    ga->music_fd = -1;
  }
  ga->music_have = 0;
  ga->music_track++;
}

// A new current track: its decoder (pid 0 when none could be started).
void BeginTrackLocked(gameaudio *ga, const char *filename, pid_t pid, int fd) {
  EndDecoderLocked(ga);
  ga->music_pid = pid;
  ga->music_fd = fd;
  ga->music_bytes = 0;
  ga->music_on = 1;
  snprintf(ga->music_name, sizeof ga->music_name, "%s", filename);
}

// The decoder closed its output. A track that gave no whole block is
// reported and stays current without sound: it would fail again at once.
void DecoderEndedLocked(gameaudio *ga) {
  bool failed = ga->music_bytes < GA_BLOCK_BYTES;
  if (failed)
    fprintf(stderr, "gaudio: no music from %s: the decoder ended at once\n", ga->music_name);
  EndDecoderLocked(ga);
  ga->music_on = failed ? 1 : 0;
}

// The read's outcome, back under the lock.
void KeepReadLocked(gameaudio *ga, unsigned track, int fd, const char *bytes, ssize_t got,
                    int err) {
  ga->music_reading = 0;
  if (ga->music_track != track) {
    close(fd);  // the track ended during the read and left its pipe to the reader
    return;
  }
  if (got > 0) {
    memcpy(reinterpret_cast<char *>(ga->music_block) + ga->music_have, bytes,
           static_cast<size_t>(got));
    ga->music_have += static_cast<int>(got);
    ga->music_bytes += got;
  } else if (got == 0 || (err != EAGAIN && err != EINTR)) {
    DecoderEndedLocked(ga);
  }
}

}  // namespace

void fetchMusicBlock(gameaudio *ga) {
  unsigned track = 0;
  int fd = -1, want = 0;
  pthread_mutex_lock(&ga->buffer_mutex);
  {
    ReapRetiredLocked(ga);
    if (ga->music_pid > 0 && ga->music_have < GA_BLOCK_BYTES) {
      track = ga->music_track;
      fd = ga->music_fd;
      want = GA_BLOCK_BYTES - ga->music_have;
      ga->music_reading = 1;
    }
  }
  pthread_mutex_unlock(&ga->buffer_mutex);
  if (fd < 0) return;
  char bytes[GA_BLOCK_BYTES];
  ssize_t got = read(fd, bytes, static_cast<size_t>(want));
  int err = errno;
  pthread_mutex_lock(&ga->buffer_mutex);
  KeepReadLocked(ga, track, fd, bytes, got, err);
  pthread_mutex_unlock(&ga->buffer_mutex);
}

bool startBlockLocked(gameaudio *ga, int16_t *playbuffer, const int16_t *zerobuffer) {
  if (ga->music_pid > 0 && ga->music_have == GA_BLOCK_BYTES) {
    memcpy(playbuffer, ga->music_block, GA_BLOCK_BYTES);
    ga->music_have = 0;
    return true;
  }
  memcpy(playbuffer, zerobuffer, GA_BLOCK_BYTES);
  return false;
}

void playBackground(gameaudio *ga, const char *filename) {
  if (ga->audio_fd < 0 || ga->paused) return;
  char command[GA_COMMAND_SIZE];
  bool fits = BuildDecoderCommand(FindAsset(filename).c_str(), command, sizeof command);
  // The old track ends first, so no two decoders play at once.
  pthread_mutex_lock(&ga->buffer_mutex);
  EndDecoderLocked(ga);
  ReapRetiredLocked(ga);
  pthread_mutex_unlock(&ga->buffer_mutex);
  pid_t pid = 0;
  int fd = -1;
  if (!fits) {
    fprintf(stderr, "gaudio: music file name too long (%zu characters)\n", strlen(filename));
  } else if (int err = SpawnDecoder(command, &pid, &fd); err != 0) {
    fprintf(stderr, "gaudio: cannot start the music decoder: %s\n", strerror(err));
    pid = 0;
  }
  pthread_mutex_lock(&ga->buffer_mutex);
  BeginTrackLocked(ga, filename, pid, fd);
  pthread_mutex_unlock(&ga->buffer_mutex);
}

void stopBackground(gameaudio *ga) {
  if (ga->audio_fd < 0) return;
  lockUnlessPaused(ga);
  {
    EndDecoderLocked(ga);
    ga->music_on = 0;
    ReapRetiredLocked(ga);
  }
  unlockUnlessPaused(ga);
}

int checkBackground(gameaudio *ga) {
  if (ga->audio_fd < 0) return 0;
  lockUnlessPaused(ga);
  int playing = ga->music_on;
  ReapRetiredLocked(ga);
  unlockUnlessPaused(ga);
  return playing;
}

void endMusicLocked(gameaudio *ga) {
  EndDecoderLocked(ga);
  ga->music_on = 0;
  for (int i = 0; i < ga->num_retired; i++) waitpid(ga->retired[i], nullptr, 0);
  ga->num_retired = 0;
}
