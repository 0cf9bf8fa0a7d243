#include "toolkit/ServerDpi.h"

#include <X11/Xlib.h>

#include <cstdlib>
#include <cstring>

namespace toolkit {

double dpiFromResources(const char* resources) {
  if (!resources) return 0.0;
  static constexpr char kKey[] = "Xft.dpi:";
  for (const char* line = resources; line && *line;) {
    if (std::strncmp(line, kKey, sizeof kKey - 1) == 0) {
      const double dpi = std::strtod(line + sizeof kKey - 1, nullptr);
      return dpi > 0.0 ? dpi : 0.0;
    }
    line = std::strchr(line, '\n');
    if (line) ++line;
  }
  return 0.0;
}

// A connection of its own, open only for the question: nothing here can
// raise an X error, and the host's connection is never touched.
double serverDpi() {
  Display* display = XOpenDisplay(nullptr);
  if (!display) return 0.0;
  const double dpi = dpiFromResources(XResourceManagerString(display));
  XCloseDisplay(display);
  return dpi;
}

}  // namespace toolkit
