// Safe reading and whole-file replacement for the files kept for the player.
// Policy: every failure is returned with its reason; nothing here ends the
// program or prints. The reasons are short phrases ("Permission denied",
// "Not a regular file") meant to follow a file's name in a message.
#include "common/safefile.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

static const char kNotRegular[] = "Not a regular file";

// The phrase for errno, with EINVAL standing for the refusal of a FIFO,
// device or socket, which is the only way this module sets it.
static std::string ReasonFor(int err) {
  if (err == EINVAL) return kNotRegular;
  return strerror(err);
}

FILE *OpenRegularFile(const char *path) {
  // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a writer.
  int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return nullptr;
  struct stat st;
  int err = 0;
  if (fstat(fd, &st) != 0)
    err = errno;
  else if (S_ISDIR(st.st_mode))
    err = EISDIR;
  else if (!S_ISREG(st.st_mode))
    err = EINVAL;
  // Reads of a regular file never wait anyway; the flag goes so that stdio
  // sees an ordinary descriptor.
  else if (fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0)
    err = errno;
  FILE *file = err == 0 ? fdopen(fd, "rb") : nullptr;
  if (file == nullptr) {
    if (err == 0) err = errno;
    close(fd);
    errno = err;
  }
  return file;
}

bool ReadRegularFile(const char *path, size_t maxBytes, std::string *contents, std::string *error) {
  contents->clear();
  FILE *file = OpenRegularFile(path);
  if (file == nullptr) {
    *error = ReasonFor(errno);
    return false;
  }
  char block[65536];
  bool ok = true;
  size_t got;
  while ((got = fread(block, 1, sizeof block, file)) > 0) {
    if (contents->size() + got > maxBytes) {
      *error = "Larger than " + std::to_string(maxBytes) + " bytes";
      ok = false;
      break;
    }
    contents->append(block, got);
  }
  if (ok && ferror(file)) {
    *error = ReasonFor(errno);
    ok = false;
  }
  fclose(file);
  if (!ok) contents->clear();
  return ok;
}

// ---- Writing ----

static bool WriteAll(int fd, const char *data, size_t size) {
  while (size > 0) {
    ssize_t n = write(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n == 0) errno = EIO;
      return false;
    }
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

static std::string FolderOf(const std::string &path) {
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

static std::string BaseOf(const std::string &path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The permission bits a new file gets from open(): 0666 less the umask,
// read without changing it for good.
static mode_t NewFileMode(void) {
  mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

// Syncs the folder so that a rename done in it survives a crash. Some file
// systems cannot sync a folder; the rename itself has happened by then.
static void SyncFolder(const std::string &folder) {
  int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

// Writes contents to a new temporary file beside target, synced and with the
// given mode; its name goes to *tmp. False with errno set, nothing left.
static bool WriteTemporary(const std::string &target, const std::string &contents, mode_t mode,
                           std::string *tmp) {
  std::string pattern = FolderOf(target) + "/." + BaseOf(target) + ".XXXXXX";
  std::string name = pattern;
  int fd = mkostemp(&name[0], O_CLOEXEC);
  if (fd < 0) return false;
  bool ok =
      fchmod(fd, mode) == 0 && WriteAll(fd, contents.data(), contents.size()) && fsync(fd) == 0;
  int err = errno;
  if (close(fd) != 0 && ok) {
    ok = false;
    err = errno;
  }
  if (!ok) {
    unlink(name.c_str());
    errno = err;
    return false;
  }
  *tmp = name;
  return true;
}

// Keeps the file at target as target~: a hard link where the file system
// has them, else a synced copy put in place by a rename.
static bool KeepBackup(const std::string &target, mode_t mode) {
  std::string backup = target + "~";
  if (unlink(backup.c_str()) != 0 && errno != ENOENT) return false;
  if (link(target.c_str(), backup.c_str()) == 0) return true;
  std::string old, reason, tmp;
  if (!ReadRegularFile(target.c_str(), SIZE_MAX, &old, &reason)) return false;
  if (!WriteTemporary(backup, old, mode, &tmp)) return false;
  if (rename(tmp.c_str(), backup.c_str()) != 0) {
    int err = errno;
    unlink(tmp.c_str());
    errno = err;
    return false;
  }
  return true;
}

// The file the name stands for: a symbolic link is followed, so the file
// it points at is replaced and the link stays. Fails on a name that exists
// but is no regular file.
static bool ResolveTarget(const char *path, std::string *target, bool *exists, mode_t *mode) {
  *target = path;
  struct stat st;
  if (lstat(path, &st) != 0) {
    if (errno != ENOENT) return false;
    *exists = false;
    *mode = NewFileMode();
    return true;
  }
  if (S_ISLNK(st.st_mode)) {
    char *real = realpath(path, nullptr);
    if (real == nullptr) return false;  // a dangling link: nothing to replace
    *target = real;
    free(real);
    if (stat(target->c_str(), &st) != 0) return false;
  }
  if (S_ISDIR(st.st_mode) || !S_ISREG(st.st_mode)) {
    errno = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
    return false;
  }
  *exists = true;
  *mode = st.st_mode & 07777;
  return true;
}

bool WriteFileSafely(const char *path, const std::string &contents, bool keepBackup,
                     std::string *error) {
  // Past a file-size limit the kernel would end the process with SIGXFSZ;
  // ignored for the write, it makes the write fail with EFBIG instead.
  struct sigaction ignore = {}, before = {};
  ignore.sa_handler = SIG_IGN;
  sigaction(SIGXFSZ, &ignore, &before);

  std::string target, tmp;
  bool exists = false;
  mode_t mode = 0;
  bool ok =
      ResolveTarget(path, &target, &exists, &mode) && WriteTemporary(target, contents, mode, &tmp);
  if (ok && exists && keepBackup) ok = KeepBackup(target, mode);
  if (ok) ok = rename(tmp.c_str(), target.c_str()) == 0;
  int err = errno;
  if (!ok) {
    if (!tmp.empty()) unlink(tmp.c_str());
    *error = ReasonFor(err);
  } else {
    SyncFolder(FolderOf(target));
  }
  sigaction(SIGXFSZ, &before, nullptr);
  return ok;
}
