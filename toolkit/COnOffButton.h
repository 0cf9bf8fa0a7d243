// A two-state button: a left click switches between off (minimum, upper
// half of the bitmap) and on (maximum, lower half) and reports the new
// value. A value from outside counts as on from the middle of the range up.
#pragma once

#include "toolkit/CControl.h"

namespace toolkit {

class COnOffButton : public CControl {
 public:
  COnOffButton(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background, int32_t style = 0);

  void draw(CDrawContext* context) override;
  CMouseEventResult onMouseDown(const CPoint& where, const CButtonState& buttons) override;

  bool isOn() const { return value_ >= (min_ + max_) / 2; }
  int32_t getStyle() const { return style_; }

  TOOLKIT_CLASS_METHODS(COnOffButton, CControl)

 protected:
  int32_t style_;
};

}  // namespace toolkit
