// Play-test: the game as a child process on a temporary copy of the set,
// from the level shown on. The editor keeps running; a timer reaps the game
// when it ends and removes the copy, so no finished game is left behind.
#include <fcntl.h>
#include <limits.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "editor/gridcraft.h"

static pid_t gamePid = -1;
static std::string gameSetPath;  // the temporary set the game reads

static void RemoveGameSet(void) {
  if (!gameSetPath.empty()) unlink(gameSetPath.c_str());
  gameSetPath.clear();
}

std::string PlayTestProgram(void) {
  char self[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
  if (length > 0) {
    self[length] = '\0';
    std::string beside(self);
    beside.erase(beside.rfind('/') + 1);
    beside += "squeakling";
    if (access(beside.c_str(), X_OK) == 0) return beside;
  }
  return "squeakling";
}

// In the child, between fork and exec, only async-signal-safe calls: the
// editor's other descriptors (sound device, X connection) are closed, the
// signals the game starts with are the defaults, and a failed exec sends its
// errno back through the close-on-exec pipe.
[[noreturn]] static void RunGame(const char *program, const char *setPath, int reportFd) {
  if (reportFd > 3) close_range(3, reportFd - 1, 0);
  close_range(reportFd + 1, ~0U, 0);
  sigset_t none;
  sigemptyset(&none);
  sigprocmask(SIG_SETMASK, &none, nullptr);
  signal(SIGPIPE, SIG_DFL);
  char *const argv[] = {const_cast<char *>(program), const_cast<char *>(setPath), nullptr};
  if (strchr(program, '/'))
    execv(program, argv);
  else
    execvp(program, argv);
  const int failure = errno;
  ssize_t written = write(reportFd, &failure, sizeof failure);
  (void)written;
  _exit(127);
}

bool StartGame(const std::string &program, const std::string &setPath, std::string *error) {
  int report[2];
  if (pipe2(report, O_CLOEXEC) != 0) {
    *error = strerror(errno);
    return false;
  }
  const pid_t pid = fork();
  if (pid == 0) RunGame(program.c_str(), setPath.c_str(), report[1]);
  const int forkError = errno;
  close(report[1]);
  int failure = 0;
  ssize_t got = -1;
  if (pid > 0) {
    do got = read(report[0], &failure, sizeof failure);
    while (got < 0 && errno == EINTR);
  }
  close(report[0]);
  if (pid < 0) {
    *error = strerror(forkError);
    return false;
  }
  if (got == static_cast<ssize_t>(sizeof failure)) {  // exec failed: reap the child now
    waitpid(pid, nullptr, 0);
    *error = strerror(failure);
    return false;
  }
  gamePid = pid;
  return true;
}

BOOL PollPlayTest(void) {
  if (gamePid < 0) return FALSE;
  int status;
  const pid_t done = waitpid(gamePid, &status, WNOHANG);
  if (done == 0) return TRUE;
  gamePid = -1;
  RemoveGameSet();
  if (done > 0 && !(WIFEXITED(status) && WEXITSTATUS(status) == 0)) {
    char how[48];
    snprintf(how, sizeof how, WIFEXITED(status) ? "status %d" : "signal %d",
             WIFEXITED(status) ? WEXITSTATUS(status) : WTERMSIG(status));
    ShowMessage("The game ended with ", how);
  }
  return FALSE;
}

static bool WriteGameSet(std::string *error) {
  const char *folder = getenv("TMPDIR");
  std::string path = std::string(folder && *folder ? folder : "/tmp") + "/gridcraft-XXXXXX";
  const int fd = mkstemp(&path[0]);
  if (fd < 0) {
    *error = strerror(errno);
    return false;
  }
  close(fd);
  gameSetPath = path;
  if (WriteLevelFile(path.c_str(), FormatLevelSet(setCurrent), false) == EXPORT_WRITTEN)
    return true;
  *error = "cannot write the set for the game";
  RemoveGameSet();
  return false;
}

// At exit, a game that has ended takes its copy of the set with it; one
// still running keeps the copy it may be reading.
static void RemoveEndedGameSet(void) { PollPlayTest(); }

bool StartPlayTest(std::string *error) {
  static const int cleanup = atexit(RemoveEndedGameSet);
  (void)cleanup;
  if (PollPlayTest()) {
    *error = "the game is running already";
    return false;
  }
  if (!WriteGameSet(error)) return false;
  if (StartGame(PlayTestProgram(), gameSetPath, error)) return true;
  RemoveGameSet();
  return false;
}
