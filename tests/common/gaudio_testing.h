// Helpers for the mixer tests: a mixer record that acts as a started mixer
// (descriptor open on /dev/null, lock initialised) but has no thread, so a
// test builds blocks itself; temporary files; the decoder children.
#pragma once

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "common/gaudio.h"

#include <alsa/asoundlib.h>

// While it lives, ALSA reads an empty configuration: it knows no "default"
// output, as on a machine with neither a sound server nor a card.
struct NoAlsaOutput {
  // One file per process: tests run side by side, and one's destructor
  // must not remove the file another is reading.
  std::string conf = "/tmp/gaudio_test_empty_alsa." + std::to_string(getpid()) + ".conf";
  NoAlsaOutput() {
    std::fclose(std::fopen(conf.c_str(), "w"));
    setenv("ALSA_CONFIG_PATH", conf.c_str(), 1);
    snd_config_update_free_global();
  }
  ~NoAlsaOutput() {
    unsetenv("ALSA_CONFIG_PATH");
    snd_config_update_free_global();
    std::remove(conf.c_str());
  }
};

struct MixerFree {
  void operator()(gameaudio *ga) const {
    for (int i = 0; i < ga->num_samples; i++) free(ga->samples[i].data);
    endMusicLocked(ga);
    if (ga->audio_fd >= 0) close(ga->audio_fd);
    delete ga;
  }
};
using Mixer = std::unique_ptr<gameaudio, MixerFree>;

inline void SetUpThreadlessMixer(gameaudio *ga) {
  *ga = gameaudio{};
  ga->audio_fd = open("/dev/null", O_WRONLY | O_CLOEXEC);
  pthread_mutex_init(&ga->buffer_mutex, nullptr);
}

inline Mixer NewThreadlessMixer() {
  Mixer ga(new gameaudio{});
  SetUpThreadlessMixer(ga.get());
  return ga;
}

// A fresh folder under /tmp, removed with everything in it at exit.
inline std::string MakeTempDir() {
  struct Remover {
    std::vector<std::string> dirs;
    ~Remover() {
      for (const std::string &d : dirs) std::filesystem::remove_all(d);
    }
  };
  static Remover remover;
  char pattern[] = "/tmp/gaudio_test_XXXXXX";
  const char *dir = mkdtemp(pattern);
  if (dir == nullptr) return "/tmp";
  remover.dirs.push_back(dir);
  return dir;
}

inline std::string WriteFile(const std::string &path, const std::vector<char> &bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return path;
}

inline std::vector<char> ReadFile(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Command lines of this process's children that mention mpg123 (the shell
// the mixer starts, or the decoder itself once the shell has exec'd it).
inline std::vector<std::pair<int, std::string>> DecoderChildren() {
  std::vector<std::pair<int, std::string>> found;
  DIR *proc = opendir("/proc");
  if (!proc) return found;
  while (dirent *e = readdir(proc)) {
    int pid = atoi(e->d_name);
    if (pid <= 0) continue;
    std::ifstream stat("/proc/" + std::string(e->d_name) + "/stat");
    std::string line;
    std::getline(stat, line);
    size_t paren = line.rfind(')');
    if (paren == std::string::npos) continue;
    int ppid = 0;
    char state = 0;
    if (sscanf(line.c_str() + paren + 1, " %c %d", &state, &ppid) != 2 || ppid != getpid())
      continue;
    std::vector<char> raw = ReadFile("/proc/" + std::string(e->d_name) + "/cmdline");
    for (char &c : raw) c = c ? c : ' ';
    std::string cmd(raw.begin(), raw.end());
    if (cmd.find("mpg123") != std::string::npos) found.push_back({pid, cmd});
  }
  closedir(proc);
  return found;
}

// Waits up to a second for exactly one decoder child (a decoder just killed
// may take moments to go) and returns its command line, or "".
inline std::string WaitForDecoder() {
  for (int i = 0; i < 100; i++) {
    auto children = DecoderChildren();
    if (children.size() == 1) return children.front().second;
    usleep(10000);
  }
  return "";
}

// Waits up to a second for the decoder children to go; true when none is left.
inline bool WaitForNoDecoder() {
  for (int i = 0; i < 100 && !DecoderChildren().empty(); i++) usleep(10000);
  return DecoderChildren().empty();
}

// The next block as the mixing thread builds it, waiting up to five seconds
// for the decoder: a block of music, or empty once no decoder runs.
inline std::vector<char> NextMusicBlock(gameaudio *ga) {
  int16_t zero[GA_BLOCK_VALUES] = {};
  std::vector<char> block(GA_BLOCK_BYTES);
  for (int i = 0; i < 5000; i++) {
    fetchMusicBlock(ga);
    if (startBlockLocked(ga, reinterpret_cast<int16_t *>(block.data()), zero)) return block;
    if (ga->music_pid == 0) return {};
    usleep(1000);
  }
  return {};
}

// Decodes a track as the mixer's decoder does, for comparison.
inline std::vector<char> DecodeTrack(const std::string &path) {
  std::string cmd = "/usr/bin/mpg123 -s -q -r 44100 --stereo '" + path + "'";
  std::vector<char> out;
  FILE *p = popen(cmd.c_str(), "r");
  if (!p) return out;
  char buf[65536];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.insert(out.end(), buf, buf + n);
  pclose(p);
  return out;
}
