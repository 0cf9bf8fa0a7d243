// The panel's two-state buttons. A left or right click switches between the
// step centres 0.25 (off, upper half of the picture) and 0.75 (on, lower
// half); a value from outside counts as on from 0.5 up. While the change is
// reported, the copy modifier tells whether Control was held or the right
// button clicked (LINK copies the selected side then).
#pragma once

#include <cstdint>

#include "toolkit/COnOffButton.h"

class ZELOnOffButton : public toolkit::COnOffButton {
 public:
  ZELOnOffButton(const toolkit::CRect& size, toolkit::CControlListener* listener, int32_t tag,
                 toolkit::CBitmap* background);

  void draw(toolkit::CDrawContext* context) override;
  toolkit::CMouseEventResult onMouseDown(const toolkit::CPoint& where, const toolkit::CButtonState& buttons) override;

  // 1 while a Control- or right-click is being reported, else 0.
  uint8_t getCopyModifier() const { return copyModifier_; }

  TOOLKIT_CLASS_METHODS(ZELOnOffButton, toolkit::COnOffButton)

 private:
  uint8_t copyModifier_ = 0;
};
