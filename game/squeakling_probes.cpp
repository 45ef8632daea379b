// Probe geometry of the simulation: where an animal's three probe points
// fall, which cell a coordinate belongs to, and the cat's catch test.
// Pure functions of their arguments and the animals' positions; no GL.
#include <cmath>

#include "game/squeakling.h"

// Half-angles and reach factors of the side probes: the mouse's reach
// 0.7071 cells at its standard size, the cat's 1.8964.
constexpr double kMouseProbeAngle = 44.9;
constexpr double kCatProbeAngle = 16.8;
constexpr double kCatProbeScale = 1.724;

// Coordinates this far out are nowhere near the grid; clamping them keeps the
// conversion to int defined after a huge time step or a runaway position.
constexpr int kFarAway = 1000000;

int gridValue(double coord) {
  if (!(coord > -kFarAway && coord < kFarAway)) return coord > 0 ? kFarAway : -kFarAway;
  // fmod keeps the sign of coord, so negative coordinates always go down.
  double r = fmod(coord, 1.0);
  return static_cast<int>(r >= 0.5 ? ceil(coord) : floor(coord));
}

void CheckGridAtGeneral(int pt[2], int i, double animalX, double animalY, int animalOrient,
                        float animalSize, double angle, double gridScaleFactor) {
  double h = animalSize / 2.0;
  double x, y;
  switch (i) {
    case 0:
      x = animalX + cos((animalOrient - angle) * TWOPI) * h * gridScaleFactor;
      y = animalY - sin((animalOrient - angle) * TWOPI) * h * gridScaleFactor;
      break;
    case 1:
      // The middle probe adds in y and has no reach factor: for headings
      // other than 0 and 180 it looks behind the animal, not ahead. Meant.
      x = animalX + cos(animalOrient * TWOPI) * h;
      y = animalY + sin(animalOrient * TWOPI) * h;
      break;
    case 2:
      x = animalX + cos((animalOrient + angle) * TWOPI) * h * gridScaleFactor;
      y = animalY - sin((animalOrient + angle) * TWOPI) * h * gridScaleFactor;
      break;
    default: return;
  }
  pt[0] = gridValue(x);
  pt[1] = gridValue(y);
}

void CheckGridAt(int pt[2], int i, double animalX, double animalY, int animalOrient,
                 float animalSize) {
  CheckGridAtGeneral(pt, i, animalX, animalY, animalOrient, animalSize, kMouseProbeAngle, ROOT2);
}

void CheckCatGridAt(int pt[2], int i, double animalX, double animalY, int animalOrient,
                    float animalSize) {
  CheckGridAtGeneral(pt, i, animalX, animalY, animalOrient, animalSize, kCatProbeAngle,
                     kCatProbeScale);
}

// A square test, not a circle: both offsets must be below the reach.
BOOL EatMouse(void) {
  float reach = mouseSize / 2 + catSize / 3;
  return fabs(mousex - catX) < reach && fabs(mousey - catY) < reach;
}
