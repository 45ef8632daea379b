// The benchmarks' level: an open arena whose row 14 is clear from the mouse
// start (2, 14) to the far wall, obstacles standing off it, so the mouse
// runs to and fro without deaths.
#pragma once
#include <fstream>
#include <string>

inline void WriteArenaLevel(const std::string &path) {
  std::ofstream f(path);
  for (int x = 0; x < 30; x++) {
    for (int y = 0; y < 30; y++) {
      char c = (x == 0 || y == 0 || x == 29 || y == 29) ? '1' : '0';
      if ((x % 6 == 3 && y % 5 == 2 && y > 3) || (x == 20 && y > 20 && y < 26)) c = '2';
      if (x == 2 && y == 14) c = '3';
      f << c;
    }
    f << "\n";
  }
  f << "endLevel\n";
}
