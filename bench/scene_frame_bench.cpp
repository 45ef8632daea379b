// Frame rate of the play frame drawn by the game's own display callback
// under a private Xvfb, in two windows one after the other. In a 1200 x 600
// window the display-list path and the plain immediate-mode path take turns;
// in a 2400 x 1200 window the scene drawn at full size and the automatic
// choice (on a software renderer, the scene drawn at 1200 x 600 and scaled
// up). Every setting is measured for a second by one variant, then the
// other, and the whole round is run six times, so a change in the machine's
// load hits both alike and their ratio, taken within each round, stays
// meaningful. Prints the load average before and after, each round's
// figures, and per setting the medians of the rounds, their spread, the
// ratio, the CPU time per frame and the share of CPU time the host stole.
// Then, in each window, the frame without a 3D scene by both variants.
// Last, in the 1200 x 600 window, the start-up chase frame with and
// without a game pad read before it, and the time of one read.
// --smoke runs one short round; --rounds N and --seconds S change the
// rounds; --size WxH runs one window of that size alone, the two paths at
// full size there, or with --scene-choices full against auto; --only N and
// --path lists|plain (or full|auto) narrow the run down.
#include <GL/glut.h>
#include <SDL.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench/arena_level.h"
#include "common/drawing.h"
#include "game/gamepad.h"
#include "game/rendering.h"
#include "game/scoreboard.h"
#include "game/squeakling.h"
#include "tests/render/scene_window.h"

struct Setting {
  const char *name;
  int view, shadows;  // shadows: the shadowsOn setting (3 = all six)
  BOOL mirror, interlude;
};

static const Setting kSettings[] = {
    {"chase, start-up (mirror, 2 shadows)", 1, 2, 1, 0},
    {"chase, mirror, 6 shadows", 1, 3, 1, 0},
    {"first person, start-up", 0, 2, 1, 0},
    {"first person, mirror, 6 shadows", 0, 3, 1, 0},
    {"overhead, start-up", 2, 2, 1, 0},
    {"overhead, mirror, 6 shadows", 2, 3, 1, 0},
    {"interlude (chase), start-up", 1, 2, 1, 1},
    {"chase, no mirror, no shadows", 1, 0, 0, 0},
};
constexpr int kSettingCount = sizeof kSettings / sizeof kSettings[0];

// Two ways of drawing the same frame, compared in one window.
struct Variant {
  const char *name;
  BOOL compiled;
  SceneScaleOption scale;
};
struct WindowRun {
  int width, height;
  Variant variants[2];
};
static const WindowRun kWindows[] = {
    {1200, 600, {{"lists", TRUE, SCENE_SCALE_AUTO}, {"plain", FALSE, SCENE_SCALE_AUTO}}},
    {2400, 1200, {{"full", TRUE, SCENE_SCALE_FULL}, {"auto", TRUE, SCENE_SCALE_AUTO}}},
};
constexpr int kWindowCount = sizeof kWindows / sizeof kWindows[0];
static const WindowRun *windowRun = &kWindows[0];

static bool smoke = false;
static int optionRounds = 6;
static double optionSeconds = 1.0;
static int optionOnly = -1;  // --only N: just the Nth setting (from 1), for profiling
static int optionPath = -1;  // --path: just one variant (0 lists or full, 1 plain or auto)
// --size WxH: that window alone, paths or (--scene-choices) scene choices.
static WindowRun optionWindow = {
    0, 0, {{"lists", TRUE, SCENE_SCALE_FULL}, {"plain", FALSE, SCENE_SCALE_FULL}}};
static bool sceneChoices = false;
static pid_t xvfb = -1;
// The pad measurement: a virtual pad whose shoulder button changes every
// frame, read through PollGamepad before each frame as the game's idle does.
static BOOL pollPad = 0;
static SDL_Joystick *benchPad = nullptr;
static std::string tmpDir;

