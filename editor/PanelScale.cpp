#include "editor/PanelScale.h"

#include <cmath>
#include <cstdlib>

namespace editor {

double nearestPanelScale(double factor) {
  if (!std::isfinite(factor)) return 1.0;
  double best = kPanelScales[0];
  for (double s : kPanelScales)
    if (std::fabs(s - factor) < std::fabs(best - factor)) best = s;
  return best;
}

namespace {

// A positive number from a text, else 0.
double numberIn(const std::string& text) {
  if (text.empty()) return 0.0;
  char* end = nullptr;
  const double v = std::strtod(text.c_str(), &end);
  return end != text.c_str() && std::isfinite(v) && v > 0.0 ? v : 0.0;
}

}  // namespace

double choosePanelScale(const ScaleHints& hints) {
  // The user's choice only counts as one of the three it can be.
  const double stored = numberIn(hints.stored);
  for (double s : kPanelScales)
    if (stored == s) return s;
  if (hints.hostFactor > 0.0 && std::isfinite(hints.hostFactor)) return nearestPanelScale(hints.hostFactor);
  if (const double gdk = numberIn(hints.gdkScale); gdk > 0.0) return nearestPanelScale(gdk);
  // 96 dots per inch is 1x.
  if (hints.serverDpi > 0.0) return nearestPanelScale(hints.serverDpi / 96.0);
  return 1.0;
}

std::string panelScaleText(double scale) {
  if (scale == 1.5) return "1.5";
  if (scale == 2.0) return "2";
  return "1";
}

}  // namespace editor
