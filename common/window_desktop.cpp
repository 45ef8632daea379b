// The size the window opens at: 1200 x 600 times the desktop's scale, as
// the X resource Xft.dpi gives it, within the screen. Xlib's headers stay
// inside this file; the display is opened only for the question and closed.
#include <X11/Xlib.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "common/overlay.h"
#include "common/window.h"

// The dpi at which the desktop asks for no scaling, and the range of Xft.dpi
// values taken seriously.
constexpr double kUnscaledDpi = 96.0;
constexpr double kLowestDpi = 24.0, kHighestDpi = 960.0;

// Resource lines read "name:<white space>value"; only Xft.dpi itself counts.
double DesktopScaleFromResources(const char *resources) {
  if (resources == nullptr) return 1.0;
  static const char kName[] = "Xft.dpi:";
  for (const char *line = resources; *line != '\0';) {
    const char *end = strchr(line, '\n');
    if (strncmp(line, kName, strlen(kName)) == 0) {
      char *after = nullptr;
      const double dpi = strtod(line + strlen(kName), &after);
      const BOOL number = after != line + strlen(kName) &&
                          (*after == '\0' || isspace(static_cast<unsigned char>(*after)));
      if (number && dpi >= kLowestDpi && dpi <= kHighestDpi) return dpi / kUnscaledDpi;
      return 1.0;
    }
    if (end == nullptr) break;
    line = end + 1;
  }
  return 1.0;
}

void WindowSizeFor(double scale, int screenWidth, int screenHeight, int *width, int *height) {
  double s = scale > 0.0 ? scale : 1.0;
  if (screenWidth > 0 && screenHeight > 0)
    s = std::min({s, static_cast<double>(screenWidth) / kPictureWidth,
                  static_cast<double>(screenHeight) / kPictureHeight});
  *height = std::max(1, static_cast<int>(floor(kPictureHeight * s + 1e-9)));
  *width = 2 * *height;
}

void DesktopWindowSize(const char *display, int *width, int *height) {
  Display *connection = XOpenDisplay(display);
  if (connection == nullptr) {
    WindowSizeFor(1.0, 0, 0, width, height);
    return;
  }
  const int screen = DefaultScreen(connection);
  WindowSizeFor(DesktopScaleFromResources(XResourceManagerString(connection)),
                DisplayWidth(connection, screen), DisplayHeight(connection, screen), width, height);
  XCloseDisplay(connection);
}
