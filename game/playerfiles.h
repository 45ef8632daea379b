// The files the game keeps for the player between runs (scores, settings):
// their XDG folders, the folder made on first use, the advisory lock held
// while a file is read and replaced, and setting aside a file that cannot be
// read. Plain POSIX, no GL. Failures return false with *error set; none ends
// the program.
#pragma once
#include <string>

// $XDG_DATA_HOME/squeakling resp. $XDG_CONFIG_HOME/squeakling; a variable
// that is unset, empty or not an absolute path falls back to ~/.local/share
// resp. ~/.config. Empty when not even a home folder is known.
std::string DataFolder(void);
std::string ConfigFolder(void);

// One line on standard error, "squeakling: " and the printf-style message:
// how both files report what they could not read or write.
void TellPlayer(const char *format, ...) __attribute__((format(printf, 1, 2)));

// Makes folder and any missing parents.
bool MakeFolder(const std::string &folder, std::string *error);

// An exclusive flock(2) on "<path>.lock", taken by LockPlayerFile and
// dropped when the record goes out of scope. The lock lives on a file of its
// own because a safe write renames a new inode over path: two processes that
// locked path itself could each hold a lock on a different inode.
struct PlayerFileLock {
  int fd = -1;
  PlayerFileLock() = default;
  PlayerFileLock(const PlayerFileLock &) = delete;
  PlayerFileLock &operator=(const PlayerFileLock &) = delete;
  ~PlayerFileLock();
};
// Waits for the lock; false when the lock file cannot be opened.
bool LockPlayerFile(const std::string &path, PlayerFileLock *lock, std::string *error);

// Moves path to "<path>.bad", or to "<path>.bad.2", ".3" ... when that name is
// taken: an earlier file set aside is never replaced. *aside gets the name.
bool SetFileAside(const std::string &path, std::string *aside, std::string *error);

// Reads a player's file whole (common/safefile.h), telling apart a file
// that is not there yet and one too big to be one of ours.
enum PlayerFileRead {
  PLAYER_FILE_READ,
  PLAYER_FILE_MISSING,
  PLAYER_FILE_TOO_BIG,
  PLAYER_FILE_UNREADABLE
};
PlayerFileRead ReadPlayerFile(const std::string &path, size_t maxBytes, std::string *contents,
                              std::string *error);

// Whether contents can be a text file of the game: no NUL and no control
// character but tab, line feed and carriage return.
bool IsPlainText(const std::string &contents);

// The shortest of %.6g ... %.17g that reads back as the same double, so a
// setting written and read again is the very same value.
std::string FormatShortest(double value);
