// The programs' window: the command line both share (their own options
// beside GLUT's), the size the window opens at on the desktop's scale, and
// full screen. The overlay (common/overlay.h) fits the picture into
// whatever size the window then has.
//
// Failure policy: nothing here ends the program; an unknown option is
// answered by the usage text and exit status 2 from the program's main, and
// a desktop that cannot be asked gives scale 1.
#pragma once
#include <cstdio>
#include <string>

#include "common/basics.h"

// ---- Command line (no GLUT, no display) ----
enum CommandAction {
  COMMAND_RUN,      // open the window and run
  COMMAND_HELP,     // --help: usage on standard output, status 0
  COMMAND_VERSION,  // --version: the package version, status 0
  COMMAND_UNKNOWN,  // an option not understood: usage on standard error, status 2
};

// --scene-scale: how many pixels the 3D scene is drawn at. Automatic: on a
// software renderer a picture larger than 1200 x 600 gets its scene drawn
// smaller and scaled up; full: always at the picture's size; reduced: the
// smaller scene on any renderer.
enum SceneScaleOption { SCENE_SCALE_AUTO, SCENE_SCALE_FULL, SCENE_SCALE_REDUCED };

struct CommandLine {
  CommandAction action;
  BOOL fullScreen;         // --fullscreen: open in full screen
  int positionals;         // arguments that are not options
  const char *positional;  // the only one of them, nullptr for none or more than one
  const char *display;     // GLUT's -display argument, nullptr without one
  BOOL geometrySize;       // GLUT's -geometry names a size, which then stands
  std::string problem;     // for COMMAND_UNKNOWN: what was wrong
  SceneScaleOption sceneScale = SCENE_SCALE_AUTO;
  BOOL sceneScaleGiven = FALSE;  // --scene-scale appeared, which only the game takes
};

// Reads the program's arguments (argv[1] on) without changing them, so that
// GLUT still sees its own. Options come anywhere; "--" ends them. GLUT's
// options are known and skipped with their arguments: -display NAME,
// -geometry WxH+X+Y, -direct, -indirect, -iconic, -gldebug, -sync. The
// first --help, --version or unknown option decides the action.
CommandLine ParseCommandLine(int argc, char **argv);

// One program's words for its usage text.
struct ProgramUsage {
  const char *name;         // "squeakling"
  const char *operand;      // "LEVEL-SET"
  const char *purpose;      // one line on what the program does
  const char *operandHelp;  // one line on the operand
  BOOL sceneScale = FALSE;  // the program draws a 3D scene and takes --scene-scale
};
// The usage text: synopsis, options, keys of the window, GLUT's options.
void PrintUsage(FILE *out, const ProgramUsage &usage);
// Answers --help, --version and an unknown option as the action says (and
// --scene-scale given to a program without it as an unknown option);
// returns TRUE with the exit status in *status when the program ends there.
BOOL AnswerCommandLine(const CommandLine &command, const ProgramUsage &usage, int *status);
// The package version, from the build's project version.
const char *PackageVersion(void);

// ---- Desktop scale and the first window size (no GLUT) ----
// The scale an X resource string (as in the RESOURCE_MANAGER property)
// asks for: Xft.dpi / 96, or 1 when Xft.dpi is missing, not a number, or
// outside 24 ... 960 dpi.
double DesktopScaleFromResources(const char *resources);
// 1200 x 600 times the scale (a scale <= 0 counts as 1), made smaller to fit
// a screen of that size when it is known (> 0); always 2:1.
void WindowSizeFor(double scale, int screenWidth, int screenHeight, int *width, int *height);
// Asks the X display (nullptr: $DISPLAY) for its Xft.dpi and screen size and
// gives the size the window opens at; 1200 x 600 when it cannot be asked.
void DesktopWindowSize(const char *display, int *width, int *height);

// ---- The GLUT window ----
// Between glutInit and glutCreateWindow: the window's first size, from the
// desktop's scale unless -geometry named one.
void InitWindowSize(const CommandLine &command);
// After glutCreateWindow: full screen when --fullscreen asked for it.
void StartWindow(const CommandLine &command);
// F11 enters full screen and leaves it again, giving back the window's
// earlier size. Returns whether the special key was F11.
BOOL WindowSpecialKey(int key);
void ToggleFullScreen(void);
extern BOOL windowFullScreen;
