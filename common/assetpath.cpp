// Asset look-up: the working folder first, then the installed data folder.
#include "common/assetpath.h"

#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <filesystem>

#ifndef SQ_DATA_RELDIR
#define SQ_DATA_RELDIR "../share/squeakling"
#endif

namespace {

bool Exists(const std::string &path) {
  struct stat status;
  return stat(path.c_str(), &status) == 0;
}

std::string WorkingFolder(void) {
  std::array<char, 4096> buffer{};
  return getcwd(buffer.data(), buffer.size()) ? buffer.data() : ".";
}

}  // namespace

std::string AssetDataFolder(void) {
  // Read once: the executable does not move while it runs.
  static const std::string folder = [] {
    std::array<char, 4096> buffer{};
    ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    if (n <= 0) return std::string();
    std::filesystem::path exe(std::string(buffer.data(), static_cast<size_t>(n)));
    return (exe.parent_path() / SQ_DATA_RELDIR).lexically_normal().string();
  }();
  return folder;
}

std::string FindAssetIn(const char *name, const std::string &dataFolder) {
  if (name == nullptr || *name == '\0' || *name == '/' || Exists(name)) return name ? name : "";
  if (!dataFolder.empty()) {
    std::string installed = dataFolder + "/" + name;
    if (Exists(installed)) return installed;
  }
  fprintf(
      stderr, "%s: cannot find \"%s\" in the working folder %s nor in the data folder %s\n",
      program_invocation_short_name, name, WorkingFolder().c_str(),
      dataFolder.empty() ? "(unknown: the program's own path cannot be read)" : dataFolder.c_str());
  return name;
}

std::string FindAsset(const char *name) { return FindAssetIn(name, AssetDataFolder()); }
