// The preset bar's MIDI learn and forget buttons: a left click switches the
// mode on or off and reports it. Images: 0 off, 1 hover while off, 2 on.
#pragma once

#include "toolkit/COnOffButton.h"

namespace presets {

class CPSOnOffButton : public toolkit::COnOffButton {
 public:
  CPSOnOffButton(const toolkit::CRect& size, toolkit::CControlListener* listener, int32_t tag,
                 double heightOfOneImage, toolkit::CBitmap* background);

  void draw(toolkit::CDrawContext* context) override;
  toolkit::CMouseEventResult onMouseDown(const toolkit::CPoint& where, const toolkit::CButtonState& buttons) override;
  toolkit::CMouseEventResult onMouseEntered(const toolkit::CPoint& where, const toolkit::CButtonState& buttons) override;
  toolkit::CMouseEventResult onMouseExited(const toolkit::CPoint& where, const toolkit::CButtonState& buttons) override;

  bool isHovered() const { return hover_; }

  TOOLKIT_CLASS_METHODS(CPSOnOffButton, COnOffButton)

 private:
  double heightOfOneImage_;
  bool hover_ = false;
};

}  // namespace presets
