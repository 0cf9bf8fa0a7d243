// An area of the panel without a picture that turns drags and wheel turns
// into a value. Moving up counts twice as much as moving right: 1000 pixels
// up cover the range (4000 with Shift held from the start, 5000 once Shift
// changes during a drag); pressing or releasing Shift mid-drag keeps the
// value where it is. A wheel notch moves 0.005 (0.0003 with Shift).
#pragma once

#include <cstdint>

#include "toolkit/CControl.h"

class CInvisibleSlider : public toolkit::CControl {
 public:
  CInvisibleSlider(const toolkit::CRect& size, toolkit::CControlListener* listener, int32_t tag);

  void draw(toolkit::CDrawContext* context) override;
  toolkit::CMouseEventResult onMouseDown(const toolkit::CPoint& where, const toolkit::CButtonState& buttons) override;
  toolkit::CMouseEventResult onMouseMoved(const toolkit::CPoint& where, const toolkit::CButtonState& buttons) override;
  toolkit::CMouseEventResult onMouseUp(const toolkit::CPoint& where, const toolkit::CButtonState& buttons) override;
  bool onWheel(const toolkit::CPoint& where, float distance, const toolkit::CButtonState& buttons) override;

  bool isDragging() const { return dragging_ != 0; }

  TOOLKIT_CLASS_METHODS(CInvisibleSlider, toolkit::CControl)

 private:
  uint8_t dragging_ = 0;
  float scale_ = 0.0f;       // value per pixel of the drag
  float startValue_ = 0.0f;  // the value at the start point, at the current scale
  int32_t modifiers_ = 0;    // the buttons and modifiers of the last event
  toolkit::CPoint startPoint_;
};
