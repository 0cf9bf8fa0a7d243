// Which delay side the panel edits, at a glance: corner marks in the side's
// colour around each group of side-dependent controls (left blue, right
// orange; with LINK on the left corners blue and the right ones orange) and
// around the selected side's button (both buttons with LINK on). The marks
// lie just outside the controls, below them in the frame's order, and take
// no mouse.
#pragma once

#include "editor/TooltipText.h"
#include "toolkit/CGraphics.h"

namespace toolkit {
class CFrame;
}

namespace editor {

class SideMark;

class SideMarks {
 public:
  static constexpr toolkit::CColor kLeftColour{74, 168, 255, 255};
  static constexpr toolkit::CColor kRightColour{255, 127, 69, 255};

  // Adds the marks to the frame: call before the controls are added.
  void open(toolkit::CFrame* frame);
  void close() { mark_ = nullptr; }
  // Shows the sides being edited; redraws only what changes.
  void show(SideChoice sides);

 private:
  SideMark* mark_ = nullptr;  // held by the frame
  SideChoice shown_;
  bool fresh_ = true;  // nothing shown since the marks were made
};

}  // namespace editor
