// Frame rate of the real game under Xvfb on a fixed level: the start-up
// settings (mirror and two shadows), all six shadows, then neither mirror nor
// shadows, each for a few seconds of play, with the display-list path and
// with the plain immediate-mode path. The game logs its frame times when
// SQUEAKLING_FRAME_LOG names a file; settings change through the control
// panel as a player would change them. --smoke runs briefly, fast path only.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "bench/arena_level.h"
#include "game/squeakling.h"

static std::string display;

static void Sleep(double seconds) {
  std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

static pid_t Spawn(const std::vector<std::string> &argv, const char *dir,
                   const std::vector<std::string> &env) {
  fflush(stdout);
  const pid_t pid = fork();
  if (pid == 0) {
    if (dir && chdir(dir) != 0) _exit(127);
    for (const std::string &e : env) putenv(strdup(e.c_str()));
    std::vector<char *> args;
    for (const std::string &a : argv) args.push_back(const_cast<char *>(a.c_str()));
    args.push_back(nullptr);
    freopen("/dev/null", "w", stdout);
    freopen("/dev/null", "w", stderr);
    execvp(args[0], args.data());
    _exit(127);
  }
  return pid;
}

static void Stop(pid_t pid) {
  if (pid <= 0) return;
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
}

static std::string Run(const std::string &command) {
  std::string out;
  FILE *p = popen(("DISPLAY=" + display + " " + command + " 2>/dev/null").c_str(), "r");
  if (!p) return out;
  char buf[256];
  while (fgets(buf, sizeof buf, p)) out += buf;
  pclose(p);
  return out;
}

// Xvfb picks a free display itself and writes its number to the pipe
// (-displayfd): no guessing at lock files that another server may be
// creating at the same moment.
static pid_t StartXvfb(void) {
  int fds[2];
  if (pipe(fds) != 0) return -1;
  const std::string fd = std::to_string(fds[1]);
  const pid_t pid = Spawn({"Xvfb", "-displayfd", fd, "-screen", "0", "1280x1024x24", "-nolisten",
                           "tcp", "+extension", "GLX"},
                          nullptr, {});
  close(fds[1]);
  std::string number;
  char c;
  while (read(fds[0], &c, 1) == 1 && c != '\n') number += c;
  close(fds[0]);
  if (number.empty()) {
    Stop(pid);
    return -1;
  }
  display = ":" + number;
  return pid;
}

static size_t CountLines(const std::string &path) {
  std::ifstream f(path);
  return static_cast<size_t>(
      std::count(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>(), '\n'));
}

static std::vector<long long> ReadTimes(const std::string &path) {
  std::vector<long long> times;
  std::ifstream f(path);
  long long t;
  while (f >> t) times.push_back(t);
  return times;
}

static void Click(const std::string &win, int x, int y) {
  Run("xdotool mousemove --window " + win + " " + std::to_string(x) + " " + std::to_string(y) +
      " click 1");
  Sleep(0.4);
}

static void Key(const std::string &win, const char *key) {
  Run("xdotool windowfocus " + win + " key " + key);
  Sleep(0.3);
}

struct Figures {
  double fps, median_ms, p95_ms, cpu_ms;
  size_t frames;
};

// User plus system CPU time of a process and all its threads, in ms: the
// work per frame, which other load on the machine does not inflate.
static double CpuMs(pid_t pid) {
  std::ifstream f("/proc/" + std::to_string(pid) + "/stat");
  std::string line;
  std::getline(f, line);
  const size_t close = line.rfind(')');
  if (close == std::string::npos) return 0;
  std::vector<std::string> fields;
  size_t pos = close + 2;
  while (pos < line.size()) {
    const size_t next = line.find(' ', pos);
    fields.push_back(line.substr(pos, next - pos));
    if (next == std::string::npos) break;
    pos = next + 1;
  }
  if (fields.size() < 13) return 0;
  // utime and stime are fields 14 and 15 of the line, 12 and 13 after the name.
  const double ticks = std::stod(fields[11]) + std::stod(fields[12]);
  return ticks * 1000.0 / sysconf(_SC_CLK_TCK);
}

static Figures Measure(pid_t game, const std::string &log, double seconds) {
  const size_t from = CountLines(log);
  const double cpuFrom = CpuMs(game);
  Sleep(seconds);
  const double cpu = CpuMs(game) - cpuFrom;
  const std::vector<long long> times = ReadTimes(log);
  std::vector<double> frames;
  for (size_t i = from + 1; i < times.size(); i++)
    frames.push_back((times[i] - times[i - 1]) / 1e3);
  if (frames.empty()) return {0, 0, 0, 0, 0};
  std::sort(frames.begin(), frames.end());
  const double median = frames[frames.size() / 2];
  const double p95 = frames[std::min(frames.size() - 1, frames.size() * 95 / 100)];
  return {1000.0 / median, median, p95, cpu / frames.size(), frames.size()};
}

// Window pixels at 1200 x 600: the title bar's Control panel region, and
// the control panel's right column: Shadows, Reflections, Return to game.
constexpr int kPanelRegionX = 950, kPanelRegionY = 25;
constexpr int kPanelX = 780, kShadowsY = 175, kReflectionsY = 255, kReturnY = 335;

static void ThroughPanel(const std::string &win, int shadowClicks, bool toggleMirror) {
  Click(win, kPanelRegionX, kPanelRegionY);
  for (int i = 0; i < shadowClicks; i++) Click(win, kPanelX, kShadowsY);
  if (toggleMirror) Click(win, kPanelX, kReflectionsY);
  Click(win, kPanelX, kReturnY);
  Key(win, "space");  // the game comes back paused
  Sleep(0.5);
}

static bool RunGame(const std::string &tmp, bool plain, double seconds) {
  const std::string log = tmp + (plain ? "/frames-plain.log" : "/frames-fast.log");
  const std::string level = tmp + "/bench_level.txt";
  std::vector<std::string> env = {"DISPLAY=" + display, "SQUEAKLING_FRAME_LOG=" + log};
  if (plain) env.push_back("SQUEAKLING_PLAIN_SCENE=1");
  const pid_t game = Spawn({std::string(SQ_BIN_DIR) + "/squeakling", level}, SQ_DATA_DIR, env);
  std::string win;
  for (int i = 0; i < 150 && win.empty(); i++) {
    Sleep(0.2);
    win = Run(std::string("xdotool search --name '^") + kGameTitle + "$' | tail -1");
    while (!win.empty() && (win.back() == '\n')) win.pop_back();
  }
  if (win.empty()) {
    fprintf(stderr, "frame_rate_bench: the game window did not appear\n");
    Stop(game);
    return false;
  }
  Sleep(1.0);
  Key(win, "x");  // start screen: any key starts a game
  Sleep(6.0);     // the interlude of level 1
  struct Setting {
    const char *name;
    int shadowClicks;
    bool toggleMirror;
  } settings[3] = {{"start-up (mirror, two shadows)", 0, false},
                   {"all six shadows, mirror", 1, false},
                   {"no mirror, no shadows", 1, true}};
  for (const Setting &s : settings) {
    if (s.shadowClicks || s.toggleMirror) ThroughPanel(win, s.shadowClicks, s.toggleMirror);
    const Figures f = Measure(game, log, seconds);
    printf(
        "%-6s %-32s %6.1f fps  median %6.2f ms  p95 %6.2f ms  cpu %6.2f ms/frame  (%zu frames)\n",
        plain ? "plain" : "lists", s.name, f.fps, f.median_ms, f.p95_ms, f.cpu_ms, f.frames);
    fflush(stdout);
  }
  Stop(game);
  return true;
}

int main(int argc, char **argv) {
  const bool smoke = argc > 1 && strcmp(argv[1], "--smoke") == 0;
  char tmpl[] = "/tmp/sq-frame-bench-XXXXXX";
  const char *tmp = mkdtemp(tmpl);
  if (!tmp) {
    perror("mkdtemp");
    return 1;
  }
  WriteArenaLevel(std::string(tmp) + "/bench_level.txt");
  const pid_t xvfb = StartXvfb();
  if (xvfb < 0) {
    fprintf(stderr, "frame_rate_bench: Xvfb did not start\n");
    return 1;
  }
  double load = 0;
  if (FILE *f = fopen("/proc/loadavg", "r")) {
    if (fscanf(f, "%lf", &load) != 1) load = 0;
    fclose(f);
  }
  printf("squeakling frame rate, 1200 x 600 under Xvfb (%s; load average %.2f on %ld cores)\n",
         smoke ? "smoke" : "full", load, sysconf(_SC_NPROCESSORS_ONLN));
  bool ok = RunGame(tmp, false, smoke ? 1.0 : 5.0);
  if (ok && !smoke) ok = RunGame(tmp, true, 5.0);
  Stop(xvfb);
  std::string cleanup = std::string("rm -rf ") + tmp;
  if (system(cleanup.c_str()) != 0) fprintf(stderr, "frame_rate_bench: could not remove %s\n", tmp);
  return ok ? 0 : 1;
}