static double Now(clockid_t clock) {
  timespec t;
  clock_gettime(clock, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

static double LoadAverage(void) {
  double load = 0;
  if (FILE *f = fopen("/proc/loadavg", "r")) {
    if (fscanf(f, "%lf", &load) != 1) load = 0;
    fclose(f);
  }
  return load;
}

// A private X server on a display it picks itself; returns its number as a
// DISPLAY value, or "" when it did not start.
static std::string StartXvfb(void) {
  int fds[2];
  if (pipe(fds) != 0) return "";
  xvfb = fork();
  if (xvfb == 0) {
    close(fds[0]);
    const std::string fd = std::to_string(fds[1]);
    if (!freopen("/dev/null", "w", stdout) || !freopen("/dev/null", "w", stderr)) _exit(127);
    // Room for the largest window.
    const std::string screen = std::to_string(std::max(2560, optionWindow.width + 80)) + "x" +
                               std::to_string(std::max(1440, optionWindow.height + 80)) + "x24";
    execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(), "-nolisten",
           "tcp", "+extension", "GLX", static_cast<char *>(nullptr));
    _exit(127);
  }
  close(fds[1]);
  std::string number;
  char c;
  while (read(fds[0], &c, 1) == 1 && c != '\n') number += c;
  close(fds[0]);
  return number.empty() ? "" : ":" + number;
}

static void StopXvfb(void) {
  if (xvfb > 0) {
    kill(xvfb, SIGTERM);
    waitpid(xvfb, nullptr, 0);
  }
  if (!tmpDir.empty()) {
    unlink((tmpDir + "/bench_level.txt").c_str());
    rmdir(tmpDir.c_str());
  }
}

static std::string WriteLevel(void) {
  const std::string path = tmpDir + "/bench_level.txt";
  WriteArenaLevel(path);
  return path;
}

struct Figure {
  double fps, cpuMs, mainMs;
};

// The machine's CPU ticks so far, all and stolen: a virtual machine's host
// can take cores away, which slows every figure alike.
static void CpuTicks(double *all, double *stolen) {
  *all = *stolen = 0;
  if (FILE *f = fopen("/proc/stat", "r")) {
    double t[8] = {};
    if (fscanf(f, "cpu %lf %lf %lf %lf %lf %lf %lf %lf", &t[0], &t[1], &t[2], &t[3], &t[4], &t[5],
               &t[6], &t[7]) == 8) {
      for (double v : t) *all += v;
      *stolen = t[7];
    }
    fclose(f);
  }
}

static double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// Draws frames for the given time, at least three; the rate from the
// median frame time, which frames the scheduler held back on a busy machine
// do not move.
template <typename Draw>
static double MedianRate(Draw &draw, double seconds) {
  std::vector<double> times;
  const double start = Now(CLOCK_MONOTONIC);
  double last = start;
  while (last - start < seconds || times.size() < 3) {
    draw();
    const double now = Now(CLOCK_MONOTONIC);
    times.push_back(now - last);
    last = now;
  }
  return 1.0 / Median(times);
}

// Frames of one setting by one variant for the given time. The mouse runs
// along its row, one cell a frame, and the cheese turns, as in play. Beside
// the rate (MedianRate): the CPU time per frame of the whole process (the
// rasteriser's threads included) and of the main thread, whose part of the
// frame the rasteriser cannot overlap.
static Figure Measure(const Setting &s, const Variant &variant, double seconds) {
  g_bCompiledScene = variant.compiled;
  ChooseSceneScale(variant.scale);
  viewPoint = s.view;
  shadowsOn = s.shadows;
  reflectionsOn = s.mirror;
  time_since_death = s.interlude ? 2.0f : 10.0f;
  int frame = 0;
  auto draw = [&frame](void) {
    if (pollPad) {
      SDL_JoystickSetVirtualButton(benchPad, SDL_CONTROLLER_BUTTON_LEFTSHOULDER, frame % 2);
      PollGamepad();
    }
    mousex = 2 + frame % 26;
    mousey = 14;
    mouseorient = 0;
    viewOrient = 0;
    cheeseRotation = frame * 3 % 360;
    display();
    glFinish();
    frame++;
  };
  for (int i = 0; i < 3; i++) draw();  // lists built, caches warm
  frame = 0;
  const double cpuStart = Now(CLOCK_PROCESS_CPUTIME_ID);
  const double mainStart = Now(CLOCK_THREAD_CPUTIME_ID);
  const double fps = MedianRate(draw, seconds);
  const double cpu = Now(CLOCK_PROCESS_CPUTIME_ID) - cpuStart;
  const double main = Now(CLOCK_THREAD_CPUTIME_ID) - mainStart;
  return {fps, cpu * 1000.0 / frame, main * 1000.0 / frame};
}

// The frame with no 3D scene in it, by one variant: the frame's clear, the
// scale-up of a reduced scene (of nothing), the scoreboard and the buffer
// swap. What the window's size costs by itself, a ceiling on the rate no
// scene can pass.
static double MeasureEmptyFrame(const Variant &variant, double seconds) {
  g_bCompiledScene = variant.compiled;
  ChooseSceneScale(variant.scale);
  auto draw = [](void) {
    SetUpDisplay();
    PresentScene();
    DrawScoreBoard(levelNum + 1, livesLeft, score, initNumCheese - cheeseEaten, speedScale, PAUSED);
    glutSwapBuffers();
    glFinish();
  };
  for (int i = 0; i < 3; i++) draw();
  return MedianRate(draw, seconds);
}

static void ReportEmptyFrames(int rounds, double seconds) {
  const Variant *variant = windowRun->variants;
  std::vector<double> fps[2];
  for (int r = 0; r < rounds; r++)
    for (int v = 0; v < 2; v++)
      if (optionPath < 0 || v == optionPath)
        fps[v].push_back(MeasureEmptyFrame(variant[v], seconds));
  printf(
      "the frame without a 3D scene (clear, scale-up if reduced, scoreboard, swap),\n"
      "medians of %d rounds:\n",
      rounds);
  for (int v = 0; v < 2; v++)
    if (!fps[v].empty()) {
      const double f = Median(fps[v]);
      printf("  %-5s %6.1f fps (%.2f ms)\n", variant[v].name, f, 1000.0 / f);
    }
}

static double Spread(const std::vector<double> &v) {
  const auto [lo, hi] = std::minmax_element(v.begin(), v.end());
  const double median = Median(v);
  return median > 0 ? (*hi - *lo) / median * 100.0 : 0.0;
}

// A pad of every standard button and axis; nullptr when the machine has no
// controller support.
static SDL_Joystick *AttachBenchPad(void) {
  if (!StartGamepad()) return nullptr;
  SDL_VirtualJoystickDesc desc = {};
  desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
  desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
  desc.naxes = SDL_CONTROLLER_AXIS_MAX;
  desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
  desc.button_mask = (1u << SDL_CONTROLLER_BUTTON_MAX) - 1;
  desc.axis_mask = (1u << SDL_CONTROLLER_AXIS_MAX) - 1;
  desc.name = "bench pad";
  const int device = SDL_JoystickAttachVirtualEx(&desc);
  SDL_Joystick *pad = device < 0 ? nullptr : SDL_JoystickOpen(device);
  PollGamepad();
  return OpenPadCount() == 1 ? pad : nullptr;
}

// The play frame with and without reading a pad before it, in turns, and
// the time one PollGamepad takes on its own.
static void MeasurePad(int rounds, double seconds) {
  benchPad = AttachBenchPad();
  if (!benchPad) {
    printf("pad: no controller support here, not measured\n");
    return;
  }
  std::vector<double> without, with, ratio, mainWithout, mainWith;
  for (int r = 0; r < rounds; r++) {
    pollPad = 0;
    const Figure plain = Measure(kSettings[0], windowRun->variants[0], seconds);
    pollPad = 1;
    const Figure polled = Measure(kSettings[0], windowRun->variants[0], seconds);
    pollPad = 0;
    without.push_back(plain.fps);
    with.push_back(polled.fps);
    ratio.push_back(polled.fps / plain.fps);
    mainWithout.push_back(plain.mainMs);
    mainWith.push_back(polled.mainMs);
  }
  constexpr int kPolls = 100000;
  const double start = Now(CLOCK_MONOTONIC);
  for (int i = 0; i < kPolls; i++) {
    SDL_JoystickSetVirtualButton(benchPad, SDL_CONTROLLER_BUTTON_LEFTSHOULDER, i % 2);
    PollGamepad();
  }
  const double pollUs = (Now(CLOCK_MONOTONIC) - start) * 1e6 / kPolls;
  printf(
      "pad read before every frame (%s, %s, a virtual pad whose\n"
      "shoulder button changes every frame), medians of %d rounds:\n"
      "  without %6.1f fps  with %6.1f fps  ratio %5.3fx (spread %.1f%%)\n"
      "  main thread CPU ms per frame: without %.2f, with %.2f\n"
      "  one PollGamepad with a changed button: %.2f us\n",
      kSettings[0].name, windowRun->variants[0].name, rounds, Median(without), Median(with),
      Median(ratio), Spread(ratio), Median(mainWithout), Median(mainWith), pollUs);
  fflush(stdout);
}

static void RunBench(void) {
  const int rounds = smoke ? 1 : optionRounds;
  const double seconds = smoke ? 0.2 : optionSeconds;
  const double loadBefore = LoadAverage();
  double ticksBefore, stolenBefore;
  CpuTicks(&ticksBefore, &stolenBefore);
  printf("play frame, %d x %d under Xvfb, %ld cores; load average %.2f at the start\n", g_Width,
         g_Height, sysconf(_SC_NPROCESSORS_ONLN), loadBefore);
  const Variant *variant = windowRun->variants;
  printf("%d rounds; in each, every setting %.1f s %s, then %.1f s %s\n", rounds, seconds,
         variant[0].name, seconds, variant[1].name);
  // Per setting and variant, one figure a round.
  std::vector<Figure> runs[kSettingCount][2];
  std::vector<double> ratios[kSettingCount];
  for (int r = 0; r < rounds; r++) {
    printf("round %d (load %.2f):\n", r + 1, LoadAverage());
    for (int i = 0; i < kSettingCount; i++) {
      if (optionOnly >= 0 && i != optionOnly) continue;
      for (int v = 0; v < 2; v++) {
        const BOOL skip = optionPath >= 0 && v != optionPath;
        runs[i][v].push_back(skip ? Figure{0, 0, 0} : Measure(kSettings[i], variant[v], seconds));
      }
      const Figure &first = runs[i][0].back(), &second = runs[i][1].back();
      ratios[i].push_back(second.fps > 0 ? first.fps / second.fps : 0);
      printf("  %-38s %-5s %6.1f fps  %-5s %6.1f fps\n", kSettings[i].name, variant[0].name,
             first.fps, variant[1].name, second.fps);
      fflush(stdout);
    }
  }
  printf(
      "medians of %d rounds: fps from each run's median frame time, with the spread\n"
      "(max - min) / median of the rounds; the ratio of the two in the same round;\n"
      "CPU ms per frame of the whole process and of its main thread:\n",
      rounds);
  const std::string heads[2] = {std::string(variant[0].name) + " fps (spr.)",
                                std::string(variant[1].name) + " fps (spr.)"};
  printf("  %-38s %17s %17s %6s %14s %12s\n", "", heads[0].c_str(), heads[1].c_str(), "ratio",
         "cpu ms 1 / 2", "main 1 / 2");
  // The frame as the CPU time sees it: the main thread prepares the frame
  // while the rasteriser waits, then the rasteriser's threads draw it on all
  // cores while the main thread waits. Time the host or other programs take
  // from the process does not count, so this estimate of the rate on an
  // undisturbed machine holds steadier from run to run than the clock's.
  const double cores = static_cast<double>(std::max(1L, sysconf(_SC_NPROCESSORS_ONLN)));
  std::vector<double> cpuFps[kSettingCount][2];
  for (int i = 0; i < kSettingCount; i++) {
    if (optionOnly >= 0 && i != optionOnly) continue;
    std::vector<double> fps[2], cpu[2], main[2];
    for (int v = 0; v < 2; v++)
      for (const Figure &f : runs[i][v]) {
        fps[v].push_back(f.fps);
        cpu[v].push_back(f.cpuMs);
        main[v].push_back(f.mainMs);
        const double frameMs = f.mainMs + (f.cpuMs - f.mainMs) / cores;
        cpuFps[i][v].push_back(frameMs > 0 ? 1000.0 / frameMs : 0.0);
      }
    printf("  %-38s %8.1f (%4.1f%%) %8.1f (%4.1f%%) %5.2fx %6.1f / %5.1f %5.1f / %4.1f\n",
           kSettings[i].name, Median(fps[0]), Spread(fps[0]), Median(fps[1]), Spread(fps[1]),
           Median(ratios[i]), Median(cpu[0]), Median(cpu[1]), Median(main[0]), Median(main[1]));
  }
  printf(
      "fps from CPU time, 1000 / (main ms + (process ms - main ms) / %.0f cores), medians\n"
      "of the rounds with their spread, and their ratio:\n",
      cores);
  for (int i = 0; i < kSettingCount; i++) {
    if (optionOnly >= 0 && i != optionOnly) continue;
    const double first = Median(cpuFps[i][0]), second = Median(cpuFps[i][1]);
    printf("  %-38s %8.1f (%4.1f%%) %8.1f (%4.1f%%) %5.2fx\n", kSettings[i].name, first,
           Spread(cpuFps[i][0]), second, Spread(cpuFps[i][1]), second > 0 ? first / second : 0.0);
  }
  ReportEmptyFrames(rounds, seconds);
  if (windowRun == &kWindows[0]) MeasurePad(rounds, seconds);
  double ticksAfter, stolenAfter;
  CpuTicks(&ticksAfter, &stolenAfter);
  const double ticks = ticksAfter - ticksBefore;
  printf("CPU time stolen by the host during the run: %.1f%%\n",
         ticks > 0 ? (stolenAfter - stolenBefore) * 100.0 / ticks : 0.0);
  printf("load average %.2f at the start, %.2f at the end\n", loadBefore, LoadAverage());
  fflush(stdout);
  // Straight out of the window's process: the parent still needs the
  // server, and nothing may run GLUT's teardown here.
  _exit(0);
}

// One window's run in a process of its own, so that each window is the
// first and only one GLUT opens there. Returns whether it ran to its end.
static bool RunWindow(const WindowRun &run, const std::string &level, char **argv) {
  fflush(stdout);
  const pid_t child = fork();
  if (child == 0) {
    windowRun = &run;
    g_Width = run.width;
    g_Height = run.height;
    int glutArgc = 1;
    glutInit(&glutArgc, argv);
    if (!OpenSceneWindow("scene_frame_bench", level.c_str())) {
      fprintf(stderr, "scene_frame_bench: could not load %s\n", level.c_str());
      _exit(1);
    }
    PAUSED = 0;
    glutDisplayFunc(RunBench);
    glutMainLoop();
    _exit(1);
  }
  int status = 0;
  return child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status) &&
         WEXITSTATUS(status) == 0;
}

