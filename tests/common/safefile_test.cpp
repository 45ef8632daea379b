// Reading refuses what is not a regular file without blocking; a
// replacement is whole or not at all, and a failed one leaves the old file.
#include "common/safefile.h"

#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <sstream>

namespace {

struct Folder {
  std::string path;
  Folder() {
    char name[] = "/tmp/safefile-XXXXXX";
    path = mkdtemp(name);
  }
  ~Folder() {
    std::string command = "rm -rf '" + path + "'";
    if (system(command.c_str()) != 0) perror("rm");
  }
  std::string at(const char *name) const { return path + "/" + name; }
  int count() const {
    int n = 0;
    DIR *dir = opendir(path.c_str());
    while (dirent *entry = readdir(dir))
      if (entry->d_name[0] != '.' || (entry->d_name[1] != '\0' && entry->d_name[1] != '.')) n++;
    closedir(dir);
    return n;
  }
};

std::string Slurp(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream all;
  all << in.rdbuf();
  return all.str();
}

void Put(const std::string &path, const std::string &bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

TEST(SafeRead, RefusesWhatIsNotARegularFileWithoutWaiting) {
  Folder folder;
  std::string fifo = folder.at("pipe");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  // Nobody writes to the FIFO: an open that waited would hang the test.
  errno = 0;
  EXPECT_EQ(OpenRegularFile(fifo.c_str()), nullptr);
  EXPECT_EQ(errno, EINVAL);
  EXPECT_EQ(OpenRegularFile(folder.path.c_str()), nullptr);
  EXPECT_EQ(errno, EISDIR);
  EXPECT_EQ(OpenRegularFile("/dev/zero"), nullptr);
  EXPECT_EQ(errno, EINVAL);
  EXPECT_EQ(OpenRegularFile(folder.at("missing").c_str()), nullptr);
  EXPECT_EQ(errno, ENOENT);

  std::string contents, error;
  EXPECT_FALSE(ReadRegularFile(fifo.c_str(), 100, &contents, &error));
  EXPECT_EQ(error, "Not a regular file");
  EXPECT_FALSE(ReadRegularFile("/dev/zero", 100, &contents, &error));
}

TEST(SafeRead, ReadsAWholeFileUpToItsBound) {
  Folder folder;
  std::string path = folder.at("set.txt");
  Put(path, std::string(5000, 'x') + "\nend");
  FILE *file = OpenRegularFile(path.c_str());
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(fgetc(file), 'x');
  fclose(file);

  std::string contents, error;
  ASSERT_TRUE(ReadRegularFile(path.c_str(), 5004, &contents, &error));
  EXPECT_EQ(contents, Slurp(path));
  EXPECT_FALSE(ReadRegularFile(path.c_str(), 5003, &contents, &error));
  EXPECT_TRUE(contents.empty());
  EXPECT_EQ(error, "Larger than 5003 bytes");
}

TEST(SafeWrite, ReplacesAFileAndKeepsItsModeAndABackup) {
  Folder folder;
  std::string path = folder.at("levels.txt");
  std::string error;
  ASSERT_TRUE(WriteFileSafely(path.c_str(), "first\n", true, &error)) << error;
  EXPECT_EQ(Slurp(path), "first\n");
  EXPECT_EQ(access((path + "~").c_str(), F_OK), -1) << "no backup of a file that was not there";
  ASSERT_EQ(chmod(path.c_str(), 0640), 0);

  ASSERT_TRUE(WriteFileSafely(path.c_str(), "second\n", true, &error)) << error;
  EXPECT_EQ(Slurp(path), "second\n");
  EXPECT_EQ(Slurp(path + "~"), "first\n");
  struct stat st;
  ASSERT_EQ(stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);

  ASSERT_TRUE(WriteFileSafely(path.c_str(), "third\n", false, &error)) << error;
  EXPECT_EQ(Slurp(path + "~"), "first\n") << "a write without backup leaves the old backup";
  EXPECT_EQ(folder.count(), 2) << "no temporary file left behind";
}

TEST(SafeWrite, FollowsALinkAndRefusesWhatIsNotAFile) {
  Folder folder;
  std::string real = folder.at("real.txt"), link = folder.at("link.txt");
  Put(real, "old");
  ASSERT_EQ(symlink(real.c_str(), link.c_str()), 0);
  std::string error;
  ASSERT_TRUE(WriteFileSafely(link.c_str(), "new", false, &error)) << error;
  EXPECT_EQ(Slurp(real), "new");
  struct stat st;
  ASSERT_EQ(lstat(link.c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));

  EXPECT_FALSE(WriteFileSafely("/dev/full", "x", false, &error));
  EXPECT_EQ(error, "Not a regular file");
  EXPECT_FALSE(WriteFileSafely(folder.path.c_str(), "x", false, &error));
  EXPECT_FALSE(WriteFileSafely(folder.at("no/such/folder").c_str(), "x", false, &error));
  EXPECT_EQ(folder.count(), 2);
}

// A full disk, as far as the process can tell: a file-size limit below
// the new contents makes the write fail part-way.
TEST(SafeWrite, AFailedWriteLeavesTheOldFileAndNothingElse) {
  Folder folder;
  std::string path = folder.at("levels.txt");
  Put(path, "the old set\n");
  rlimit before;
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &before), 0);
  rlimit small = before;
  small.rlim_cur = 4096;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  std::string error;
  bool ok = WriteFileSafely(path.c_str(), std::string(100000, 'y'), true, &error);
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &before), 0);
  EXPECT_FALSE(ok);
  EXPECT_EQ(error, strerror(EFBIG));
  EXPECT_EQ(Slurp(path), "the old set\n");
  EXPECT_EQ(folder.count(), 1) << "neither a temporary file nor a backup stays";

  std::string fresh = folder.at("new.txt");
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  ok = WriteFileSafely(fresh.c_str(), std::string(100000, 'y'), false, &error);
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &before), 0);
  EXPECT_FALSE(ok);
  EXPECT_EQ(access(fresh.c_str(), F_OK), -1) << "a failed save under a new name leaves no file";
}

}  // namespace
