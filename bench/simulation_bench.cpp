// Cost of one simulation step on a full level, without a window: a running
// step (mouse and cat moving, probes examined) and a step in which the mouse
// eats a cheese and the next one is placed. Prints nanoseconds per step.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "common/gaudio.h"
#include "game/squeakling.h"
#include "tests/common/gaudio_testing.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr double kFrame = 1.0 / 60.0;  // seconds between steps
constexpr int kStepsPerRun = 30;       // half a second of play, then back to the start

// A walled level with obstacle rows and columns, leaving the middle row and
// the cat's column open.
void BuildLevel(void) {
  ClearLevels();
  auto &grid = levels[0];
  for (int k = 0; k < kGridSize; k++)
    grid[0][k] = grid[kGridSize - 1][k] = grid[k][0] = grid[k][kGridSize - 1] = CELL_WALL;
  for (int x = 3; x < kGridSize - 3; x += 4)
    for (int y = 3; y < kGridSize - 3; y += 3)
      if (y != 15 && x != 21) grid[x][y] = CELL_OBSTACLE;
  grid[25][25] = CELL_CHEESE;
  cheeseX = cheeseY = 25;
  numLevels = 1;
  levelNum = 0;
}

void PutActors(void) {
  mousex = 5.0, mousey = 15.0, mouseorient = 0;
  catX = 21.0, catY = 20.0, catOrient = 90;
  viewOrient = 30;  // the camera is still turning
  // Cheese and fruit taken on the way speed the animals up; start each run afresh.
  mousespeed = catSpeed = 10.0;
  collisionDetection = 1;
  livesLeft = 3;
  animate = 1;
}

struct timeval Advance(struct timeval t, double dt) {
  long usec = t.tv_usec + static_cast<long>(dt * 1e6);
  t.tv_sec += usec / 1000000;
  t.tv_usec = usec % 1000000;
  return t;
}

// Nanoseconds per running step over the given number of runs.
double TimeRunningSteps(int runs) {
  struct timeval now = {1000, 0};
  Clock::duration spent{};
  for (int r = 0; r < runs; r++) {
    PutActors();
    last_idle_time = now;
    auto start = Clock::now();
    for (int s = 0; s < kStepsPerRun; s++) {
      now = Advance(now, kFrame);
      StepSimulation(now);
    }
    spent += Clock::now() - start;
    if (livesLeft != 3) {
      fprintf(stderr, "the mouse died during the benchmark run\n");
      exit(1);
    }
  }
  return std::chrono::duration<double, std::nano>(spent).count() / (double(runs) * kStepsPerRun);
}

// Nanoseconds per step that eats a cheese, with the random placement of the next.
double TimeCheeseSteps(int runs) {
  struct timeval now = {1000, 0};
  Clock::duration spent{};
  initNumCheese = 1 << 30;  // never finish the level
  for (int r = 0; r < runs; r++) {
    PutActors();
    levels[0][cheeseX][cheeseY] = CELL_EMPTY;
    levels[0][6][15] = CELL_CHEESE;
    cheeseX = 6, cheeseY = 15;
    last_idle_time = now;
    now = Advance(now, 0.001);
    auto start = Clock::now();
    StepSimulation(now);
    spent += Clock::now() - start;
  }
  return std::chrono::duration<double, std::nano>(spent).count() / runs;
}

}  // namespace

int main(int argc, char **argv) {
  bool smoke = argc > 1 && strcmp(argv[1], "--smoke") == 0;
  int runs = smoke ? 2000 : 200000;
  srand(1);
  // Without a sound device, as the game runs when /dev/dsp cannot be opened
  // and ALSA has no output either, whatever this machine has.
  {
    NoAlsaOutput noAlsa;
    if (startAudio(&soundFX, "/nonexistent/dsp") >= 0) {
      fprintf(stderr, "simulation_bench: the mixer started without a device\n");
      return 1;
    }
  }
  InitSettings();
  SOUND_ON = 0;
  CAT_EXISTS = 1;
  speedScale = catSpeedScale = bonusFreq = 1.0;
  BuildLevel();
  InstallScreen(&playScreen);

  double running = TimeRunningSteps(runs);
  double eating = TimeCheeseSteps(runs / 10);
  printf("running step on a full level: %.1f ns per step (%d steps)\n", running,
         runs * kStepsPerRun);
  printf("step eating a cheese and placing the next: %.1f ns per step (%d steps)\n", eating,
         runs / 10);
  return 0;
}
