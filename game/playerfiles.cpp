// Where the player's files live and how they are guarded: XDG folders, the
// folder made on demand, the lock file and the ".bad" names. Every failure is
// returned with its reason; the callers decide what the player is told.
#include "game/playerfiles.h"

#include "common/safefile.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

static constexpr char kGameFolder[] = "squeakling";
// Set-aside names tried before giving up: ".bad", then ".bad.2" ... ".bad.99".
static constexpr int kAsideNames = 99;

static std::string HomeFolder(void) {
  const char *home = getenv("HOME");
  if (home && home[0] == '/') return home;
  const struct passwd *entry = getpwuid(getuid());
  if (entry && entry->pw_dir && entry->pw_dir[0] == '/') return entry->pw_dir;
  return "";
}

static std::string BaseFolder(const char *variable, const char *fallback) {
  const char *value = getenv(variable);
  std::string base;
  if (value && value[0] == '/') {
    base = value;
  } else {
    std::string home = HomeFolder();
    if (home.empty()) return "";
    base = home + "/" + fallback;
  }
  return base + "/" + kGameFolder;
}

std::string DataFolder(void) { return BaseFolder("XDG_DATA_HOME", ".local/share"); }
std::string ConfigFolder(void) { return BaseFolder("XDG_CONFIG_HOME", ".config"); }

static bool Fail(std::string *error, const std::string &what) {
  *error = what + ": " + strerror(errno);
  return false;
}

static bool MakeOneFolder(const std::string &folder, std::string *error) {
  if (mkdir(folder.c_str(), 0755) == 0) return true;
  int made = errno;
  struct stat st;
  if (made == EEXIST && stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return true;
  errno = made == EEXIST ? ENOTDIR : made;
  return Fail(error, "cannot make folder " + folder);
}

bool MakeFolder(const std::string &folder, std::string *error) {
  if (folder.empty()) {
    errno = ENOENT;
    return Fail(error, "no home folder");
  }
  for (size_t slash = folder.find('/', 1); slash != std::string::npos;
       slash = folder.find('/', slash + 1))
    if (!MakeOneFolder(folder.substr(0, slash), error)) return false;
  return MakeOneFolder(folder, error);
}

PlayerFileLock::~PlayerFileLock() {
  if (fd >= 0) close(fd);  // closing drops the flock
}

bool LockPlayerFile(const std::string &path, PlayerFileLock *lock, std::string *error) {
  std::string name = path + ".lock";
  lock->fd = open(name.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (lock->fd < 0) return Fail(error, "cannot open " + name);
  int locked;
  do {
    locked = flock(lock->fd, LOCK_EX);
  } while (locked != 0 && errno == EINTR);
  if (locked == 0) return true;
  Fail(error, "cannot lock " + name);
  close(lock->fd);
  lock->fd = -1;
  return false;
}

// link() refuses an existing name, so a file set aside earlier stays.
bool SetFileAside(const std::string &path, std::string *aside, std::string *error) {
  for (int n = 1; n <= kAsideNames; n++) {
    *aside = path + ".bad" + (n == 1 ? "" : "." + std::to_string(n));
    if (link(path.c_str(), aside->c_str()) == 0) {
      if (unlink(path.c_str()) == 0) return true;
      int failed = errno;
      unlink(aside->c_str());
      errno = failed;
      return Fail(error, "cannot move " + path + " aside");
    }
    if (errno != EEXIST) return Fail(error, "cannot move " + path + " to " + *aside);
  }
  errno = EEXIST;
  return Fail(error, "cannot move " + path + " aside");
}

PlayerFileRead ReadPlayerFile(const std::string &path, size_t maxBytes, std::string *contents,
                              std::string *error) {
  errno = 0;
  if (ReadRegularFile(path.c_str(), maxBytes, contents, error)) return PLAYER_FILE_READ;
  if (errno == ENOENT) return PLAYER_FILE_MISSING;
  struct stat st;
  if (stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
      static_cast<unsigned long long>(st.st_size) > maxBytes)
    return PLAYER_FILE_TOO_BIG;
  *error = path + ": " + *error;
  return PLAYER_FILE_UNREADABLE;
}

bool IsPlainText(const std::string &contents) {
  for (unsigned char c : contents)
    if ((c < 0x20 && c != '\t' && c != '\n' && c != '\r') || c == 0x7f) return false;
  return true;
}

std::string FormatShortest(double value) {
  char buffer[40];
  for (int digits = 6; digits <= 17; digits++) {
    snprintf(buffer, sizeof buffer, "%.*g", digits, value);
    if (strtod(buffer, nullptr) == value) break;
  }
  return buffer;
}

void TellPlayer(const char *format, ...) {
  va_list args;
  va_start(args, format);
  fputs("squeakling: ", stderr);
  vfprintf(stderr, format, args);
  fputc('\n', stderr);
  va_end(args);
}
