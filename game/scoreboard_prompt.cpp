// The control panel's load prompt: its line, the name being typed and the
// keys that type and submit it. This file is the only writer of that state;
// the panel's frame reads it.
#include <cctype>
#include <cstdio>

#include "game/scoreboard.h"
#include "game/scores.h"
#include "game/squeakling.h"

char text[kTextSize];
char fileText[kTextSize];
int fileTextIndex = 0;
BOOL displayText = 0;

static void SetPanelText(const char *line) { snprintf(text, sizeof text, "%s", line); }

void ResetPanelText(void) { SetPanelText(kLoadPrompt); }

// The name starts again from its first character, so a name left half-typed
// on an earlier prompt cannot hide behind the emptied text.
void StartLoadPrompt(void) {
  displayText = 1;
  InstallKeyboard(KeyboardLoad);
  SetPanelText(kLoadPrompt);
  fileText[0] = '\0';
  fileTextIndex = 0;
}

void HideLoadPrompt(void) { displayText = 0; }

// Backspace and Delete take back the last character; after a submit, when
// the shown name is the one tried, they clear it, so the line always shows
// the name the next submit will try. Other keys are appended up to the
// buffer's 99 characters; further keys are dropped.
static void TypeKey(unsigned char key) {
  if (IsEraseKey(key)) {
    if (fileTextIndex > 0) fileTextIndex--;
    fileText[fileTextIndex] = '\0';
  } else if (fileTextIndex < kTextSize - 1) {
    fileText[fileTextIndex++] = static_cast<char>(key);
    fileText[fileTextIndex] = '\0';
  }
  SetPanelText(kLoadPrompt);
  RequestRedisplay();
}

static void SubmitName(void) {
  fileTextIndex = 0;
  std::string reason, bytes;
  if (LoadPlayableLevelSet(fileText, &reason, &bytes)) {
    NoteLevelSet(fileText, bytes);
    SetPanelText("Loaded Levelset: ");
    DoRestart(FALSE);
  } else {
    SetPanelText("Unable to load levelset: ");
  }
}

void KeyboardLoad(unsigned char key, int, int) {
  if (isspace(key))
    SubmitName();
  else
    TypeKey(key);
}
