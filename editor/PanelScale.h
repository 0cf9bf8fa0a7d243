// The display scale of the panel: 1, 1.5 or 2 times its 942 x 171 pixels,
// so that it stays readable on high-resolution screens.
#pragma once

#include <string>

namespace editor {

constexpr double kPanelScales[] = {1.0, 1.5, 2.0};

// The supported scale nearest to `factor` (1 for anything not a number).
double nearestPanelScale(double factor);

// What may say which scale to use, strongest first.
struct ScaleHints {
  std::string stored;       // the user's own choice, "1", "1.5" or "2" (empty: none)
  double hostFactor = 0.0;  // a content scale the host handed over (0: none)
  std::string gdkScale;     // the desktop's GDK_SCALE (empty: unset)
  double serverDpi = 0.0;   // the X server's Xft.dpi (0: unknown)
};

// The first hint that says something wins; with none the panel is 1x.
double choosePanelScale(const ScaleHints& hints);

// The text stored for a scale: "1", "1.5" or "2".
std::string panelScaleText(double scale);

}  // namespace editor