// --path's word as the variant's number (either window's names), -1 for none.
static int PathNumber(const char *word) {
  for (const WindowRun &run : kWindows)
    for (int v = 0; v < 2; v++)
      if (strcmp(word, run.variants[v].name) == 0) return v;
  return -1;
}

static bool TakeSize(const char *word) {
  int width = 0, height = 0;
  if (sscanf(word, "%dx%d", &width, &height) != 2 || width <= 0 || height <= 0 || width > 8192 ||
      height > 8192)
    return false;
  optionWindow.width = width;
  optionWindow.height = height;
  return true;
}

int main(int argc, char **argv) {
  for (int i = 1; i < argc; i++) {
    if (strcmp(argv[i], "--smoke") == 0)
      smoke = true;
    else if (strcmp(argv[i], "--rounds") == 0 && i + 1 < argc)
      optionRounds = std::max(1, atoi(argv[++i]));
    else if (strcmp(argv[i], "--seconds") == 0 && i + 1 < argc)
      optionSeconds = std::max(0.1, atof(argv[++i]));
    else if (strcmp(argv[i], "--only") == 0 && i + 1 < argc)
      optionOnly = std::clamp(atoi(argv[++i]), 1, kSettingCount) - 1;
    else if (strcmp(argv[i], "--path") == 0 && i + 1 < argc && PathNumber(argv[i + 1]) >= 0)
      optionPath = PathNumber(argv[++i]);
    else if (strcmp(argv[i], "--size") == 0 && i + 1 < argc && TakeSize(argv[i + 1]))
      i++;
    else if (strcmp(argv[i], "--scene-choices") == 0)
      sceneChoices = true;
    else {
      fprintf(stderr,
              "usage: scene_frame_bench [--smoke] [--rounds N] [--seconds S] [--only N]\n"
              "                         [--path lists|plain|full|auto] [--size WxH "
              "[--scene-choices]]\n");
      return 2;
    }
  }
  char tmpl[] = "/tmp/sq-scene-bench-XXXXXX";
  if (!mkdtemp(tmpl)) {
    perror("mkdtemp");
    return 1;
  }
  tmpDir = tmpl;
  const std::string level = WriteLevel();
  const std::string display = StartXvfb();
  if (display.empty()) {
    fprintf(stderr, "scene_frame_bench: Xvfb did not start\n");
    StopXvfb();
    return 1;
  }
  setenv("DISPLAY", display.c_str(), 1);
  unsetenv("XAUTHORITY");
  if (chdir(SQ_DATA_DIR) != 0) {
    perror(SQ_DATA_DIR);
    StopXvfb();
    return 1;
  }
  bool ran = true;
  for (int w = 0; w < kWindowCount; w++)
    if (optionWindow.width == 0) ran = RunWindow(kWindows[w], level, argv) && ran;
  if (sceneChoices)
    for (int v = 0; v < 2; v++) optionWindow.variants[v] = kWindows[1].variants[v];
  if (optionWindow.width > 0) ran = RunWindow(optionWindow, level, argv);
  StopXvfb();
  return ran ? 0 : 1;
}
