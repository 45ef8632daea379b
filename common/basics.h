// The few names both programs and every module share: the truth type of the
// game's C-style interfaces and the size of a level grid.
#pragma once
#include <cstdio>
#include <cstdlib>

// Truth values as int, as the globals and prototypes store them.
typedef int BOOL;
#ifndef TRUE
#define TRUE 1
#define FALSE 0
#endif

// A level is kGridSize x kGridSize cells, in the level-set file and in memory.
constexpr int kGridSize = 30;

// Degrees to radians: every heading, in both programs, is multiplied by this
// before sin and cos. It holds pi/180, not 2 pi, whatever the name says.
constexpr double TWOPI = 0.017453293;

// The keys that take back the last character of a typed name: Backspace
// and Delete, as GLUT reports them.
constexpr unsigned char kKeyBackspace = 8;
constexpr unsigned char kKeyDelete = 127;
inline bool IsEraseKey(unsigned char key) { return key == kKeyBackspace || key == kKeyDelete; }

// A case the code never produces, such as a switch row past the last one:
// names it on standard error and ends the program, in every build (assert
// is compiled out of the release build).
[[noreturn]] inline void Impossible(const char *what) {
  fprintf(stderr, "impossible: %s\n", what);
  abort();
}
