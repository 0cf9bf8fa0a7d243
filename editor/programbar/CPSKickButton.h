// The preset bar's memo and default buttons: a kick button that shows hover
// and press, and for the default buttons acts on a double-click only, where
// Control turns the store into a delete (value 0.5 instead of 1).
// Images: 0 idle, 1 hover while not pressed, 2 pressed.
#pragma once

#include "toolkit/CKickButton.h"

namespace presets {

class CPSKickButton : public toolkit::CKickButton {
 public:
  CPSKickButton(const toolkit::CRect& size, toolkit::CControlListener* listener, int32_t tag, double heightOfOneImage,
                toolkit::CBitmap* background, bool doubleClickOnly);

  void draw(toolkit::CDrawContext* context) override;
  toolkit::CMouseEventResult onMouseDown(const toolkit::CPoint& where, const toolkit::CButtonState& buttons) override;
  toolkit::CMouseEventResult onMouseMoved(const toolkit::CPoint& where, const toolkit::CButtonState& buttons) override;
  toolkit::CMouseEventResult onMouseUp(const toolkit::CPoint& where, const toolkit::CButtonState& buttons) override;
  toolkit::CMouseEventResult onMouseEntered(const toolkit::CPoint& where, const toolkit::CButtonState& buttons) override;
  toolkit::CMouseEventResult onMouseExited(const toolkit::CPoint& where, const toolkit::CButtonState& buttons) override;

  bool isDoubleClickOnly() const { return doubleClickOnly_; }
  bool isHovered() const { return hover_; }

  TOOLKIT_CLASS_METHODS(CPSKickButton, CKickButton)

 private:
  bool doubleClickOnly_;
  bool hover_ = false;
};

}  // namespace presets
