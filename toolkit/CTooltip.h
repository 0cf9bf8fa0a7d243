// A tooltip: one line of text in a small dark box, shown next to the
// control the pointer rests on. It lies above every other view of its frame
// and never takes the mouse. The box goes below the control, or above it
// where the frame has no room below, so the control stays in sight; it is
// kept inside the frame sideways.
#pragma once

#include <cstdint>
#include <string>

#include "toolkit/CView.h"

namespace toolkit {

class CTooltip : public CView {
 public:
  CTooltip();

  // Shows `text` beside `control` (frame units). Nothing is redrawn when the
  // text and the control are those already shown.
  void show(const std::string& text, const CRect& control);
  void hide();
  bool isShown() const { return isVisible(); }
  const std::string& getText() const { return text_; }

  void draw(CDrawContext* context) override;

  TOOLKIT_CLASS_METHODS(CTooltip, CView)

 private:
  CRect placeFor(double width, const CRect& control) const;

  std::string text_;
  CRect control_;
};

// When a tooltip is due: once the pointer has rested on the same target for
// the delay, counted on the caller's millisecond clock. A press puts it off
// until the pointer moves on to another target.
class HoverDelay {
 public:
  explicit HoverDelay(uint32_t delayMs) : delay_(delayMs) {}

  // The target under the pointer at `now` (null for none); true while a
  // tooltip for it is due.
  bool rest(const void* target, uint32_t now);
  void press() { pressed_ = true; }

 private:
  uint32_t delay_;
  const void* target_ = nullptr;
  uint32_t since_ = 0;
  bool pressed_ = false;
};

}  // namespace toolkit
