// The simulation state and step.
// TEMPORARY: the state is complete, but AnimateScene only keeps the clock and
// the interlude timer; the simulation work replaces the step.
#include <GL/glut.h>

#include "common/drawing.h"
#include "game/squeakling.h"

double mousex = 0, mousey = 0;
int mouseorient = 0;
float mouseSize = 1.0f;
double mousespeed = 10.0;
double mousespeedinit = 10.0;
double viewOrient = 0;
double catX = 0, catY = 0;
int catOrient = 0;
float catSize = 2.2f;
double catSpeed = 15.0, catSpeedInit = 15.0;
int cheeseEaten = 0;
int score = 0;
int cheeseScore = 1000;
int livesLeft = 3;
BOOL collisionDetection = 1;
double invinceInterval = 0;
GLfloat *mouseColor = nullptr;
BOOL bonusOn = 0;
int bonusX = 0, bonusY = 0;
double bonusInterval = 0;
double bonusDur = 0;
double bonusSlope = -10.0;
double cheeseRotation = 0;
double purTime = 0;
BOOL change_level = 0;
const double TWOPI = 0.017453293;
const double ROOT2 = 1.414213562;

void StepSimulation(struct timeval now) {
  last_idle_time = now;
  time_since_death = static_cast<float>(now.tv_sec - time_of_death.tv_sec);
}

void AnimateScene(void) {
  struct timeval now;
  gettimeofday(&now, nullptr);
  StepSimulation(now);
  RequestRedisplay();
}
