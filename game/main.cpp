// The game's entry point: opens the window, loads everything in order and
// hands over to GLUT's main loop.
#include <GL/glut.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <string>

#include "common/assetpath.h"
#include "common/drawing.h"
#include "common/gaudio.h"
#include "common/window.h"
#include "game/gamepad.h"
#include "game/rendering.h"
#include "game/scores.h"
#include "game/settings.h"
#include "game/squeakling.h"

static void StartSound(void) {
  if (startAudio(&soundFX, "/dev/dsp") < 0) {
    printf("Cannot intialize audio\n");
    SOUND_ON = 0;
  } else {
    LoadSoundSamples();  // SOUND_ON stays as the settings file left it
  }
}

// Developers' diagnostics, described in the README: the plain drawing path
// and the frame-time log, for the reference pictures and the benchmarks.
static void ReadDiagnostics(void) {
  if (getenv("SQUEAKLING_PLAIN_SCENE")) g_bCompiledScene = 0;
  const char *frameLog = getenv("SQUEAKLING_FRAME_LOG");
  if (frameLog && *frameLog) OpenFrameLog(frameLog);
}

// A level set named on the command line must be playable: the game ends
// before its window opens rather than showing empty levels.
[[noreturn]] static void RefuseLevelSet(const char *verb, const char *fileName,
                                        const std::string &reason) {
  fprintf(stderr, "squeakling: cannot %s level set \"%s\": %s\n", verb, fileName, reason.c_str());
  exit(1);
}

static void ReadNamedLevelSet(const char *fileName, LevelSetFile *set, std::string *bytes) {
  std::string reason;
  if (!ReadLevelSet(fileName, set, &reason, bytes)) RefuseLevelSet("open", fileName, reason);
  if (set->count == 0) RefuseLevelSet("play", fileName, kNoCompleteLevel);
}

static const ProgramUsage kUsage = {
    "squeakling", "LEVEL-SET",
    "Squeakling: lead the mouse through the maze to the cheese, away from the cat.",
    "the level-set file to play (by default the installed defaultlevel.txt)", TRUE};

int main(int argc, char **argv) {
  // Read before glutInit, which takes its own options out of argv; --help
  // and --version answer without a display.
  const CommandLine command = ParseCommandLine(argc, argv);
  int status = 0;
  if (AnswerCommandLine(command, kUsage, &status)) return status;
  glutInit(&argc, argv);
  InitWindowSize(command);
  auto namedSet = std::make_unique<LevelSetFile>();
  std::string setBytes;  // the scores table's identity of the set
  if (command.positional) ReadNamedLevelSet(command.positional, namedSet.get(), &setBytes);
  // At least 24 depth bits, so the shadow planes 0.001 apart stay in order at
  // the cameras' distances, and 8 stencil bits for the mirror and shadows.
  glutInitDisplayString("rgba double depth>=24 stencil>=8");
  glutCreateWindow(kGameTitle);
  StartWindow(command);
  g_bWindowOpen = 1;
  InitGraphics();
  ChooseSceneScale(command.sceneScale);
  ReadDiagnostics();
  ReadImageFiles();

  InitSettings();
  glEnable(GL_TEXTURE_2D);  // texturing starts on, as InitSettings says
  ReadSettingsFile();
  srand(time(nullptr));
  // A level set named on the command line is opened as written, relative to
  // the folder the game was started from; only the default is an asset.
  // Two or more level sets load the default, like none.
  std::string levelSet = command.positional ? command.positional : FindAsset("defaultlevel.txt");
  if (command.positional)
    UseLevelSet(*namedSet);
  else
    LoadUserLevel(levelSet.c_str(), &setBytes);
  NoteLevelSet(levelSet.c_str(), setBytes);
  StartSound();
  StartGamepad();
  SettleSettings();
  atexit(FlushSettings);  // every way out ends in exit()
  ReadScoresFile();
  BeginGameRecord();  // the panel's Return to game plays without a restart

  InstallScreen(&startScreen);
  glutReshapeFunc(reshape);
  glutWindowStatusFunc(WindowStatus);
  BuildPopupMenu();
  glutAttachMenu(GLUT_RIGHT_BUTTON);
  gettimeofday(&last_idle_time, nullptr);

  ReadModels();
  BuildShadowMatrices();
  if (checkBackground(&soundFX) == 0) playBackground(&soundFX, "./sound/hamster.mp3");
  glutMainLoop();
  return 0;
}
