// The panel's tooltips: once the pointer has rested on a control for 0.6 s,
// counted at the host's idle calls on the editor's clock, a label names it
// and gives its value; it follows the value while it shows, and goes away on
// a press, when the pointer moves on or leaves the window, and while an
// overlay (help, a menu) is up. A press keeps it away until the pointer moves
// on to another control. The user's setting `Tooltips` = "0" turns them off.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "toolkit/CGraphics.h"
#include "toolkit/CTooltip.h"

namespace toolkit {
class CFrame;
}

namespace editor {

class PanelTooltips {
 public:
  static constexpr uint32_t kDelayMs = 600;
  static constexpr const char* kSettingName = "Tooltips";

  // Puts the label above every view of the frame (call after the last view
  // is added) and reads the user's setting.
  void open(toolkit::CFrame* frame);
  // Before the frame goes: forgets it and its label.
  void close();

  using TextOf = std::function<std::string(int tag)>;
  // One idle at `now`: shows, updates or hides the label for the control
  // under the pointer, whose text `textOf` gives by the control's tag.
  void idle(uint32_t now, const TextOf& textOf);

  bool enabled() const { return enabled_; }
  // The label while the window is open, else null.
  const toolkit::CTooltip* label() const { return label_; }

 private:
  void pointerNews(bool pressed);

  toolkit::CFrame* frame_ = nullptr;
  toolkit::CTooltip* label_ = nullptr;  // held by the frame
  toolkit::HoverDelay delay_{kDelayMs};
  bool enabled_ = true;
  // The window keeps the last place it saw the pointer: the place where it
  // left, which counts as outside until the pointer is seen elsewhere.
  bool outside_ = false;
  toolkit::CPoint leftAt_;
};

}  // namespace editor
