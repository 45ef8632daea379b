// Asset look-up: the working folder first, the installed data folder second,
// one message naming both places when neither has the file.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "common/assetpath.h"

namespace {

namespace fs = std::filesystem;
using testing::internal::CaptureStderr;
using testing::internal::GetCapturedStderr;

void Write(const fs::path &path, const std::string &text) {
  fs::create_directories(path.parent_path());
  std::ofstream(path) << text;
}

std::string Read(const std::string &path) {
  std::ifstream in(path);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// A working folder and a data folder side by side; the test runs inside the
// working folder and goes back where it was afterwards.
class AssetLookup : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "assetpath-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    root = pattern;
    work = root / "work";
    data = (root / "data").string();
    fs::create_directories(work);
    fs::create_directories(data);
    before = fs::current_path();
    fs::current_path(work);
  }
  void TearDown() override {
    fs::current_path(before);
    fs::remove_all(root);
  }
  fs::path root, work, before;
  std::string data;
};

TEST_F(AssetLookup, TheWorkingFolderComesFirstThenTheDataFolder) {
  Write(work / "sound/boing.raw", "here");
  Write(fs::path(data) / "sound/boing.raw", "installed");
  Write(fs::path(data) / "models/cat2.obj", "installed cat");
  CaptureStderr();
  // Found where the program runs: the name comes back exactly as given.
  EXPECT_EQ(FindAssetIn("./sound/boing.raw", data), "./sound/boing.raw");
  EXPECT_EQ(FindAssetIn("sound/boing.raw", data), "sound/boing.raw");
  // Only installed: the data folder's copy.
  EXPECT_EQ(Read(FindAssetIn("models/cat2.obj", data)), "installed cat");
  fs::remove(work / "sound/boing.raw");
  EXPECT_EQ(Read(FindAssetIn("./sound/boing.raw", data)), "installed");
  // Absolute names are never looked up elsewhere.
  std::string absolute = (work / "models/cat2.obj").string();
  EXPECT_EQ(FindAssetIn(absolute.c_str(), data), absolute);
  EXPECT_EQ(GetCapturedStderr(), "") << "a name that was found, or absolute, is not reported";
}

TEST_F(AssetLookup, AMissingFileIsReportedWithBothPlacesAndKeepsItsName) {
  CaptureStderr();
  EXPECT_EQ(FindAssetIn("images/Title.rgb", data), "images/Title.rgb");
  std::string message = GetCapturedStderr();
  EXPECT_NE(message.find("\"images/Title.rgb\""), std::string::npos) << message;
  EXPECT_NE(message.find(fs::current_path().string()), std::string::npos) << message;
  EXPECT_NE(message.find(data), std::string::npos) << message;
  EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1) << message;

  // Without a data folder the message says why instead of naming one.
  CaptureStderr();
  EXPECT_EQ(FindAssetIn("images/Title.rgb", ""), "images/Title.rgb");
  EXPECT_NE(GetCapturedStderr().find("unknown"), std::string::npos);
}

TEST(AssetDataFolder, LiesAtTheInstalledPlaceBesideTheExecutable) {
  std::string expected = (fs::path(SQ_BIN_DIR) / SQ_DATA_RELDIR).lexically_normal().string();
  EXPECT_EQ(AssetDataFolder(), expected);
  EXPECT_EQ(AssetDataFolder().find(".."), std::string::npos);
}

}  // namespace
