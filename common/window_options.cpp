// The command line both programs share: their own options, GLUT's options
// skipped with their arguments, and the texts of --help and --version.
// Makes no GLUT call, so --help and --version need no display.
#include <cctype>
#include <cstring>

#include "common/window.h"

#ifndef SQ_VERSION
#define SQ_VERSION "unknown"
#endif

const char *PackageVersion(void) { return SQ_VERSION; }

// GLUT's own options and whether each takes an argument.
struct GlutOption {
  const char *name;
  BOOL takesArgument;
};
static constexpr GlutOption kGlutOptions[] = {
    {"-display", TRUE}, {"-geometry", TRUE}, {"-direct", FALSE}, {"-indirect", FALSE},
    {"-iconic", FALSE}, {"-gldebug", FALSE}, {"-sync", FALSE},
};

static const GlutOption *FindGlutOption(const char *arg) {
  for (const GlutOption &option : kGlutOptions)
    if (strcmp(arg, option.name) == 0) return &option;
  return nullptr;
}

// An X geometry ([=][W{xX}H][{+-}X{+-}Y]) names a size when a width starts it.
static BOOL GeometryHasSize(const char *geometry) {
  if (*geometry == '=') geometry++;
  return isdigit(static_cast<unsigned char>(*geometry)) != 0;
}

static CommandLine Unknown(CommandLine command, const std::string &problem) {
  command.action = COMMAND_UNKNOWN;
  command.problem = problem;
  return command;
}

// "--scene-scale=VALUE"; FALSE for a value that is not one of the three.
static BOOL TakeSceneScale(CommandLine *command, const char *value) {
  static constexpr struct {
    const char *name;
    SceneScaleOption option;
  } kValues[] = {
      {"auto", SCENE_SCALE_AUTO}, {"full", SCENE_SCALE_FULL}, {"reduced", SCENE_SCALE_REDUCED}};
  for (const auto &v : kValues)
    if (strcmp(value, v.name) == 0) {
      command->sceneScale = v.option;
      command->sceneScaleGiven = TRUE;
      return TRUE;
    }
  return FALSE;
}

static constexpr char kSceneScaleOption[] = "--scene-scale=";

static void TakeGlutArgument(CommandLine *command, const char *option, const char *value) {
  if (strcmp(option, "-display") == 0) command->display = value;
  if (strcmp(option, "-geometry") == 0) command->geometrySize = GeometryHasSize(value);
}

CommandLine ParseCommandLine(int argc, char **argv) {
  CommandLine command = {COMMAND_RUN, FALSE, 0, nullptr, nullptr, FALSE, ""};
  const char *only = nullptr;
  BOOL optionsEnded = FALSE;
  for (int k = 1; k < argc; k++) {
    const char *arg = argv[k];
    const BOOL isOption = !optionsEnded && arg[0] == '-' && arg[1] != '\0';
    if (!isOption) {
      command.positionals++;
      only = arg;
      continue;
    }
    if (strcmp(arg, "--") == 0) {
      optionsEnded = TRUE;
    } else if (strcmp(arg, "--help") == 0) {
      command.action = COMMAND_HELP;
      return command;
    } else if (strcmp(arg, "--version") == 0) {
      command.action = COMMAND_VERSION;
      return command;
    } else if (strcmp(arg, "--fullscreen") == 0) {
      command.fullScreen = TRUE;
    } else if (strncmp(arg, kSceneScaleOption, sizeof kSceneScaleOption - 1) == 0) {
      if (!TakeSceneScale(&command, arg + sizeof kSceneScaleOption - 1))
        return Unknown(command, std::string("option ") + arg + " takes auto, full or reduced");
    } else if (const GlutOption *glut = FindGlutOption(arg)) {
      if (glut->takesArgument) {
        if (k + 1 >= argc) return Unknown(command, std::string("option ") + arg + " needs a value");
        TakeGlutArgument(&command, arg, argv[++k]);
      }
    } else {
      return Unknown(command, std::string("unknown option ") + arg);
    }
  }
  command.positional = command.positionals == 1 ? only : nullptr;
  return command;
}

void PrintUsage(FILE *out, const ProgramUsage &usage) {
  fprintf(out, "Usage: %s [--fullscreen]%s [%s]\n", usage.name,
          usage.sceneScale ? " [--scene-scale=auto|full|reduced]" : "", usage.operand);
  fprintf(out, "%s\n\n", usage.purpose);
  fprintf(out, "  %-14s%s\n", usage.operand, usage.operandHelp);
  fprintf(out, "  %-14s%s\n", "--fullscreen", "start in full screen (F11 enters and leaves it)");
  if (usage.sceneScale)
    fprintf(out,
            "  --scene-scale=auto|full|reduced\n"
            "  %-14s%s\n  %-14s%s\n",
            "", "pixels of the 3D scene: auto (the default) draws it at up to 1200 x 600", "",
            "and scales it up on a software renderer; full or reduced on any renderer");
  fprintf(out, "  %-14s%s\n", "--help", "show this help and exit");
  fprintf(out, "  %-14s%s\n", "--version", "show the version and exit");
  fprintf(out,
          "\nThe window opens at 1200 x 600 times the desktop's scale (Xft.dpi / 96) and may\n"
          "take any size; the picture keeps its 2:1 shape, centred between black bars.\n"
          "X options such as -display NAME and -geometry WxH+X+Y are passed on to GLUT.\n");
}

BOOL AnswerCommandLine(const CommandLine &given, const ProgramUsage &usage, int *status) {
  CommandLine command = given;
  if (command.action == COMMAND_RUN && command.sceneScaleGiven && !usage.sceneScale)
    command = Unknown(command, "unknown option --scene-scale (only squeakling takes it)");
  switch (command.action) {
    case COMMAND_RUN: return FALSE;
    case COMMAND_HELP:
      PrintUsage(stdout, usage);
      *status = 0;
      return TRUE;
    case COMMAND_VERSION:
      printf("%s %s\n", usage.name, PackageVersion());
      *status = 0;
      return TRUE;
    case COMMAND_UNKNOWN:
      fprintf(stderr, "%s: %s\n", usage.name, command.problem.c_str());
      PrintUsage(stderr, usage);
      *status = 2;
      return TRUE;
  }
  return FALSE;
}
