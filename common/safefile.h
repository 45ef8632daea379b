// Files the programs read and write for the player: level sets, scores,
// settings. Reading never blocks and never follows a name onto a FIFO, a
// device or a folder; writing replaces a file whole or not at all.
// No GL; safe to call from tests. Failures are returned, never fatal.
#pragma once
#include <cstddef>
#include <cstdio>
#include <string>

// Opens an existing regular file for reading ("rb"), close-on-exec. The open
// itself cannot block (a FIFO is opened without waiting for a writer and then
// refused). Returns nullptr with errno set otherwise: ENOENT and the other
// open errors as they come, EISDIR for a folder, EINVAL for a FIFO, device or
// socket. The caller closes the stream.
FILE *OpenRegularFile(const char *path);

// Reads the whole of a regular file into *contents. Fails (false, *error
// saying why in words fit for a message, *contents cleared) when the file
// cannot be opened as above, when reading fails, or when it holds more than
// maxBytes bytes.
bool ReadRegularFile(const char *path, size_t maxBytes, std::string *contents, std::string *error);

// Replaces path by contents: a temporary file in the same folder is written,
// flushed and synced, then renamed over path, and the folder is synced. An
// existing file keeps its permission bits; a new one gets 0644 less the umask.
// With keepBackup, the file path held before is kept as path + "~" (replacing
// an older backup). path must name a regular file or nothing yet. On any
// failure returns false with *error set: path is left byte for byte as it
// was and no temporary file stays behind.
bool WriteFileSafely(const char *path, const std::string &contents, bool keepBackup,
                     std::string *error);
