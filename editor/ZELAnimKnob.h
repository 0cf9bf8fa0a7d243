// The panel's filmstrip knob: 101 pictures of a knob, the frame chosen by
// truncating (frames - 1) * value, drawn into a drawing rectangle that may be
// smaller than the view (the pictures carry a margin). Dragging, Shift for
// fine dragging (five times slower), the wheel and the reset gesture are the
// toolkit knob's; Shift with the wheel steps ten times finer.
#pragma once

#include "toolkit/CAnimKnob.h"

class ZELAnimKnob : public toolkit::CAnimKnob {
 public:
  ZELAnimKnob(const toolkit::CRect& size, toolkit::CControlListener* listener, int32_t tag, int32_t subPixmaps,
              double heightOfOneImage, toolkit::CBitmap* background, const toolkit::CPoint& offset,
              const toolkit::CRect& drawRect);

  void draw(toolkit::CDrawContext* context) override;
  bool onWheel(const toolkit::CPoint& where, float distance, const toolkit::CButtonState& buttons) override;
  // A plain double-click asks the listener for a typed value (its first
  // click only began and ended a drag that moved nothing); every other press
  // is the toolkit knob's.
  toolkit::CMouseEventResult onMouseDown(const toolkit::CPoint& where, const toolkit::CButtonState& buttons) override;

  // The picture shown for the current value.
  int frameIndex() const;
  const toolkit::CRect& getDrawRect() const { return drawRect_; }

  TOOLKIT_CLASS_METHODS(ZELAnimKnob, toolkit::CAnimKnob)

 private:
  toolkit::CRect drawRect_;
};
